#include "qzvfocusframe.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>

class QZVFocusFramePrivate
{
public:
    QPointer<QWidget> target;
};

namespace {

const QColor kAccent(245, 200, 0);
const QColor kInk(53, 53, 53);

}

QZVFocusFrame::QZVFocusFrame(QWidget *target)
    : QWidget(target->parentWidget())
    , d(new QZVFocusFramePrivate)
{
    d->target = target;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    target->installEventFilter(this);
    connect(target, &QObject::destroyed, this, &QObject::deleteLater);
    place();
}

QZVFocusFrame::~QZVFocusFrame()
{
    if (d->target)
        d->target->removeEventFilter(this);
    delete d;
}

QWidget *QZVFocusFrame::target() const
{
    return d->target;
}

void QZVFocusFrame::place()
{
    // The parent would cut off a ring outside its edges.
    const QRect around = d->target->geometry().adjusted(-kWidth, -kWidth, kWidth, kWidth);
    setGeometry(around.intersected(parentWidget()->rect()));
    // Only the ring: the control itself stays visible and clickable through the frame.
    setMask(QRegion(rect()).subtracted(QRegion(rect().adjusted(kWidth, kWidth, -kWidth, -kWidth))));
    setVisible(d->target->isVisible());
    raise();
}

bool QZVFocusFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == d->target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        case QEvent::ParentChange:
            deleteLater();
            break;
        default:
            break;
        }
    }
    return false;
}

void QZVFocusFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kAccent);
    painter.fillRect(rect().adjusted(kWidth - 1, kWidth - 1, 1 - kWidth, 1 - kWidth), kInk);
}
