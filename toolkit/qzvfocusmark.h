#pragma once

#include <QObject>

class QZVFocusMarkPrivate;

// Marks the control the keyboard moves to (Tab, Backtab, a shortcut) with a focus
// ring; a mouse click moves the focus without one, as the pointer already shows where
// the user is. One per application, installed by the first self-drawn window.
class QZVFocusMark : public QObject
{
    Q_OBJECT

public:
    static void install();
    ~QZVFocusMark() override;

    // The control wearing the ring, or null.
    static QWidget *markedWidget();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QZVFocusMark();

    QZVFocusMarkPrivate *d;
};
