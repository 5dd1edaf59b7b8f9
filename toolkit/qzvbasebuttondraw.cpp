#include "qzvbasebuttondraw.h"

#include "qbaseimagedraw.h"
#include "skinimage.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include <array>

class QZVBaseButtonDrawPrivate
{
public:
    QImage *strip = nullptr;
    QImage *icon = nullptr;
    QRect iconRect = QRect(0, 0, 0, 0);
    bool iconButtonMode = false;
    int state = 0;
    bool staticState = false;
    bool customTextRect = false;
    QRect textRect;
    QColor currentDrawColor = Qt::black;
    int pressX = 0;
    bool grid = true;
    int tag = 0;
    std::array<QColor, 4> textColors{{Qt::black, Qt::black, Qt::black, Qt::black}};
    Qt::Alignment alignment = Qt::AlignCenter;
    bool focused = false;
    bool hovered = false;
    QAbstractButton *button = nullptr;
    int tagPixelSize = 11;
    int itemCount = 0;
    bool ownImage = false;
    QRect tagRect = QRect(-1, -1, 20, 20);
    std::array<QColor, 2> tagBgColors{{QColor(255, 120, 0), QColor(255, 120, 0)}};
    std::array<QColor, 2> tagTextColors{{Qt::white, Qt::white}};
    int badgeTimer = 0;
    bool alternateEffect = false;
    int alternateInterval = 0;
    int badgePhase = 0;
    bool flickerOn = false;
    int flickerTimer = 0;
    int flickerInterval = 0;
    int flickerPhase = 0;
};

QZVBaseButtonDraw::QZVBaseButtonDraw(QAbstractButton *button)
    : d(new QZVBaseButtonDrawPrivate)
{
    d->button = button;
    if (button)
        d->textRect = button->rect();
}

QZVBaseButtonDraw::~QZVBaseButtonDraw()
{
    delete d->icon;
    releaseStrip();
    delete d;
}

void QZVBaseButtonDraw::releaseStrip()
{
    if (!d->ownImage)
        return;
    delete d->strip;
    d->strip = nullptr;
}

void QZVBaseButtonDraw::updateButton()
{
    if (d->button)
        d->button->update();
}

void QZVBaseButtonDraw::repaintButton()
{
    if (d->button)
        d->button->repaint();
}

void QZVBaseButtonDraw::focusInEvent(QFocusEvent *)
{
    d->focused = true;
}

void QZVBaseButtonDraw::focusOutEvent(QFocusEvent *)
{
    d->focused = false;
}

bool QZVBaseButtonDraw::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    if (!d->button->isEnabled()) {
        d->state = 3;
        return false;
    }
    d->pressX = event->globalPos().x() - d->button->mapToGlobal(QPoint(0, 0)).x();
    if (d->state != 2) {
        d->state = 2;
        repaintButton();
    }
    return true;
}

bool QZVBaseButtonDraw::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || d->staticState)
        return false;
    if (!d->button->isEnabled()) {
        d->state = 3;
        return false;
    }
    if (d->state == 2) {
        // The host's Qt handler has toggled the checked state by now.
        d->state = d->button->isChecked() ? 1 : 0;
        repaintButton();
    }
    return true;
}

bool QZVBaseButtonDraw::mouseMoveEvent(QMouseEvent *)
{
    return d->state == 2;
}

void QZVBaseButtonDraw::enterEvent(QEvent *)
{
    if (d->staticState)
        return;
    if (!d->button->isEnabled()) {
        d->state = 3;
        return;
    }
    d->hovered = true;
    if (d->state != 1) {
        d->state = 1;
        repaintButton();
    }
}

void QZVBaseButtonDraw::leaveEvent(QEvent *)
{
    if (d->staticState)
        return;
    if (!d->button->isEnabled()) {
        d->state = 3;
        return;
    }
    d->hovered = false;
    if (d->state == 1) {
        d->state = 0;
        repaintButton();
    }
}

void QZVBaseButtonDraw::changeEvent(QEvent *event)
{
    if (d->staticState || event->type() != QEvent::EnabledChange)
        return;
    d->state = d->button->isEnabled() ? 0 : 3;
}

void QZVBaseButtonDraw::paintEvent(QPaintEvent *)
{
    QPainter painter(d->button);
    DrawBackground(painter);
    DrawFlicker(painter);
    DrawText(painter);
    DrawFocus(painter);
    DrawIcon(painter);
    DrawDigitalTag(painter);
}

void QZVBaseButtonDraw::timerEvent(QTimerEvent *event)
{
    if (d->badgeTimer != 0 && event->timerId() == d->badgeTimer) {
        d->badgePhase = 1 - d->badgePhase;
        updateButton();
    } else if (d->flickerTimer != 0 && event->timerId() == d->flickerTimer) {
        d->flickerPhase = 1 - d->flickerPhase;
        updateButton();
    }
}

void QZVBaseButtonDraw::drawFrame(QPainter &painter, int index)
{
    QImage frame = SkinImage::frame(*d->strip, index);
    QBaseImageDraw::drawBtnImageBg(painter, d->button->rect(), frame, d->grid);
}

void QZVBaseButtonDraw::DrawBackground(QPainter &painter)
{
    if (!d->strip)
        return;
    if (!d->staticState && d->button->isChecked()) {
        d->currentDrawColor = d->textColors[2];
        drawFrame(painter, 2);
    } else if (d->state >= 0 && d->state <= 3) {
        d->currentDrawColor = d->textColors[d->state];
        drawFrame(painter, d->state);
    } else {
        painter.drawImage(QPoint(0, 0), *d->strip);
    }
}

void QZVBaseButtonDraw::DrawFlicker(QPainter &painter)
{
    if (!d->flickerOn || !d->strip)
        return;
    drawFrame(painter, d->flickerPhase == 0 ? 2 : 1);
}

void QZVBaseButtonDraw::DrawText(QPainter &painter)
{
    const QString text = d->button->text();
    if (text.isEmpty())
        return;
    const QFont kept = painter.font();
    painter.setFont(d->button->font());
    painter.setPen(d->currentDrawColor);
    const QFontMetrics metrics(d->button->font());
    if (!d->customTextRect) {
        painter.drawText(d->button->rect(), d->alignment,
                         metrics.elidedText(text, Qt::ElideRight, d->button->width()));
    } else {
        if (d->textRect.width() == 0)
            d->textRect.setWidth(d->button->width() - d->iconRect.x() - d->iconRect.width());
        if (d->textRect.height() == 0)
            d->textRect.setHeight(d->button->height() - d->textRect.y());
        painter.drawText(d->textRect, d->alignment,
                         metrics.elidedText(text, Qt::ElideRight, d->textRect.width()));
    }
    painter.setFont(kept);
}

void QZVBaseButtonDraw::DrawFocus(QPainter &)
{
}

void QZVBaseButtonDraw::DrawIcon(QPainter &painter)
{
    if (!d->icon || d->icon->isNull())
        return;
    if (!d->iconButtonMode) {
        drawIconImage(painter, *d->icon);
        return;
    }
    int index = 0;
    if (!d->staticState && d->button->isChecked())
        index = 2;
    else if (d->state >= 0 && d->state <= 3)
        index = d->state;
    drawIconImage(painter, SkinImage::frame(*d->icon, index));
}

void QZVBaseButtonDraw::drawIconImage(QPainter &painter, const QImage &image)
{
    SkinImage::drawIcon(painter, d->iconRect, d->button->height(), image);
}

void QZVBaseButtonDraw::DrawDigitalTag(QPainter &painter)
{
    if (d->itemCount <= 0)
        return;
    const int phase = d->alternateEffect && d->badgePhase != 0 ? 1 : 0;
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor fill = d->tagBgColors[phase];
    painter.setPen(QPen(fill, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(QBrush(fill, Qt::SolidPattern));
    const QRect badge(d->tagRect.x() == -1 ? d->button->width() - d->tagRect.width() : d->tagRect.x(),
                      d->tagRect.y() == -1 ? 0 : d->tagRect.y(), d->tagRect.width(),
                      d->tagRect.height());
    painter.drawEllipse(badge);

    QFont font = painter.font();
    font.setFamily(QStringLiteral("Tahoma"));
    QString text = QString::number(d->itemCount);
    font.setPixelSize(d->tagPixelSize);
    if (d->itemCount > 99) {
        text = QStringLiteral("99+");
        font.setPixelSize(d->tagPixelSize - 2);
    }
    painter.setFont(font);
    painter.setPen(d->tagTextColors[phase]);
    painter.drawText(badge, Qt::AlignCenter, text);
}

bool QZVBaseButtonDraw::setButtonImage(const QString &path, bool grid)
{
    QImage image = SkinImage::load(path);
    if (image.isNull())
        return false;
    return setButtonImage(&image, grid, true);
}

bool QZVBaseButtonDraw::setButtonImage(QImage *image, bool grid, bool own)
{
    releaseStrip();
    if (!image || image->isNull())
        return false;
    d->strip = own ? new QImage(*image) : image;
    d->ownImage = own;
    d->strip->setDevicePixelRatio(2.0);
    d->button->resize(d->strip->width() / 4 / 2, d->strip->height() / 2);
    d->grid = grid;
    d->textRect = d->button->rect();
    return true;
}

bool QZVBaseButtonDraw::setButtonImage(QImage &image, bool grid)
{
    return setButtonImage(&image, grid, true);
}

void QZVBaseButtonDraw::setStaticState(bool on)
{
    d->staticState = on;
}

void QZVBaseButtonDraw::setBtnState(int state)
{
    d->state = state;
}

int QZVBaseButtonDraw::getBtnState() const
{
    return d->state;
}

Qt::Alignment QZVBaseButtonDraw::alignment() const
{
    return d->alignment;
}

void QZVBaseButtonDraw::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
}

void QZVBaseButtonDraw::setTextColor(const QColor &color)
{
    setTextColor(color, color, color, color);
}

void QZVBaseButtonDraw::setTextColor(const QColor &normal, const QColor &hover,
                                     const QColor &pressed, const QColor &disabled)
{
    d->textColors = {{normal, hover, pressed, disabled}};
    d->currentDrawColor = normal;
}

void QZVBaseButtonDraw::setTextRect(const QRect &rect)
{
    d->textRect = rect;
    d->customTextRect = true;
    updateButton();
}

QRect QZVBaseButtonDraw::textRect() const
{
    return d->textRect;
}

void QZVBaseButtonDraw::widenToText()
{
    const int left = d->customTextRect ? d->textRect.x() : 0;
    const int needed = left + d->button->fontMetrics().horizontalAdvance(d->button->text());
    if (needed > d->button->width())
        d->button->resize(needed, d->button->height());
}

bool QZVBaseButtonDraw::setBtnIcon(const QString &path)
{
    return setBtnIcon(SkinImage::load(path));
}

bool QZVBaseButtonDraw::setBtnIcon(const QImage &image)
{
    delete d->icon;
    d->icon = new QImage(image);
    d->icon->setDevicePixelRatio(2.0);
    updateButton();
    return true;
}

void QZVBaseButtonDraw::setIconBtnMode(bool on)
{
    d->iconButtonMode = on;
}

bool QZVBaseButtonDraw::isIconbtnMode() const
{
    return d->iconButtonMode;
}

void QZVBaseButtonDraw::setIconRect(const QRect &rect)
{
    d->iconRect = rect;
    updateButton();
}

void QZVBaseButtonDraw::setGridView(bool grid)
{
    d->grid = grid;
    updateButton();
}

void QZVBaseButtonDraw::setTag(int tag)
{
    d->tag = tag;
}

int QZVBaseButtonDraw::getTag() const
{
    return d->tag;
}

void QZVBaseButtonDraw::addItemCount()
{
    ++d->itemCount;
    if (d->alternateEffect && d->badgeTimer == 0)
        d->badgeTimer = d->button->startTimer(d->alternateInterval, Qt::CoarseTimer);
    repaintButton();
}

void QZVBaseButtonDraw::resetCount()
{
    d->itemCount = 0;
    if (d->badgeTimer != 0)
        d->button->killTimer(d->badgeTimer);
    d->badgeTimer = 0;
    repaintButton();
}

int QZVBaseButtonDraw::itmeCount() const
{
    return d->itemCount;
}

void QZVBaseButtonDraw::setTagPixelSize(int size)
{
    d->tagPixelSize = size;
}

void QZVBaseButtonDraw::setTagRect(const QRect &rect)
{
    d->tagRect = rect;
}

void QZVBaseButtonDraw::setTagBgAlternateColor(const QColor &first, const QColor &alternate)
{
    d->tagBgColors = {{first, alternate}};
}

void QZVBaseButtonDraw::setTagTextAlternateColor(const QColor &first, const QColor &alternate)
{
    d->tagTextColors = {{first, alternate}};
}

void QZVBaseButtonDraw::setAlternateEffect(bool on, int interval)
{
    d->alternateEffect = on;
    d->alternateInterval = interval;
}

void QZVBaseButtonDraw::startFlicker(int interval)
{
    d->flickerInterval = interval;
    d->flickerOn = true;
    if (d->flickerTimer != 0)
        d->button->killTimer(d->flickerTimer);
    d->flickerTimer = d->button->startTimer(interval, Qt::CoarseTimer);
}

void QZVBaseButtonDraw::stopFlicker()
{
    d->flickerOn = false;
    if (d->flickerTimer != 0)
        d->button->killTimer(d->flickerTimer);
    d->flickerTimer = 0;
}

int QZVBaseButtonDraw::getMouseMapValue() const
{
    return d->pressX;
}

bool QZVBaseButtonDraw::isCustomDraw() const
{
    return d->strip != nullptr;
}

QColor QZVBaseButtonDraw::currentDrawColor() const
{
    return d->currentDrawColor;
}
