#include "videoframecore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace VideoFrameCore {

bool AdmitFrame(std::atomic<int> &pending, bool isNull, const char *message)
{
    // One producer (the display thread) increments, so the check and the increment need
    // no compare-and-swap.
    if (!isNull && pending.load() >= kMaxPendingFrames) {
        std::fputs(message, stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        return false;
    }
    ++pending;
    return true;
}

namespace {

template <class Frame> Frame NonNullFrame(int width, int height)
{
    Frame frame;
    frame.isNull = false;
    frame.width = width;
    frame.height = height;
    return frame;
}

TextureLayout Layout(int textureWidth, int textureHeight, int width, int height)
{
    TextureLayout layout;
    layout.width = TextureSide(textureWidth);
    layout.height = TextureSide(textureHeight);
    layout.visibleWidth = float(width) / float(layout.width);
    layout.visibleHeight = float(height) / float(layout.height);
    return layout;
}

} // namespace

PackedFrame CopyPackedFrame(const unsigned char *data, int width, int height, int stride)
{
    if (!data)
        return {};
    auto frame = NonNullFrame<PackedFrame>(width, height);
    frame.stride = stride;
    frame.pixels = QByteArray(reinterpret_cast<const char *>(data), stride * height);
    return frame;
}

PlanarFrame CopyPlanarFrame(unsigned char *const *planes, int width, int height, const int *strides)
{
    if (!planes)
        return {};
    auto frame = NonNullFrame<PlanarFrame>(width, height);
    frame.evenHeight = height + (height & 1);
    std::copy(strides, strides + 3, frame.strides);

    QByteArray &luma = frame.planes[0];
    luma.resize(strides[0] * frame.evenHeight);
    std::memcpy(luma.data(), planes[0], size_t(strides[0]) * height);
    if (height & 1)
        std::memcpy(luma.data() + strides[0] * height, planes[0] + strides[0] * (height - 1), strides[0]);

    const int chromaHeight = frame.evenHeight / 2;
    const int chromaWidth = (width + (width & 1)) / 2;
    for (int i = 1; i < 3; ++i) {
        frame.planes[i] = QByteArray(reinterpret_cast<const char *>(planes[i]), strides[i] * chromaHeight);
        // Bytes past the picture would tint a linearly filtered edge: make them neutral.
        char *line = frame.planes[i].data();
        for (int y = 0; y < chromaHeight && chromaWidth < strides[i]; ++y, line += strides[i])
            std::memset(line + chromaWidth, 128, strides[i] - chromaWidth);
    }
    return frame;
}

int TextureSide(int n)
{
    int side = 128;
    while (side < n)
        side *= 2;
    return side;
}

TextureLayout PackedTextureLayout(int width, int height, int stride)
{
    return Layout(stride / 4, height, width, height);
}

TextureLayout PlanarTextureLayout(int width, int height, const int *strides)
{
    return Layout(std::max(2 * std::max(strides[1], strides[2]), strides[0]), height, width, height);
}

bool PackedNeedsRealloc(const QSize &frameSize, const TextureLayout &layout, int width, int height, int stride)
{
    return frameSize != QSize(width, height) || stride > 4 * layout.width;
}

bool PlanarNeedsRealloc(const QSize &frameSize, const TextureLayout &layout, int width, int height,
                        const int *strides)
{
    return frameSize != QSize(width, height) || strides[0] > layout.width || strides[1] > layout.width / 2
           || strides[2] > layout.width / 2;
}

QRgb YuvToRgb(int y, int u, int v)
{
    const double luma = 1.164 * (y / 255.0 - 0.0625);
    const double cb = u / 255.0 - 0.5;
    const double cr = v / 255.0 - 0.5;
    const auto channel = [](double value) { return int(std::lround(std::clamp(value, 0.0, 1.0) * 255.0)); };
    return qRgb(channel(luma + 1.596 * cr), channel(luma - 0.392 * cb - 0.813 * cr), channel(luma + 2.017 * cb));
}

QImage PlanarToImage(const PlanarFrame &frame, const QSize &size)
{
    if (frame.isNull || size.isEmpty() || frame.width <= 0 || frame.height <= 0)
        return {};
    QImage image(size, QImage::Format_RGB32);
    const auto *luma = reinterpret_cast<const uchar *>(frame.planes[0].constData());
    const auto *cb = reinterpret_cast<const uchar *>(frame.planes[1].constData());
    const auto *cr = reinterpret_cast<const uchar *>(frame.planes[2].constData());
    for (int row = 0; row < size.height(); ++row) {
        const int y = int(qint64(row) * frame.height / size.height());
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(row));
        for (int column = 0; column < size.width(); ++column) {
            const int x = int(qint64(column) * frame.width / size.width());
            const int chroma = (y / 2) * frame.strides[1];
            out[column] = YuvToRgb(luma[y * frame.strides[0] + x], cb[chroma + x / 2],
                                   cr[(y / 2) * frame.strides[2] + x / 2]);
        }
    }
    return image;
}

} // namespace VideoFrameCore
