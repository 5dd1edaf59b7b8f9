#pragma once

#include "qzvscrollbarstyleattribute.h"

#include <QProxyStyle>

// Draws a flat, rounded scroll bar: a thin handle at rest, a track and a state-coloured
// handle under the mouse. Geometry stays the base style's.
class QZVScrollBarStyle : public QProxyStyle
{
    Q_OBJECT

public:
    enum arrowDirection { ArrowLeft = 0, ArrowRight = 1, ArrowDown = 2, ArrowUp = 3 };

    explicit QZVScrollBarStyle(QStyle *base = nullptr);
    ~QZVScrollBarStyle() override;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;

    void drawScrollbar(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                       const QWidget *widget) const;
    QImage createImage(QSize size, arrowDirection direction, const QColor &color, bool frame) const;

    QZVScrollBarStyleAttribute *attribute();

private:
    QZVScrollBarStyleAttribute m_attribute;
};
