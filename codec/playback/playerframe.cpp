#include "playback/playerframe.h"

#include "mmc.h"

PlayerFrame PlayerFrame::of(const AVFrame *frame)
{
    PlayerFrame view;
    view.format = MMC_PIX_YUV420P;
    view.width = frame->width;
    view.height = frame->height;
    for (int i = 0; i < 3; ++i) {
        view.plane[i] = frame->data[i];
        view.stride[i] = frame->linesize[i];
    }
    return view;
}

namespace {

const PlayerFrame *view(void *frame)
{
    return static_cast<const PlayerFrame *>(frame);
}

bool validPlane(void *frame, int plane)
{
    return frame && plane >= 0 && plane < 3;
}

} // namespace

extern "C" {

int MMC_FrameGetPixelFormat(void *frame)
{
    return frame ? view(frame)->format : -1;
}

int MMC_FrameGetWidth(void *frame)
{
    return frame ? view(frame)->width : 0;
}

int MMC_FrameGetHeight(void *frame)
{
    return frame ? view(frame)->height : 0;
}

unsigned char *MMC_FrameGetPlane(void *frame, int plane)
{
    return validPlane(frame, plane) ? view(frame)->plane[plane] : nullptr;
}

int MMC_FrameGetStride(void *frame, int plane)
{
    return validPlane(frame, plane) ? view(frame)->stride[plane] : 0;
}

} // extern "C"
