#include "webp/webpanimationwriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <webp/decode.h>

#include "webp/webpchunks.h"
#include "workingfile.h"

using namespace WebpChunks;

namespace {

// Readers refuse a RIFF whose payload is larger.
constexpr uint64_t kMaxRiffPayload = 0xfffffff6u;
constexpr uint32_t kExifFlag = 0x08;
constexpr uint32_t kAnimationFlag = 0x02;
constexpr size_t kFlagsOffset = kRiffHeaderSize + kChunkHeaderSize;
constexpr uint32_t kWhiteBackground = 0xffffffff;
constexpr uint8_t kNoBlend = 0x02; // and no disposal: the next frame paints over this one
constexpr size_t kFrameHeaderSize = 16;
constexpr int64_t kDurationLimitMs = int64_t(1) << 24;

uint32_t readLe32(const uint8_t *bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

bool hasTag(const uint8_t *bytes, const char *tag)
{
    return std::memcmp(bytes, tag, 4) == 0;
}

} // namespace

WebpAnimationWriter::~WebpAnimationWriter()
{
    close();
}

bool WebpAnimationWriter::open(int descriptor)
{
    m_file = WorkingFile::openForWriting(descriptor);
    return m_file != nullptr;
}

bool WebpAnimationWriter::add(std::vector<uint8_t> still, int64_t startMs, Placement placement)
{
    if (m_pendingStartMs >= 0) {
        // Timestamps rounded to milliseconds, so the durations add up to the clip's length.
        m_lastDurationMs = std::max<int64_t>(1, startMs - m_pendingStartMs);
        if (!writePending(m_lastDurationMs))
            return false;
    }
    if (!accept(std::move(still), placement))
        return false;
    m_pendingStartMs = startMs;
    return m_written > 0 || writeHeader();
}

// Finds the still's alpha and image chunks and checks that it fits the canvas.
bool WebpAnimationWriter::accept(std::vector<uint8_t> still, Placement placement)
{
    m_pending = std::move(still);
    m_pendingAlpha = m_pendingImage = Span();
    const uint8_t *bytes = m_pending.data();
    if (m_pending.size() < kRiffHeaderSize || !hasTag(bytes, "RIFF") || !hasTag(bytes + 8, "WEBP"))
        return false;
    const uint64_t riffEnd = kChunkHeaderSize + uint64_t(readLe32(bytes + 4));
    if (riffEnd > m_pending.size())
        return false;
    // The image chunk is the last one a frame takes; a still that has none, as an
    // animation has none at the top level, is refused.
    for (uint64_t at = kRiffHeaderSize; at + kChunkHeaderSize <= riffEnd && !m_pendingImage.size;) {
        const uint64_t payloadSize = readLe32(bytes + at + 4);
        if (at + kChunkHeaderSize + payloadSize > riffEnd)
            return false;
        const Span chunk{size_t(at), size_t(kChunkHeaderSize + payloadSize)};
        if (hasTag(bytes + at, "ALPH"))
            m_pendingAlpha = chunk;
        else if (hasTag(bytes + at, "VP8 ") || hasTag(bytes + at, "VP8L"))
            m_pendingImage = chunk;
        at += padded(chunk.size);
    }
    WebPBitstreamFeatures features;
    if (!m_pendingImage.size
        || WebPGetFeatures(bytes + m_pendingImage.offset, m_pendingImage.size, &features) != VP8_STATUS_OK)
        return false;
    // A lossless picture carries its own alpha.
    if (hasTag(bytes + m_pendingImage.offset, "VP8L"))
        m_pendingAlpha = Span();
    m_hasAlpha = m_hasAlpha || features.has_alpha || m_pendingAlpha.size;
    if (!m_width) {
        m_width = features.width;
        m_height = features.height;
    }
    m_pendingPlacement = placement;
    m_pendingWidth = features.width;
    m_pendingHeight = features.height;
    return placement.x >= 0 && placement.y >= 0 && placement.x % 2 == 0 && placement.y % 2 == 0
           && placement.x + features.width <= m_width && placement.y + features.height <= m_height;
}

bool WebpAnimationWriter::writeHeader()
{
    std::vector<uint8_t> header{'R', 'I', 'F', 'F'};
    appendLe(header, 0, 4); // the size, known at the end
    header.insert(header.end(), {'W', 'E', 'B', 'P'});
    appendChunkHeader(header, "VP8X", 10);
    appendLe(header, kAnimationFlag, 4); // the rest of the flags, known at the end
    appendLe(header, uint64_t(m_width - 1), 3);
    appendLe(header, uint64_t(m_height - 1), 3);
    appendChunkHeader(header, "ANIM", 6);
    appendLe(header, kWhiteBackground, 4);
    appendLe(header, 0, 2); // loops for ever
    return write(header.data(), header.size());
}

bool WebpAnimationWriter::writePending(int64_t durationMs)
{
    if (durationMs >= kDurationLimitMs)
        return false;
    std::vector<uint8_t> frame;
    const size_t payloadSize = kFrameHeaderSize + padded(m_pendingAlpha.size) + padded(m_pendingImage.size);
    appendChunkHeader(frame, "ANMF", payloadSize);
    appendLe(frame, uint64_t(m_pendingPlacement.x / 2), 3);
    appendLe(frame, uint64_t(m_pendingPlacement.y / 2), 3);
    appendLe(frame, uint64_t(m_pendingWidth - 1), 3);
    appendLe(frame, uint64_t(m_pendingHeight - 1), 3);
    appendLe(frame, uint64_t(durationMs), 3);
    frame.push_back(m_pendingPlacement.blend ? 0 : kNoBlend);
    return write(frame.data(), frame.size()) && writeStillChunk(m_pendingAlpha) && writeStillChunk(m_pendingImage);
}

bool WebpAnimationWriter::writeStillChunk(const Span &chunk)
{
    return writePadded(m_pending.data() + chunk.offset, chunk.size);
}

bool WebpAnimationWriter::writePadded(const uint8_t *bytes, size_t size)
{
    const uint8_t pad = 0;
    return write(bytes, size) && ((size & 1) == 0 || write(&pad, 1));
}

bool WebpAnimationWriter::write(const uint8_t *bytes, size_t size)
{
    m_written += size;
    return m_file && m_written <= kChunkHeaderSize + kMaxRiffPayload
           && (size == 0 || kept(std::fwrite(bytes, size, 1, m_file) == 1));
}

bool WebpAnimationWriter::finish()
{
    bool ok = m_pendingStartMs >= 0 && writePending(m_lastDurationMs);
    if (ok && !m_exif.empty()) {
        std::vector<uint8_t> header;
        appendChunkHeader(header, "EXIF", m_exif.size());
        ok = write(header.data(), header.size()) && writePadded(m_exif.data(), m_exif.size());
    }
    ok = ok && completeHeader();
    return close() && ok;
}

bool WebpAnimationWriter::completeHeader()
{
    std::vector<uint8_t> riffSize;
    appendLe(riffSize, m_written - kChunkHeaderSize, 4);
    const uint8_t flags = uint8_t(kAnimationFlag | (m_hasAlpha ? kAlphaFlag : 0) | (m_exif.empty() ? 0 : kExifFlag));
    return kept(std::fseek(m_file, 4, SEEK_SET) == 0 && std::fwrite(riffSize.data(), riffSize.size(), 1, m_file) == 1
                && std::fseek(m_file, long(kFlagsOffset), SEEK_SET) == 0 && std::fwrite(&flags, 1, 1, m_file) == 1);
}

bool WebpAnimationWriter::close()
{
    if (!m_file)
        return false;
    const bool closed = kept(std::fclose(m_file) == 0);
    m_file = nullptr;
    return closed;
}

bool WebpAnimationWriter::kept(bool succeeded)
{
    if (!succeeded && m_systemError == 0)
        m_systemError = errno ? errno : EIO;
    return succeeded;
}
