#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

#include "webp/webpanimationwriter.h"

// Decides, frame by frame in display order, what of an animated WebP's canvas each frame
// repaints. It keeps for every block of the canvas the source pixels last written there,
// and a block is repainted once the source strays from those, on average over
// neighbouring pixels, further than lossy coding at the quality errs anyway, or at a
// pixel far further than a camera's noise: measured against the previous frame instead,
// a slow fade would never be written. Frames are YUV 4:2:0, with alpha when the source
// may be translucent.
class WebpCanvasTracker
{
public:
    // translucent: frames carry alpha; those cannot be blended over the canvas, so such
    // frames replace what they cover.
    WebpCanvasTracker(int quality, bool translucent);

    // Replaces the frame by the part of the canvas it repaints, with the blocks inside
    // that keep the canvas made transparent when it is blended, and says where it goes.
    // The frame must be as large as the first one.
    bool place(AVFrame *frame, WebpAnimationWriter::Placement &placement);

private:
    struct Blocks
    {
        int left = 0;
        int top = 0;
        int right = -1; // inclusive; below left when none changed
        int bottom = -1;
    };
    // One plane of the canvas as last written, a row after another.
    struct Plane
    {
        int shift = 0; // chroma planes are half as wide and high
        int width = 0;
        int height = 0;
        std::vector<uint8_t> pixels;

        uint8_t *at(int x, int y) { return pixels.data() + static_cast<size_t>(y) * width + x; }
        const uint8_t *at(int x, int y) const { return pixels.data() + static_cast<size_t>(y) * width + x; }
    };
    // A block's rectangle within one plane.
    struct Span
    {
        int x;
        int y;
        int width;
        int height;
    };

    bool accepts(const AVFrame *frame) const;
    void start(const AVFrame *frame);
    bool keepsEnough(const Blocks &blocks) const;
    bool plain(int column, int row) const;
    bool textured(int column, int row) const;
    bool differs(const AVFrame *frame, int column, int row) const;
    void remember(const AVFrame *frame, int column, int row);
    AVFrame *paintArea(const Blocks &blocks, bool blends) const;
    void paintBlock(AVFrame *area, const Blocks &blocks, int column, int row, bool kept) const;
    Span spanOf(const Plane &plane, int column, int row) const;
    void findChanged(const AVFrame *frame);
    Blocks spreadRepaints();
    bool repainted(int column, int row) const;

    const int m_brightnessTolerance; // and alpha's
    const int m_chromaTolerance;
    const double m_similarity; // the least a kept block's may fall to
    const bool m_translucent;
    int m_width = 0;
    int m_height = 0;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<Plane> m_planes; // Y, U, V, then alpha when translucent
    // This frame's, block by block.
    std::vector<uint8_t> m_changed; // bytes, as bands of it are written side by side
    std::vector<bool> m_repainted;
};
