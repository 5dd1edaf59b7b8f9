#pragma once

#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

struct libdeflate_compressor;

// Writes 8-bit RGB or RGBA pictures as PNG files. A sample of each picture's rows chooses
// how its rows go in: raw or as their difference from the row above, through libdeflate
// or through ISA-L's far quicker deflater, which pays on differences from smooth pictures.
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

    // How a picture's rows are filtered and deflated.
    struct Way
    {
        Filter filter = Filter::None;
        bool quick = false; // through ISA-L, else libdeflate
    };

    Way chooseWay(const AVFrame *frame);
    size_t sampleSize(const AVFrame *frame, Way way);
    void fillRows(const AVFrame *frame, int first, int last, Filter filter, std::vector<uint8_t> &rows) const;
    size_t deflate(const std::vector<uint8_t> &rows, Way way);
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
