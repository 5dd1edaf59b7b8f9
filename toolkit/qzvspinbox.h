#pragma once

#include "qzvbaserectimagedraw.h"

#include <QMargins>
#include <QSpinBox>

class QZVSpinBoxPrivate;

// An integer spin box with a skin image as its frame and two image buttons in place of
// the native arrows; holding a button repeats the step.
class QZVSpinBox : public QSpinBox, public QZVBaseRectImageDraw
{
    Q_OBJECT

public:
    explicit QZVSpinBox(QWidget *parent = nullptr);
    ~QZVSpinBox() override;

    bool setBackgroundImage(const QString &path);
    void setUpAndDownBtnImage(const QString &up, const QString &down, bool keepSize);
    void setBtnMargins(int left, int top, int right, int bottom);
    void setBtnMargins(const QMargins &margins);
    void setTextMargins(int left, int top, int right, int bottom);

public slots:
    void pressBtn();
    void releseBtn();

protected:
    void timerEvent(QTimerEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void resetBtnLocation();
    void deleteButtons();

    QZVSpinBoxPrivate *d;
};
