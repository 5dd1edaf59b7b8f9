#pragma once

#include "qbasedrawwidget.h"

#include <QMainWindow>

// A self-drawn frameless host: the Qt handlers run first, then the window-frame mixin;
// every resize and show ends in resetControlLocation.
class QZVMainWindow : public QMainWindow, public QBaseDrawWidget
{
    Q_OBJECT

public:
    explicit QZVMainWindow(QWidget *parent = nullptr);
    ~QZVMainWindow() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
