#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "source/framesource.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

class WebpAnimation;

// What a filter graph needs to know about the frames a source delivers.
struct VideoParams
{
    int width = 0;
    int height = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    AVRational timeBase{1, 1000000};
    AVRational sampleAspect{1, 1};
    AVRational frameRate{0, 1};
};

// One opened media file and its video decoder: the demux/decode core that probes,
// frame grabs and conversions share. Animated WebP, which libavformat cannot read, is
// decoded through libwebp behind the same calls.
class MediaSource : public FrameSource
{
public:
    MediaSource();
    ~MediaSource() override;
    MediaSource(const MediaSource &) = delete;
    MediaSource &operator=(const MediaSource &) = delete;

    // cancel, when given, aborts blocking opens and reads as the global abort flag does.
    bool open(const std::string &path, const std::atomic<bool> *cancel);

    // Null for an animated WebP.
    AVFormatContext *format() const { return m_format; }
    bool isAnimatedWebp() const { return m_webp != nullptr; }
    const AVStream *videoStream() const;
    const AVStream *attachedPicture() const;
    int audioStreamCount() const;

    bool hasVideo() const;
    // Clockwise rotation that makes the picture upright: 0, 90, 180 or 270.
    int rotation() const override { return m_rotation; }
    int displayWidth() const;
    int displayHeight() const;
    uint64_t durationUs() const;

    // Four threads keep ahead of the encoders of animations; each further one holds
    // pictures of its own.
    bool openDecoder(int threads = 4);
    VideoParams videoParams() const override;
    // Positions the decoder so that the next frames start at or before t (µs from the start).
    bool seek(uint64_t t);
    // 1 a frame, 0 end of stream, negative on error. pts stays in videoParams().timeBase.
    int nextFrame(AVFrame *frame) override;
    // Microseconds from the media start of a frame from nextFrame().
    int64_t frameTimeUs(const AVFrame *frame) const override;
    bool rewind() override { return seek(0); }

    // Every video frame's time (as frameTimeUs gives it) in presentation order, read from
    // the packets before decoding. Empty unless those times are surely the decoded frames'
    // own and the coding marks the frames that no other refers to.
    std::vector<int64_t> packetFrameTimes() const;
    // From now on the decoder passes over each frame that no other refers to unless its
    // time is among these, sorted; empty decodes every frame again.
    void decodeOnly(std::vector<int64_t> wantedTimes);

private:
    static int interrupted(void *opaque);
    int decodeNext(AVFrame *frame);
    int64_t timeUs(int64_t pts) const;
    bool codingMarksUnreferenced() const;

    AVFormatContext *m_format = nullptr;
    AVCodecContext *m_decoder = nullptr;
    AVPacket *m_packet = nullptr;
    std::unique_ptr<WebpAnimation> m_webp;
    const std::atomic<bool> *m_cancel = nullptr;
    std::string m_path;
    std::vector<int64_t> m_wantedTimes;
    int m_videoIndex = -1;
    int m_rotation = 0;
    bool m_inputEnded = false;
};
