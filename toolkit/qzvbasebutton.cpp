#include "qzvbasebutton.h"

#include <QKeyEvent>
#include <QMouseEvent>

QZVBaseButton::QZVBaseButton(QWidget *parent)
    : QPushButton(parent)
    , QZVBaseButtonDraw(this)
{
}

QZVBaseButton::~QZVBaseButton() = default;

void QZVBaseButton::seedClick()
{
    QAbstractButton::click();
}

void QZVBaseButton::addItemCount()
{
    QZVBaseButtonDraw::addItemCount();
}

void QZVBaseButton::timerEvent(QTimerEvent *event)
{
    QAbstractButton::timerEvent(event);
    QZVBaseButtonDraw::timerEvent(event);
}

void QZVBaseButton::mousePressEvent(QMouseEvent *event)
{
    if (QZVBaseButtonDraw::mousePressEvent(event))
        emit mouseDown(event, getMouseMapValue());
    QAbstractButton::mousePressEvent(event);
}

void QZVBaseButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (QZVBaseButtonDraw::mouseReleaseEvent(event))
        emit mouseRelease(event, getMouseMapValue());
    QAbstractButton::mouseReleaseEvent(event);
}

void QZVBaseButton::mouseMoveEvent(QMouseEvent *event)
{
    QAbstractButton::mouseMoveEvent(event);
    if (QZVBaseButtonDraw::mouseMoveEvent(event))
        emit mouseMove(event, getMouseMapValue());
}

// Return and Enter press the focused button in any window, not only in dialogs.
void QZVBaseButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat())
        click();
    else
        QPushButton::keyPressEvent(event);
}

void QZVBaseButton::focusInEvent(QFocusEvent *event)
{
    QPushButton::focusInEvent(event);
    QZVBaseButtonDraw::focusInEvent(event);
}

void QZVBaseButton::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    QZVBaseButtonDraw::focusOutEvent(event);
}

void QZVBaseButton::enterEvent(QEvent *event)
{
    QZVBaseButtonDraw::enterEvent(event);
    emit mouseEnter(event);
    QWidget::enterEvent(event);
    // The parent window may still show a resize cursor from its edge band.
    setCursor(Qt::ArrowCursor);
}

void QZVBaseButton::leaveEvent(QEvent *event)
{
    QZVBaseButtonDraw::leaveEvent(event);
    emit mouseLeave(event);
    QWidget::leaveEvent(event);
}

void QZVBaseButton::paintEvent(QPaintEvent *event)
{
    if (isCustomDraw())
        QZVBaseButtonDraw::paintEvent(event);
    else
        QPushButton::paintEvent(event);
}

void QZVBaseButton::changeEvent(QEvent *event)
{
    QZVBaseButtonDraw::changeEvent(event);
    QAbstractButton::changeEvent(event);
}
