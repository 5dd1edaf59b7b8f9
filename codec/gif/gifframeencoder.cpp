#include "gif/gifframeencoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gif/lzwwriter.h"

extern "C" {
#include <libavutil/common.h>
}

namespace {

constexpr uint8_t kNoTransparency = 0x1F; // what the index byte holds when none is used
constexpr uint8_t kKeepInPlace = 1 << 2;  // disposal: the next frame draws over this one
constexpr int kPaletteBytes = 256 * 4;

struct Area
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

const uint32_t *paletteOf(const AVFrame *frame)
{
    return reinterpret_cast<const uint32_t *>(frame->data[1]);
}

const uint8_t *rowOf(const AVFrame *frame, int y)
{
    return frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
}

// The first entry of least opacity, when that is under half; -1 when there is none.
int transparentEntry(const uint32_t *palette)
{
    int entry = -1;
    uint32_t least = 0xFF;
    for (int i = 0; i < 256; ++i)
        if (palette[i] >> 24 < least) {
            least = palette[i] >> 24;
            entry = i;
        }
    return least < 128 ? entry : -1;
}

bool usesEntry(const AVFrame *frame, int entry)
{
    for (int y = 0; y < frame->height; ++y)
        if (std::memchr(rowOf(frame, y), entry, static_cast<size_t>(frame->width)))
            return true;
    return false;
}

void putLe16(std::vector<uint8_t> &out, int value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void putColour(std::vector<uint8_t> &out, uint32_t colour)
{
    out.push_back(uint8_t(colour >> 16));
    out.push_back(uint8_t(colour >> 8));
    out.push_back(uint8_t(colour));
}

void putHeader(std::vector<uint8_t> &out, const AVFrame *frame, int transparent)
{
    static const char signature[] = "GIF89a";
    out.insert(out.end(), signature, signature + 6);
    putLe16(out, frame->width);
    putLe16(out, frame->height);
    out.push_back(0xF7); // a global palette of 256 entries
    out.push_back(transparent < 0 ? kNoTransparency : uint8_t(transparent));
    const AVRational sar = frame->sample_aspect_ratio;
    int64_t aspect = 0;
    if (sar.num > 0 && sar.den > 0) {
        aspect = sar.num * int64_t(64) / sar.den - 15;
        if (aspect < 0 || aspect > 255)
            aspect = 0;
    }
    out.push_back(uint8_t(aspect));
    for (int i = 0; i < 256; ++i)
        putColour(out, paletteOf(frame)[i]);
}

void putControl(std::vector<uint8_t> &out, int transparent)
{
    const uint8_t control[] = {0x21, 0xF9, 0x04, uint8_t(kKeepInPlace | (transparent >= 0)), 5, 0, // delay: the muxer's
                               transparent < 0 ? kNoTransparency : uint8_t(transparent), 0};
    out.insert(out.end(), control, control + sizeof(control));
}

void putDescriptor(std::vector<uint8_t> &out, const Area &area, uint8_t flags)
{
    out.push_back(0x2C);
    putLe16(out, area.x);
    putLe16(out, area.y);
    putLe16(out, area.width);
    putLe16(out, area.height);
    out.push_back(flags);
}

// The area's rows, as fillRow(y, row) gives them, compressed and in blocks of up to
// 255 bytes, each after its length.
template <typename FillRow>
void putPixels(std::vector<uint8_t> &out, const Area &area, FillRow fillRow)
{
    std::vector<uint8_t> data;
    data.reserve(static_cast<size_t>(area.width) * static_cast<size_t>(area.height));
    LzwWriter lzw(data);
    std::vector<uint8_t> row(static_cast<size_t>(area.width));
    for (int y = area.y; y < area.y + area.height; ++y) {
        fillRow(y, row.data());
        lzw.add(row.data(), area.width);
    }
    lzw.finish();
    out.push_back(8); // the pixels' bits before compression
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t size = std::min<size_t>(255, data.size() - at);
        out.push_back(uint8_t(size));
        out.insert(out.end(), data.begin() + ptrdiff_t(at), data.begin() + ptrdiff_t(at + size));
    }
    out.push_back(0);
}

// The first frame names each distinct colour once in a palette of its own.
void putFirstImage(std::vector<uint8_t> &out, const AVFrame *frame, int transparent)
{
    const uint32_t *palette = paletteOf(frame);
    std::vector<uint32_t> distinct;
    uint8_t entryOf[256] = {};
    for (int i = 0; i < 256; ++i) {
        const auto seen = std::find(distinct.begin(), distinct.end(), palette[i]);
        entryOf[i] = uint8_t(seen - distinct.begin());
        if (seen == distinct.end())
            distinct.push_back(palette[i]);
    }
    putControl(out, transparent < 0 ? -1 : entryOf[transparent]);
    const int sizeBits = av_log2(unsigned(distinct.size() - 1)); // the table holds 2 << sizeBits
    const Area area{0, 0, frame->width, frame->height};
    putDescriptor(out, area, uint8_t(0x80 | sizeBits));
    for (int i = 0; i < 2 << sizeBits; ++i)
        putColour(out, size_t(i) < distinct.size() ? distinct[size_t(i)] : 0xFFFFFF);
    putPixels(out, area, [&](int y, uint8_t *row) {
        const uint8_t *in = rowOf(frame, y);
        for (int x = 0; x < area.width; ++x)
            row[x] = entryOf[in[x]];
    });
}

bool sameColumn(const AVFrame *frame, const AVFrame *previous, int x, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y)
        if (rowOf(frame, y)[x] != rowOf(previous, y)[x])
            return false;
    return true;
}

// The rectangle outside which nothing changed; one pixel at least.
Area changedArea(const AVFrame *frame, const AVFrame *previous)
{
    const auto sameRow = [&](int y) {
        return std::memcmp(rowOf(frame, y), rowOf(previous, y), static_cast<size_t>(frame->width)) == 0;
    };
    int top = 0;
    int bottom = frame->height - 1;
    while (top < bottom && sameRow(top))
        ++top;
    while (bottom > top && sameRow(bottom))
        --bottom;
    int left = 0;
    int right = frame->width - 1;
    while (left < right && sameColumn(frame, previous, left, top, bottom))
        ++left;
    while (right > left && sameColumn(frame, previous, right, top, bottom))
        --right;
    return Area{left, top, right + 1 - left, bottom + 1 - top};
}

void putLaterImage(std::vector<uint8_t> &out, const AVFrame *frame, const AVFrame *previous, int transparent)
{
    putControl(out, transparent);
    const Area area = changedArea(frame, previous);
    putDescriptor(out, area, 0);
    putPixels(out, area, [&](int y, uint8_t *row) {
        const uint8_t *in = rowOf(frame, y) + area.x;
        const uint8_t *before = rowOf(previous, y) + area.x;
        for (int x = 0; x < area.width; ++x)
            row[x] = in[x] == before[x] ? uint8_t(transparent) : in[x];
    });
}

} // namespace

bool GifFrameEncoder::encode(const AVFrame *frame, const AVFrame *previous, std::vector<uint8_t> &packet)
{
    if (!frame || frame->format != AV_PIX_FMT_PAL8 || frame->width <= 0 || frame->height <= 0
        || frame->width > 65535 || frame->height > 65535)
        return false;
    const int transparent = transparentEntry(paletteOf(frame));
    if (previous
        && (previous->format != AV_PIX_FMT_PAL8 || previous->width != frame->width || previous->height != frame->height
            || std::memcmp(paletteOf(previous), paletteOf(frame), kPaletteBytes) != 0 || transparent < 0))
        return false;
    if (transparent >= 0 && usesEntry(frame, transparent))
        return false;
    packet.clear();
    if (previous) {
        putLaterImage(packet, frame, previous, transparent);
    } else {
        putHeader(packet, frame, transparent);
        putFirstImage(packet, frame, transparent);
    }
    return true;
}
