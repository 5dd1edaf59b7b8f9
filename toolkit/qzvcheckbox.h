#pragma once

#include "qzvbaseboxdraw.h"

#include <QCheckBox>

// A check box painted by the box mixin once its images are set; a press anywhere on it
// toggles it.
class QZVCheckBox : public QCheckBox, public QZVBaseBoxDraw
{
    Q_OBJECT

public:
    explicit QZVCheckBox(QWidget *parent = nullptr);
    ~QZVCheckBox() override;

    void setCheckImage(const QString &checked, const QString &unchecked, const QString &partial,
                       bool twoFrames);
    void setCheckImage(QImage *checked, QImage *unchecked, QImage *partial, bool twoFrames, bool copy);
    void adjustSize();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
