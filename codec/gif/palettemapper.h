#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/picturepool.h"
#include "hugepagearray.h"

extern "C" {
#include <libavutil/frame.h>
}

// Maps BGRA frames onto a fixed 256-colour palette with Sierra-2-4A error diffusion.
// The colour cube is cut into cells, each listing the few palette entries that can be
// nearest to a colour inside it, so the exact nearest colour costs a handful of
// comparisons on noisy footage as on flat colour. Each answer is kept per colour, as a
// clip asks for the same colours millions of times. One mapper serves many threads.
class PaletteMapper
{
public:
    // palette: the 16x16 BGRA picture that palettegen makes.
    bool setPalette(const AVFrame *palette);
    // A pixel's blue, green and red, then a lane that stays zero; wide enough for a colour
    // with its spread error added, before it is clamped again.
    using Lanes = int16_t __attribute__((vector_size(8)));
    // One picture on its way through the mapper, its BGRA rows coming from the top; the
    // diffusion spreads each row's error into the next.
    struct Picture
    {
        AVFrame *pal8 = nullptr;
        int rowsIn = 0;
        std::vector<Lanes> current;
        std::vector<Lanes> next;
    };
    // Allocates pal8 at this size, with the time and properties of `source`.
    bool start(Picture &picture, int width, int height, const AVFrame *source, AVFrame *pal8) const;
    bool addRows(Picture &picture, const AVFrame *bgra) const;
    bool finish(Picture &picture) const;

private:
    static constexpr int kBits = 6;
    static constexpr int kSide = 1 << kBits;

    // The candidates of the cells with one red index, in green then blue order.
    struct Slice
    {
        std::vector<uint8_t> candidates;
        std::vector<uint32_t> ends;
    };

    void indexSlice(int r, Slice &slice) const;
    int nearest(uint32_t colour) const;
    int search(int r, int g, int b) const;
    bool takePicture(int width, int height, AVFrame *pal8) const;
    void mapRow(Lanes *current, Lanes *next, int width, uint8_t *out) const;

    std::array<uint32_t, 256> m_palette{};
    std::array<Lanes, 256> m_paletteLanes{};
    std::vector<int> m_usable;
    std::vector<Slice> m_slices;
    // The nearest entry of each 24-bit colour once found, else kUnknown, which is the
    // transparent slot in our palettes (an opaque last entry is only searched each time).
    // Threads filling it in race only to write the same value.
    static constexpr uint8_t kUnknown = 0xFF;
    std::unique_ptr<HugePageArray<std::atomic<uint8_t>>> m_answers;
    mutable PicturePool m_pictures;
};
