#include "framefilter.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

namespace {

AVFilterContext *createSource(AVFilterGraph *graph, const char *name, const VideoParams &params)
{
    AVFilterContext *source = avfilter_graph_alloc_filter(graph, avfilter_get_by_name("buffer"), name);
    AVBufferSrcParameters *parameters = av_buffersrc_parameters_alloc();
    if (!source || !parameters) {
        av_free(parameters);
        return nullptr;
    }
    parameters->format = params.format;
    parameters->width = params.width;
    parameters->height = params.height;
    parameters->time_base = params.timeBase;
    parameters->sample_aspect_ratio = params.sampleAspect;
    parameters->frame_rate = params.frameRate;
    const bool ok = av_buffersrc_parameters_set(source, parameters) >= 0
                    && avfilter_init_str(source, nullptr) >= 0;
    av_free(parameters);
    return ok ? source : nullptr;
}

AVFilterInOut *pad(const char *name, AVFilterContext *filter, AVFilterInOut *next)
{
    AVFilterInOut *inout = avfilter_inout_alloc();
    if (!inout)
        return nullptr;
    inout->name = av_strdup(name);
    inout->filter_ctx = filter;
    inout->pad_idx = 0;
    inout->next = next;
    return inout;
}

} // namespace

FrameFilter::~FrameFilter()
{
    avfilter_graph_free(&m_graph);
}

std::string FrameFilter::rotationChain(int rotation)
{
    switch (rotation) {
    case 90:
        return "transpose=clock";
    case 180:
        return "hflip,vflip";
    case 270:
        return "transpose=cclock";
    default:
        return "";
    }
}

std::string FrameFilter::convertingAfter(const std::string &chain)
{
    return chain.empty() ? chain : chain + ",scale";
}

VideoParams FrameFilter::paramsOf(const AVFrame *frame, AVRational timeBase)
{
    VideoParams params;
    params.width = frame->width;
    params.height = frame->height;
    params.format = AVPixelFormat(frame->format);
    params.timeBase = timeBase;
    if (frame->sample_aspect_ratio.num > 0)
        params.sampleAspect = frame->sample_aspect_ratio;
    return params;
}

bool FrameFilter::build(const VideoParams &input, const std::string &description,
                        AVPixelFormat output, const VideoParams *palette)
{
    avfilter_graph_free(&m_graph);
    m_graph = avfilter_graph_alloc();
    if (!m_graph)
        return false;
    m_graph->nb_threads = m_threads;
    m_source = createSource(m_graph, "in", input);
    m_paletteSource = palette ? createSource(m_graph, "pal", *palette) : nullptr;
    m_sink = avfilter_graph_alloc_filter(m_graph, avfilter_get_by_name("buffersink"), "out");
    if (!m_source || (palette && !m_paletteSource) || !m_sink)
        return false;
    const enum AVPixelFormat formats[] = {output, AV_PIX_FMT_NONE};
    if (av_opt_set_int_list(m_sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN) < 0
        || avfilter_init_str(m_sink, nullptr) < 0)
        return false;

    AVFilterInOut *outputs = pad("in", m_source, palette ? pad("pal", m_paletteSource, nullptr) : nullptr);
    AVFilterInOut *inputs = pad("out", m_sink, nullptr);
    const std::string graph = "[in]" + (description.empty() ? std::string("null") : description) + "[out]";
    const bool ok = outputs && inputs
                    && avfilter_graph_parse_ptr(m_graph, graph.c_str(), &inputs, &outputs, nullptr) >= 0
                    && avfilter_graph_config(m_graph, nullptr) >= 0;
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    return ok;
}

bool pushToSource(AVFilterContext *source, AVFrame *frame)
{
    return source && av_buffersrc_add_frame_flags(source, frame, AV_BUFFERSRC_FLAG_KEEP_REF) >= 0;
}

int pullFromSink(AVFilterContext *sink, AVFrame *frame)
{
    if (!sink)
        return -1;
    const int result = av_buffersink_get_frame(sink, frame);
    if (result >= 0)
        return 1;
    return result == AVERROR(EAGAIN) ? 0 : -1;
}

AVRational sinkTimeBase(AVFilterContext *sink)
{
    return sink ? av_buffersink_get_time_base(sink) : AVRational{1, 1};
}

bool FrameFilter::push(AVFrame *frame)
{
    return pushToSource(m_source, frame);
}

bool FrameFilter::close(int64_t pts)
{
    return m_source && av_buffersrc_close(m_source, pts, AV_BUFFERSRC_FLAG_PUSH) >= 0;
}

bool FrameFilter::pushPalette(AVFrame *frame)
{
    return m_paletteSource
           && av_buffersrc_add_frame_flags(m_paletteSource, frame, AV_BUFFERSRC_FLAG_KEEP_REF) >= 0
           && av_buffersrc_add_frame(m_paletteSource, nullptr) >= 0;
}

int FrameFilter::pull(AVFrame *frame)
{
    return pullFromSink(m_sink, frame);
}

AVRational FrameFilter::outputTimeBase() const
{
    return sinkTimeBase(m_sink);
}

bool FrameFilter::transform(AVFrame *frame)
{
    if (!push(frame))
        return false;
    av_frame_unref(frame);
    return pull(frame) > 0;
}
