#pragma once

#include "qzvbaseprogress.h"

class QZVBaseButton;
class QZVBaseSliderPrivate;

// The progress bar as an input: a skinned thumb button sits at the value, and clicks,
// drags and arrow keys set it.
class QZVBaseSlider : public QZVBaseProgress
{
    Q_OBJECT

public:
    explicit QZVBaseSlider(QWidget *parent = nullptr);
    ~QZVBaseSlider() override;

    bool setBtnImage(const QString &path);
    QZVBaseButton *getButton() const;
    void setBtnOffset(int offset);
    // Offsets never smaller than half the thumb, so its centre reaches both track ends.
    void setOffset(int start, int end);
    void setEnabledPull(bool on);
    bool enablePull() const;
    double getValidLenght() const;

signals:
    // The clicked or dragged position as a fraction of the track.
    void sendProgressValue(double fraction);

public slots:
    void setValue(double value);
    void setValue(int value);
    void btnMouseMove(QMouseEvent *event, int pressX);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

    virtual void calcBtnPostion();
    virtual void OnKeyLeftDown();
    virtual void OnKeyRightUp();

private:
    QPoint sliderPoint(QMouseEvent *event) const;
    void stepBy(double step);
    bool isValidRange(const QPoint &point) const;
    void PointToValue(const QPoint &point);
    void valueToPoint(QPoint &point) const;

    QZVBaseSliderPrivate *d;
};
