#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class QZVCompositorWatchPrivate;

// Whether a compositing manager blends translucent windows into the screen. On X11 it
// asks the server who owns the compositor selection of the application's screen, and
// follows each change of that owner as the server reports it. Other platforms always
// blend (Wayland) or draw into images that keep their alpha (offscreen).
class QZVCompositorWatch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    static QZVCompositorWatch *instance();
    ~QZVCompositorWatch() override;

    bool isRunning() const;
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;

signals:
    void runningChanged(bool running);

private:
    QZVCompositorWatch();

    QZVCompositorWatchPrivate *d;
};
