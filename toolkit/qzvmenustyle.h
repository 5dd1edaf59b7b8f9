#pragma once

#include "qzvmenustyleattribute.h"

#include <QProxyStyle>

class QStyleOptionMenuItem;

// Paints a menu's frame, empty area and items from a QZVMenuStyleAttribute record and
// hands every other element to the application style.
class QZVMenuStyle : public QProxyStyle
{
    Q_OBJECT

public:
    QZVMenuStyle();
    ~QZVMenuStyle() override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;

    QZVMenuStyleAttribute *attribute();
    // a and b blended channel by channel, factor percent of a; alpha stays a's.
    static QColor mergedColors(const QColor &a, const QColor &b, int factor);

protected:
    void _DrawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void drawSeparator(const QStyleOptionMenuItem *item, QPainter *painter) const;
    void drawCheckState(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const;
    void drawIcon(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const;
    void drawText(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const;
    void drawArrow(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const;

private:
    int checkColumnWidth(const QStyleOptionMenuItem *item, const QWidget *widget) const;
    void drawCentredImage(QPainter *painter, const QRect &checkRect, QImage image) const;
    QSize menuItemSize(const QStyleOptionMenuItem *item, const QSize &size, const QWidget *widget) const;

    QZVMenuStyleAttribute m_attribute;
};
