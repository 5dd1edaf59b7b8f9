#include "codecids.h"

#include "mmc.h"

namespace {

struct CodecPair
{
    uint32_t library;
    AVCodecID av;
};

const CodecPair kCodecs[] = {
    {2, AV_CODEC_ID_MPEG2VIDEO},
    {13, AV_CODEC_ID_MPEG4},
    {MMC_CODEC_MJPEG, AV_CODEC_ID_MJPEG},
    {MMC_CODEC_H264, AV_CODEC_ID_H264},
    {MMC_CODEC_PNG, AV_CODEC_ID_PNG},
    {MMC_CODEC_BMP, AV_CODEC_ID_BMP},
    {MMC_CODEC_TIFF, AV_CODEC_ID_TIFF},
    {MMC_CODEC_GIF, AV_CODEC_ID_GIF},
    {141, AV_CODEC_ID_VP8},
    {169, AV_CODEC_ID_VP9},
    {MMC_CODEC_WEBP, AV_CODEC_ID_WEBP},
    {MMC_CODEC_APNG, AV_CODEC_ID_APNG},
    {MMC_CODEC_HEVC, AV_CODEC_ID_HEVC},
    {MMC_CODEC_AAC, AV_CODEC_ID_AAC},
    {0x15000, AV_CODEC_ID_MP2},
    {0x15001, AV_CODEC_ID_MP3},
    {0x15003, AV_CODEC_ID_AC3},
    {0x15005, AV_CODEC_ID_VORBIS},
    {0x15008, AV_CODEC_ID_WMAV2},
    {0x1500C, AV_CODEC_ID_FLAC},
    {0x10000, AV_CODEC_ID_PCM_S16LE},
};

} // namespace

namespace CodecIds {

AVCodecID toAv(uint32_t id)
{
    for (const CodecPair &pair : kCodecs)
        if (pair.library == id)
            return pair.av;
    return AV_CODEC_ID_NONE;
}

uint32_t fromAv(AVCodecID id)
{
    for (const CodecPair &pair : kCodecs)
        if (pair.av == id)
            return pair.library;
    return MMC_CODEC_NONE;
}

AVPixelFormat pixelFormatToAv(uint32_t format)
{
    switch (format) {
    case MMC_PIX_YUV420P:
        return AV_PIX_FMT_YUV420P;
    case MMC_PIX_RGB24:
        return AV_PIX_FMT_RGB24;
    case MMC_PIX_BGRA:
        return AV_PIX_FMT_BGRA;
    default:
        return AV_PIX_FMT_NONE;
    }
}

} // namespace CodecIds
