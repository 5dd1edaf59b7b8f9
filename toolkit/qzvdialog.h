#pragma once

#include "qbasedrawwidget.h"

#include <QDialog>

// A self-drawn frameless host: the Qt handlers run first, then the window-frame mixin;
// every resize and show ends in resetControlLocation.
class QZVDialog : public QDialog, public QBaseDrawWidget
{
    Q_OBJECT

public:
    explicit QZVDialog(QWidget *parent = nullptr);
    ~QZVDialog() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
