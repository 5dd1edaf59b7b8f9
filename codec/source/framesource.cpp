#include "source/framesource.h"

FrameSource::Decoded FrameSource::receive(AVCodecContext *decoder, AVFrame *frame)
{
    const int received = avcodec_receive_frame(decoder, frame);
    if (received >= 0) {
        frame->pts = frame->best_effort_timestamp;
        return Decoded::Frame;
    }
    if (received == AVERROR_EOF)
        return Decoded::End;
    return received == AVERROR(EAGAIN) ? Decoded::NeedsInput : Decoded::Error;
}
