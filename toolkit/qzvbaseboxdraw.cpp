#include "qzvbaseboxdraw.h"

#include "qbaseimagedraw.h"
#include "skinimage.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

class QZVBaseBoxDrawPrivate
{
public:
    QImage *checked = nullptr;
    QImage *unchecked = nullptr;
    QImage *partial = nullptr;
    QImage *icon = nullptr;
    QRect iconRect = QRect(0, 0, 0, 0);
    QRect checkRect = QRect(0, 0, 0, 0);
    QRect textRect = QRect(0, 0, 0, 0);
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QAbstractButton *host = nullptr;
    QZVBaseBoxDraw::enumBoxType type = QZVBaseBoxDraw::CheckBoxType;
    bool twoFrames = true;
    bool ownsImages = false;
    QVariant data;
    bool backgroundFill = false;
};

namespace {

QImage *stored(QImage *image, bool copy)
{
    if (!image)
        return nullptr;
    QImage *result = copy ? new QImage(*image) : image;
    result->setDevicePixelRatio(2.0);
    return result;
}

}

QZVBaseBoxDraw::QZVBaseBoxDraw(QAbstractButton *host, enumBoxType type)
    : d(new QZVBaseBoxDrawPrivate)
{
    d->host = host;
    d->type = type;
}

QZVBaseBoxDraw::~QZVBaseBoxDraw()
{
    releaseImages();
    delete d->icon;
    delete d;
}

void QZVBaseBoxDraw::releaseImages()
{
    if (!d->ownsImages)
        return;
    delete d->checked;
    delete d->unchecked;
    delete d->partial;
    d->checked = nullptr;
    d->unchecked = nullptr;
    d->partial = nullptr;
}

void QZVBaseBoxDraw::setCheckImage(const QString &checked, const QString &unchecked,
                                   const QString &partial, bool ignored, bool twoFrames)
{
    QImage checkedImage = SkinImage::load(checked);
    if (checkedImage.isNull())
        return;
    // Only the checked file must load; a missing unchecked image then draws nothing.
    QImage uncheckedImage = SkinImage::load(unchecked);
    QImage partialImage = SkinImage::load(partial);
    setCheckImage(&checkedImage, &uncheckedImage, partial.isEmpty() ? nullptr : &partialImage,
                  ignored, twoFrames, true);
}

void QZVBaseBoxDraw::setCheckImage(QImage *checked, QImage *unchecked, QImage *partial, bool,
                                   bool twoFrames, bool copy)
{
    if (!d->host)
        return;
    releaseImages();
    if (!checked || !unchecked)
        return;
    d->checked = stored(checked, copy);
    d->unchecked = stored(unchecked, copy);
    d->partial = stored(partial, copy);
    d->ownsImages = copy;
    d->twoFrames = twoFrames;
    d->checkRect = QRect(0, 0, d->checked->width() / (twoFrames ? 2 : 1) / 2, d->checked->height() / 2);
    if (d->host->height() < d->checkRect.height())
        d->host->resize(d->host->width(), d->checkRect.height());
    d->textRect = QRect(d->checkRect.width() + 5, d->textRect.y(), 0, d->textRect.height());
    d->host->repaint();
}

bool QZVBaseBoxDraw::setBtnIcon(const QString &path)
{
    const QImage image = SkinImage::load(path);
    if (image.isNull())
        return false;
    delete d->icon;
    d->icon = new QImage(image);
    return true;
}

void QZVBaseBoxDraw::setIconRect(const QRect &rect)
{
    d->iconRect = rect;
}

void QZVBaseBoxDraw::setTextRect(const QRect &rect)
{
    d->textRect = rect;
}

void QZVBaseBoxDraw::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
}

Qt::Alignment QZVBaseBoxDraw::alignment() const
{
    return d->alignment;
}

void QZVBaseBoxDraw::setBgFillMode(bool on)
{
    d->backgroundFill = on;
}

void QZVBaseBoxDraw::setData(const QVariant &data)
{
    d->data = data;
}

QVariant QZVBaseBoxDraw::getData() const
{
    return d->data;
}

bool QZVBaseBoxDraw::isCustomDraw() const
{
    return d->checked != nullptr;
}

void QZVBaseBoxDraw::adjustSize()
{
    const QFontMetrics metrics(d->host->font());
    const QString text = d->host->text();
    const int width = d->checkRect.width() + (text.isEmpty() ? 0 : 5) + metrics.horizontalAdvance(text);
    const int height = std::max(d->checkRect.height(), metrics.height());
    d->host->resize(width, height);
    d->textRect.setWidth(0);
}

void QZVBaseBoxDraw::paintEvent(QPaintEvent *)
{
    if (!d->host)
        return;
    QPainter painter(d->host);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    DrawCheckImage(painter);
    DrawIconImage(painter);
    DrawText(painter);
}

void QZVBaseBoxDraw::DrawCheckImage(QPainter &painter)
{
    QRect rect = d->checkRect;
    if (rect.top() < 1) {
        rect.moveTop((d->host->height() - d->checkRect.height()) / 2);
        rect.setHeight(d->checkRect.height());
    }
    int state = d->host->isChecked() ? 2 : 0;
    if (d->type == CheckBoxType) {
        if (auto *box = qobject_cast<QCheckBox *>(d->host))
            state = box->checkState();
    }
    QImage *image = state == 0 ? d->unchecked : state == 1 ? d->partial : d->checked;
    if (!image || image->isNull())
        return;
    QImage frame = *image;
    if (d->twoFrames) {
        const int half = image->width() / 2;
        frame = image->copy(d->host->isEnabled() ? 0 : half, 0, half, image->height());
        frame.setDevicePixelRatio(2.0);
    }
    if (d->backgroundFill)
        QBaseImageDraw::drawBtnImageBg(painter, d->host->rect(), frame, true);
    else
        painter.drawImage(QRectF(rect), frame);
}

void QZVBaseBoxDraw::DrawIconImage(QPainter &painter)
{
    if (!d->icon)
        return;
    const int width = d->icon->width() / 2;
    const int height = d->icon->height() / 2;
    if (d->iconRect.width() == 0)
        d->iconRect.setWidth(width);
    if (d->iconRect.height() == 0)
        d->iconRect.setHeight(height);
    QBaseImageDraw::drawImage(painter, d->iconRect, QRect(0, 0, width, height), *d->icon);
}

void QZVBaseBoxDraw::DrawText(QPainter &painter)
{
    const QString text = d->host->text();
    if (text.isEmpty())
        return;
    const QFont kept = painter.font();
    painter.setFont(d->host->font());
    painter.setPen(d->host->palette().color(QPalette::WindowText));
    // The width is fixed at the first paint; adjustSize frees it again.
    if (d->textRect.width() == 0)
        d->textRect.setWidth(d->host->width() - d->textRect.left());
    if (d->textRect.height() == 0)
        d->textRect.setHeight(d->host->height() - d->textRect.top());
    // Measured as adjustSize measures: eliding tests fractional widths, so a box sized to
    // fit its text would otherwise lose the last letter.
    const QFontMetrics metrics(d->host->font());
    const bool fits = metrics.horizontalAdvance(text) <= d->textRect.width();
    painter.drawText(d->textRect, d->alignment,
                     fits ? text : metrics.elidedText(text, Qt::ElideRight, d->textRect.width()));
    painter.setFont(kept);
}
