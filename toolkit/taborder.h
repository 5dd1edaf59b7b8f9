#pragma once

#include <QList>

class QWidget;

// Tab's order among a window's controls, where the order they were made in is not the
// order they read in.
class TabOrder
{
public:
    // Tab goes from each control to the one after it; those after the last keep their place.
    static void chain(const QList<QWidget *> &controls);
    // The controls, in their order, after every other control of the window.
    static void chainLast(QWidget *window, const QList<QWidget *> &controls);
};
