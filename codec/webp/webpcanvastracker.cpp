#include "webp/webpcanvastracker.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
}

#include "sidebyside.h"

namespace {

// Even, so repainted areas start at even offsets as the format wants, and a multiple of
// the chroma's two, so no chroma sample mixes kept and repainted pixels.
constexpr int kBlock = 8;
// A frame keeps what it covers of the canvas when at least one block in this many stays
// and is textured.
constexpr int kKeptShare = 4;
constexpr int kFinders = 4;
constexpr int kColourPlanes = 3; // Y, U and V; alpha comes after them
constexpr int kAlphaPlane = 3;
// A pixel may stray this many tolerances from what was written before its block counts
// as changed, whatever the block's mean: far beyond a camera's noise.
constexpr int kNoiseLimit = 3;
// A kept block's similarity to what was written may fall short of perfect by a
// brightness tolerance in this many: 0.975 at quality 80.
constexpr double kSimilarityScale = 160;

// From 31 levels at the lowest quality to 1 at the highest, for brightness; a level of
// chroma moves red or blue about twice as far, so chroma is allowed half as many.
int toleranceFor(int quality, int shift)
{
    const double scale = std::sqrt(std::clamp(quality, 0, 100) / 100.0);
    return std::max(1, static_cast<int>(std::lround(31 * (1 - scale) + scale)) >> shift);
}

// Where a plane of the frame holds the pixel at x, y of that plane.
uint8_t *pixelAt(const AVFrame *frame, size_t plane, int x, int y)
{
    return frame->data[plane] + static_cast<ptrdiff_t>(y) * frame->linesize[plane] + x;
}

// How far a span strays from what was written there: the largest difference of a pixel,
// and the differences summed over squares of two by two, then those sums' sizes summed.
// Noise evens out within a square; a fade or a subject does not, nor a pan of a texture
// coarser than a pixel.
struct Stray
{
    int largest = 0;
    int squares = 0;
    // Sums over the span's pixels as written (x) and now (y), for their similarity.
    int x = 0;
    int y = 0;
    int xx = 0;
    int yy = 0;
    int xy = 0;
    int count = 0;

    // The structural similarity of the span now to what was written there, over the
    // whole span, with the usual constants for 8-bit levels.
    double similarity() const
    {
        constexpr double kLuma = 6.5025;
        constexpr double kContrast = 58.5225;
        const double n = count;
        const double meanX = x / n;
        const double meanY = y / n;
        const double varianceX = xx / n - meanX * meanX;
        const double varianceY = yy / n - meanY * meanY;
        const double covariance = xy / n - meanX * meanY;
        return (2 * meanX * meanY + kLuma) * (2 * covariance + kContrast)
               / ((meanX * meanX + meanY * meanY + kLuma) * (varianceX + varianceY + kContrast));
    }
};

Stray strayOf(const AVFrame *frame, size_t index, const uint8_t *written, int stride, int x, int y, int width, int height)
{
    int differences[2][kBlock];
    Stray stray;
    for (int row = 0; row < height; ++row) {
        const uint8_t *now = pixelAt(frame, index, x, y + row);
        const uint8_t *before = written + static_cast<ptrdiff_t>(row) * stride;
        for (int i = 0; i < width; ++i) {
            differences[row % 2][i] = now[i] - before[i];
            stray.x += before[i];
            stray.y += now[i];
            stray.xx += before[i] * before[i];
            stray.yy += now[i] * now[i];
            stray.xy += before[i] * now[i];
            stray.largest = std::max(stray.largest, std::abs(differences[row % 2][i]));
        }
        if (row % 2 == 0 && row + 1 < height)
            continue;
        const bool pair = row % 2 == 1;
        for (int i = 0; i < width; i += 2) {
            int square = differences[0][i] + (pair ? differences[1][i] : 0);
            if (i + 1 < width)
                square += differences[0][i + 1] + (pair ? differences[1][i + 1] : 0);
            stray.squares += std::abs(square);
        }
    }
    stray.count = width * height;
    return stray;
}

} // namespace

WebpCanvasTracker::WebpCanvasTracker(int quality, bool translucent)
    : m_brightnessTolerance(toleranceFor(quality, 0)), m_chromaTolerance(toleranceFor(quality, 1)),
      m_similarity(1 - m_brightnessTolerance / kSimilarityScale), m_translucent(translucent)
{
}

bool WebpCanvasTracker::place(AVFrame *frame, WebpAnimationWriter::Placement &placement)
{
    if (!accepts(frame))
        return false;
    if (m_planes.empty())
        start(frame);
    else
        findChanged(frame);
    Blocks blocks = spreadRepaints();
    if (blocks.right < blocks.left)
        blocks = Blocks{0, 0, 0, 0}; // a frame shows for its time, so it repaints something
    const bool blends = !m_translucent && keepsEnough(blocks);
    for (int row = blocks.top; row <= blocks.bottom; ++row)
        for (int column = blocks.left; column <= blocks.right; ++column)
            if (!blends || repainted(column, row))
                remember(frame, column, row);
    // The area is painted from the canvas, so frames waiting for an encoder hold no
    // whole pictures for a small change.
    AVFrame *area = paintArea(blocks, blends);
    const bool painted = area && av_frame_copy_props(area, frame) >= 0;
    if (painted) {
        av_frame_unref(frame);
        av_frame_move_ref(frame, area);
        placement = {blocks.left * kBlock, blocks.top * kBlock, blends};
    }
    av_frame_free(&area);
    return painted;
}

bool WebpCanvasTracker::accepts(const AVFrame *frame) const
{
    const AVPixelFormat format = m_translucent ? AV_PIX_FMT_YUVA420P : AV_PIX_FMT_YUV420P;
    return frame->format == format && frame->width > 0 && frame->height > 0
           && (m_planes.empty() || (frame->width == m_width && frame->height == m_height));
}

void WebpCanvasTracker::start(const AVFrame *frame)
{
    m_width = frame->width;
    m_height = frame->height;
    m_columns = (m_width + kBlock - 1) / kBlock;
    m_rows = (m_height + kBlock - 1) / kBlock;
    m_planes.resize(m_translucent ? kColourPlanes + 1 : kColourPlanes);
    for (size_t index = 0; index < m_planes.size(); ++index) {
        Plane &plane = m_planes[index];
        plane.shift = index == 1 || index == 2 ? 1 : 0;
        plane.width = AV_CEIL_RSHIFT(m_width, plane.shift);
        plane.height = AV_CEIL_RSHIFT(m_height, plane.shift);
        plane.pixels.resize(static_cast<size_t>(plane.width) * static_cast<size_t>(plane.height));
    }
    m_changed.assign(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows), true);
}

// Comparing every block takes longer than decoding a still background's frame, and the
// decoding thread waits on it: bands of blocks are compared side by side.
void WebpCanvasTracker::findChanged(const AVFrame *frame)
{
    runSideBySide(kFinders, [&](int part) {
        for (int row = m_rows * part / kFinders; row < m_rows * (part + 1) / kFinders; ++row)
            for (int column = 0; column < m_columns; ++column)
                m_changed[static_cast<size_t>(row * m_columns + column)] = differs(frame, column, row);
    });
}

// A changed block's neighbours are repainted with it: the decoder's filters and chroma
// upsampling carry what was beside a block into it, and that would stay on the canvas
// after the neighbour changed, though the block's own source did not.
WebpCanvasTracker::Blocks WebpCanvasTracker::spreadRepaints()
{
    m_repainted.assign(m_changed.size(), false);
    Blocks repainted{m_columns, m_rows, -1, -1};
    for (int row = 0; row < m_rows; ++row)
        for (int column = 0; column < m_columns; ++column) {
            if (!m_changed[static_cast<size_t>(row * m_columns + column)])
                continue;
            const int left = std::max(0, column - 1);
            const int right = std::min(m_columns - 1, column + 1);
            const int top = std::max(0, row - 1);
            const int bottom = std::min(m_rows - 1, row + 1);
            for (int y = top; y <= bottom; ++y)
                std::fill_n(m_repainted.begin() + y * m_columns + left, right + 1 - left, true);
            repainted.left = std::min(repainted.left, left);
            repainted.right = std::max(repainted.right, right);
            repainted.top = std::min(repainted.top, top);
            repainted.bottom = std::max(repainted.bottom, bottom);
        }
    return repainted;
}

bool WebpCanvasTracker::repainted(int column, int row) const
{
    return m_repainted[static_cast<size_t>(row * m_columns + column)];
}

// Kept blocks cost an alpha plane for the whole area: a few scattered blocks are cheaper
// repainted. So are smooth ones, which the lossy coder predicts for next to nothing, while
// flat transparent blocks in their place leave edges against the repainted ones beside
// them that cost more (a smooth movie's frames took a tenth more bytes). Kept blocks of
// one colour cost the same either way and leave no edge, so they do not count: a screen's
// flat panels would otherwise have its text repainted with them, at four times the bytes.
bool WebpCanvasTracker::keepsEnough(const Blocks &blocks) const
{
    int kept = 0;
    int area = 0;
    for (int row = blocks.top; row <= blocks.bottom; ++row)
        for (int column = blocks.left; column <= blocks.right; ++column) {
            const bool keeps = !repainted(column, row);
            if (keeps && plain(column, row))
                continue;
            kept += keeps && textured(column, row) ? 1 : 0;
            ++area;
        }
    return kept * kKeptShare >= area;
}

// Whether the brightness last written in a block is one level, give or take one.
bool WebpCanvasTracker::plain(int column, int row) const
{
    const Plane &plane = m_planes[0];
    const Span span = spanOf(plane, column, row);
    uint8_t lowest = 255;
    uint8_t highest = 0;
    for (int y = span.y; y < span.y + span.height; ++y) {
        const auto [low, high] = std::minmax_element(plane.at(span.x, y), plane.at(span.x, y) + span.width);
        lowest = std::min(lowest, *low);
        highest = std::max(highest, *high);
    }
    return highest - lowest <= 2;
}

// Whether the brightness last written in a block bends by a level a pixel or more on
// average: gradients, even a camera's, stay far below that, textures far above.
bool WebpCanvasTracker::textured(int column, int row) const
{
    const Plane &plane = m_planes[0];
    const Span span = spanOf(plane, column, row);
    const auto bend = [](const uint8_t *pixel, ptrdiff_t step) { return std::abs(pixel[-step] - 2 * pixel[0] + pixel[step]); };
    int bends = 0;
    int sum = 0;
    for (int y = span.y; y < span.y + span.height; ++y)
        for (int x = span.x; x < span.x + span.width; ++x) {
            const uint8_t *pixel = plane.at(x, y);
            if (x > span.x && x + 1 < span.x + span.width) {
                sum += bend(pixel, 1);
                ++bends;
            }
            if (y > span.y && y + 1 < span.y + span.height) {
                sum += bend(pixel, plane.width);
                ++bends;
            }
        }
    return bends > 0 && sum >= bends;
}

// Sensor noise of a few levels strays past the tolerance at some pixels of every block
// in every frame, yet evens out over neighbouring pixels. On smooth areas, though, a kept
// block's old noise is all the structure there is, and it no longer matches the new:
// such blocks repaint when their similarity to what was written drops below one the
// quality sets (0.975 at 80). That took a noisy still background from 0.896 to 0.908
// structural similarity for 2.4 times the bytes, a fifth fewer than repainting every
// block; textured blocks and still screens stay kept.
bool WebpCanvasTracker::differs(const AVFrame *frame, int column, int row) const
{
    for (size_t index = 0; index < m_planes.size(); ++index) {
        const Plane &plane = m_planes[index];
        const Span span = spanOf(plane, column, row);
        const int tolerance = plane.shift ? m_chromaTolerance : m_brightnessTolerance;
        const Stray stray = strayOf(frame, index, plane.at(span.x, span.y), plane.width, span.x, span.y, span.width, span.height);
        if (stray.squares > tolerance * span.width * span.height || stray.largest > kNoiseLimit * tolerance
            || stray.similarity() < m_similarity)
            return true;
    }
    return false;
}

void WebpCanvasTracker::remember(const AVFrame *frame, int column, int row)
{
    for (size_t index = 0; index < m_planes.size(); ++index) {
        Plane &plane = m_planes[index];
        const Span span = spanOf(plane, column, row);
        av_image_copy_plane(plane.at(span.x, span.y), plane.width, pixelAt(frame, index, span.x, span.y),
                            frame->linesize[index], span.width, span.height);
    }
}

AVFrame *WebpCanvasTracker::paintArea(const Blocks &blocks, bool blends) const
{
    AVFrame *area = av_frame_alloc();
    if (!area)
        return nullptr;
    area->format = blends || m_translucent ? AV_PIX_FMT_YUVA420P : AV_PIX_FMT_YUV420P;
    area->width = std::min(m_width, (blocks.right + 1) * kBlock) - blocks.left * kBlock;
    area->height = std::min(m_height, (blocks.bottom + 1) * kBlock) - blocks.top * kBlock;
    if (av_frame_get_buffer(area, 0) < 0) {
        av_frame_free(&area);
        return nullptr;
    }
    for (int row = blocks.top; row <= blocks.bottom; ++row)
        for (int column = blocks.left; column <= blocks.right; ++column)
            paintBlock(area, blocks, column, row, blends && !repainted(column, row));
    return area;
}

// A kept block becomes transparent in the colour of what it keeps, on average: the
// decoder's filters and chroma upsampling mix it into the repainted blocks beside it,
// and a flat block costs next to nothing.
void WebpCanvasTracker::paintBlock(AVFrame *area, const Blocks &blocks, int column, int row, bool kept) const
{
    const auto inArea = [&](size_t index, int shift, const Span &span) {
        return pixelAt(area, index, span.x - ((blocks.left * kBlock) >> shift), span.y - ((blocks.top * kBlock) >> shift));
    };
    for (size_t index = 0; index < m_planes.size(); ++index) {
        const Plane &plane = m_planes[index];
        const Span span = spanOf(plane, column, row);
        const uint8_t *written = plane.at(span.x, span.y);
        uint8_t *painted = inArea(index, plane.shift, span);
        if (!kept) {
            av_image_copy_plane(painted, area->linesize[index], written, plane.width, span.width, span.height);
            continue;
        }
        int sum = 0;
        for (int y = 0; y < span.height; ++y)
            for (int x = 0; x < span.width; ++x)
                sum += written[static_cast<size_t>(y) * plane.width + x];
        for (int y = 0; y < span.height; ++y)
            std::memset(painted + static_cast<ptrdiff_t>(y) * area->linesize[index], sum / (span.width * span.height),
                        static_cast<size_t>(span.width));
    }
    // A translucent source's alpha plane is its own; an area that does not blend has none.
    if (m_translucent || !area->data[kAlphaPlane])
        return;
    const Span span = spanOf(m_planes[0], column, row);
    uint8_t *alpha = inArea(kAlphaPlane, 0, span);
    for (int y = 0; y < span.height; ++y)
        std::memset(alpha + static_cast<ptrdiff_t>(y) * area->linesize[kAlphaPlane], kept ? 0 : 255,
                    static_cast<size_t>(span.width));
}

WebpCanvasTracker::Span WebpCanvasTracker::spanOf(const Plane &plane, int column, int row) const
{
    const int size = kBlock >> plane.shift;
    const int x = column * size;
    const int y = row * size;
    return {x, y, std::min(size, plane.width - x), std::min(size, plane.height - y)};
}
