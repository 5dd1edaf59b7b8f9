#pragma once

#include "videoframecore.h"

#include <atomic>

class QWidget;

// What a view has done with frames, for tests and diagnostics.
struct VideoViewCounters
{
    int admitted = 0;
    int dropped = 0;
    int uploaded = 0;
    int painted = 0;
};

// The frame hand-off shared by both views: admission and copy on the caller's thread,
// then a functor queued to the view, owning the copy, that runs on the GUI thread.
// A view deleted first drops its queued functors together with their copies.
class VideoView
{
public:
    VideoView() = default;
    virtual ~VideoView() = default;
    VideoView(const VideoView &) = delete;
    VideoView &operator=(const VideoView &) = delete;

    // Any thread. True when the frame (or a null frame) was queued.
    bool showImage(unsigned char *data, unsigned width, unsigned height, unsigned stride);
    bool showYUVImage(unsigned char **planes, int width, int height, int *strides);

    virtual QWidget *widget() = 0;
    virtual void reshape() = 0;

    int pendingFrames() const { return m_pending; }
    VideoViewCounters counters() const;

protected:
    // GUI thread, in frame order.
    virtual void OnPackedFrame(const VideoFrameCore::PackedFrame &frame) = 0;
    virtual void OnPlanarFrame(const VideoFrameCore::PlanarFrame &frame) = 0;
    void CountPainted() { ++m_painted; }

private:
    template <class Frame> void Queue(const Frame &frame);

    std::atomic<int> m_pending{0};
    std::atomic<int> m_admitted{0};
    std::atomic<int> m_dropped{0};
    std::atomic<int> m_uploaded{0};
    std::atomic<int> m_painted{0};
};
