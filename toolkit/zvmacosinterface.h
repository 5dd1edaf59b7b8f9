#pragma once

#include <QPoint>

class QWidget;

// The two window-system queries the window frame needs: the global mouse position, and
// a window's frame origin counted from the bottom-left of the primary screen.
class ZvMacosInterface
{
public:
    ZvMacosInterface() = default;

    static QPoint getGlobalPos();
    static QPoint getWindowPos(QWidget *widget);
};
