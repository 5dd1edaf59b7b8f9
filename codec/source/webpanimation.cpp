#include "source/webpanimation.h"

#include <cstdio>
#include <cstring>

#include <webp/demux.h>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {

// Far above any Live Photo animation; keeps a corrupt size from allocating wildly.
constexpr long kMaxFileBytes = 512L * 1024 * 1024;

bool readFile(const std::string &path, std::vector<uint8_t> &bytes)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size > 0 && size <= kMaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

} // namespace

WebpAnimation::~WebpAnimation()
{
    WebPAnimDecoderDelete(m_decoder);
}

bool WebpAnimation::isAnimated(const std::string &path)
{
    uint8_t head[21];
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    const bool complete = std::fread(head, 1, sizeof(head), file) == sizeof(head);
    std::fclose(file);
    constexpr uint8_t kAnimationFlag = 0x02;
    return complete && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBPVP8X", 8) == 0
           && (head[20] & kAnimationFlag);
}

bool WebpAnimation::open(const std::string &path)
{
    if (!readFile(path, m_bytes))
        return false;
    const WebPData data{m_bytes.data(), m_bytes.size()};
    WebPDemuxer *demux = WebPDemux(&data);
    if (!demux)
        return false;
    m_frameCount = static_cast<int>(WebPDemuxGetI(demux, WEBP_FF_FRAME_COUNT));
    WebPIterator iter;
    if (WebPDemuxGetFrame(demux, 1, &iter)) {
        do
            m_durationUs += static_cast<uint64_t>(iter.duration > 0 ? iter.duration : 0) * 1000;
        while (WebPDemuxNextFrame(&iter));
        WebPDemuxReleaseIterator(&iter);
    }
    WebPDemuxDelete(demux);

    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return false;
    options.color_mode = MODE_BGRA;
    options.use_threads = 1;
    m_decoder = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info;
    if (!m_decoder || !WebPAnimDecoderGetInfo(m_decoder, &info) || info.canvas_width == 0
        || info.canvas_height == 0)
        return false;
    m_width = static_cast<int>(info.canvas_width);
    m_height = static_cast<int>(info.canvas_height);
    return m_frameCount > 0;
}

void WebpAnimation::rewind()
{
    if (m_decoder)
        WebPAnimDecoderReset(m_decoder);
    m_lastEndMs = 0;
}

int WebpAnimation::nextFrame(AVFrame *frame)
{
    if (!m_decoder || !WebPAnimDecoderHasMoreFrames(m_decoder))
        return 0;
    uint8_t *pixels = nullptr;
    int timestampMs = 0;
    if (!WebPAnimDecoderGetNext(m_decoder, &pixels, &timestampMs))
        return -1;
    av_frame_unref(frame);
    frame->format = AV_PIX_FMT_BGRA;
    frame->width = m_width;
    frame->height = m_height;
    if (av_frame_get_buffer(frame, 0) < 0)
        return -1;
    av_image_copy_plane(frame->data[0], frame->linesize[0], pixels, m_width * 4, m_width * 4,
                        m_height);
    // libwebp stamps a frame with its end time; the start is what a player shows it at.
    frame->pts = m_lastEndMs;
    frame->pkt_duration = timestampMs - m_lastEndMs;
    m_lastEndMs = timestampMs;
    return 1;
}
