#pragma once

#include "qzvbaseboxdraw.h"
#include "qzvbasebuttondraw.h"

#include <QRadioButton>

class QZVRadioButtonPrivate;

// A radio button painted either as a box (box mixin) or, in button mode, as a push
// button from a four-frame strip (button mixin), for tab-like option buttons.
class QZVRadioButton : public QRadioButton, public QZVBaseBoxDraw, public QZVBaseButtonDraw
{
    Q_OBJECT

public:
    explicit QZVRadioButton(QWidget *parent = nullptr);
    ~QZVRadioButton() override;

    void setCheckImage(const QString &checked, const QString &unchecked, bool buttonMode, bool twoFrames);
    void adjustSize();
    // Forwarded to the mixin of the current mode.
    bool setBtnIcon(const QString &path);
    void setIconRect(const QRect &rect);
    void setTextRect(const QRect &rect);
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const;
    void seedClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QZVRadioButtonPrivate *d;
};
