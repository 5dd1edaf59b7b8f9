#pragma once

#include <cstdint>

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/pixfmt.h>
}

// Callers number codecs and pixel formats as an older FFmpeg did, plus FourCC values;
// the numbers drifted between versions, so they are mapped by table, never by offset.
namespace CodecIds {

AVCodecID toAv(uint32_t id);
uint32_t fromAv(AVCodecID id);
AVPixelFormat pixelFormatToAv(uint32_t format);

} // namespace CodecIds
