#include "qzvradiobutton.h"

class QZVRadioButtonPrivate
{
public:
    bool buttonMode = false;
};

QZVRadioButton::QZVRadioButton(QWidget *parent)
    : QRadioButton(parent)
    , QZVBaseBoxDraw(this, QZVBaseBoxDraw::RadioType)
    , QZVBaseButtonDraw(this)
    , d(new QZVRadioButtonPrivate)
{
}

QZVRadioButton::~QZVRadioButton()
{
    delete d;
}

void QZVRadioButton::setCheckImage(const QString &checked, const QString &unchecked, bool buttonMode,
                                   bool twoFrames)
{
    d->buttonMode = buttonMode;
    if (buttonMode)
        QZVBaseButtonDraw::setButtonImage(checked, true);
    else
        QZVBaseBoxDraw::setCheckImage(checked, unchecked, QString(), false, twoFrames);
    repaint();
}

void QZVRadioButton::adjustSize()
{
    if (d->buttonMode)
        return;
    if (QZVBaseBoxDraw::isCustomDraw())
        QZVBaseBoxDraw::adjustSize();
    else
        QWidget::adjustSize();
}

bool QZVRadioButton::setBtnIcon(const QString &path)
{
    return d->buttonMode ? QZVBaseButtonDraw::setBtnIcon(path) : QZVBaseBoxDraw::setBtnIcon(path);
}

void QZVRadioButton::setIconRect(const QRect &rect)
{
    if (d->buttonMode)
        QZVBaseButtonDraw::setIconRect(rect);
    else
        QZVBaseBoxDraw::setIconRect(rect);
}

void QZVRadioButton::setTextRect(const QRect &rect)
{
    if (d->buttonMode)
        QZVBaseButtonDraw::setTextRect(rect);
    else
        QZVBaseBoxDraw::setTextRect(rect);
}

void QZVRadioButton::setAlignment(Qt::Alignment alignment)
{
    if (d->buttonMode)
        QZVBaseButtonDraw::setAlignment(alignment);
    else
        QZVBaseBoxDraw::setAlignment(alignment);
}

Qt::Alignment QZVRadioButton::alignment() const
{
    return d->buttonMode ? QZVBaseButtonDraw::alignment() : QZVBaseBoxDraw::alignment();
}

void QZVRadioButton::seedClick()
{
    QAbstractButton::click();
}

void QZVRadioButton::mousePressEvent(QMouseEvent *event)
{
    if (d->buttonMode) {
        QZVBaseButtonDraw::mousePressEvent(event);
        // The pressed look and the checked state change together; an exclusive group
        // refuses to uncheck its checked button.
        setChecked(!isChecked());
    }
    QAbstractButton::mousePressEvent(event);
}

void QZVRadioButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (d->buttonMode)
        QZVBaseButtonDraw::mouseReleaseEvent(event);
    QAbstractButton::mouseReleaseEvent(event);
}

void QZVRadioButton::mouseMoveEvent(QMouseEvent *event)
{
    QRadioButton::mouseMoveEvent(event);
}

void QZVRadioButton::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    QZVBaseButtonDraw::focusInEvent(event);
}

void QZVRadioButton::focusOutEvent(QFocusEvent *event)
{
    QAbstractButton::focusOutEvent(event);
    QZVBaseButtonDraw::focusOutEvent(event);
}

void QZVRadioButton::enterEvent(QEvent *event)
{
    if (d->buttonMode)
        QZVBaseButtonDraw::enterEvent(event);
    QWidget::enterEvent(event);
}

void QZVRadioButton::leaveEvent(QEvent *event)
{
    if (d->buttonMode)
        QZVBaseButtonDraw::leaveEvent(event);
    QWidget::leaveEvent(event);
}

void QZVRadioButton::paintEvent(QPaintEvent *event)
{
    if (d->buttonMode && QZVBaseButtonDraw::isCustomDraw())
        QZVBaseButtonDraw::paintEvent(event);
    else if (!d->buttonMode && QZVBaseBoxDraw::isCustomDraw())
        QZVBaseBoxDraw::paintEvent(event);
    else
        QRadioButton::paintEvent(event);
}

void QZVRadioButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (d->buttonMode)
        QZVBaseButtonDraw::changeEvent(event);
    repaint();
}
