#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

#include "webpanimationwriter.h"

// Decides, frame by frame in display order, what of an animated WebP's canvas each frame
// repaints. It keeps for every block of the canvas the source pixels last written there,
// and a block is repainted once the source strays from those further than lossy coding
// at the quality errs anyway: measured against the previous frame instead, a slow fade
// would never be written. Frames are BGRA.
class WebpCanvasTracker
{
public:
    // translucent: the source may hold pixels that are not opaque; those cannot be
    // blended over the canvas, so such frames replace what they cover.
    WebpCanvasTracker(int quality, bool translucent);

    // Crops the frame to the blocks it repaints, with the blocks inside it that keep the
    // canvas made transparent when it is blended, and says where it goes. The frame must
    // be as large as the first one.
    bool place(AVFrame *frame, WebpAnimationWriter::Placement &placement);

private:
    struct Blocks
    {
        int left = 0;
        int top = 0;
        int right = -1; // inclusive; below left when none changed
        int bottom = -1;
    };

    bool keepsEnough(const Blocks &blocks) const;
    bool differs(const AVFrame *frame, int column, int row) const;
    void remember(const AVFrame *frame, int column, int row);
    void keepCanvas(AVFrame *frame, int column, int row) const;
    int blockWidth(int column) const;
    int blockHeight(int row) const;
    size_t writtenOffset(int x, int y) const;
    static bool letGoOfCanvas(AVFrame *frame);
    void findChanged(const AVFrame *frame);
    Blocks spreadRepaints();

    const int m_tolerance;
    const bool m_translucent;
    int m_width = 0;
    int m_height = 0;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<uint8_t> m_written; // BGRA, a row of the canvas after another
    // This frame's, block by block.
    std::vector<bool> m_changed;
    std::vector<bool> m_repainted;
};
