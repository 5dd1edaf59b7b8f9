#include "qzvcompositorwatch.h"

#include "toolkitlog.h"

#include <QCoreApplication>
#include <QPointer>
#include <QX11Info>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <memory>

class QZVCompositorWatchPrivate
{
public:
    bool running = true;
    xcb_atom_t selection = XCB_NONE;
    uint8_t selectionNotifyType = 0; // 0: the server cannot report owner changes
};

namespace {

template<typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, name.size(), name.constData()), nullptr),
        &std::free);
    return reply ? reply->atom : XCB_NONE;
}

bool hasOwner(xcb_connection_t *connection, xcb_atom_t selection)
{
    const ReplyPtr<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr),
        &std::free);
    return reply && reply->owner != XCB_NONE;
}

// Asks the server to report every change of the selection's owner; returns the event
// type those reports carry, 0 when the server lacks the extension.
uint8_t watchOwner(xcb_connection_t *connection, xcb_atom_t selection)
{
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!extension || !extension->present)
        return 0;
    // The server answers requests of this extension only after a version query.
    std::free(xcb_xfixes_query_version_reply(
        connection, xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION), nullptr));
    xcb_xfixes_select_selection_input(connection, QX11Info::appRootWindow(), selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(connection);
    return extension->first_event + XCB_XFIXES_SELECTION_NOTIFY;
}

}

QZVCompositorWatch *QZVCompositorWatch::instance()
{
    // Goes with the application that owns it; a later application gets a watch of its own.
    static QPointer<QZVCompositorWatch> watch;
    if (!watch)
        watch = new QZVCompositorWatch;
    return watch;
}

// Lives as long as the application: windows ask it until their last paint.
QZVCompositorWatch::QZVCompositorWatch()
    : QObject(QCoreApplication::instance())
    , d(new QZVCompositorWatchPrivate)
{
    if (!QX11Info::isPlatformX11())
        return;
    xcb_connection_t *connection = QX11Info::connection();
    d->selection = internAtom(connection, "_NET_WM_CM_S" + QByteArray::number(QX11Info::appScreen()));
    // Watched before asked: a compositor that starts or stops between the two requests is
    // reported, where asking first would miss it.
    d->selectionNotifyType = watchOwner(connection, d->selection);
    d->running = hasOwner(connection, d->selection);
    if (d->selectionNotifyType)
        QCoreApplication::instance()->installNativeEventFilter(this);
    qCInfo(lcToolkit) << "compositing manager running:" << d->running;
}

// The filter's base leaves the application's filters by itself, also when the watch goes
// with the application, whose instance() is gone by then.
QZVCompositorWatch::~QZVCompositorWatch()
{
    delete d;
}

bool QZVCompositorWatch::isRunning() const
{
    return d->running;
}

bool QZVCompositorWatch::nativeEventFilter(const QByteArray &eventType, void *message, long *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != d->selectionNotifyType)
        return false;
    const auto *notify = static_cast<const xcb_xfixes_selection_notify_event_t *>(message);
    const bool running = notify->owner != XCB_NONE;
    if (notify->selection == d->selection && running != d->running) {
        d->running = running;
        qCInfo(lcToolkit) << "compositing manager running:" << running;
        emit runningChanged(running);
    }
    return false; // Qt's own clipboard and screen code watch selections too
}
