#include "webpcanvastracker.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Even, so repainted areas start at even offsets as the format wants, and a multiple of
// the chroma's two, so no chroma sample mixes kept and repainted pixels.
constexpr int kBlock = 8;
constexpr int kBytesPerPixel = 4;
// A frame keeps what it covers of the canvas when at least one block in this many stays.
constexpr int kKeptShare = 4;

// From 31 per channel at the lowest quality to 1 at the highest.
int toleranceFor(int quality)
{
    const double scale = std::sqrt(std::clamp(quality, 0, 100) / 100.0);
    return static_cast<int>(std::lround(31 * (1 - scale) + scale));
}

uint8_t *pixelAt(const AVFrame *frame, int x, int y)
{
    return frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0] + x * kBytesPerPixel;
}

uint8_t largestDifference(const uint8_t *now, const uint8_t *before, int bytes)
{
    uint8_t largest = 0;
    for (int i = 0; i < bytes; ++i) {
        const uint8_t difference = now[i] > before[i] ? now[i] - before[i] : before[i] - now[i];
        largest = std::max(largest, difference);
    }
    return largest;
}

} // namespace

WebpCanvasTracker::WebpCanvasTracker(int quality, bool translucent)
    : m_tolerance(toleranceFor(quality)), m_translucent(translucent)
{
}

bool WebpCanvasTracker::place(AVFrame *frame, WebpAnimationWriter::Placement &placement)
{
    const bool first = m_written.empty();
    if (frame->format != AV_PIX_FMT_BGRA || frame->width <= 0 || frame->height <= 0
        || (!first && (frame->width != m_width || frame->height != m_height)) || av_frame_make_writable(frame) < 0)
        return false;
    if (first) {
        m_width = frame->width;
        m_height = frame->height;
        m_columns = (m_width + kBlock - 1) / kBlock;
        m_rows = (m_height + kBlock - 1) / kBlock;
        m_written.resize(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * kBytesPerPixel);
        m_changed.assign(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows), true);
    } else {
        findChanged(frame);
    }
    Blocks blocks = spreadRepaints();
    if (blocks.right < blocks.left)
        blocks = Blocks{0, 0, 0, 0}; // a frame shows for its time, so it repaints something
    const bool blends = !m_translucent && keepsEnough(blocks);
    for (int row = blocks.top; row <= blocks.bottom; ++row)
        for (int column = blocks.left; column <= blocks.right; ++column) {
            if (!blends || m_repainted[static_cast<size_t>(row * m_columns + column)])
                remember(frame, column, row);
            else
                keepCanvas(frame, column, row);
        }
    placement = {blocks.left * kBlock, blocks.top * kBlock, blends};
    frame->crop_left = static_cast<size_t>(placement.x);
    frame->crop_top = static_cast<size_t>(placement.y);
    frame->crop_right = static_cast<size_t>(m_width - std::min(m_width, (blocks.right + 1) * kBlock));
    frame->crop_bottom = static_cast<size_t>(m_height - std::min(m_height, (blocks.bottom + 1) * kBlock));
    return av_frame_apply_cropping(frame, AV_FRAME_CROP_UNALIGNED) >= 0
           && ((frame->width == m_width && frame->height == m_height) || letGoOfCanvas(frame));
}

// A cropped frame keeps only what it repaints, so frames waiting for an encoder hold
// no whole pictures for a small change.
bool WebpCanvasTracker::letGoOfCanvas(AVFrame *frame)
{
    AVFrame *area = av_frame_alloc();
    bool copied = area != nullptr;
    if (copied) {
        area->format = frame->format;
        area->width = frame->width;
        area->height = frame->height;
        copied = av_frame_get_buffer(area, 0) >= 0 && av_frame_copy(area, frame) >= 0
                 && av_frame_copy_props(area, frame) >= 0;
    }
    if (copied) {
        av_frame_unref(frame);
        av_frame_move_ref(frame, area);
    }
    av_frame_free(&area);
    return copied;
}

void WebpCanvasTracker::findChanged(const AVFrame *frame)
{
    for (int row = 0; row < m_rows; ++row)
        for (int column = 0; column < m_columns; ++column)
            m_changed[static_cast<size_t>(row * m_columns + column)] = differs(frame, column, row);
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

// Kept blocks cost an alpha plane for the whole area, whose encoder needs tens of
// megabytes for a large one: a few scattered blocks are cheaper repainted.
bool WebpCanvasTracker::keepsEnough(const Blocks &blocks) const
{
    int kept = 0;
    for (int row = blocks.top; row <= blocks.bottom; ++row)
        for (int column = blocks.left; column <= blocks.right; ++column)
            kept += m_repainted[static_cast<size_t>(row * m_columns + column)] ? 0 : 1;
    const int area = (blocks.right + 1 - blocks.left) * (blocks.bottom + 1 - blocks.top);
    return kept * kKeptShare >= area;
}

bool WebpCanvasTracker::differs(const AVFrame *frame, int column, int row) const
{
    const int x = column * kBlock;
    const int bytes = blockWidth(column) * kBytesPerPixel;
    for (int y = row * kBlock; y < row * kBlock + blockHeight(row); ++y)
        if (largestDifference(pixelAt(frame, x, y), m_written.data() + writtenOffset(x, y), bytes) > m_tolerance)
            return true;
    return false;
}

void WebpCanvasTracker::remember(const AVFrame *frame, int column, int row)
{
    const int x = column * kBlock;
    const size_t bytes = static_cast<size_t>(blockWidth(column) * kBytesPerPixel);
    for (int y = row * kBlock; y < row * kBlock + blockHeight(row); ++y)
        std::memcpy(m_written.data() + writtenOffset(x, y), pixelAt(frame, x, y), bytes);
}

// A kept block becomes transparent in the colour of what it keeps, on average: the
// decoder's filters and chroma upsampling mix it into the repainted blocks beside it,
// and a flat block costs next to nothing.
void WebpCanvasTracker::keepCanvas(AVFrame *frame, int column, int row) const
{
    const int x = column * kBlock;
    const int width = blockWidth(column);
    const int height = blockHeight(row);
    int sums[3] = {};
    for (int y = row * kBlock; y < row * kBlock + height; ++y) {
        const uint8_t *written = m_written.data() + writtenOffset(x, y);
        for (int i = 0; i < width * kBytesPerPixel; i += kBytesPerPixel)
            for (int channel = 0; channel < 3; ++channel)
                sums[channel] += written[i + channel];
    }
    const int count = width * height;
    const uint8_t average[kBytesPerPixel] = {uint8_t(sums[0] / count), uint8_t(sums[1] / count),
                                             uint8_t(sums[2] / count), 0};
    for (int y = row * kBlock; y < row * kBlock + height; ++y) {
        uint8_t *pixel = pixelAt(frame, x, y);
        for (int i = 0; i < width; ++i)
            std::memcpy(pixel + i * kBytesPerPixel, average, kBytesPerPixel);
    }
}

int WebpCanvasTracker::blockWidth(int column) const
{
    return std::min(kBlock, m_width - column * kBlock);
}

int WebpCanvasTracker::blockHeight(int row) const
{
    return std::min(kBlock, m_height - row * kBlock);
}

size_t WebpCanvasTracker::writtenOffset(int x, int y) const
{
    return (static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)) * kBytesPerPixel;
}
