#include "qvideoshowwidget.h"

#include "nsopenglvideoview.h"
#include "nsvideoview.h"
#include "playerlog.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QVBoxLayout>

#include <atomic>

namespace {

std::atomic<bool> g_forceRaster{false};

bool ProbeOpenGl()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    return surface.isValid() && context.create() && context.makeCurrent(&surface);
}

} // namespace

QVideoShowWidget::QVideoShowWidget(QWidget *parent)
    : QWidget(parent)
{
    // The view covers everything; no native window, which would break the composition
    // of the GL view and of whatever is drawn over it.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_MouseTracking);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

QVideoShowWidget::~QVideoShowWidget()
{
    // The view goes with the children; no frame may reach it from here on.
    std::lock_guard<std::mutex> lock(m_viewMutex);
    m_view = nullptr;
}

void QVideoShowWidget::setForceRaster(bool on)
{
    g_forceRaster = on;
}

bool QVideoShowWidget::isOpenGlAvailable()
{
    static const bool available = [] {
        const bool made = ProbeOpenGl();
        if (!made)
            qCInfo(lcPlayer) << "no OpenGL context can be made: video is drawn on the CPU";
        return made;
    }();
    return available;
}

void QVideoShowWidget::SetOpenGl(bool useOpenGl)
{
    m_useOpenGl = useOpenGl;
    VideoView *view = nullptr;
    if (useOpenGl && !g_forceRaster && isOpenGlAvailable())
        view = new NSOpenGLVideoView(this);
    else
        view = new NSVideoView(this);
    layout()->addWidget(view->widget());
    view->widget()->setMouseTracking(true);

    VideoView *old = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_viewMutex);
        old = std::exchange(m_view, view);
    }
    // Out of reach of the display thread now; its queued frames go with it.
    if (old)
        delete old->widget();
    view->widget()->show();
}

void QVideoShowWidget::reshape()
{
    std::lock_guard<std::mutex> lock(m_viewMutex);
    if (m_view && m_useOpenGl)
        m_view->reshape();
}

bool QVideoShowWidget::showImage(unsigned char *data, unsigned width, unsigned height, unsigned stride)
{
    std::lock_guard<std::mutex> lock(m_viewMutex);
    return m_view && m_view->showImage(data, width, height, stride);
}

bool QVideoShowWidget::showYUVImage(unsigned char **planes, int width, int height, int *strides)
{
    std::lock_guard<std::mutex> lock(m_viewMutex);
    return m_view && m_view->showYUVImage(planes, width, height, strides);
}

VideoView *QVideoShowWidget::view() const
{
    std::lock_guard<std::mutex> lock(m_viewMutex);
    return m_view;
}
