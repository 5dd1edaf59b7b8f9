#include "qzvspinbox.h"

#include "qzvbasebutton.h"
#include "skinimage.h"

#include <QLineEdit>
#include <QTimerEvent>

class QZVSpinBoxPrivate
{
public:
    QZVBaseButton *up = nullptr;
    QZVBaseButton *down = nullptr;
    qint16 left = -1;
    qint16 top = 0;
    qint16 right = 0;
    qint16 bottom = 0;
    bool keepSize = true;
    int repeatTimer = 0;
    bool steppingUp = true;
    int repeatTicks = 0;
};

QZVSpinBox::QZVSpinBox(QWidget *parent)
    : QSpinBox(parent)
    , QZVBaseRectImageDraw(this)
    , d(new QZVSpinBoxPrivate)
{
    setAcceptDrops(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

QZVSpinBox::~QZVSpinBox()
{
    deleteButtons();
    delete d;
}

void QZVSpinBox::deleteButtons()
{
    delete d->up;
    delete d->down;
    d->up = nullptr;
    d->down = nullptr;
}

bool QZVSpinBox::setBackgroundImage(const QString &path)
{
    if (!QZVBaseRectImageDraw::setBackgroundImage(path))
        return false;
    setStyleSheet(QStringLiteral("QZVSpinBox {background-color:transparent;border:none}"));
    return true;
}

void QZVSpinBox::setUpAndDownBtnImage(const QString &up, const QString &down, bool keepSize)
{
    deleteButtons();
    if (SkinImage::load(up).isNull())
        return;
    d->up = new QZVBaseButton(this);
    d->down = new QZVBaseButton(this);
    d->up->setButtonImage(up, true);
    d->down->setButtonImage(down, true);
    // The field's arrow keys step the value; the arrows themselves are for the mouse.
    d->up->setFocusPolicy(Qt::NoFocus);
    d->down->setFocusPolicy(Qt::NoFocus);
    d->up->show();
    d->down->show();
    d->keepSize = keepSize;
    connect(d->up, SIGNAL(clicked()), this, SLOT(stepUp()));
    connect(d->down, SIGNAL(clicked()), this, SLOT(stepDown()));
    connect(d->up, SIGNAL(pressed()), this, SLOT(pressBtn()));
    connect(d->up, SIGNAL(released()), this, SLOT(releseBtn()));
    connect(d->down, SIGNAL(pressed()), this, SLOT(pressBtn()));
    connect(d->down, SIGNAL(released()), this, SLOT(releseBtn()));
}

void QZVSpinBox::setBtnMargins(int left, int top, int right, int bottom)
{
    d->left = static_cast<qint16>(left);
    d->top = static_cast<qint16>(top);
    d->right = static_cast<qint16>(right);
    d->bottom = static_cast<qint16>(bottom);
    update();
    updateGeometry();
}

void QZVSpinBox::setBtnMargins(const QMargins &margins)
{
    setBtnMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
}

void QZVSpinBox::setTextMargins(int left, int top, int right, int bottom)
{
    if (lineEdit())
        lineEdit()->setTextMargins(left, top, right, bottom);
}

void QZVSpinBox::pressBtn()
{
    if (!d->up)
        return;
    d->steppingUp = sender() == d->up;
    d->repeatTicks = 0;
    // A second press before the release must not leave a timer stepping forever.
    releseBtn();
    d->repeatTimer = startTimer(100, Qt::CoarseTimer);
}

void QZVSpinBox::releseBtn()
{
    if (d->repeatTimer == 0)
        return;
    killTimer(d->repeatTimer);
    d->repeatTimer = 0;
}

void QZVSpinBox::timerEvent(QTimerEvent *event)
{
    QAbstractSpinBox::timerEvent(event);
    if (d->repeatTimer == 0 || event->timerId() != d->repeatTimer)
        return;
    if (d->repeatTicks > 5) {
        if (d->steppingUp)
            stepUp();
        else
            stepDown();
    }
    ++d->repeatTicks;
}

void QZVSpinBox::paintEvent(QPaintEvent *event)
{
    QZVBaseRectImageDraw::paintEvent(event);
    if (!d->up)
        QAbstractSpinBox::paintEvent(event);
}

void QZVSpinBox::resizeEvent(QResizeEvent *event)
{
    QAbstractSpinBox::resizeEvent(event);
    resetBtnLocation();
}

void QZVSpinBox::showEvent(QShowEvent *event)
{
    QAbstractSpinBox::showEvent(event);
    resetBtnLocation();
}

void QZVSpinBox::resetBtnLocation()
{
    if (!d->up || !d->down)
        return;
    if (d->left < 0)
        d->left = static_cast<qint16>(width() - d->up->width() - d->right);
    if (d->keepSize) {
        d->up->move(d->left, d->top);
        d->down->move(d->left, height() - d->bottom - d->down->height());
        return;
    }
    const int inner = height() - d->top - d->bottom;
    d->up->setGeometry(d->left, d->top, width() - d->left - d->right, inner / 2);
    d->down->setGeometry(d->left, height() - d->bottom - d->up->height(), d->up->width(),
                         inner - d->up->height());
}
