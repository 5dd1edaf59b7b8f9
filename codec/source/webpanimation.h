#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

struct WebPAnimDecoder;

// An animated WebP file decoded through libwebp, frame by frame, as BGRA.
class WebpAnimation
{
public:
    ~WebpAnimation();

    // True when the file starts as an extended WebP with its animation flag set.
    static bool isAnimated(const std::string &path);

    bool open(const std::string &path);
    int width() const { return m_width; }
    int height() const { return m_height; }
    int frameCount() const { return m_frameCount; }
    uint64_t durationUs() const { return m_durationUs; }
    void rewind();
    // 1 a frame (pts in ms), 0 after the last one, negative on error.
    int nextFrame(AVFrame *frame);

private:
    std::vector<uint8_t> m_bytes;
    WebPAnimDecoder *m_decoder = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_frameCount = 0;
    uint64_t m_durationUs = 0;
    int m_lastEndMs = 0;
};
