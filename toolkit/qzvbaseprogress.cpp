#include "qzvbaseprogress.h"

#include "qbaseimagedraw.h"
#include "skinimage.h"

#include <QConicalGradient>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

class QZVBaseProgressPrivate
{
public:
    QImage *bottomImage = nullptr;
    QImage *topImage = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;
    int policy = QZVBaseProgress::Horizontal;
    double minimum = 0.0;
    double maximum = 100.0;
    double value = 0.0;
    bool circle = true;
    int circleLength = -1;
    int startOffset = 0;
    int endOffset = 0;
    double nullPosition = 90.0;
    int barStyle = QZVBaseProgress::StyleDonut;
    double outlinePenWidth = 1.0;
    double dataPenWidth = 1.0;
    QVector<QPair<double, QColor>> dataColors;
    bool rebuildBrush = false;
    QString format = QStringLiteral("%p%");
    int decimals = 1;
    int textAlignment = Qt::AlignCenter;
    float textOffsetX = 0;
    float textOffsetY = 0;
    int updateFlags = 2;
    int updateInterval = 0;
    bool repaintPending = false;
    QElapsedTimer lastUpdate;
    QTimer *timer = nullptr;
};

QZVBaseProgress::QZVBaseProgress(QWidget *parent)
    : QWidget(parent)
    , d(new QZVBaseProgressPrivate)
{
    d->lastUpdate.start();
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(230, 230, 230, 255));
    colours.setColor(QPalette::Highlight, QColor(6, 176, 37, 255));
    colours.setColor(QPalette::Base, QColor(6, 176, 37, 0));
    colours.setColor(QPalette::AlternateBase, QColor(255, 0, 0, 0));
    setPalette(colours);
    setAttribute(Qt::WA_TranslucentBackground);
}

QZVBaseProgress::~QZVBaseProgress()
{
    delete d->bottomImage;
    delete d->topImage;
    delete d;
}

void QZVBaseProgress::setProgressPolicy(int policy)
{
    d->policy = policy;
    update();
}

int QZVBaseProgress::progressPolicy() const
{
    return d->policy;
}

void QZVBaseProgress::setBarStyle(int style)
{
    if (d->barStyle == style)
        return;
    d->barStyle = style;
    update();
}

int QZVBaseProgress::barStyle() const
{
    return d->barStyle;
}

bool QZVBaseProgress::loadImage(QImage *&slot, const QString &path)
{
    delete slot;
    slot = nullptr;
    const QImage image = SkinImage::load(path);
    if (image.isNull())
        return false;
    slot = new QImage(image);
    update();
    return true;
}

bool QZVBaseProgress::setBottomImage(const QString &path)
{
    if (!loadImage(d->bottomImage, path))
        return false;
    d->imageWidth = d->bottomImage->width() / 2;
    d->imageHeight = d->bottomImage->height() / 2;
    return true;
}

bool QZVBaseProgress::setTopImage(const QString &path)
{
    return loadImage(d->topImage, path);
}

double QZVBaseProgress::value() const
{
    return d->value;
}

double QZVBaseProgress::minimum() const
{
    return d->minimum;
}

double QZVBaseProgress::maximum() const
{
    return d->maximum;
}

double QZVBaseProgress::valueFraction() const
{
    const double range = d->maximum - d->minimum;
    return range > 0 ? (d->value - d->minimum) / range : 0.0;
}

int QZVBaseProgress::barLength() const
{
    return (d->policy == Horizontal ? width() : height()) - d->startOffset - d->endOffset;
}

void QZVBaseProgress::setRange(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    d->minimum = std::min(minimum, maximum);
    d->maximum = std::max(minimum, maximum);
    d->value = std::clamp(d->value, d->minimum, d->maximum);
    if (!d->dataColors.isEmpty())
        d->rebuildBrush = true;
    update();
}

void QZVBaseProgress::setMinimum(double minimum)
{
    setRange(minimum, d->maximum);
}

void QZVBaseProgress::setMaximum(double maximum)
{
    setRange(d->minimum, maximum);
}

void QZVBaseProgress::setValue(double value)
{
    // A computed duration may be NaN; it must never reach the painting arithmetic.
    if (!std::isfinite(value) || value == d->value)
        return;
    d->value = std::clamp(value, d->minimum, d->maximum);
    emit valueChanged(d->value);
    if (d->updateInterval == 0) {
        update();
    } else if (d->lastUpdate.elapsed() < d->updateInterval) {
        d->repaintPending = true;
    } else {
        d->lastUpdate.restart();
        d->repaintPending = false;
        update();
    }
}

void QZVBaseProgress::setValue(int value)
{
    setValue(static_cast<double>(value));
}

void QZVBaseProgress::setUpdateInterval(int ms)
{
    d->updateInterval = ms;
    d->repaintPending = false;
    if (d->timer) {
        d->timer->stop();
        delete d->timer;
        d->timer = nullptr;
    }
    if (ms < 1)
        return;
    d->timer = new QTimer(this);
    connect(d->timer, SIGNAL(timeout()), this, SLOT(UpdateTime()));
    d->timer->start(ms);
}

void QZVBaseProgress::UpdateTime()
{
    if (d->lastUpdate.elapsed() < 2 * d->updateInterval || !d->repaintPending)
        return;
    d->lastUpdate.restart();
    d->repaintPending = false;
    update();
}

void QZVBaseProgress::setFormat(const QString &format)
{
    if (format == d->format)
        return;
    d->format = format;
    valueFormatChanged();
}

void QZVBaseProgress::resetFormat()
{
    d->format.clear();
    valueFormatChanged();
}

QString QZVBaseProgress::format() const
{
    return d->format;
}

void QZVBaseProgress::setDecimals(int decimals)
{
    if (decimals < 0 || decimals == d->decimals)
        return;
    d->decimals = decimals;
    valueFormatChanged();
}

void QZVBaseProgress::setTextAlignment(int alignment)
{
    if (alignment == d->textAlignment)
        return;
    d->textAlignment = alignment;
    update();
}

void QZVBaseProgress::setTextOffset(float x, float y)
{
    d->textOffsetX = x;
    d->textOffsetY = y;
    update();
}

void QZVBaseProgress::setCircle(bool on)
{
    d->circle = on;
}

void QZVBaseProgress::setCircleLenght(int length)
{
    d->circleLength = length;
}

void QZVBaseProgress::setOffset(int start, int end)
{
    d->startOffset = start;
    d->endOffset = end;
    const int length = d->policy == Horizontal ? width() : height();
    if (start + end >= length) {
        d->startOffset = 0;
        d->endOffset = 0;
    }
    update();
}

int QZVBaseProgress::getTLOffset() const
{
    return d->startOffset;
}

int QZVBaseProgress::getRBOffset() const
{
    return d->endOffset;
}

void QZVBaseProgress::setOutlinePenWidth(double width)
{
    if (width == d->outlinePenWidth)
        return;
    d->outlinePenWidth = width;
    update();
}

double QZVBaseProgress::outlinePenWidth() const
{
    return d->outlinePenWidth;
}

void QZVBaseProgress::setDataPenWidth(double width)
{
    if (width == d->dataPenWidth)
        return;
    d->dataPenWidth = width;
    update();
}

double QZVBaseProgress::dataPenWidth() const
{
    return d->dataPenWidth;
}

void QZVBaseProgress::setNullPosition(double degrees)
{
    if (degrees == d->nullPosition)
        return;
    d->nullPosition = degrees;
    if (!d->dataColors.isEmpty())
        d->rebuildBrush = true;
    update();
}

double QZVBaseProgress::nullPosition() const
{
    return d->nullPosition;
}

void QZVBaseProgress::setDataColors(const QVector<QPair<double, QColor>> &stops)
{
    if (stops == d->dataColors)
        return;
    d->dataColors = stops;
    d->rebuildBrush = true;
    update();
}

void QZVBaseProgress::rebuildDataBrushIfNeeded()
{
    if (!d->rebuildBrush)
        return;
    d->rebuildBrush = false;
    QPalette colours = palette();
    QGradient gradient;
    if (d->policy == Round)
        gradient = QConicalGradient(0.5, 0.5, d->nullPosition);
    else if (d->policy == Horizontal)
        gradient = QLinearGradient(0, 0.5, 1.0, 0.5);
    else
        gradient = QLinearGradient(0.5, 1.0, 0.5, 0);
    gradient.setCoordinateMode(QGradient::StretchToDeviceMode);
    // The dial runs clockwise while the gradient runs counter-clockwise.
    for (const auto &stop : qAsConst(d->dataColors))
        gradient.setColorAt(1.0 - stop.first, stop.second);
    colours.setBrush(QPalette::Highlight, QBrush(gradient));
    setPalette(colours);
}

int QZVBaseProgress::getDefaultCircle()
{
    int half = 0;
    if (d->bottomImage)
        half = (d->policy == Horizontal ? d->bottomImage->height() : d->bottomImage->width()) / 2;
    else
        half = (d->policy == Horizontal ? height() : width()) / 2;
    if (!d->circle)
        return 0;
    if (d->circleLength > half)
        d->circleLength = half;
    return d->circleLength == -1 ? half : d->circleLength;
}

QRect QZVBaseProgress::getBgRect() const
{
    QRect rect = this->rect();
    if (d->policy == Horizontal) {
        if (d->bottomImage) {
            rect.setTop((height() - d->imageHeight) / 2);
            rect.setHeight(d->imageHeight);
        }
        rect.setLeft(d->startOffset);
        rect.setWidth(width() - d->startOffset - d->endOffset);
    } else if (d->policy == Vertical) {
        if (d->bottomImage) {
            rect.setLeft((width() - d->imageWidth) / 2);
            rect.setWidth(d->imageWidth);
        }
        rect.setTop(d->startOffset);
        rect.setHeight(height() - d->startOffset - d->endOffset);
    }
    return rect;
}

void QZVBaseProgress::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing, true);
    rebuildDataBrushIfNeeded();
    DrawBackground(painter);
    DrawProgress(painter);
    DrawProgressText(painter);
}

void QZVBaseProgress::DrawBackground(QPainter &painter)
{
    if (d->policy == Round) {
        const int side = std::min(width(), height());
        drawBase(painter, QRectF(1, 1, side - 2, side - 2));
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(palette().color(QPalette::Window), Qt::SolidPattern));
    const int cap = getDefaultCircle();
    if (d->bottomImage) {
        DrawBottomImage(painter, cap);
        return;
    }
    painter.drawPath(QBaseImageDraw::GetRoundedRectanglePath(QRectF(getBgRect()), cap));
}

void QZVBaseProgress::DrawBottomImage(QPainter &painter, int cap)
{
    // Compares pixels with a logical size and resizes while painting; kept because skins
    // rely on it. Track images are drawn no taller in pixels than their bar.
    if (d->policy == Horizontal && d->bottomImage->height() > height())
        resize(width(), d->bottomImage->height());
    else if (d->policy == Vertical && d->bottomImage->width() > width())
        resize(d->bottomImage->width(), height());
    DrawCircleImage(painter, d->bottomImage, getBgRect(), false, cap);
}

void QZVBaseProgress::DrawCircleImage(QPainter &painter, QImage *image, QRect rect, bool isTop, int cap)
{
    const bool horizontal = d->policy == Horizontal;
    const int along = horizontal ? image->width() / 2 : image->height() / 2;
    const int across = horizontal ? d->imageHeight : d->imageWidth;
    int middle = along - 2 * cap;
    if (cap == 0 && isTop)
        middle = static_cast<int>(along * valueFraction());
    // Pieces are described along the bar's axis and turned for a vertical bar.
    const auto piece = [horizontal](int start, int crossStart, int length, int crossLength) {
        return horizontal ? QRect(start, crossStart, length, crossLength)
                          : QRect(crossStart, start, crossLength, length);
    };
    const int start = horizontal ? rect.x() : rect.y();
    const int cross = horizontal ? rect.y() : rect.x();
    const int length = horizontal ? rect.width() : rect.height();
    if (d->circle && cap != 0) {
        QBaseImageDraw::drawImage(painter, piece(start, cross, cap, across), piece(0, 0, cap, across), *image);
        QBaseImageDraw::drawImage(painter, piece(start + length - cap, cross, cap, across),
                                  piece(along - cap, 0, cap, across), *image);
    }
    QBaseImageDraw::drawImage(painter, piece(start + cap, cross, length - 2 * cap, across),
                              piece(cap, 0, middle, across), *image);
}

void QZVBaseProgress::DrawProgress(QPainter &painter)
{
    if (d->policy == Round) {
        const int side = std::min(width(), height());
        QImage image(2 * side, 2 * side, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter imagePainter(&image);
        imagePainter.setRenderHint(QPainter::Antialiasing, true);
        const QRectF outer(2, 2, 2 * side - 4, 2 * side - 4);
        drawRoundValue(imagePainter, outer, d->value, 360.0 * valueFraction());
        QRectF inner;
        double innerRadius = 0;
        calculateInnerRect(outer, 2 * side, inner, innerRadius);
        drawInnerBackground(imagePainter, inner);
        imagePainter.end();
        image.setDevicePixelRatio(2.0);
        QBaseImageDraw::drawImage(painter, QRect(0, 0, side, side),
                                  QRect(0, 0, image.width() / 2, image.height() / 2), image);
        return;
    }
    const int cap = getDefaultCircle();
    if (d->topImage) {
        DrawTopImage(painter, *d->topImage, cap);
        return;
    }
    const QRect track = getBgRect();
    const QRect doubled(0, 0, 2 * track.width(), 2 * track.height());
    d->imageWidth = doubled.width() / 2;
    d->imageHeight = doubled.height() / 2;
    QImage fill = createImage(doubled, 2 * cap);
    DrawTopImage(painter, fill, cap);
}

QImage QZVBaseProgress::createImage(QRect rect, int radius)
{
    QImage image(rect.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().brush(QPalette::Highlight));
    painter.drawPath(QBaseImageDraw::GetRoundedRectanglePath(QRectF(rect), radius));
    return image;
}

void QZVBaseProgress::DrawTopImage(QPainter &painter, QImage &image, int cap)
{
    if (d->maximum <= d->minimum)
        return;
    const double fill = barLength() * 1.0 * valueFraction() + 0.5;
    if (2 * cap < fill) {
        QRect rect = getBgRect();
        if (d->policy == Horizontal) {
            rect.setWidth(static_cast<int>(fill));
        } else {
            rect.setTop(static_cast<int>((height() - d->endOffset) - fill + 1.0));
            rect.setHeight(static_cast<int>(fill));
        }
        DrawCircleImage(painter, &image, rect, true, cap);
        return;
    }
    if (d->circle && cap != 0)
        drawShortFill(painter, image, fill);
}

// A fill no longer than the two caps: two halves cut from the image's two ends.
void QZVBaseProgress::drawShortFill(QPainter &painter, QImage &image, double fill)
{
    const QRect track = getBgRect();
    const int pw = image.width() / 2;
    const int ph = image.height() / 2;
    if (d->policy == Horizontal) {
        const double h = fill / 2.0;
        const int half = static_cast<int>(h);
        QBaseImageDraw::drawImage(painter, QRect(track.x(), track.y(), half, track.height()),
                                  QRect(0, 0, half, ph), image);
        QBaseImageDraw::drawImage(painter,
                                  QRect(static_cast<int>(track.x() + h), track.y(), half, track.height()),
                                  QRect(static_cast<int>(pw - h + 1.0), 0, half, ph), image);
        return;
    }
    const double grown = fill + 0.5;
    const double h = grown / 2.0;
    const int bottom = height() - d->endOffset;
    QBaseImageDraw::drawImage(painter,
                              QRect(track.x(), static_cast<int>(bottom - h + 1.0), track.width(),
                                    static_cast<int>(h + 0.5)),
                              QRect(0, static_cast<int>(ph - h), pw, static_cast<int>(h + 1.0)), image);
    QBaseImageDraw::drawImage(painter,
                              QRect(track.x(), static_cast<int>(bottom - grown + 1.0), track.width(),
                                    static_cast<int>(h + 0.5)),
                              QRect(0, 0, pw, static_cast<int>(h + 0.5)), image);
}

void QZVBaseProgress::drawBase(QPainter &painter, const QRectF &rect)
{
    if (d->policy != Round)
        return;
    switch (d->barStyle) {
    case StyleDonut:
        painter.setPen(QPen(palette().color(QPalette::Shadow), d->outlinePenWidth));
        painter.setBrush(palette().brush(QPalette::Base));
        painter.drawEllipse(rect);
        break;
    case StylePie:
        painter.setPen(QPen(palette().color(QPalette::Base), d->outlinePenWidth));
        painter.setBrush(palette().brush(QPalette::Base));
        painter.drawEllipse(rect);
        break;
    case StyleLine: {
        const double inset = d->outlinePenWidth / 2;
        painter.setPen(QPen(palette().color(QPalette::Base), d->outlinePenWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(rect.adjusted(inset, inset, -inset, -inset));
        break;
    }
    default:
        break;
    }
}

void QZVBaseProgress::drawRoundValue(QPainter &painter, const QRectF &rect, double value, double arc)
{
    if (value == d->minimum)
        return;
    if (d->barStyle == StyleLine) {
        const double inset = d->outlinePenWidth;
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2 * d->dataPenWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(rect.adjusted(inset, inset, -inset, -inset), static_cast<int>(d->nullPosition * 16),
                        static_cast<int>(-arc * 16));
        return;
    }
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.moveTo(rect.center());
    path.arcTo(rect, d->nullPosition, -arc);
    path.lineTo(rect.center());
    painter.setBrush(palette().brush(QPalette::Highlight));
    painter.setPen(QPen(palette().color(QPalette::Shadow), d->dataPenWidth));
    painter.drawPath(path);
}

void QZVBaseProgress::calculateInnerRect(const QRectF &, double outerRadius, QRectF &inner,
                                         double &innerRadius)
{
    innerRadius = d->barStyle == StyleLine ? outerRadius - d->outlinePenWidth : 0.75 * outerRadius;
    const double delta = (outerRadius - innerRadius) / 2;
    inner = QRectF(delta, delta, innerRadius, innerRadius);
}

void QZVBaseProgress::drawInnerBackground(QPainter &painter, const QRectF &inner)
{
    if (d->barStyle != StyleDonut)
        return;
    const QPainter::CompositionMode kept = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(inner);
    painter.setCompositionMode(kept);
    painter.setPen(QPen(palette().color(QPalette::Shadow), d->dataPenWidth));
    painter.setBrush(palette().brush(QPalette::AlternateBase));
    painter.drawEllipse(inner);
}

void QZVBaseProgress::valueFormatChanged()
{
    d->updateFlags = 0;
    if (d->format.contains(QLatin1String("%v")))
        d->updateFlags |= 1;
    if (d->format.contains(QLatin1String("%p")))
        d->updateFlags |= 2;
    if (d->format.contains(QLatin1String("%m")))
        d->updateFlags |= 4;
    update();
}

QString QZVBaseProgress::valueToText(double value) const
{
    QString text = d->format;
    const double range = d->maximum - d->minimum;
    if (d->updateFlags & 1)
        text.replace(QLatin1String("%v"), QString::number(value, 'f', d->decimals));
    if (d->updateFlags & 2) {
        const double percent = range > 0 ? (value - d->minimum) / range * 100.0 : 0.0;
        text.replace(QLatin1String("%p"), QString::number(percent, 'f', d->decimals));
    }
    if (d->updateFlags & 4)
        text.replace(QLatin1String("%m"), QString::number(range + 1.0, 'f', d->decimals));
    return text;
}

void QZVBaseProgress::DrawProgressText(QPainter &painter)
{
    if (d->format.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const float x = width() * d->textOffsetX;
    const float y = height() * d->textOffsetY;
    const QRect rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width() - x),
                     static_cast<int>(height() - y));
    painter.drawText(rect, d->textAlignment, valueToText(d->value));
}

QPainterPath QZVBaseProgress::getProPath()
{
    const int cap = getDefaultCircle();
    const QRect track = getBgRect();
    const QPainterPath bar = QBaseImageDraw::GetRoundedRectanglePath(QRectF(track), cap);
    if (d->maximum <= d->minimum)
        return QPainterPath();
    if (d->policy == Horizontal) {
        const double fill = barLength() * 1.0 * valueFraction();
        if (2 * cap < fill) {
            QRectF rect(track);
            rect.setWidth(static_cast<int>(fill));
            return QBaseImageDraw::GetRoundedRectanglePath(rect, cap);
        }
        QRectF left(track);
        left.setWidth(static_cast<int>((fill + 0.5) / 2.0));
        QRectF right(track);
        right.setLeft(static_cast<int>(track.x() + track.width() - fill / 2.0 + 1.0));
        right.setWidth(static_cast<int>((fill - 0.5) / 2.0));
        QPainterPath leftPiece;
        leftPiece.addRect(left);
        QPainterPath rightPiece;
        rightPiece.addRect(right);
        rightPiece = rightPiece.intersected(bar);
        rightPiece.translate(-(track.width() - fill), 0);
        return leftPiece.intersected(bar).united(rightPiece);
    }
    if (d->policy == Vertical) {
        const double fill = barLength() * valueFraction() + 0.5;
        const double h = 1.0 * fill / 2.0 + 0.5;
        if (2 * cap < fill) {
            QRectF rect(track);
            rect.setTop(static_cast<int>(height() - fill - d->startOffset));
            rect.setHeight(static_cast<int>(fill));
            return QBaseImageDraw::GetRoundedRectanglePath(rect, cap);
        }
        QRectF lower(track);
        lower.setTop(static_cast<int>(track.y() + h));
        lower.setHeight(static_cast<int>(h + 1.0));
        QRectF upper(track);
        upper.setHeight(static_cast<int>(h));
        QPainterPath lowerPiece;
        lowerPiece.addRect(lower);
        QPainterPath upperPiece;
        upperPiece.addRect(upper);
        upperPiece = upperPiece.intersected(bar);
        upperPiece.translate(0, track.height() - 2.0 * h + 1.0);
        return lowerPiece.intersected(bar).united(upperPiece);
    }
    return QPainterPath();
}
