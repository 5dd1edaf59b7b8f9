#include "qzvbaserectimagedraw.h"

#include "qbaseimagedraw.h"
#include "skinimage.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <array>

class QZVBaseRectImageDrawPrivate
{
public:
    QWidget *widget = nullptr;
    QImage *background = nullptr;
    QImage *icon = nullptr;
    bool buttonMode = false;
    QRect iconRect = QRect(0, -1, 0, 0);
    bool iconButtonMode = false;
    QString text;
    bool textDrawable = true;
    qint16 left = 1;
    qint16 top = 1;
    qint16 right = 1;
    qint16 bottom = 1;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor currentTextColor = Qt::black;
    std::array<QColor, 4> textColors{{Qt::black, Qt::black, Qt::black, Qt::black}};
    bool checkState = false;
    int state = 0;
};

namespace {

QImage *replaceImage(QImage *current, const QImage &image)
{
    delete current;
    if (image.isNull())
        return nullptr;
    auto *copy = new QImage(image);
    copy->setDevicePixelRatio(2.0);
    return copy;
}

}

QZVBaseRectImageDraw::QZVBaseRectImageDraw(QWidget *widget)
    : d(new QZVBaseRectImageDrawPrivate)
{
    d->widget = widget;
}

QZVBaseRectImageDraw::~QZVBaseRectImageDraw()
{
    delete d->background;
    delete d->icon;
    delete d;
}

void QZVBaseRectImageDraw::updateWidget()
{
    if (d->widget)
        d->widget->update();
}

void QZVBaseRectImageDraw::repaintWidget()
{
    if (d->widget)
        d->widget->repaint();
}

bool QZVBaseRectImageDraw::mousePressEventDraw(QMouseEvent *event)
{
    if (!d->widget || event->button() != Qt::LeftButton)
        return false;
    if (!d->widget->isEnabled()) {
        d->state = 3;
        return false;
    }
    if (d->state == 2)
        return false;
    d->state = 2;
    repaintWidget();
    return true;
}

void QZVBaseRectImageDraw::mouseReleaseEventDraw(QMouseEvent *event)
{
    if (!d->widget || event->button() != Qt::LeftButton)
        return;
    if (!d->widget->isEnabled()) {
        d->state = 3;
    } else if (d->state == 2) {
        d->state = 0;
        repaintWidget();
    }
}

void QZVBaseRectImageDraw::enterEventDraw(QEvent *)
{
    if (!d->widget)
        return;
    if (!d->widget->isEnabled()) {
        d->state = 3;
    } else if (d->state != 1) {
        d->state = 1;
        repaintWidget();
    }
}

void QZVBaseRectImageDraw::leaveEventDraw(QEvent *)
{
    if (!d->widget)
        return;
    if (!d->widget->isEnabled()) {
        d->state = 3;
    } else if (d->state == 1) {
        d->state = 0;
        repaintWidget();
    }
}

void QZVBaseRectImageDraw::changeEventDraw(QEvent *event)
{
    if (!d->widget || event->type() != QEvent::EnabledChange)
        return;
    d->state = d->widget->isEnabled() ? 0 : 3;
}

void QZVBaseRectImageDraw::resetBtnState()
{
    d->state = 0;
    repaintWidget();
}

void QZVBaseRectImageDraw::paintEvent(QPaintEvent *)
{
    if (!d->widget || !d->background)
        return;
    QPainter painter(d->widget);
    drawBackgroundImage(painter);
    drawIcon(painter);
    drawRectText(painter);
}

void QZVBaseRectImageDraw::drawBackgroundImage(QPainter &painter)
{
    const QRect target = d->widget->rect();
    if (!d->buttonMode) {
        QBaseImageDraw::drawBtnImageBg(painter, target, *d->background, true);
        return;
    }
    const int index = d->checkState ? 2 : d->state;
    if (index < 0 || index > 3) {
        painter.drawImage(QPoint(0, 0), *d->background);
        return;
    }
    QImage frame = SkinImage::frame(*d->background, index);
    QBaseImageDraw::drawBtnImageBg(painter, target, frame, true);
}

void QZVBaseRectImageDraw::drawIcon(QPainter &painter)
{
    if (!d->icon)
        return;
    QImage image = *d->icon;
    if (d->iconButtonMode) {
        const int index = d->checkState ? 2 : (d->state >= 0 && d->state <= 3 ? d->state : 0);
        image = SkinImage::frame(*d->icon, index);
    }
    SkinImage::drawIcon(painter, d->iconRect, d->widget->height(), image);
}

QColor QZVBaseRectImageDraw::textColorForState()
{
    if (!d->buttonMode)
        return d->textColors[0];
    const QColor color = d->checkState ? d->textColors[2]
                       : (d->state >= 0 && d->state <= 3 ? d->textColors[d->state] : d->textColors[0]);
    d->currentTextColor = color;
    return color;
}

void QZVBaseRectImageDraw::drawRectText(QPainter &painter)
{
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (d->text.isEmpty() || !d->textDrawable || !d->widget)
        return;
    const QFont kept = painter.font();
    painter.setFont(d->widget->font());
    painter.setPen(textColorForState());
    const QRect rect(d->left, d->top, d->widget->width() - d->left - d->right,
                     d->widget->height() - d->top - d->bottom);
    const QFontMetrics metrics(d->widget->font());
    painter.drawText(rect, d->alignment, metrics.elidedText(d->text, Qt::ElideRight, rect.width()));
    painter.setFont(kept);
}

bool QZVBaseRectImageDraw::setBackgroundImage(const QString &path)
{
    return setBackgroundImage(SkinImage::load(path));
}

bool QZVBaseRectImageDraw::setBackgroundImage(const QImage &image)
{
    // An image that did not load must not count as a skin: the host would drop its
    // native frame and paint nothing in its place.
    d->background = replaceImage(d->background, image);
    if (!d->background)
        return false;
    updateWidget();
    return true;
}

bool QZVBaseRectImageDraw::setRectIcon(const QString &path)
{
    return setRectIcon(SkinImage::load(path));
}

bool QZVBaseRectImageDraw::setRectIcon(const QImage &image)
{
    d->icon = replaceImage(d->icon, image);
    if (!d->icon)
        return false;
    updateWidget();
    return true;
}

void QZVBaseRectImageDraw::setIconRect(const QRect &rect)
{
    d->iconRect = rect;
}

void QZVBaseRectImageDraw::setDrawText(const QString &text)
{
    if (text == d->text)
        return;
    d->text = text;
    updateWidget();
}

QString QZVBaseRectImageDraw::drawText() const
{
    return d->text;
}

Qt::Alignment QZVBaseRectImageDraw::alignment() const
{
    return d->alignment;
}

void QZVBaseRectImageDraw::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
    updateWidget();
}

void QZVBaseRectImageDraw::setTextDrawable(bool on)
{
    d->textDrawable = on;
}

bool QZVBaseRectImageDraw::isTextDrawable() const
{
    return d->textDrawable;
}

void QZVBaseRectImageDraw::setDrawTextMargins(int left, int top, int right, int bottom)
{
    d->left = static_cast<qint16>(left);
    d->top = static_cast<qint16>(top);
    d->right = static_cast<qint16>(right);
    d->bottom = static_cast<qint16>(bottom);
    updateWidget();
}

void QZVBaseRectImageDraw::setDrawTextMargins(const QMargins &margins)
{
    setDrawTextMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
}

QMargins QZVBaseRectImageDraw::drawTextMargins() const
{
    return QMargins(d->left, d->top, d->right, d->bottom);
}

void QZVBaseRectImageDraw::setTextColor(const QColor &color)
{
    setTextColor(color, color, color, color);
}

void QZVBaseRectImageDraw::setTextColor(const QColor &normal, const QColor &hover,
                                        const QColor &pressed, const QColor &disabled)
{
    d->textColors = {{normal, hover, pressed, disabled}};
    d->currentTextColor = normal;
}

void QZVBaseRectImageDraw::setCheckState(bool on)
{
    d->checkState = on;
}

void QZVBaseRectImageDraw::setIconBtnMode(bool on)
{
    d->iconButtonMode = on;
}

bool QZVBaseRectImageDraw::IsIconBtnMode() const
{
    return d->iconButtonMode;
}

void QZVBaseRectImageDraw::setBtnMode(bool on)
{
    d->buttonMode = on;
}

bool QZVBaseRectImageDraw::isBtnMode() const
{
    return d->buttonMode;
}

bool QZVBaseRectImageDraw::isCustomDraw() const
{
    return d->background != nullptr;
}
