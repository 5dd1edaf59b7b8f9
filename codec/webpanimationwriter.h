#pragma once

#include <cstdint>
#include <utility>
#include <vector>

struct WebPMux;

// Gathers WebP stills, one per frame in display order, into an animated WebP that
// loops for ever. Each frame lasts until the next one starts; the last lasts as long
// as the one before it.
class WebpAnimationWriter
{
public:
    WebpAnimationWriter();
    ~WebpAnimationWriter();
    WebpAnimationWriter(const WebpAnimationWriter &) = delete;
    WebpAnimationWriter &operator=(const WebpAnimationWriter &) = delete;

    // still: a complete single-image WebP file; startMs: when it is shown.
    bool add(std::vector<uint8_t> still, int64_t startMs);
    // An EXIF block (a TIFF structure) for the file's EXIF chunk.
    void setExif(std::vector<uint8_t> exif) { m_exif = std::move(exif); }
    // The whole animated file.
    bool finish(std::vector<uint8_t> &file);

private:
    bool pushPending(int durationMs);

    WebPMux *m_mux = nullptr;
    std::vector<uint8_t> m_pending;
    std::vector<uint8_t> m_exif;
    int64_t m_pendingStartMs = -1;
    int m_lastDurationMs = 100;
};
