#pragma once

#include <QColor>
#include <QImage>

// The looks of a skinned menu: colours, images and fixed item sizes (-1 = the base
// style's own sizes).
struct QZVMenuStyleAttribute
{
    QImage backgroundImage;
    int frameWidth = 3;
    QColor frameColor = QColor(225, 225, 225);
    QColor areaColor = QColor(225, 225, 225);
    QColor itemColor = QColor(225, 225, 225);
    QColor itemTextColor = QColor(0, 0, 0);
    QColor itemSelectColor = QColor(144, 200, 246);
    QColor itemTextSelectColor = QColor(255, 255, 255);
    QColor itemDisabledColor = QColor(225, 225, 225);
    QColor itemTextDisabledColor = QColor(109, 109, 109);
    QColor separatorColor = QColor(0, 223, 223);
    QImage radioImage;
    QImage uncheckedImage;
    QImage checkedImage;
    int smallIconSize = 15;
    int itemWidth = -1;
    int itemHeight = -1;
};
