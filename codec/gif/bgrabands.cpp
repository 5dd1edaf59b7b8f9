#include "gif/bgrabands.h"

#include <algorithm>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

namespace {

// Tall enough that each band's graph step costs little, small enough to stay in cache.
// A multiple of every chroma subsampling, so strips start on whole chroma samples.
constexpr int kBandRows = 64;
// Rows converted beyond each side of a band and dropped: a deeper source's chroma is
// interpolated and its dither patterned across rows, as in the whole picture.
constexpr int kMargin = 8;
constexpr int kWindow = kBandRows + 2 * kMargin;

bool cutsIntoBands(const AVPixFmtDescriptor *format)
{
    // A palette plane or hardware surface is no set of rows to cut.
    return format && !(format->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL));
}

// Turned this way, the first rows of the picture come from the end of the source.
bool startsAtEnd(int rotation)
{
    return rotation == 180 || rotation == 270;
}

} // namespace

BgraBands::BgraBands() : m_view(av_frame_alloc()) {}

bool BgraBands::swapsSides(int rotation)
{
    return rotation == 90 || rotation == 270;
}

BgraBands::~BgraBands() = default;

bool BgraBands::read(const AVFrame *picture, AVRational timeBase, int rotation, const Reader &reader)
{
    if (picture->format == AV_PIX_FMT_BGRA && rotation == 0)
        return reader(picture);
    if (!m_view || !cutsIntoBands(av_pix_fmt_desc_get(AVPixelFormat(picture->format))))
        return false;
    // Strips are cut from the source's first row or column on, so each starts on a whole
    // chroma sample; the turn decides in which order they make the picture's bands.
    const int length = swapsSides(rotation) ? picture->width : picture->height;
    const int strips = (length + kBandRows - 1) / kBandRows;
    for (int band = 0; band < strips; ++band) {
        const int strip = startsAtEnd(rotation) ? strips - 1 - band : band;
        const int first = strip * kBandRows;
        const int end = std::min(length, first + kBandRows);
        // Windows of one size where the picture allows, so that one converter serves
        // nearly every band; each starts on a whole dither pattern.
        const int from = std::clamp(first - kMargin, 0, std::max(0, length - kWindow)) / kMargin * kMargin;
        const int to = std::min(length, std::max(from + kWindow, end + kMargin));
        const int skipped = startsAtEnd(rotation) ? to - end : first - from;
        if (!convertStrip(picture, timeBase, rotation, from, to - from)
            || !readBand(skipped, end - first, reader))
            return false;
    }
    return true;
}

bool BgraBands::convertStrip(const AVFrame *picture, AVRational timeBase, int rotation, int first, int size)
{
    // The strip is a view into the picture's own planes.
    AVFrame *strip = m_view.get();
    av_frame_unref(strip);
    if (av_frame_ref(strip, picture) < 0)
        return false;
    const AVPixFmtDescriptor *format = av_pix_fmt_desc_get(AVPixelFormat(picture->format));
    int steps[4] = {};
    av_image_fill_max_pixsteps(steps, nullptr, format);
    // Turned a quarter, the picture's rows are the source's columns.
    const bool columns = swapsSides(rotation);
    for (int plane = 0; plane < 4 && strip->data[plane]; ++plane) {
        const bool chroma = plane == 1 || plane == 2;
        if (columns)
            strip->data[plane] += static_cast<ptrdiff_t>(chroma ? first >> format->log2_chroma_w : first) * steps[plane];
        else
            strip->data[plane] += static_cast<ptrdiff_t>(chroma ? first >> format->log2_chroma_h : first) * strip->linesize[plane];
    }
    (columns ? strip->width : strip->height) = size;
    FrameFilter *converter = converterFor(FrameFilter::paramsOf(strip, timeBase), rotation);
    return converter && converter->transform(strip);
}

bool BgraBands::readBand(int skipped, int rows, const Reader &reader)
{
    // The band is a view into the converted strip, without its margins.
    AVFrame *band = m_view.get();
    band->data[0] += static_cast<ptrdiff_t>(skipped) * band->linesize[0];
    band->height = rows;
    const bool read = reader(band);
    av_frame_unref(band);
    return read;
}

FrameFilter *BgraBands::converterFor(const VideoParams &input, int rotation)
{
    for (const std::unique_ptr<Converter> &converter : m_converters)
        if (converter->input.width == input.width && converter->input.height == input.height
            && converter->input.format == input.format && converter->rotation == rotation)
            return &converter->filter;
    // A picture gives windows of two sizes at most.
    if (m_converters.size() >= 4)
        m_converters.clear();
    auto converter = std::make_unique<Converter>();
    converter->input = input;
    converter->rotation = rotation;
    // Converted once turned, as a whole picture would be.
    if (!converter->filter.build(input, FrameFilter::convertingAfter(FrameFilter::rotationChain(rotation)),
                                 AV_PIX_FMT_BGRA))
        return nullptr;
    m_converters.push_back(std::move(converter));
    return &m_converters.back()->filter;
}
