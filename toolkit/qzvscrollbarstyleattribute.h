#pragma once

#include <QColor>
#include <QImage>

// The looks of a skinned scroll bar, copied by value in and out of its style.
struct QZVScrollBarStyleAttribute
{
    QZVScrollBarStyleAttribute();

    QColor grooveColor;
    QColor trackColor;
    QImage image;            // carried for the presets, not drawn
    int scrollBarExtent;     // bar thickness reported as the scroll-bar extent
    bool trackAlways;        // expanded look even without the mouse over the bar
    QColor lineButtonColor;
    QColor auxColor1;        // the four aux colours are carried, not drawn
    QColor auxColor2;
    QColor auxColor3;
    QColor auxColor4;
    QColor handleColor;
    QColor handlePressedColor;
    QColor handleHoverColor;
    int handleInset;         // narrows the handle on both long sides
    int cornerRadius;        // -1: half the bar's thickness
};
