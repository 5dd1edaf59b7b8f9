#pragma once

#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

struct libdeflate_compressor;

// Writes 8-bit RGB or RGBA pictures as PNG files. Each picture's rows go to one of two
// deflaters, whichever a sample of its rows says suits it: libdeflate for raw rows, or
// ISA-L's far quicker one for rows taken as their difference from the row above, which
// pays on smooth pictures.
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
    // PNG's filter types, as written before each row.
    enum class Filter : uint8_t { None = 0, Up = 2 };

    bool upPays(const AVFrame *frame);
    size_t deflatedSize(const AVFrame *frame, int first, int last, Filter filter);
    void fillRows(const AVFrame *frame, int first, int last, Filter filter, std::vector<uint8_t> &rows) const;
    size_t deflate(const std::vector<uint8_t> &rows, Filter filter);
    void appendChunk(std::vector<uint8_t> &image, const char *type, const uint8_t *data, size_t size) const;

    libdeflate_compressor *m_compressor = nullptr;
    std::vector<uint8_t> m_fastLevelBuffer; // ISA-L's working memory
    int m_width = 0;
    int m_height = 0;
    int m_channels = 0;
    std::vector<uint8_t> m_rows;
    std::vector<uint8_t> m_sample;
    // Left uninitialised: only the pages the deflated bytes reach become resident, not
    // the whole bound, which is the size of the raw picture.
    std::unique_ptr<uint8_t[]> m_deflated;
    size_t m_deflatedBound = 0;
};
