#include "still/exifblock.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

extern "C" {
#include <libavutil/crc.h>
}

namespace {

enum Type : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kUndefined = 7 };

enum Tag : uint16_t {
    kGpsVersion = 0x0000,
    kGpsLatitudeRef = 0x0001,
    kGpsLatitude = 0x0002,
    kGpsLongitudeRef = 0x0003,
    kGpsLongitude = 0x0004,
    kGpsAltitudeRef = 0x0005,
    kGpsAltitude = 0x0006,
    kMake = 0x010F,
    kModel = 0x0110,
    kSoftware = 0x0131,
    kExifPointer = 0x8769,
    kGpsPointer = 0x8825,
    kExifVersion = 0x9000,
    kDateTimeOriginal = 0x9003,
    kDateTimeDigitized = 0x9004,
    kOffsetTimeOriginal = 0x9011,
    kOffsetTimeDigitized = 0x9012,
    kFlashpixVersion = 0xA000,
    kColourSpace = 0xA001,
};

constexpr int64_t kUnit = 10000000; // CaptureMetadata's ten-millionths
constexpr size_t kMaxJpegSegment = 65535;

// A directory entry: its value encoded in the file's byte order, or, for an entry kept
// from an existing file, its own four-byte field (an offset stays valid, nothing moves).
struct Entry
{
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    std::vector<uint8_t> value;
};

class Encoder
{
public:
    explicit Encoder(bool bigEndian) : m_big(bigEndian) {}

    void put16(std::vector<uint8_t> &to, uint16_t v) const
    {
        const uint8_t b[2] = {uint8_t(v >> 8), uint8_t(v)};
        append(to, b, 2);
    }
    void put32(std::vector<uint8_t> &to, uint32_t v) const
    {
        const uint8_t b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
        append(to, b, 4);
    }
    uint16_t get16(const uint8_t *p) const { return m_big ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]); }
    uint32_t get32(const uint8_t *p) const
    {
        return m_big ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                     : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    void set32(std::vector<uint8_t> &to, size_t at, uint32_t v) const
    {
        std::vector<uint8_t> bytes;
        put32(bytes, v);
        std::copy(bytes.begin(), bytes.end(), to.begin() + static_cast<std::ptrdiff_t>(at));
    }

    Entry ascii(uint16_t tag, const std::string &text) const
    {
        Entry entry{tag, kAscii, uint32_t(text.size() + 1), std::vector<uint8_t>(text.begin(), text.end())};
        entry.value.push_back(0);
        return entry;
    }
    Entry rationals(uint16_t tag, const std::vector<std::pair<uint32_t, uint32_t>> &values) const
    {
        Entry entry{tag, kRational, uint32_t(values.size()), {}};
        for (const auto &value : values) {
            put32(entry.value, value.first);
            put32(entry.value, value.second);
        }
        return entry;
    }
    Entry number(uint16_t tag, uint16_t value) const
    {
        Entry entry{tag, kShort, 1, {}};
        put16(entry.value, value);
        return entry;
    }
    Entry pointer(uint16_t tag, uint32_t offset) const
    {
        Entry entry{tag, kLong, 1, {}};
        put32(entry.value, offset);
        return entry;
    }

    // Appends the directory after a word boundary, its long values after it; returns
    // where it starts.
    uint32_t writeDirectory(std::vector<uint8_t> &out, std::vector<Entry> entries, uint32_t next) const
    {
        std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.tag < b.tag; });
        if (out.size() % 2)
            out.push_back(0);
        const auto start = static_cast<uint32_t>(out.size());
        const auto valuesStart = static_cast<uint32_t>(start + 2 + 12 * entries.size() + 4);
        std::vector<uint8_t> values;
        put16(out, uint16_t(entries.size()));
        for (const Entry &entry : entries) {
            put16(out, entry.tag);
            put16(out, entry.type);
            put32(out, entry.count);
            if (entry.value.size() <= 4) {
                out.insert(out.end(), entry.value.begin(), entry.value.end());
                out.insert(out.end(), 4 - entry.value.size(), 0);
                continue;
            }
            put32(out, valuesStart + static_cast<uint32_t>(values.size()));
            values.insert(values.end(), entry.value.begin(), entry.value.end());
            if (values.size() % 2)
                values.push_back(0);
        }
        put32(out, next);
        out.insert(out.end(), values.begin(), values.end());
        return start;
    }

private:
    void append(std::vector<uint8_t> &to, const uint8_t *bytes, size_t size) const
    {
        if (m_big)
            to.insert(to.end(), bytes, bytes + size);
        else
            to.insert(to.end(), std::reverse_iterator<const uint8_t *>(bytes + size),
                      std::reverse_iterator<const uint8_t *>(bytes));
    }

    bool m_big;
};

// Degrees, minutes and seconds (to a ten-thousandth) of an angle in ten-millionths.
std::vector<std::pair<uint32_t, uint32_t>> degreesMinutesSeconds(int64_t angle)
{
    const int64_t magnitude = angle < 0 ? -angle : angle;
    const int64_t minutes = magnitude % kUnit * 60;
    const int64_t seconds = minutes % kUnit * 60;
    return {{uint32_t(magnitude / kUnit), 1}, {uint32_t(minutes / kUnit), 1}, {uint32_t(seconds / 1000), 10000}};
}

std::vector<Entry> gpsEntries(const Encoder &encoder, const CaptureMetadata &m)
{
    std::vector<Entry> entries{
        {kGpsVersion, kByte, 4, {2, 3, 0, 0}},
        encoder.ascii(kGpsLatitudeRef, m.latitude < 0 ? "S" : "N"),
        encoder.rationals(kGpsLatitude, degreesMinutesSeconds(m.latitude)),
        encoder.ascii(kGpsLongitudeRef, m.longitude < 0 ? "W" : "E"),
        encoder.rationals(kGpsLongitude, degreesMinutesSeconds(m.longitude)),
    };
    if (m.hasAltitude) {
        const int64_t millimetres = (m.altitude < 0 ? -m.altitude : m.altitude) / 10000;
        entries.push_back({kGpsAltitudeRef, kByte, 1, {uint8_t(m.altitude < 0 ? 1 : 0)}});
        entries.push_back(encoder.rationals(kGpsAltitude, {{uint32_t(std::min<int64_t>(millimetres, UINT32_MAX)), 1000}}));
    }
    return entries;
}

// Writes the EXIF and GPS directories and then the first directory, which points at
// them and holds kept beside the new entries; returns where the first one starts.
uint32_t writeDirectories(const Encoder &encoder, std::vector<uint8_t> &out, const CaptureMetadata &m,
                          const std::vector<Entry> &kept, uint32_t next)
{
    std::vector<Entry> exif{{kExifVersion, kUndefined, 4, {'0', '2', '3', '2'}},
                            {kFlashpixVersion, kUndefined, 4, {'0', '1', '0', '0'}},
                            encoder.number(kColourSpace, 1)}; // sRGB
    if (!m.dateTime.empty()) {
        exif.push_back(encoder.ascii(kDateTimeOriginal, m.dateTime));
        exif.push_back(encoder.ascii(kDateTimeDigitized, m.dateTime));
    }
    if (!m.timeOffset.empty()) {
        exif.push_back(encoder.ascii(kOffsetTimeOriginal, m.timeOffset));
        exif.push_back(encoder.ascii(kOffsetTimeDigitized, m.timeOffset));
    }
    std::vector<Entry> first{encoder.pointer(kExifPointer, encoder.writeDirectory(out, exif, 0))};
    if (m.hasLocation)
        first.push_back(encoder.pointer(kGpsPointer, encoder.writeDirectory(out, gpsEntries(encoder, m), 0)));
    for (const auto &text : {std::make_pair(kMake, &m.make), std::make_pair(kModel, &m.model),
                             std::make_pair(kSoftware, &m.software)})
        if (!text.second->empty())
            first.push_back(encoder.ascii(text.first, *text.second));
    for (const Entry &entry : kept) {
        const bool replaced = std::any_of(first.begin(), first.end(), [&](const Entry &e) { return e.tag == entry.tag; });
        if (!replaced)
            first.push_back(entry);
    }
    return encoder.writeDirectory(out, first, next);
}

uint32_t bigEndian32(const uint8_t *p)
{
    return Encoder(true).get32(p);
}

} // namespace

ExifBlock::ExifBlock(CaptureMetadata metadata) : m_metadata(std::move(metadata))
{
    if (m_metadata.empty())
        return;
    const Encoder encoder(true);
    m_tiff = {'M', 'M', 0, 42, 0, 0, 0, 0};
    encoder.set32(m_tiff, 4, writeDirectories(encoder, m_tiff, m_metadata, {}, 0));
}

bool ExifBlock::embed(AVCodecID codec, std::vector<uint8_t> &image) const
{
    if (empty())
        return true;
    switch (codec) {
    case AV_CODEC_ID_MJPEG:
        return embedJpeg(image);
    case AV_CODEC_ID_PNG:
        return embedPng(image);
    case AV_CODEC_ID_TIFF:
        return embedTiff(image);
    default:
        return true;
    }
}

bool ExifBlock::embedJpeg(std::vector<uint8_t> &image) const
{
    if (image.size() < 4 || image[0] != 0xFF || image[1] != 0xD8)
        return false;
    // After the JFIF segment when there is one: readers of either kind look there.
    size_t at = 2;
    if (image[2] == 0xFF && image[3] == 0xE0) {
        if (image.size() < 6)
            return false;
        at += 2 + (size_t(image[4]) << 8 | image[5]);
        if (at > image.size())
            return false;
    }
    const std::vector<uint8_t> &block = m_tiff;
    const size_t length = 2 + 6 + block.size();
    if (length > kMaxJpegSegment)
        return false;
    std::vector<uint8_t> segment{0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), block.begin(), block.end());
    image.insert(image.begin() + static_cast<std::ptrdiff_t>(at), segment.begin(), segment.end());
    return true;
}

bool ExifBlock::embedPng(std::vector<uint8_t> &image) const
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    constexpr size_t kAfterHeader = 8 + 4 + 4 + 13 + 4;
    if (image.size() < kAfterHeader || std::memcmp(image.data(), kSignature, 8) != 0 || bigEndian32(&image[8]) != 13
        || std::memcmp(&image[12], "IHDR", 4) != 0)
        return false;
    const std::vector<uint8_t> &block = m_tiff;
    const Encoder encoder(true);
    std::vector<uint8_t> chunk;
    encoder.put32(chunk, static_cast<uint32_t>(block.size()));
    chunk.insert(chunk.end(), {'e', 'X', 'I', 'f'});
    chunk.insert(chunk.end(), block.begin(), block.end());
    const uint32_t crc = av_crc(av_crc_get_table(AV_CRC_32_IEEE_LE), UINT32_MAX, chunk.data() + 4, chunk.size() - 4);
    encoder.put32(chunk, crc ^ UINT32_MAX);
    // Readers want it before the picture data; right after the header it always is.
    image.insert(image.begin() + kAfterHeader, chunk.begin(), chunk.end());
    return true;
}

bool ExifBlock::embedTiff(std::vector<uint8_t> &image) const
{
    if (image.size() < 8 || image.size() > INT32_MAX || image[0] != image[1] || (image[0] != 'I' && image[0] != 'M'))
        return false;
    const Encoder encoder(image[0] == 'M');
    const size_t first = encoder.get32(&image[4]);
    if (encoder.get16(&image[2]) != 42 || first < 8 || first + 2 > image.size())
        return false;
    const size_t count = encoder.get16(&image[first]);
    if (first + 2 + 12 * count + 4 > image.size())
        return false;
    std::vector<Entry> kept;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t *field = &image[first + 2 + 12 * i];
        kept.push_back({encoder.get16(field), encoder.get16(field + 2), encoder.get32(field + 4),
                        std::vector<uint8_t>(field + 8, field + 12)});
    }
    // The first directory is written anew at the end; the old one stays, unreferenced,
    // so nothing the picture's own entries point at moves.
    const uint32_t next = encoder.get32(&image[first + 2 + 12 * count]);
    encoder.set32(image, 4, writeDirectories(encoder, image, m_metadata, kept, next));
    return true;
}
