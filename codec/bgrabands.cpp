#include "bgrabands.h"

#include <algorithm>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

// Tall enough that each band's graph step costs little, small enough to stay in cache.
constexpr int kBandRows = 64;

bool cutsIntoBands(const AVPixFmtDescriptor *format)
{
    // A palette plane or hardware surface is no set of rows to cut.
    return format && !(format->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL));
}

} // namespace

BgraBands::BgraBands() : m_view(av_frame_alloc()) {}

BgraBands::~BgraBands() = default;

bool BgraBands::read(const AVFrame *picture, AVRational timeBase, const Reader &reader)
{
    if (picture->format == AV_PIX_FMT_BGRA)
        return reader(picture);
    const AVPixFmtDescriptor *format = av_pix_fmt_desc_get(AVPixelFormat(picture->format));
    if (!m_view || !cutsIntoBands(format))
        return false;
    for (int top = 0; top < picture->height; top += kBandRows) {
        if (!convertBand(picture, timeBase, top, std::min(kBandRows, picture->height - top), reader))
            return false;
    }
    return true;
}

bool BgraBands::convertBand(const AVFrame *picture, AVRational timeBase, int top, int rows, const Reader &reader)
{
    // The band is a view into the picture's own planes; bands start on whole chroma rows.
    AVFrame *band = m_view.get();
    if (av_frame_ref(band, picture) < 0)
        return false;
    const AVPixFmtDescriptor *format = av_pix_fmt_desc_get(AVPixelFormat(picture->format));
    for (int plane = 0; plane < AV_NUM_DATA_POINTERS && band->data[plane]; ++plane) {
        const bool chroma = plane == 1 || plane == 2;
        const int row = chroma ? top >> format->log2_chroma_h : top;
        band->data[plane] += static_cast<ptrdiff_t>(row) * band->linesize[plane];
    }
    band->height = rows;
    std::unique_ptr<Converter> &converter = rows == kBandRows ? m_band : m_lastBand;
    const VideoParams input = FrameFilter::paramsOf(band, timeBase);
    if (!converter || converter->input.width != input.width || converter->input.height != input.height
        || converter->input.format != input.format) {
        converter = std::make_unique<Converter>();
        converter->input = input;
        if (!converter->filter.build(input, "", AV_PIX_FMT_BGRA)) {
            converter.reset();
            av_frame_unref(band);
            return false;
        }
    }
    const bool read = converter->filter.transform(band) && reader(band);
    av_frame_unref(band);
    return read;
}
