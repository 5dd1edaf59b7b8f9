#include "convert/audiofilter.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
}

#include "framefilter.h"

namespace {

std::string layoutName(const AVChannelLayout &layout)
{
    char name[128] = {0};
    if (av_channel_layout_describe(&layout, name, sizeof(name)) < 0)
        return std::string();
    return name;
}

} // namespace

AudioFilter::~AudioFilter()
{
    avfilter_graph_free(&m_graph);
}

bool AudioFilter::build(const AVCodecContext *decoder, const std::string &chain, const AVCodecContext *encoder)
{
    avfilter_graph_free(&m_graph);
    m_graph = avfilter_graph_alloc();
    if (!m_graph)
        return false;
    AVChannelLayout inputLayout{};
    if (decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&decoder->ch_layout) == 0)
        av_channel_layout_default(&inputLayout, decoder->ch_layout.nb_channels > 0 ? decoder->ch_layout.nb_channels : 2);
    else
        av_channel_layout_copy(&inputLayout, &decoder->ch_layout);
    const std::string source = "time_base=1/1000000:sample_rate=" + std::to_string(decoder->sample_rate)
                               + ":sample_fmt=" + av_get_sample_fmt_name(decoder->sample_fmt)
                               + ":channel_layout=" + layoutName(inputLayout);
    av_channel_layout_uninit(&inputLayout);
    const std::string convert = "aresample=" + std::to_string(encoder->sample_rate)
                                + ",aformat=sample_fmts=" + av_get_sample_fmt_name(encoder->sample_fmt)
                                + ":sample_rates=" + std::to_string(encoder->sample_rate)
                                + ":channel_layouts=" + layoutName(encoder->ch_layout);
    const std::string description = chain.empty() ? convert : chain + "," + convert;
    if (avfilter_graph_create_filter(&m_source, avfilter_get_by_name("abuffer"), "in", source.c_str(), nullptr,
                                     m_graph) < 0
        || avfilter_graph_create_filter(&m_sink, avfilter_get_by_name("abuffersink"), "out", nullptr, nullptr,
                                        m_graph) < 0)
        return false;
    AVFilterInOut *outputs = avfilter_inout_alloc();
    AVFilterInOut *inputs = avfilter_inout_alloc();
    bool ok = outputs && inputs;
    if (ok) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = m_source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = m_sink;
        ok = avfilter_graph_parse_ptr(m_graph, description.c_str(), &inputs, &outputs, nullptr) >= 0
             && avfilter_graph_config(m_graph, nullptr) >= 0;
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    return ok;
}

bool AudioFilter::push(AVFrame *frame)
{
    return pushToSource(m_source, frame);
}

int AudioFilter::pull(AVFrame *frame)
{
    return pullFromSink(m_sink, frame);
}

AVRational AudioFilter::outputTimeBase() const
{
    return sinkTimeBase(m_sink);
}
