#pragma once

#include <QWidget>

class QZVFocusFramePrivate;

// The ring around the control that the keyboard reached: an accent band with a dark
// inner line, so it shows on light panels and dark strips alike. It lies just outside
// the control (inside it along its parent's edges), over its siblings, and follows the
// control as it moves, hides or goes.
class QZVFocusFrame : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 3;

    explicit QZVFocusFrame(QWidget *target);
    ~QZVFocusFrame() override;

    QWidget *target() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    QZVFocusFramePrivate *d;
};
