#pragma once

#include <QObject>

class QWidget;

// Closes a window at the end of a short animation instead of at once.
class QDialogColseAnimation : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    static void ColseTransparentAnimation(QWidget &window);
    static void startCloseGeometryAnimation(QWidget &window);
};
