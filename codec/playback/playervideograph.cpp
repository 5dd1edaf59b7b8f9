#include "playback/playervideograph.h"

#include "framefilter.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace {

// Views draw limited-range BT.601 4:2:0; anything else is converted on the way.
bool needsConversion(const VideoParams &input, AVColorSpace matrix, AVColorRange range)
{
    const bool bt601 = matrix == AVCOL_SPC_UNSPECIFIED || matrix == AVCOL_SPC_BT470BG || matrix == AVCOL_SPC_SMPTE170M;
    return input.format != AV_PIX_FMT_YUV420P || range == AVCOL_RANGE_JPEG || !bt601;
}

} // namespace

PlayerVideoGraph::~PlayerVideoGraph()
{
    avfilter_graph_free(&m_graph);
}

AVFilterContext *PlayerVideoGraph::add(const char *filter, const char *options)
{
    AVFilterContext *context = avfilter_graph_alloc_filter(m_graph, avfilter_get_by_name(filter), nullptr);
    if (!context || avfilter_init_str(context, options) < 0)
        return nullptr;
    return context;
}

bool PlayerVideoGraph::chain(AVFilterContext *&last, AVFilterContext *next)
{
    if (!next || avfilter_link(last, 0, next, 0) < 0)
        return false;
    last = next;
    return true;
}

bool PlayerVideoGraph::addSubtitles(AVFilterContext *&last, const std::string &mediaPath,
                                    const SubtitleChoice &subtitles)
{
    if (subtitles.none())
        return true;
    AVFilterContext *context = avfilter_graph_alloc_filter(m_graph, avfilter_get_by_name("subtitles"), nullptr);
    if (!context)
        return false;
    const std::string &file = subtitles.file.empty() ? mediaPath : subtitles.file;
    const int track = subtitles.file.empty() ? subtitles.track : 0;
    if (av_opt_set(context, "filename", file.c_str(), AV_OPT_SEARCH_CHILDREN) < 0
        || av_opt_set_int(context, "stream_index", track, AV_OPT_SEARCH_CHILDREN) < 0
        || avfilter_init_str(context, nullptr) < 0)
        return false;
    return chain(last, context);
}

bool PlayerVideoGraph::build(const VideoParams &input, int rotation, const std::string &mediaPath,
                             const SubtitleChoice &subtitles, AVColorSpace matrix, AVColorRange range)
{
    avfilter_graph_free(&m_graph);
    m_source = m_sink = nullptr;
    m_graph = avfilter_graph_alloc();
    if (!m_graph)
        return false;
    m_graph->nb_threads = 0;
    const std::string source = "video_size=" + std::to_string(input.width) + "x" + std::to_string(input.height)
                               + ":pix_fmt=" + std::to_string(input.format) + ":time_base="
                               + std::to_string(input.timeBase.num) + "/" + std::to_string(input.timeBase.den)
                               + ":pixel_aspect=" + std::to_string(input.sampleAspect.num) + "/"
                               + std::to_string(input.sampleAspect.den);
    m_source = add("buffer", source.c_str());
    if (!m_source)
        return false;
    AVFilterContext *last = m_source;
    bool ok = true;
    if (rotation == 90 || rotation == 270)
        ok = chain(last, add("transpose", rotation == 90 ? "dir=clock" : "dir=cclock"));
    else if (rotation == 180)
        ok = chain(last, add("hflip", nullptr)) && chain(last, add("vflip", nullptr));
    if (ok && needsConversion(input, matrix, range))
        ok = chain(last, add("scale", "in_color_matrix=auto:out_color_matrix=bt601:in_range=auto:out_range=tv"))
             && chain(last, add("format", "pix_fmts=yuv420p"));
    ok = ok && addSubtitles(last, mediaPath, subtitles);
    m_sink = ok ? avfilter_graph_alloc_filter(m_graph, avfilter_get_by_name("buffersink"), "out") : nullptr;
    const enum AVPixelFormat formats[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_NONE};
    return m_sink
           && av_opt_set_int_list(m_sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN) >= 0
           && avfilter_init_str(m_sink, nullptr) >= 0 && chain(last, m_sink)
           && avfilter_graph_config(m_graph, nullptr) >= 0;
}

bool PlayerVideoGraph::push(AVFrame *frame)
{
    return pushToSource(m_source, frame);
}

int PlayerVideoGraph::pull(AVFrame *frame)
{
    return pullFromSink(m_sink, frame);
}

AVRational PlayerVideoGraph::outputTimeBase() const
{
    return sinkTimeBase(m_sink);
}
