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

} // namespace

size_t PaletteMapper::cellOf(int r, int g, int b)
{
    constexpr int shift = 8 - kBits;
    return static_cast<size_t>((((r >> shift) * kSide) + (g >> shift)) * kSide + (b >> shift));
}

int PaletteMapper::nearest(int r, int g, int b) const
{
    std::atomic<uint8_t> &answer = (*m_answers)[static_cast<size_t>(r) << 16 | static_cast<size_t>(g) << 8 | static_cast<size_t>(b)];
    int index = answer.load(std::memory_order_relaxed);
    if (index == kUnknown) {
        index = search(r, g, b);
        answer.store(static_cast<uint8_t>(index), std::memory_order_relaxed);
    }
    return index;
}

int PaletteMapper::search(int r, int g, int b) const
{
    const size_t cell = cellOf(r, g, b);
    int best = 0;
    int bestDistance = INT_MAX;
    for (uint32_t i = m_cellStart[cell]; i < m_cellStart[cell + 1]; ++i) {
        const uint32_t c = m_palette[m_candidates[i]];
        const int dr = red(c) - r;
        const int dg = green(c) - g;
        const int db = blue(c) - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = m_candidates[i];
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
        // The slot palettegen keeps for transparency is no colour for opaque frames.
        if ((colour >> 24) == 0xFF)
            m_usable.push_back(i);
    }
    if (m_usable.empty())
        return false;
    m_answers = std::make_unique<HugePageArray<std::atomic<uint8_t>>>(size_t(1) << 24, kUnknown);
    // The cells of each red slice are indexed side by side: alone this takes a tenth of a
    // second, while mappers wait.
    std::vector<Slice> slices(kSide);
    std::atomic<int> nextSlice{0};
    runSideBySide(OrderedWorkers::defaultThreads(8), [&](int) {
        for (int r = nextSlice++; r < kSide; r = nextSlice++)
            indexSlice(r, slices[static_cast<size_t>(r)]);
    });
    m_cellStart.assign(1, 0);
    m_candidates.clear();
    for (const Slice &slice : slices) {
        const uint32_t base = static_cast<uint32_t>(m_candidates.size());
        for (uint32_t end : slice.ends)
            m_cellStart.push_back(base + end);
        m_candidates.insert(m_candidates.end(), slice.candidates.begin(), slice.candidates.end());
    }
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
    if (m_cellStart.size() < 2)
        return false;
    av_frame_unref(pal8);
    if (width <= 0 || height <= 0 || !takePicture(width, height, pal8) || av_frame_copy_props(pal8, source) < 0)
        return false;
    std::memcpy(pal8->data[1], m_palette.data(), 256 * 4);
    picture.pal8 = pal8;
    picture.rowsIn = 0;
    // Working copies of two rows: diffusion changes pixels not yet mapped, each change
    // clamped on its own as the error spreads.
    picture.current.assign(static_cast<size_t>(width) * 3, 0);
    picture.next.assign(picture.current.size(), 0);
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
        int *row = first ? picture.current.data() : picture.next.data();
        const uint8_t *in = bgra->data[0] + static_cast<ptrdiff_t>(y) * bgra->linesize[0];
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c] = in[x * 4 + c];
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

void PaletteMapper::mapRow(int *current, int *next, int width, uint8_t *out) const
{
    const auto spread = [](int *pixel, const int *error, int quarters) {
        for (int c = 0; c < 3; ++c)
            pixel[c] = std::clamp(pixel[c] + error[c] * quarters / 4, 0, 255);
    };
    for (int x = 0; x < width; ++x) {
        int *pixel = current + x * 3;
        const int index = nearest(pixel[2], pixel[1], pixel[0]);
        out[x] = static_cast<uint8_t>(index);
        const uint32_t chosen = m_palette[static_cast<size_t>(index)];
        const int error[3] = {pixel[0] - blue(chosen), pixel[1] - green(chosen), pixel[2] - red(chosen)};
        // Sierra-2-4A: 2/4 to the right, 1/4 below left, 1/4 below.
        if (x + 1 < width)
            spread(pixel + 3, error, 2);
        if (next && x > 0)
            spread(next + (x - 1) * 3, error, 1);
        if (next)
            spread(next + x * 3, error, 1);
    }
}
