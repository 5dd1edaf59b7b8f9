#include "zvmacosinterface.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

QPoint ZvMacosInterface::getGlobalPos()
{
    return QCursor::pos();
}

QPoint ZvMacosInterface::getWindowPos(QWidget *widget)
{
    // winId() would turn a child widget into a native window, so only an existing
    // window handle counts.
    if (!widget || !widget->window()->windowHandle())
        return QPoint(0, 0);
    const QRect frame = widget->window()->frameGeometry();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 0;
    return QPoint(frame.x(), screenHeight - (frame.y() + frame.height()));
}
