#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <atomic>

// The platform-free part of the video views: admission, frame copies, texture sizing
// and the limited-range BT.601 conversion. Callable from any thread unless noted.
namespace VideoFrameCore {

// Frames a view lets wait for the GUI thread before it drops new ones.
constexpr int kMaxPendingFrames = 9;

// Counts a frame in when fewer than kMaxPendingFrames wait; a null frame always gets in.
// A refused frame prints message on standard output.
bool AdmitFrame(std::atomic<int> &pending, bool isNull, const char *message);

// One packed B, G, R, x frame: stride x height bytes.
struct PackedFrame
{
    bool isNull = true;
    int width = 0;
    int height = 0;
    int stride = 0;
    QByteArray pixels;
};

// One planar 4:2:0 frame, luma padded to an even height, chroma beyond the picture neutral.
struct PlanarFrame
{
    bool isNull = true;
    int width = 0;
    int height = 0;
    int evenHeight = 0;
    int strides[3] = {};
    QByteArray planes[3];
};

PackedFrame CopyPackedFrame(const unsigned char *data, int width, int height, int stride);
PlanarFrame CopyPlanarFrame(unsigned char *const *planes, int width, int height, const int *strides);

// Allocated texture and the share of it the frame covers.
struct TextureLayout
{
    int width = 0;
    int height = 0;
    float visibleWidth = 1.0f;
    float visibleHeight = 1.0f;
};

// Smallest power of two not below n, at least 128.
int TextureSide(int n);
TextureLayout PackedTextureLayout(int width, int height, int stride);
TextureLayout PlanarTextureLayout(int width, int height, const int *strides);
// Whether a frame no longer fits the textures allocated for frameSize.
bool PackedNeedsRealloc(const QSize &frameSize, const TextureLayout &layout, int width, int height, int stride);
bool PlanarNeedsRealloc(const QSize &frameSize, const TextureLayout &layout, int width, int height,
                        const int *strides);

// Limited-range BT.601 of one sample triple, as the GL shader computes it, as 0xffRRGGBB.
QRgb YuvToRgb(int y, int u, int v);
// The frame at size (nearest sample), converted on the CPU; null for a null frame.
QImage PlanarToImage(const PlanarFrame &frame, const QSize &size);

} // namespace VideoFrameCore
