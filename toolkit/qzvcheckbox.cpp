#include "qzvcheckbox.h"

QZVCheckBox::QZVCheckBox(QWidget *parent)
    : QCheckBox(parent)
    , QZVBaseBoxDraw(this, QZVBaseBoxDraw::CheckBoxType)
{
}

QZVCheckBox::~QZVCheckBox() = default;

void QZVCheckBox::setCheckImage(const QString &checked, const QString &unchecked,
                                const QString &partial, bool twoFrames)
{
    QZVBaseBoxDraw::setCheckImage(checked, unchecked, partial, false, twoFrames);
}

void QZVCheckBox::setCheckImage(QImage *checked, QImage *unchecked, QImage *partial, bool twoFrames,
                                bool copy)
{
    QZVBaseBoxDraw::setCheckImage(checked, unchecked, partial, false, twoFrames, copy);
}

void QZVCheckBox::adjustSize()
{
    if (isCustomDraw())
        QZVBaseBoxDraw::adjustSize();
    else
        QWidget::adjustSize();
}

void QZVCheckBox::mousePressEvent(QMouseEvent *event)
{
    QAbstractButton::mousePressEvent(event);
}

void QZVCheckBox::paintEvent(QPaintEvent *event)
{
    if (isCustomDraw())
        QZVBaseBoxDraw::paintEvent(event);
    else
        QCheckBox::paintEvent(event);
}

bool QZVCheckBox::hitButton(const QPoint &) const
{
    return true;
}
