#pragma once

#include <cstdint>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

struct VideoParams;

struct FrameDeleter
{
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

// Decoded video frames in presentation order, from a file or from fed packets.
class FrameSource
{
public:
    virtual ~FrameSource() = default;
    // Valid once the decoder is open.
    virtual VideoParams videoParams() const = 0;
    // Clockwise turn that makes the picture upright.
    virtual int rotation() const = 0;
    // 1 a frame, 0 end of stream, negative on error.
    virtual int nextFrame(AVFrame *frame) = 0;
    virtual int64_t frameTimeUs(const AVFrame *frame) const = 0;
    // Back to the first frame, for a second pass.
    virtual bool rewind() = 0;

protected:
    enum class Decoded { Frame, End, NeedsInput, Error };
    // The next frame out of a decoder, stamped with its best presentation time.
    static Decoded receive(AVCodecContext *decoder, AVFrame *frame);
};
