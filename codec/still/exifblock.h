#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavcodec/codec_id.h>
}

#include "source/capturemetadata.h"

// The capture metadata as EXIF tags, in the TIFF structure that image files carry.
class ExifBlock
{
public:
    ExifBlock() = default;
    explicit ExifBlock(CaptureMetadata metadata);

    bool empty() const { return m_metadata.empty(); }
    // A complete TIFF structure (header and directories), as JPEG, PNG and WebP hold it.
    const std::vector<uint8_t> &tiff() const { return m_tiff; }
    // Puts the tags into an encoded still: a JPEG APP1 segment, a PNG eXIf chunk, or, in a
    // TIFF, entries of its first directory. Formats without a place for them (BMP) stay
    // as they are. False when the still is not what its codec writes.
    bool embed(AVCodecID codec, std::vector<uint8_t> &image) const;

private:
    bool embedJpeg(std::vector<uint8_t> &image) const;
    bool embedPng(std::vector<uint8_t> &image) const;
    bool embedTiff(std::vector<uint8_t> &image) const;

    CaptureMetadata m_metadata;
    std::vector<uint8_t> m_tiff;
};
