#include "qzvscrollbarstyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionSlider>
#include <QWidget>

namespace {

void fillRounded(QPainter *painter, const QRectF &rect, int radius, const QColor &color)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius, Qt::AbsoluteSize);
    painter->fillPath(path, color);
}

// The rectangle narrowed by inset on its two long sides.
QRect narrowed(const QRect &rect, int inset, bool horizontal)
{
    return horizontal ? rect.adjusted(0, inset, 0, -inset) : rect.adjusted(inset, 0, -inset, 0);
}

}

QZVScrollBarStyle::QZVScrollBarStyle(QStyle *base)
    : QProxyStyle(base)
{
}

QZVScrollBarStyle::~QZVScrollBarStyle() = default;

QZVScrollBarStyleAttribute *QZVScrollBarStyle::attribute()
{
    return &m_attribute;
}

void QZVScrollBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                           QPainter *painter, const QWidget *widget) const
{
    if (control == CC_ScrollBar)
        drawScrollbar(control, option, painter, widget);
    else
        QProxyStyle::drawComplexControl(control, option, painter, widget);
}

int QZVScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                   const QWidget *widget) const
{
    if (metric == PM_ScrollBarExtent)
        return m_attribute.scrollBarExtent;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void QZVScrollBarStyle::drawScrollbar(ComplexControl control, const QStyleOptionComplex *option,
                                      QPainter *painter, const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (!bar || bar->maximum == bar->minimum)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    State state = bar->state;
    if (widget && widget->testAttribute(Qt::WA_UnderMouse) && widget->isActiveWindow())
        state |= State_MouseOver;
    const bool horizontal = state & State_Horizontal;
    const int thickness = horizontal ? bar->rect.height() : bar->rect.width();
    const int radius = m_attribute.cornerRadius >= 0 ? m_attribute.cornerRadius : thickness / 2;

    painter->fillRect(subControlRect(control, bar, SC_ScrollBarAddLine, widget), m_attribute.lineButtonColor);
    painter->fillRect(subControlRect(control, bar, SC_ScrollBarSubLine, widget), m_attribute.lineButtonColor);
    const QRect groove = subControlRect(control, bar, SC_ScrollBarGroove, widget);
    painter->fillRect(groove, m_attribute.grooveColor);
    const QRect handle = subControlRect(control, bar, SC_ScrollBarSlider, widget);

    if (!(state & State_MouseOver) && !m_attribute.trackAlways) {
        const int handleThickness = horizontal ? handle.height() : handle.width();
        const int inset = handleThickness < 2 * m_attribute.handleInset ? 0 : m_attribute.handleInset;
        fillRounded(painter, narrowed(handle, inset, horizontal), radius, m_attribute.handleColor);
        painter->restore();
        return;
    }
    fillRounded(painter, groove, radius, m_attribute.trackColor);
    if (bar->subControls & SC_ScrollBarSlider) {
        // A disabled bar keeps the resting handle colour.
        const bool onHandle = (state & State_Enabled) && (bar->activeSubControls & SC_ScrollBarSlider);
        QColor color = m_attribute.handleColor;
        if (onHandle && (state & State_Sunken))
            color = m_attribute.handlePressedColor;
        else if (onHandle && (state & State_MouseOver))
            color = m_attribute.handleHoverColor;
        fillRounded(painter, narrowed(handle, m_attribute.handleInset, horizontal), radius, color);
    }
    painter->restore();
}

QImage QZVScrollBarStyle::createImage(QSize size, arrowDirection direction, const QColor &color,
                                      bool frame) const
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double w = size.width();
    const double h = size.height();
    if (frame) {
        painter.setPen(QPen(color, 1.0, Qt::SolidLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(0, 0, w, h));
    }
    QPolygonF triangle;
    switch (direction) {
    case ArrowLeft:
        triangle << QPointF(3 * w / 4 - 0.5, 0) << QPointF(w / 4 - 0.5, h / 2) << QPointF(3 * w / 4, h);
        break;
    case ArrowRight:
        triangle << QPointF(w / 4 + 0.5, 0) << QPointF(3 * w / 4, h / 2) << QPointF(w / 4 + 0.5, h);
        break;
    case ArrowDown:
        triangle << QPointF(0, h / 4 + 0.5) << QPointF(w / 2, 3 * h / 4) << QPointF(w, h / 4 + 0.5);
        break;
    case ArrowUp:
        triangle << QPointF(0, 3 * h / 4) << QPointF(w / 2, h / 4 - 0.5)
                 << QPointF(w, static_cast<int>(3 * h / 4));
        break;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(color, Qt::SolidPattern));
    painter.drawPolygon(triangle, Qt::OddEvenFill);
    return image;
}
