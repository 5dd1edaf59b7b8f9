#pragma once

#include <functional>
#include <memory>

#include "framefilter.h"

// Hands a picture to a reader in BGRA, a band of rows at a time from the top, so that a
// full-size BGRA copy of a large picture never has to exist: a worker holding one needs
// three times the memory of the decoded picture. A BGRA picture is handed over whole.
class BgraBands
{
public:
    using Reader = std::function<bool(const AVFrame *band)>;

    BgraBands();
    ~BgraBands();
    BgraBands(const BgraBands &) = delete;
    BgraBands &operator=(const BgraBands &) = delete;

    bool read(const AVFrame *picture, AVRational timeBase, const Reader &reader);

private:
    bool convertBand(const AVFrame *picture, AVRational timeBase, int top, int rows, const Reader &reader);

    struct Converter
    {
        FrameFilter filter;
        VideoParams input;
    };
    // One converter per band height: the bands, and the shorter last one.
    std::unique_ptr<Converter> m_band;
    std::unique_ptr<Converter> m_lastBand;
    FramePtr m_view;
};
