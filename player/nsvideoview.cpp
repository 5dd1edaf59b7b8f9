#include "nsvideoview.h"

#include <QPainter>

using namespace VideoFrameCore;

NSVideoView::NSVideoView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

NSVideoView::~NSVideoView() = default;

void NSVideoView::reshape()
{
    update();
}

void NSVideoView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_image.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(rect(), m_image);
    CountPainted();
}

void NSVideoView::OnPackedFrame(const PackedFrame &frame)
{
    // RGB32 is B, G, R, x in memory on little-endian machines, as the frame is; the
    // image reads the shared copy, which the view keeps.
    m_pixels = frame.pixels;
    m_image = frame.isNull ? QImage()
                           : QImage(reinterpret_cast<const uchar *>(m_pixels.constData()), frame.width,
                                    frame.height, frame.stride, QImage::Format_RGB32);
}

void NSVideoView::OnPlanarFrame(const PlanarFrame &frame)
{
    // Converting at the view's size (never above the frame's) keeps the cost per frame low.
    const QSize size = frame.isNull ? QSize() : QSize(frame.width, frame.height).boundedTo(this->size());
    m_image = PlanarToImage(frame, size.isEmpty() ? QSize(frame.width, frame.height) : size);
}
