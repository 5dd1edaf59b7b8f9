#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

struct libdeflate_compressor;

// Writes 8-bit RGB or RGBA pictures as PNG files, deflated by libdeflate.
class PngWriter
{
public:
    PngWriter() = default;
    ~PngWriter();
    PngWriter(const PngWriter &) = delete;
    PngWriter &operator=(const PngWriter &) = delete;

    static bool handles(AVPixelFormat format);
    bool open(int width, int height, AVPixelFormat format);
    bool encode(const AVFrame *frame, std::vector<uint8_t> &image);

private:
    void appendChunk(std::vector<uint8_t> &image, const char *type, const uint8_t *data, size_t size) const;

    libdeflate_compressor *m_compressor = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_channels = 0;
    std::vector<uint8_t> m_rows;
    std::vector<uint8_t> m_deflated;
};
