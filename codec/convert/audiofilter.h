#pragma once

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

struct AVFilterGraph;
struct AVFilterContext;

// A libavfilter audio graph from decoded frames (pts in µs) to the encoder's sample
// format, rate and channel layout.
class AudioFilter
{
public:
    AudioFilter() = default;
    ~AudioFilter();
    AudioFilter(const AudioFilter &) = delete;
    AudioFilter &operator=(const AudioFilter &) = delete;

    // chain runs before the conversion, on frames timed in µs ("" for none).
    bool build(const AVCodecContext *decoder, const std::string &chain, const AVCodecContext *encoder);
    // Null frame = end of input.
    bool push(AVFrame *frame);
    // 1 a frame (pts in 1/sample rate), 0 none yet, negative at the end or on error.
    int pull(AVFrame *frame);
    AVRational outputTimeBase() const;

private:
    AVFilterGraph *m_graph = nullptr;
    AVFilterContext *m_source = nullptr;
    AVFilterContext *m_sink = nullptr;
};
