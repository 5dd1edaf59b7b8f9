#include "qdialogcolseanimation.h"

#include <QPropertyAnimation>
#include <QWidget>

namespace {

void runAndClose(QWidget &window, const QByteArray &property, int duration, const QVariant &from,
                 const QVariant &to)
{
    // Parentless and self-deleting; window may close by other means before it ends.
    auto *animation = new QPropertyAnimation(&window, property);
    animation->setDuration(duration);
    animation->setStartValue(from);
    animation->setEndValue(to);
    QObject::connect(animation, SIGNAL(finished()), &window, SLOT(close()));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}

void QDialogColseAnimation::ColseTransparentAnimation(QWidget &window)
{
    runAndClose(window, "windowOpacity", 400, 1.0, 0.0);
}

void QDialogColseAnimation::startCloseGeometryAnimation(QWidget &window)
{
    window.setMinimumSize(0, 0);
    const QRect g = window.geometry();
    const QRect collapsed(g.x(), g.y() + g.height() / 2, window.width(), 0);
    runAndClose(window, "geometry", 150, g, collapsed);
}
