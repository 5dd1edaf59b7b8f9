#include "qzvfocusmark.h"

#include "qzvfocusframe.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>

class QZVFocusMarkPrivate
{
public:
    QPointer<QZVFocusFrame> frame;
};

namespace {

QZVFocusMark *g_mark = nullptr;

bool byKeyboard(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

}

void QZVFocusMark::install()
{
    if (!g_mark && qApp)
        g_mark = new QZVFocusMark;
}

QZVFocusMark::QZVFocusMark()
    : QObject(qApp)
    , d(new QZVFocusMarkPrivate)
{
    qApp->installEventFilter(this);
}

QZVFocusMark::~QZVFocusMark()
{
    g_mark = nullptr;
    delete d;
}

QWidget *QZVFocusMark::markedWidget()
{
    return g_mark && g_mark->d->frame ? g_mark->d->frame->target() : nullptr;
}

bool QZVFocusMark::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->isWindow())
        return false;
    if (event->type() == QEvent::FocusOut) {
        // A window losing activation or opening a popup keeps its focus widget, and the
        // ring with it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (d->frame && d->frame->target() == widget && reason != Qt::ActiveWindowFocusReason
            && reason != Qt::PopupFocusReason)
            delete d->frame;
    } else if (byKeyboard(static_cast<QFocusEvent *>(event)->reason()) && widget->parentWidget()) {
        delete d->frame;
        d->frame = new QZVFocusFrame(widget);
    } else if (d->frame && d->frame->target() != widget) {
        // The ring marks the focus widget only, whatever way the focus moved on.
        delete d->frame;
    }
    return false;
}
