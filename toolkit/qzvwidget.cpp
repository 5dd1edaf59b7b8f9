#include "qzvwidget.h"

QZVWidget::QZVWidget(QWidget *parent)
    : QWidget(parent)
    , QBaseDrawWidget(this, QBaseDrawWidget::ChildWidgetType)
{
}

QZVWidget::~QZVWidget() = default;

// The mouse handlers skip the window class's own handling on purpose: the frame owns
// dragging and double clicks.
void QZVWidget::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    QBaseDrawWidget::mousePressEvent(event);
}

void QZVWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    QBaseDrawWidget::mouseReleaseEvent(event);
}

void QZVWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget::mouseDoubleClickEvent(event);
    QBaseDrawWidget::mouseDoubleClickEvent(event);
}

void QZVWidget::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    QBaseDrawWidget::mouseMoveEvent(event);
}

void QZVWidget::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QBaseDrawWidget::paintEvent(event);
}

void QZVWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resetControlLocation();
}

void QZVWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    resetControlLocation();
}
