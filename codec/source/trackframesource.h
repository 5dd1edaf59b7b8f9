#pragma once

#include <memory>
#include <vector>

#include "source/framesource.h"
#include "source/mediasource.h"
#include "source/track.h"

// Frames decoded from the packets fed into a video track. Packets are kept once taken,
// so a second pass can replay them.
class TrackFrameSource : public FrameSource
{
public:
    TrackFrameSource(std::shared_ptr<Track> track, const std::atomic<bool> &cancel);
    ~TrackFrameSource() override;

    bool open();
    VideoParams videoParams() const override;
    int rotation() const override { return 0; }
    int nextFrame(AVFrame *frame) override;
    int64_t frameTimeUs(const AVFrame *frame) const override;
    bool rewind() override;

private:
    bool feedDecoder();

    std::shared_ptr<Track> m_track;
    const std::atomic<bool> &m_cancel;
    Track::Description m_description;
    AVCodecContext *m_decoder = nullptr;
    AVPacket *m_packet = nullptr;
    std::vector<PacketData> m_taken;
    size_t m_replay = 0;
    bool m_flushed = false;
};
