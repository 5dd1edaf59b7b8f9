#include "qzvopaqueframe.h"

#include "qzvcompositorwatch.h"

#include <QBitmap>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>

class QZVOpaqueFramePrivate
{
public:
    QWidget *window = nullptr;
    QZVOpaqueFrame::BackgroundPainter paintBackground;
    QRegion shape; // empty while the window stays translucent
    QColor underlay;
};

namespace {

// Every pixel the background touches at all, so that its soft edge is kept.
QRegion paintedShape(const QImage &painted)
{
    QImage touched(painted.size(), QImage::Format_ARGB32);
    for (int y = 0; y < painted.height(); ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(painted.constScanLine(y));
        auto *target = reinterpret_cast<QRgb *>(touched.scanLine(y));
        for (int x = 0; x < painted.width(); ++x)
            target[x] = qAlpha(source[x]) ? 0xff000000 : 0;
    }
    return QRegion(QBitmap::fromImage(touched.createAlphaMask()));
}

// The first fully opaque pixel in from the left edge at half height: the frame's own
// edge colour, which the soft corners blend into.
QColor edgeColour(const QImage &painted)
{
    const auto *row = reinterpret_cast<const QRgb *>(painted.constScanLine(painted.height() / 2));
    for (int x = 0; x < painted.width(); ++x) {
        if (qAlpha(row[x]) == 255)
            return QColor(row[x]);
    }
    return QColor();
}

}

QZVOpaqueFrame::QZVOpaqueFrame(QWidget *window, BackgroundPainter paintBackground)
    : d(new QZVOpaqueFramePrivate)
{
    d->window = window;
    d->paintBackground = std::move(paintBackground);
    window->installEventFilter(this);
    connect(QZVCompositorWatch::instance(), &QZVCompositorWatch::runningChanged, this, &QZVOpaqueFrame::refresh);
}

QZVOpaqueFrame::~QZVOpaqueFrame()
{
    delete d;
}

bool QZVOpaqueFrame::isOpaque() const
{
    return !d->shape.isEmpty();
}

void QZVOpaqueFrame::paintUnderlay(QPainter &painter) const
{
    if (!d->underlay.isValid())
        return;
    for (const QRect &rect : d->shape)
        painter.fillRect(rect, d->underlay);
}

void QZVOpaqueFrame::refresh()
{
    const bool wasOpaque = isOpaque();
    d->shape = QRegion();
    d->underlay = QColor();
    if (d->window->isWindow() && d->window->testAttribute(Qt::WA_TranslucentBackground)
        && !QZVCompositorWatch::instance()->isRunning() && !d->window->size().isEmpty()) {
        QImage painted(d->window->size(), QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::transparent);
        QPainter painter(&painted);
        d->paintBackground(painter, painted.size());
        painter.end();
        d->shape = paintedShape(painted);
        d->underlay = edgeColour(painted);
    }
    if (isOpaque())
        d->window->setMask(d->shape);
    else if (wasOpaque)
        d->window->clearMask();
    d->window->update();
}

bool QZVOpaqueFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == d->window && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        refresh();
    return false;
}
