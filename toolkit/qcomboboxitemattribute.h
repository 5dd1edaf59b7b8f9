#pragma once

#include <QColor>
#include <QPoint>

// The looks of one row of a skinned combo box's popup; every row holds its own copy.
struct QComboBoxItemAttribute
{
    QColor itemColor = QColor(255, 255, 255, 255);
    QColor hoverColor = QColor(229, 243, 255, 255);
    QColor selectedColor = QColor(205, 232, 255, 255);
    int borderWidth = -1;    // carried; the popup border comes from the style sheet
    QColor borderColor = QColor(0, 0, 0, 255);
    int spacing = 0;         // vertical gap between rows
    QColor spacingColor = QColor(0, 0, 0, 255);
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool hoverColorSet = false;
    QPoint itemWidgetPos = QPoint(-1, -1);
    QColor separatorColor = QColor(0, 0, 0, 255);
};
