#include "oggtagformat.h"

#include "audioframe.h"
#include "tagbufferedstream.h"
#include "tagbytebuffer.h"
#include "tagimage.h"
#include "tagstream.h"
#include "vorbiscomments.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const char kCapture[] = "OggS";
constexpr int kSearchPositions = 4096;
constexpr int kReadChunk = 65536;
constexpr int kMaxSegments = 255;
constexpr int kHeaderBytes = 27;
constexpr size_t kMaxVendor = 60;
// A comment packet still open beyond this is damage, not a tag: libogg would keep it all.
constexpr int64_t kMaxPacketBytes = 64 << 20;
constexpr uint8_t kContinued = 0x01;
constexpr uint8_t kFirstPage = 0x02;
constexpr uint8_t kLastPage = 0x04;

bool ReadAt(TagStream *stream, int64_t at, void *buffer, int count)
{
    return stream->Seek(at) == at && stream->Read(buffer, count) == count;
}

bool IsHeader(const unsigned char *bytes, long length, uint8_t type)
{
    return length >= 7 && bytes[0] == type && std::memcmp(bytes + 1, "vorbis", 6) == 0;
}

struct SyncState
{
    SyncState() { ogg_sync_init(&state); }
    ~SyncState() { ogg_sync_clear(&state); }
    ogg_sync_state state;
};

struct StreamState
{
    explicit StreamState(int serial) { ogg_stream_init(&state, serial); }
    ~StreamState() { ogg_stream_clear(&state); }
    ogg_stream_state state;
};

// Frames the pages of a stream from a start offset, reporting each page's file offset.
class PageReader
{
public:
    PageReader(TagStream *stream, int64_t start) : m_stream(stream), m_offset(start) { stream->Seek(start); }

    bool Next(ogg_page *page, int64_t *at)
    {
        for (;;) {
            const long result = ogg_sync_pageseek(&m_sync.state, page);
            if (result > 0) {
                *at = m_offset;
                m_offset += result;
                return true;
            }
            if (result < 0) {
                m_offset -= result;
                continue;
            }
            char *buffer = ogg_sync_buffer(&m_sync.state, kReadChunk);
            const int read = buffer ? m_stream->Read(buffer, kReadChunk) : -1;
            if (read > 0) {
                ogg_sync_wrote(&m_sync.state, read);
                continue;
            }
            // At the end, a false capture may claim more bytes than are left: step past it and
            // frame the rest again.
            if (read < 0 || m_stream->Seek(m_offset + 1) != m_offset + 1 || m_offset + 1 >= m_stream->Size())
                return false;
            ogg_sync_reset(&m_sync.state);
            ++m_offset;
        }
    }

private:
    TagStream *m_stream;
    SyncState m_sync;
    int64_t m_offset;
};

// A page as it lies in the file.
struct RawPage
{
    int64_t offset = 0;
    std::vector<uint8_t> bytes;

    int Segments() const { return bytes[26]; }
    int HeaderLength() const { return kHeaderBytes + Segments(); }
    uint8_t Flags() const { return bytes[5]; }
    uint32_t Serial() const { return ReadLe32(bytes.data() + 14); }
    uint32_t Sequence() const { return ReadLe32(bytes.data() + 18); }
    int64_t Granule() const
    {
        return static_cast<int64_t>(uint64_t(ReadLe32(bytes.data() + 10)) << 32 | ReadLe32(bytes.data() + 6));
    }
    int64_t End() const { return offset + static_cast<int64_t>(bytes.size()); }
};

bool ReadPage(TagStream *stream, int64_t at, RawPage *page)
{
    page->offset = at;
    page->bytes.resize(kHeaderBytes);
    if (!ReadAt(stream, at, page->bytes.data(), kHeaderBytes) || std::memcmp(page->bytes.data(), "OggS", 4) != 0)
        return false;
    const int segments = page->Segments();
    page->bytes.resize(kHeaderBytes + segments);
    if (stream->Read(page->bytes.data() + kHeaderBytes, segments) != segments)
        return false;
    int body = 0;
    for (int i = 0; i < segments; ++i)
        body += page->bytes[kHeaderBytes + i];
    page->bytes.resize(kHeaderBytes + segments + body);
    return stream->Read(page->bytes.data() + kHeaderBytes + segments, body) == body;
}

void SetChecksum(uint8_t *page, int headerLength, int bodyLength)
{
    ogg_page og;
    og.header = page;
    og.header_len = headerLength;
    og.body = page + headerLength;
    og.body_len = bodyLength;
    ogg_page_checksum_set(&og);
}

struct Segment
{
    uint8_t lace;
    const uint8_t *data;
};

void AppendPageSegments(const RawPage &page, int from, int to, std::vector<Segment> *segments)
{
    const uint8_t *data = page.bytes.data() + page.HeaderLength();
    for (int i = 0; i < to; ++i) {
        const uint8_t lace = page.bytes[kHeaderBytes + i];
        if (i >= from)
            segments->push_back({lace, data});
        data += lace;
    }
}

void AppendPacketSegments(const std::vector<uint8_t> &packet, std::vector<Segment> *segments)
{
    size_t at = 0;
    for (; packet.size() - at >= 255; at += 255)
        segments->push_back({255, packet.data() + at});
    segments->push_back({static_cast<uint8_t>(packet.size() - at), packet.data() + at});
}

struct PageTemplate
{
    uint32_t serial;
    uint32_t firstSequence;
    uint8_t firstFlags;
    uint8_t lastFlags;
    int64_t lastGranule;
};

// Lays segments out on pages of at most 255 lacing values. A page on which no packet ends
// carries granule position -1; header packets have position 0, and the last page keeps the
// position of the page it replaces.
std::vector<std::string> Paginate(const std::vector<Segment> &segments, const PageTemplate &form)
{
    std::vector<std::string> pages;
    bool open = (form.firstFlags & kContinued) != 0;
    for (size_t first = 0; first < segments.size(); first += kMaxSegments) {
        const size_t count = std::min<size_t>(kMaxSegments, segments.size() - first);
        const bool last = first + count == segments.size();
        uint8_t flags = pages.empty() ? form.firstFlags : (open ? kContinued : 0);
        if (last)
            flags |= form.lastFlags;
        bool packetEnds = false;
        TagByteBuffer page;
        page.PutText("OggS");
        page.PutByte(0);
        page.PutByte(flags);
        page.PutZeros(8);
        page.PutLe32(form.serial);
        page.PutLe32(form.firstSequence + static_cast<uint32_t>(pages.size()));
        page.PutLe32(0);
        page.PutByte(static_cast<uint8_t>(count));
        for (size_t i = first; i < first + count; ++i) {
            page.PutByte(segments[i].lace);
            packetEnds = packetEnds || segments[i].lace < 255;
        }
        int body = 0;
        for (size_t i = first; i < first + count; ++i) {
            page.PutBytes(segments[i].data, segments[i].lace);
            body += segments[i].lace;
        }
        open = segments[first + count - 1].lace == 255;
        const int64_t granule = !packetEnds ? -1 : last ? form.lastGranule : 0;
        page.SetLe32At(6, static_cast<uint32_t>(uint64_t(granule)));
        page.SetLe32At(10, static_cast<uint32_t>(uint64_t(granule) >> 32));
        SetChecksum(page.Data(), kHeaderBytes + static_cast<int>(count), body);
        pages.emplace_back(reinterpret_cast<const char *>(page.Data()), page.Size());
    }
    return pages;
}

// Adds `delta` to the sequence number of every page of the serial from `from` on, setting each
// changed page's checksum again; pages of other streams and damaged bytes are stepped over.
bool RenumberPages(TagStream *stream, int64_t from, uint32_t serial, int delta)
{
    const int64_t size = stream->Size();
    RawPage page;
    std::vector<uint8_t> window;
    for (int64_t at = from; at + kHeaderBytes <= size;) {
        if (!ReadPage(stream, at, &page)) {
            const int length = static_cast<int>(std::min<int64_t>(kReadChunk, size - at - 1));
            window.resize(static_cast<size_t>(std::max(length, 0)));
            if (length < 4 || !ReadAt(stream, at + 1, window.data(), length))
                return true;
            const auto found = std::search(window.begin(), window.end(), kCapture, kCapture + 4);
            at += 1 + (found - window.begin());
            if (found == window.end())
                at -= 3;
            continue;
        }
        if (page.Serial() == serial) {
            uint8_t *bytes = page.bytes.data();
            const uint32_t sequence = page.Sequence() + static_cast<uint32_t>(delta);
            for (int i = 0; i < 4; ++i)
                bytes[18 + i] = static_cast<uint8_t>(sequence >> (8 * i));
            SetChecksum(bytes, page.HeaderLength(), static_cast<int>(page.bytes.size()) - page.HeaderLength());
            if (stream->Seek(at) != at || stream->Write(bytes, page.HeaderLength()) != page.HeaderLength())
                return false;
        }
        at = page.End();
    }
    return true;
}

bool Writable(const TagField &field)
{
    if (field.kind != TagKindPicture)
        return field.valueType == TagValueText;
    return field.valueType == TagValueBinary
        && SniffTagImage(static_cast<const uint8_t *>(field.data), field.length).type != TagImageInfo::Unknown;
}

std::string Concatenate(const std::vector<std::string> &pages)
{
    std::string bytes;
    for (const std::string &page : pages)
        bytes += page;
    return bytes;
}

} // namespace

OggTagFormat::OggTagFormat(TagStream *stream, int *result)
{
    const int loaded = Load(stream);
    if (result)
        *result = loaded;
}

void OggTagFormat::ResetState()
{
    m_vendor.clear();
    m_hasVendor = false;
    m_keptComments.clear();
    m_serial = 0;
    m_identPageNumber = 0;
    m_identPageClean = false;
    m_afterBosPages = 0;
    m_commentPage = PagePoint();
    m_commentEnd = PagePoint();
    m_commentLength = 0;
}

int OggTagFormat::Scan(TagStream *stream, std::vector<uint8_t> *comment)
{
    const int leading = GetId3v2TagSize(stream);
    const int64_t base = leading < 0 ? 0 : leading;
    std::vector<uint8_t> head(kSearchPositions + 3);
    const int got = stream->Seek(base) == base ? stream->Read(head.data(), static_cast<int>(head.size())) : -1;
    if (got < 4)
        return -1;
    const auto found = std::search(head.begin(), head.begin() + got, kCapture, kCapture + 4);
    if (found == head.begin() + got)
        return -1;
    PageReader reader(stream, base + (found - head.begin()));
    ogg_page page;
    int64_t at = 0;
    // The first pages are the beginning-of-stream pages; the Vorbis one chooses the stream.
    for (;;) {
        if (!reader.Next(&page, &at) || !ogg_page_bos(&page))
            return -1;
        m_afterBosPages = at + page.header_len + page.body_len;
        if (IsHeader(page.body, page.body_len, 1))
            break;
    }
    m_serial = static_cast<uint32_t>(ogg_page_serialno(&page));
    m_identPageNumber = static_cast<uint32_t>(ogg_page_pageno(&page));
    m_commentLength = 0;
    m_commentPage = PagePoint();
    m_commentEnd = PagePoint();
    StreamState vorbis(static_cast<int>(m_serial));
    uint32_t expected = m_identPageNumber;
    int packets = 0;
    int packetsOut = 0;
    bool open = false;
    int64_t pending = 0;
    do {
        if (static_cast<uint32_t>(ogg_page_serialno(&page)) != m_serial) {
            if (ogg_page_bos(&page))
                m_afterBosPages = at + page.header_len + page.body_len;
            continue;
        }
        // The header pages are located by their lacing, which a gap would make meaningless.
        if (static_cast<uint32_t>(ogg_page_pageno(&page)) != expected++ || (ogg_page_continued(&page) != 0) != open)
            return -1;
        for (int i = 0; i < page.header[26]; ++i) {
            if (!open && packets == 1)
                m_commentPage = {at, i};
            open = page.header[kHeaderBytes + i] == 255;
            if (!open && packets++ == 1)
                m_commentEnd = {at, i + 1};
        }
        if (ogg_page_bos(&page))
            m_identPageClean = packets == 1 && !open;
        pending += page.body_len;
        if (pending > kMaxPacketBytes || ogg_stream_pagein(&vorbis.state, &page) != 0)
            return -1;
        ogg_packet packet;
        for (int out; (out = ogg_stream_packetout(&vorbis.state, &packet)) != 0;) {
            if (out < 0)
                return -1;
            pending = 0;
            if (packetsOut++ == 0) {
                if (!IsHeader(packet.packet, packet.bytes, 1))
                    return -1;
                continue;
            }
            if (IsHeader(packet.packet, packet.bytes, 3)) {
                comment->assign(packet.packet, packet.packet + packet.bytes);
                m_commentLength = static_cast<int>(packet.bytes);
            }
            return 0;
        }
    } while (reader.Next(&page, &at));
    return packetsOut > 0 ? 0 : -1;
}

int OggTagFormat::LoadStream()
{
    TagBufferedStream buffered(m_stream);
    std::vector<uint8_t> comment;
    if (Scan(&buffered, &comment) != 0)
        return -1;
    if (comment.empty())
        return 0;
    const int length = static_cast<int>(comment.size());
    ParseVorbisCommentBuffer(m_fields.get(), comment.data() + 7, TagSlotOgg, length - 7, &m_keptComments);
    if (length >= 11) {
        const size_t vendorLength = std::min<size_t>({size_t(length - 11), ReadLe32(comment.data() + 7), kMaxVendor});
        m_vendor.assign(reinterpret_cast<const char *>(comment.data() + 11), vendorLength);
        m_hasVendor = true;
    }
    return 0;
}

std::vector<uint8_t> OggTagFormat::BuildPacket()
{
    // Room for every comment: key, Base64 of a picture block, or four UTF-8 bytes per character.
    uint64_t capacity = 16 + m_vendor.size() + KeptCommentBytes(m_keptComments);
    for (int i = 0; i < m_fields->Count(); ++i)
        capacity += 2 * uint64_t(m_fields->GetAt(i).length) + 128;
    capacity = std::min<uint64_t>(capacity, INT32_MAX);
    std::vector<uint8_t> block(static_cast<size_t>(capacity), 0);
    if (m_hasVendor) {
        block[0] = static_cast<uint8_t>(m_vendor.size());
        std::memcpy(block.data() + 4, m_vendor.data(), m_vendor.size());
    }
    int length = BuildVorbisComments(m_fields.get(), block.data(), TagSlotOgg, static_cast<int>(capacity), m_keptComments);
    if (length < 1) {
        length = static_cast<int>(8 + m_vendor.size());
        std::fill(block.begin() + 4 + static_cast<long>(m_vendor.size()), block.begin() + length, 0);
    }
    std::vector<uint8_t> packet(static_cast<size_t>(length) + 8);
    std::memcpy(packet.data(), "\3vorbis", 7);
    std::memcpy(packet.data() + 7, block.data(), static_cast<size_t>(length));
    packet.back() = 1;
    return packet;
}

int OggTagFormat::ReplacePacket(const std::vector<uint8_t> &packet)
{
    std::vector<RawPage> pages;
    std::vector<const RawPage *> ours;
    for (int64_t at = m_commentPage.offset; at <= m_commentEnd.offset;) {
        pages.emplace_back();
        if (!ReadPage(m_stream, at, &pages.back()))
            return -1;
        at = pages.back().End();
    }
    for (const RawPage &page : pages) {
        if (page.Serial() == m_serial)
            ours.push_back(&page);
    }
    if (ours.empty())
        return -1;
    const RawPage &first = *ours.front();
    const RawPage &last = *ours.back();
    if (first.offset != m_commentPage.offset || last.offset != m_commentEnd.offset)
        return -1;
    std::vector<Segment> before, comment, after;
    AppendPageSegments(first, 0, m_commentPage.segment, &before);
    AppendPacketSegments(packet, &comment);
    AppendPageSegments(last, m_commentEnd.segment, last.Segments(), &after);
    const uint8_t firstFlags = (first.Flags() & kFirstPage) | (before.empty() ? 0 : first.Flags() & kContinued);
    const uint8_t lastFlags = last.Flags() & kLastPage;
    std::vector<std::string> built;
    if (before.size() + comment.size() + after.size() <= kMaxSegments) {
        before.insert(before.end(), comment.begin(), comment.end());
        before.insert(before.end(), after.begin(), after.end());
        built = Paginate(before, {m_serial, first.Sequence(), firstFlags, lastFlags, last.Granule()});
    } else {
        // Too many for one page: the earlier packets, the comment and the later packets each
        // start a page of their own.
        const auto append = [&](const std::vector<Segment> &segments, uint8_t flags, uint8_t endFlags, int64_t granule) {
            const auto pages = Paginate(segments, {m_serial, first.Sequence() + uint32_t(built.size()), flags, endFlags, granule});
            built.insert(built.end(), pages.begin(), pages.end());
        };
        append(before, firstFlags, 0, 0);
        append(comment, built.empty() ? firstFlags : 0, after.empty() ? lastFlags : 0, after.empty() ? last.Granule() : 0);
        append(after, 0, lastFlags, last.Granule());
    }
    // Pages of other streams that lay between keep their content and order, behind the first page.
    std::string bytes = built.front();
    for (const RawPage &page : pages) {
        if (page.Serial() != m_serial)
            bytes.append(reinterpret_cast<const char *>(page.bytes.data()), page.bytes.size());
    }
    for (size_t i = 1; i < built.size(); ++i)
        bytes += built[i];
    const int delta = static_cast<int>(built.size()) - static_cast<int>(ours.size());
    if (!WriteRegion(m_commentPage.offset, last.End() - m_commentPage.offset, bytes))
        return -1;
    return delta == 0 || RenumberPages(m_stream, m_commentPage.offset + int64_t(bytes.size()), m_serial, delta) ? 0 : -1;
}

int OggTagFormat::InsertPacket(const std::vector<uint8_t> &packet)
{
    // A later packet starting on the identification page would end up in front of the comment.
    if (!m_identPageClean)
        return -1;
    std::vector<Segment> segments;
    AppendPacketSegments(packet, &segments);
    const std::vector<std::string> built = Paginate(segments, {m_serial, m_identPageNumber + 1, 0, 0, 0});
    const std::string bytes = Concatenate(built);
    if (!WriteRegion(m_afterBosPages, 0, bytes))
        return -1;
    return RenumberPages(m_stream, m_afterBosPages + int64_t(bytes.size()), m_serial, static_cast<int>(built.size())) ? 0 : -1;
}

int OggTagFormat::Save()
{
    if (!m_stream || !m_fields)
        return -1;
    try {
        SelectWritableFields(Writable);
        if (m_fields->Count() == 0 && m_commentLength == 0)
            return 1;
        const std::vector<uint8_t> packet = BuildPacket();
        const int result = m_commentLength == 0 ? InsertPacket(packet) : ReplacePacket(packet);
        if (result != 0)
            return -1;
        // The pages moved: locate the header packets again.
        TagBufferedStream buffered(m_stream);
        std::vector<uint8_t> comment;
        return Scan(&buffered, &comment) == 0 ? 0 : -1;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
