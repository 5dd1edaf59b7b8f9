#include "videoview.h"

#include <QMetaObject>
#include <QWidget>

using namespace VideoFrameCore;

bool VideoView::showImage(unsigned char *data, unsigned width, unsigned height, unsigned stride)
{
    if (!AdmitFrame(m_pending, !data, "showImage too slow...")) {
        ++m_dropped;
        return false;
    }
    Queue(CopyPackedFrame(data, int(width), int(height), int(stride)));
    return true;
}

bool VideoView::showYUVImage(unsigned char **planes, int width, int height, int *strides)
{
    if (!AdmitFrame(m_pending, !planes, "showYUVImage too slow...")) {
        ++m_dropped;
        return false;
    }
    Queue(CopyPlanarFrame(planes, width, height, strides));
    return true;
}

template <class Frame> void VideoView::Queue(const Frame &frame)
{
    ++m_admitted;
    // The functor owns its copy; Qt drops both when the view goes first.
    QMetaObject::invokeMethod(
        widget(),
        [this, frame] {
            if constexpr (std::is_same_v<Frame, PackedFrame>)
                OnPackedFrame(frame);
            else
                OnPlanarFrame(frame);
            ++m_uploaded;
            --m_pending;
            widget()->update();
        },
        Qt::QueuedConnection);
}

VideoViewCounters VideoView::counters() const
{
    return {m_admitted, m_dropped, m_uploaded, m_painted};
}
