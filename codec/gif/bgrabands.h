#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "framefilter.h"

// Hands a picture to a reader turned upright and in BGRA, a band of rows at a time from
// the top, so that neither a turned copy nor a full-size BGRA copy of a large picture
// has to exist: a worker holding both needs four times the memory of the decoded picture.
// An upright BGRA picture is handed over whole.
class BgraBands
{
public:
    using Reader = std::function<bool(const AVFrame *band)>;

    BgraBands();
    ~BgraBands();
    BgraBands(const BgraBands &) = delete;
    BgraBands &operator=(const BgraBands &) = delete;

    // Whether the turn makes the picture's width of the source's height.
    static bool swapsSides(int rotation);
    // rotation: 0, 90, 180 or 270 degrees clockwise, as FrameFilter::rotationChain takes it.
    bool read(const AVFrame *picture, AVRational timeBase, int rotation, const Reader &reader);

private:
    // Turns and converts the source rows (or, turned a quarter, columns) first .. first + size.
    bool convertStrip(const AVFrame *picture, AVRational timeBase, int rotation, int first, int size);
    bool readBand(int skipped, int rows, const Reader &reader);
    FrameFilter *converterFor(const VideoParams &input, int rotation);

    struct Converter
    {
        FrameFilter filter{1}; // bands are read by workers already side by side
        VideoParams input;
        int rotation = 0;
    };
    std::vector<std::unique_ptr<Converter>> m_converters;
    FramePtr m_view;
};
