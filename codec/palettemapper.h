#pragma once

#include <array>
#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

// Maps BGRA frames onto a fixed 256-colour palette with Sierra-2-4A error diffusion.
// The colour cube is cut into cells, each listing the few palette entries that can be
// nearest to a colour inside it, so the exact nearest colour costs a handful of
// comparisons on noisy footage as on flat colour. One mapper serves many threads.
class PaletteMapper
{
public:
    // palette: the 16x16 BGRA picture that palettegen makes.
    bool setPalette(const AVFrame *palette);
    // bgra in, pal8 out (allocated here).
    bool map(const AVFrame *bgra, AVFrame *pal8) const;

private:
    static constexpr int kBits = 6;
    static constexpr int kSide = 1 << kBits;

    static size_t cellOf(int r, int g, int b);
    int nearest(int r, int g, int b) const;

    std::array<uint32_t, 256> m_palette{};
    std::vector<int> m_usable;
    // Candidates of cell i: m_candidates[m_cellStart[i] .. m_cellStart[i + 1]).
    std::vector<uint32_t> m_cellStart;
    std::vector<uint8_t> m_candidates;
};
