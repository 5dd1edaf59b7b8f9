#include "qzvdialog.h"

QZVDialog::QZVDialog(QWidget *parent)
    : QDialog(parent)
    , QBaseDrawWidget(this, QBaseDrawWidget::DialogType)
{
}

QZVDialog::~QZVDialog() = default;

// The mouse handlers skip the window class's own handling on purpose: the frame owns
// dragging and double clicks.
void QZVDialog::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    QBaseDrawWidget::mousePressEvent(event);
}

void QZVDialog::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    QBaseDrawWidget::mouseReleaseEvent(event);
}

void QZVDialog::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget::mouseDoubleClickEvent(event);
    QBaseDrawWidget::mouseDoubleClickEvent(event);
}

void QZVDialog::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    QBaseDrawWidget::mouseMoveEvent(event);
}

void QZVDialog::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QBaseDrawWidget::paintEvent(event);
}

void QZVDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    resetControlLocation();
}

void QZVDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    resetControlLocation();
}
