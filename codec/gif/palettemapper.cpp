#include "gif/palettemapper.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "orderedworkers.h"
#include "sidebyside.h"

extern "C" {
#include <libavutil/macros.h>
}

namespace {

int red(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int blue(uint32_t c) { return static_cast<int>(c & 0xFF); }

using Lanes = PaletteMapper::Lanes;
using ByteLanes = uint8_t __attribute__((vector_size(4)));

Lanes lanesOf(const uint8_t *bgr)
{
    ByteLanes bytes;
    std::memcpy(&bytes, bgr, sizeof(bytes));
    return __builtin_convertvector(bytes, Lanes) & Lanes{-1, -1, -1, 0};
}

// 0xRRGGBB of lanes already clamped to a byte each.
uint32_t colourOf(Lanes pixel)
{
    const ByteLanes bytes = __builtin_convertvector(pixel, ByteLanes);
    uint32_t colour;
    std::memcpy(&colour, &bytes, sizeof(colour));
    return colour & 0xFFFFFF;
}

// pixel plus error * quarters / 4, rounded toward zero, each lane clamped to 0..255.
Lanes spread(Lanes pixel, Lanes error, int16_t quarters)
{
    const Lanes scaled = error * quarters;
    Lanes sum = pixel + ((scaled + ((scaled >> 15) & 3)) >> 2);
    sum = sum < 0 ? 0 : sum;
    return sum > 255 ? 255 : sum;
}

// Where a colour's answer is kept: each 64-byte line holds a 4x4x4 cube of colours, so
// the slightly different colours of a noisy area share lines instead of each missing
// the cache.
size_t answerSlot(uint32_t colour)
{
    const uint32_t high = (colour >> 2) & 0x3F3F3F; // the cube's corner
    const uint32_t low = colour & 0x030303;         // the colour inside it
    return size_t((high >> 16) << 18 | ((high >> 8) & 0x3F) << 12 | (high & 0x3F) << 6 | (low >> 16) << 4
                  | ((low >> 8) & 3) << 2 | (low & 3));
}

} // namespace

int PaletteMapper::nearest(uint32_t colour) const
{
    std::atomic<uint8_t> &answer = (*m_answers)[answerSlot(colour)];
    int index = answer.load(std::memory_order_relaxed);
    if (index == kUnknown) {
        index = search(red(colour), green(colour), blue(colour));
        answer.store(static_cast<uint8_t>(index), std::memory_order_relaxed);
    }
    return index;
}

int PaletteMapper::search(int r, int g, int b) const
{
    constexpr int shift = 8 - kBits;
    const Slice &slice = m_slices[static_cast<size_t>(r >> shift)];
    const auto cell = static_cast<size_t>((g >> shift) * kSide + (b >> shift));
    int best = 0;
    int bestDistance = INT_MAX;
    for (uint32_t i = cell ? slice.ends[cell - 1] : 0; i < slice.ends[cell]; ++i) {
        const uint32_t c = m_palette[slice.candidates[i]];
        const int dr = red(c) - r;
        const int dg = green(c) - g;
        const int db = blue(c) - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = slice.candidates[i];
        }
    }
    return best;
}

bool PaletteMapper::setPalette(const AVFrame *palette)
{
    if (!palette || palette->format != AV_PIX_FMT_BGRA || palette->width * palette->height != 256)
        return false;
    m_usable.clear();
    for (int i = 0; i < 256; ++i) {
        const uint8_t *row = palette->data[0] + (i / palette->width) * palette->linesize[0];
        uint32_t colour = 0;
        std::memcpy(&colour, row + (i % palette->width) * 4, 4);
        m_palette[static_cast<size_t>(i)] = colour;
        m_paletteLanes[static_cast<size_t>(i)] = Lanes{int16_t(blue(colour)), int16_t(green(colour)), int16_t(red(colour)), 0};
        // The slot palettegen keeps for transparency is no colour for opaque frames.
        if ((colour >> 24) == 0xFF)
            m_usable.push_back(i);
    }
    if (m_usable.empty())
        return false;
    m_answers = std::make_unique<HugePageArray<std::atomic<uint8_t>>>(size_t(1) << 24, kUnknown);
    // The slices are indexed side by side: alone this takes a tenth of a second, while
    // mappers wait.
    m_slices.assign(kSide, Slice{});
    std::atomic<int> nextSlice{0};
    runSideBySide(OrderedWorkers::defaultThreads(8), [&](int) {
        for (int r = nextSlice++; r < kSide; r = nextSlice++)
            indexSlice(r, m_slices[static_cast<size_t>(r)]);
    });
    return true;
}

void PaletteMapper::indexSlice(int r, Slice &slice) const
{
    // Any colour of a cell lies within half a cell diagonal of its centre, so only
    // entries within the nearest distance plus a whole diagonal can win inside it.
    // Distances are taken in doubled units from the cell centre, to stay in integers.
    constexpr int size = 1 << (8 - kBits);
    const double reach = 2 * std::sqrt(3.0) * (size - 1);
    std::vector<int> away(m_usable.size());
    for (int g = 0; g < kSide; ++g)
        for (int b = 0; b < kSide; ++b) {
            const int cr = 2 * r * size + size - 1;
            const int cg = 2 * g * size + size - 1;
            const int cb = 2 * b * size + size - 1;
            int closest = INT_MAX;
            for (size_t k = 0; k < m_usable.size(); ++k) {
                const uint32_t c = m_palette[static_cast<size_t>(m_usable[k])];
                const int dr = 2 * red(c) - cr;
                const int dg = 2 * green(c) - cg;
                const int db = 2 * blue(c) - cb;
                away[k] = dr * dr + dg * dg + db * db;
                closest = std::min(closest, away[k]);
            }
            const double limit = std::sqrt(double(closest)) + reach;
            const int limitSquared = static_cast<int>(limit * limit) + 1;
            for (size_t k = 0; k < m_usable.size(); ++k)
                if (away[k] <= limitSquared)
                    slice.candidates.push_back(static_cast<uint8_t>(m_usable[k]));
            slice.ends.push_back(static_cast<uint32_t>(slice.candidates.size()));
        }
}

bool PaletteMapper::start(Picture &picture, int width, int height, const AVFrame *source, AVFrame *pal8) const
{
    if (m_slices.empty())
        return false;
    av_frame_unref(pal8);
    if (width <= 0 || height <= 0 || !takePicture(width, height, pal8) || av_frame_copy_props(pal8, source) < 0)
        return false;
    std::memcpy(pal8->data[1], m_palette.data(), 256 * 4);
    picture.pal8 = pal8;
    picture.rowsIn = 0;
    // Working copies of two rows: diffusion changes pixels not yet mapped, each change
    // clamped on its own as the error spreads.
    picture.current.assign(static_cast<size_t>(width), Lanes{});
    picture.next.assign(picture.current.size(), Lanes{});
    return true;
}

bool PaletteMapper::takePicture(int width, int height, AVFrame *pal8) const
{
    const int rowBytes = FFALIGN(width, 64);
    const size_t pixels = static_cast<size_t>(rowBytes) * static_cast<size_t>(height);
    pal8->buf[0] = m_pictures.take(pixels + 256 * 4);
    if (!pal8->buf[0])
        return false;
    pal8->format = AV_PIX_FMT_PAL8;
    pal8->width = width;
    pal8->height = height;
    pal8->data[0] = pal8->buf[0]->data;
    pal8->linesize[0] = rowBytes;
    pal8->data[1] = pal8->data[0] + pixels;
    return true;
}

bool PaletteMapper::addRows(Picture &picture, const AVFrame *bgra) const
{
    AVFrame *pal8 = picture.pal8;
    if (!pal8 || bgra->format != AV_PIX_FMT_BGRA || bgra->width != pal8->width
        || bgra->height > pal8->height - picture.rowsIn)
        return false;
    const int width = bgra->width;
    for (int y = 0; y < bgra->height; ++y, ++picture.rowsIn) {
        const bool first = picture.rowsIn == 0;
        Lanes *row = first ? picture.current.data() : picture.next.data();
        const uint8_t *in = bgra->data[0] + static_cast<ptrdiff_t>(y) * bgra->linesize[0];
        for (int x = 0; x < width; ++x)
            row[x] = lanesOf(in + x * 4);
        if (first)
            continue;
        // The row below is in, so the one above can spread its error into it.
        uint8_t *out = pal8->data[0] + static_cast<ptrdiff_t>(picture.rowsIn - 1) * pal8->linesize[0];
        mapRow(picture.current.data(), picture.next.data(), width, out);
        picture.current.swap(picture.next);
    }
    return true;
}

bool PaletteMapper::finish(Picture &picture) const
{
    AVFrame *pal8 = picture.pal8;
    if (!pal8 || picture.rowsIn != pal8->height || pal8->height == 0)
        return false;
    mapRow(picture.current.data(), nullptr, pal8->width,
           pal8->data[0] + static_cast<ptrdiff_t>(pal8->height - 1) * pal8->linesize[0]);
    picture.pal8 = nullptr;
    return true;
}

void PaletteMapper::mapRow(Lanes *current, Lanes *next, int width, uint8_t *out) const
{
    // The pixel on the right is carried from one step to the next: it is the one that
    // takes half of each error, and reading it back from memory made every step wait.
    // Flat areas repeat a colour pixel after pixel, so the last answer is tried first.
    Lanes pixel = current[0];
    uint64_t lastColour = ~uint64_t(0);
    int index = 0;
    Lanes error{};
    for (int x = 0; x < width; ++x) {
        uint64_t colour;
        std::memcpy(&colour, &pixel, sizeof(colour));
        if (colour != lastColour) {
            lastColour = colour;
            index = nearest(colourOf(pixel));
            error = pixel - m_paletteLanes[static_cast<size_t>(index)];
        }
        out[x] = static_cast<uint8_t>(index);
        // Sierra-2-4A: 2/4 to the right, 1/4 below left, 1/4 below.
        if (x + 1 < width)
            pixel = spread(current[x + 1], error, 2);
        if (next && x > 0)
            next[x - 1] = spread(next[x - 1], error, 1);
        if (next)
            next[x] = spread(next[x], error, 1);
    }
}
