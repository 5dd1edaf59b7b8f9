#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "hugepagearray.h"

extern "C" {
#include <libavutil/frame.h>
}

// Counts every pixel colour of a clip, from several threads at once, and cuts the colour
// space into the palette a GIF needs: median cut on the longest axis of the box whose
// colours spread most, each entry the rounded mean of its box. Holds no frame and no lock.
class ColourStatistics
{
public:
    ColourStatistics();
    ~ColourStatistics();
    ColourStatistics(const ColourStatistics &) = delete;
    ColourStatistics &operator=(const ColourStatistics &) = delete;

    // bgra: a BGRA frame. Safe to call from several threads.
    bool add(const AVFrame *bgra);
    // pixels more of one colour (0xRRGGBB), as add() counts a run of them; before makePalette.
    void addPixels(uint32_t colour, uint64_t pixels);
    // A 16x16 BGRA picture: up to 255 colours, then the transparent slot. Ends the counting.
    bool makePalette(AVFrame *palette);

private:
    // One per 24-bit colour, the largest block a GIF job holds. 32 bits, saturating: only
    // a colour filling about a minute of full-size frames reaches the top, where it stays.
    std::unique_ptr<HugePageArray<std::atomic<uint32_t>>> m_counts;
};
