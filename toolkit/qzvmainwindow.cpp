#include "qzvmainwindow.h"

QZVMainWindow::QZVMainWindow(QWidget *parent)
    : QMainWindow(parent)
    , QBaseDrawWidget(this, QBaseDrawWidget::MainWindowType)
{
}

QZVMainWindow::~QZVMainWindow() = default;

// The mouse handlers skip the window class's own handling on purpose: the frame owns
// dragging and double clicks.
void QZVMainWindow::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    QBaseDrawWidget::mousePressEvent(event);
}

void QZVMainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    QBaseDrawWidget::mouseReleaseEvent(event);
}

void QZVMainWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget::mouseDoubleClickEvent(event);
    QBaseDrawWidget::mouseDoubleClickEvent(event);
}

void QZVMainWindow::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    QBaseDrawWidget::mouseMoveEvent(event);
}

void QZVMainWindow::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QBaseDrawWidget::paintEvent(event);
}

void QZVMainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resetControlLocation();
}

void QZVMainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    resetControlLocation();
}
