#pragma once

#include <QObject>

#include <functional>

class QPainter;
class QSize;
class QWidget;
class QZVOpaqueFramePrivate;

// Keeps a translucent frameless window whole where no compositor blends it: the X
// server would show its transparent margins black. The window is then cut to the shape
// its background paints, and the soft edge of that shape lies on an opaque underlay.
// With a compositor nothing changes. Follows the compositor as it starts and stops.
class QZVOpaqueFrame : public QObject
{
    Q_OBJECT

public:
    // Paints the window's background alone, at the given size, as its paint event does.
    using BackgroundPainter = std::function<void(QPainter &painter, const QSize &size)>;

    QZVOpaqueFrame(QWidget *window, BackgroundPainter paintBackground);
    ~QZVOpaqueFrame() override;

    bool isOpaque() const;
    // Called first in the window's paint event.
    void paintUnderlay(QPainter &painter) const;
    // The background's shape may have changed.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QZVOpaqueFramePrivate *d;
};
