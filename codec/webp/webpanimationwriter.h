#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// Writes an animated WebP that loops for ever straight into a file, one WebP still per
// frame in display order. The first still covers the whole canvas; a later one may
// repaint only part of it. Each frame lasts until the next one starts; the last lasts as
// long as the one before it. Only the newest frame is held, as its duration is not known
// before the next one arrives.
class WebpAnimationWriter
{
public:
    // Where a still goes on the canvas: at even offsets, replacing what was there, or
    // blended over it so its transparent pixels keep it. {} is the top left corner,
    // replacing.
    struct Placement
    {
        int x;
        int y;
        bool blend;
    };

    WebpAnimationWriter() = default;
    ~WebpAnimationWriter();
    WebpAnimationWriter(const WebpAnimationWriter &) = delete;
    WebpAnimationWriter &operator=(const WebpAnimationWriter &) = delete;

    // descriptor: a working file made by WorkingFile::create; it stays open.
    bool open(int descriptor);
    // still: a complete single-image WebP file that fits the first one's canvas where
    // placed; startMs: when it is shown.
    bool add(std::vector<uint8_t> still, int64_t startMs, Placement placement = {});
    // An EXIF block (a TIFF structure) for the file's EXIF chunk.
    void setExif(std::vector<uint8_t> exif) { m_exif = std::move(exif); }
    // Writes what is left and completes the header; the file is closed either way.
    bool finish();
    // The errno of the first call on the file that failed, or 0.
    int systemError() const { return m_systemError; }

private:
    // A chunk of the pending still, its header included.
    struct Span
    {
        size_t offset = 0;
        size_t size = 0;
    };

    bool accept(std::vector<uint8_t> still, Placement placement);
    bool writeHeader();
    bool writePending(int64_t durationMs);
    bool writeStillChunk(const Span &chunk);
    bool writePadded(const uint8_t *bytes, size_t size);
    bool write(const uint8_t *bytes, size_t size);
    // Keeps the system's reason of a failed file call.
    bool kept(bool succeeded);
    bool completeHeader();
    bool close();

    FILE *m_file = nullptr;
    int m_systemError = 0;
    uint64_t m_written = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_hasAlpha = false;
    std::vector<uint8_t> m_pending;
    Span m_pendingAlpha;
    Span m_pendingImage;
    Placement m_pendingPlacement{};
    int m_pendingWidth = 0;
    int m_pendingHeight = 0;
    int64_t m_pendingStartMs = -1;
    int64_t m_lastDurationMs = 100;
    std::vector<uint8_t> m_exif;
};
