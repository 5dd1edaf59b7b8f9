#include "gif/keptframes.h"

namespace {

size_t bytesOf(const AVFrame *frame)
{
    size_t bytes = 0;
    for (const AVBufferRef *buffer : frame->buf)
        bytes += buffer ? buffer->size : 0;
    for (int i = 0; i < frame->nb_extended_buf; ++i)
        bytes += frame->extended_buf[i]->size;
    return bytes;
}

} // namespace

KeptFrames::KeptFrames(size_t limitBytes, double expectedFrames) : m_limit(limitBytes), m_expected(expectedFrames) {}

void KeptFrames::keep(AVFrame *frame, AVRational timeBase)
{
    if (!keeping())
        return;
    const size_t bytes = bytesOf(frame);
    if (m_bytes + bytes > m_limit || (m_frames.empty() && m_expected * bytes > m_limit)) {
        giveUp();
        return;
    }
    FramePtr kept(av_frame_alloc());
    if (!kept) {
        giveUp();
        return;
    }
    av_frame_move_ref(kept.get(), frame);
    m_bytes += bytes;
    m_frames.push_back({std::move(kept), timeBase});
}

void KeptFrames::giveUp()
{
    m_keeping.store(false, std::memory_order_relaxed);
    m_frames.clear();
    m_frames.shrink_to_fit();
    m_bytes = 0;
}

bool KeptFrames::replay(const std::function<bool(AVFrame *, AVRational)> &use)
{
    bool used = true;
    for (Kept &kept : m_frames) {
        used = used && use(kept.frame.get(), kept.timeBase);
        kept.frame.reset();
    }
    m_frames.clear();
    return used;
}
