#pragma once

#include "qzvbasebuttondraw.h"

#include <QPushButton>

// The toolkit's push button: the button mixin holds the look and states, this class
// routes Qt's events to it in a fixed order and publishes the mouse activity.
class QZVBaseButton : public QPushButton, public QZVBaseButtonDraw
{
    Q_OBJECT

public:
    explicit QZVBaseButton(QWidget *parent = nullptr);
    ~QZVBaseButton() override;

    // A programmatic click with the usual pressed, released and clicked signals.
    void seedClick();

signals:
    void mouseMove(QMouseEvent *event, int pressX);
    void mouseDown(QMouseEvent *event, int pressX);
    void mouseRelease(QMouseEvent *event, int pressX);
    void mouseEnter(QEvent *event);
    void mouseLeave(QEvent *event);

public slots:
    void addItemCount();

protected:
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
};
