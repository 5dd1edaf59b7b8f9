#pragma once

#include <string>

#include "source/mediasource.h"

struct AVFilterGraph;
struct AVFilterContext;

// A libavfilter graph with one video input "in", an optional second input "pal" and one
// output "out". Descriptions are built from numbers only, never from user paths.
// Shared steps of our filter graphs: a source that keeps the caller's reference, and a
// sink read as 1 a frame, 0 none yet, negative at the end or on error.
bool pushToSource(AVFilterContext *source, AVFrame *frame);
int pullFromSink(AVFilterContext *sink, AVFrame *frame);
AVRational sinkTimeBase(AVFilterContext *sink);

class FrameFilter
{
public:
    // threads: 0 lets libavfilter choose; a filter in a worker that already runs beside
    // others takes 1, since slices shared out per picture cost more in wake-ups than
    // they save.
    explicit FrameFilter(int threads = 0) : m_threads(threads) {}
    ~FrameFilter();
    FrameFilter(const FrameFilter &) = delete;
    FrameFilter &operator=(const FrameFilter &) = delete;

    // The filter chain that turns a picture upright, or "" when it already is.
    static std::string rotationChain(int rotation);
    // The chain with the conversion to the output format pinned after it: a graph left
    // to choose may convert first, turning the larger converted picture, and the dither
    // of a deeper source would then lie the other way.
    static std::string convertingAfter(const std::string &chain);
    // The input parameters of frames like this one.
    static VideoParams paramsOf(const AVFrame *frame, AVRational timeBase);

    bool build(const VideoParams &input, const std::string &description, AVPixelFormat output,
               const VideoParams *palette = nullptr);
    // Null frame = end of input.
    bool push(AVFrame *frame);
    // End of input at pts, so a rate change keeps the last frame for its whole length.
    bool close(int64_t pts);
    bool pushPalette(AVFrame *frame);
    // 1 a frame, 0 none yet (push more), negative at the end or on error.
    int pull(AVFrame *frame);
    AVRational outputTimeBase() const;
    // Pushes one frame and puts the one result in its place.
    bool transform(AVFrame *frame);

private:
    const int m_threads;
    AVFilterGraph *m_graph = nullptr;
    AVFilterContext *m_source = nullptr;
    AVFilterContext *m_paletteSource = nullptr;
    AVFilterContext *m_sink = nullptr;
};
