#include "webpanimationwriter.h"

#include <algorithm>

#include <webp/mux.h>

WebpAnimationWriter::WebpAnimationWriter() : m_mux(WebPMuxNew()) {}

WebpAnimationWriter::~WebpAnimationWriter()
{
    WebPMuxDelete(m_mux);
}

bool WebpAnimationWriter::add(std::vector<uint8_t> still, int64_t startMs)
{
    if (m_pendingStartMs >= 0) {
        // Timestamps rounded to milliseconds, so the durations add up to the clip's length.
        m_lastDurationMs = static_cast<int>(std::max<int64_t>(1, startMs - m_pendingStartMs));
        if (!pushPending(m_lastDurationMs))
            return false;
    }
    m_pending = std::move(still);
    m_pendingStartMs = startMs;
    return true;
}

bool WebpAnimationWriter::pushPending(int durationMs)
{
    WebPMuxFrameInfo frame{};
    frame.bitstream.bytes = m_pending.data();
    frame.bitstream.size = m_pending.size();
    frame.id = WEBP_CHUNK_ANMF;
    frame.duration = durationMs;
    frame.dispose_method = WEBP_MUX_DISPOSE_NONE;
    frame.blend_method = WEBP_MUX_NO_BLEND;
    return m_mux && WebPMuxPushFrame(m_mux, &frame, 1) == WEBP_MUX_OK;
}

bool WebpAnimationWriter::finish(std::vector<uint8_t> &file)
{
    if (m_pendingStartMs < 0 || !pushPending(m_lastDurationMs))
        return false;
    WebPMuxAnimParams animation{};
    animation.bgcolor = 0xffffffff;
    animation.loop_count = 0; // for ever
    WebPData assembled{};
    const WebPData exif{m_exif.data(), m_exif.size()};
    if (WebPMuxSetAnimationParams(m_mux, &animation) != WEBP_MUX_OK
        || (!m_exif.empty() && WebPMuxSetChunk(m_mux, "EXIF", &exif, 1) != WEBP_MUX_OK)
        || WebPMuxAssemble(m_mux, &assembled) != WEBP_MUX_OK)
        return false;
    file.assign(assembled.bytes, assembled.bytes + assembled.size);
    WebPDataClear(&assembled);
    return true;
}
