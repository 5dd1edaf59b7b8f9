#include "qzvscrollbarstyleattribute.h"

QZVScrollBarStyleAttribute::QZVScrollBarStyleAttribute()
    : grooveColor(240, 240, 240, 255)
    , trackColor(149, 149, 153, 255)
    , scrollBarExtent(11)
    , trackAlways(false)
    , lineButtonColor(240, 240, 240, 255)
    , auxColor1(111, 115, 123, 255)
    , auxColor2(89, 90, 93, 255)
    , auxColor3(124, 125, 128, 255)
    , auxColor4(lineButtonColor)
    , handleColor(96, 96, 96, 255)
    , handlePressedColor(96, 96, 96, 255)
    , handleHoverColor(96, 96, 96, 255)
    , handleInset(0)
    , cornerRadius(-1)
{
}
