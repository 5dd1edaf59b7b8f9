#include "riffinfotagformat.h"

#include "tagbufferedstream.h"
#include "tagbytebuffer.h"
#include "tagstream.h"
#include "tagtext.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr uint32_t kMaxText = 0x800000;
// Writers that stream to a pipe cannot seek back, so they leave these in the size field.
constexpr uint32_t kStreamingSizes[] = {0xFFFFFFFFu, 0};

struct InfoId
{
    char id[5];
    int kind;
};

// The first id of each kind is the one written.
const InfoId kIds[] = {{"INAM", 0}, {"IART", 1}, {"IPRD", 2}, {"IGNR", 3}, {"ICRD", 4}, {"IPRT", 5}, {"ICMT", 6},
                       {"ICOP", 7}, {"TITL", 0}, {"GENR", 3}, {"YEAR", 4}, {"ITRK", 5}, {"TRCK", 5}, {"CMNT", 6},
                       {"COMM", 6}};

int KindOf(const uint8_t *id)
{
    for (const InfoId &entry : kIds) {
        if (std::memcmp(entry.id, id, 4) == 0)
            return entry.kind;
    }
    return -1;
}

const char *IdOf(int kind)
{
    for (const InfoId &entry : kIds) {
        if (entry.kind == kind)
            return entry.id;
    }
    return nullptr;
}

bool ReadAt(TagStream *stream, int64_t at, void *buffer, int count)
{
    return stream->Seek(at) == at && stream->Read(buffer, count) == count;
}

bool IsStreamingSize(uint32_t size)
{
    for (uint32_t marker : kStreamingSizes) {
        if (size == marker)
            return true;
    }
    return false;
}

bool Writable(const TagField &field)
{
    return field.kind < TagKindLyrics && field.valueType == TagValueText;
}

} // namespace

RiffInfoTagFormat::RiffInfoTagFormat(TagStream *stream, int *result)
{
    const int loaded = Load(stream);
    if (result)
        *result = loaded;
}

void RiffInfoTagFormat::ResetState()
{
    m_riffSize = 0;
    m_listOffset = 0;
    m_listLength = 0;
    m_appendAt = -1;
    m_padMissing = false;
    m_keptChunks.clear();
}

int RiffInfoTagFormat::WalkChunks(TagStream *stream)
{
    uint8_t head[12];
    if (!ReadAt(stream, 0, head, 12) || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return -1;
    m_riffSize = ReadLe32(head + 4);
    m_listOffset = 0;
    m_listLength = 0;
    m_appendAt = -1;
    m_padMissing = false;
    // A size that overstates the file (a streamed file's marker) leaves the file's end as the end.
    const int64_t fileSize = stream->Size();
    const int64_t riffEnd = int64_t(m_riffSize) + 8 <= fileSize ? int64_t(m_riffSize) + 8 : fileSize;
    int64_t at = 12;
    while (at + 8 <= riffEnd) {
        uint8_t chunk[12];
        if (!ReadAt(stream, at, chunk, 8))
            return 0;
        const uint32_t size = ReadLe32(chunk + 4);
        const int64_t end = at + 8 + size;
        if (end > riffEnd)
            return 0;
        if (std::memcmp(chunk, "LIST", 4) == 0 && size >= 4 && ReadAt(stream, at + 8, chunk + 8, 4)
            && std::memcmp(chunk + 8, "INFO", 4) == 0) {
            m_listOffset = at;
            m_listLength = int64_t(size) + 8;
            return 0;
        }
        if (end == riffEnd && (size & 1)) {
            m_padMissing = true;
            break;
        }
        at = end + (size & 1);
    }
    if (at == riffEnd || m_padMissing)
        m_appendAt = riffEnd;
    return 0;
}

void RiffInfoTagFormat::ReadList(TagStream *stream)
{
    const int64_t listEnd = m_listOffset + m_listLength;
    std::vector<char> text;
    for (int64_t at = m_listOffset + 12; at + 8 <= listEnd;) {
        uint8_t chunk[8];
        if (!ReadAt(stream, at, chunk, 8))
            return;
        const uint32_t size = ReadLe32(chunk + 4);
        if (at + 8 + size > listEnd)
            return;
        const int kind = KindOf(chunk);
        if (kind < 0) {
            if (!KeepChunk(stream, chunk, size))
                return;
        } else if (size > 0 && size <= kMaxText) {
            text.assign(size + 1, 0);
            if (stream->Read(text.data(), static_cast<int>(size)) != static_cast<int>(size))
                return;
            // Texts are written in GBK, or in UTF-8 when GBK cannot hold them.
            m_fields->AddText(TagSlotRiffInfo, kind, TagFieldSet::Detect, text.data());
        }
        at += 8 + int64_t(size) + (size & 1);
    }
}

bool RiffInfoTagFormat::KeepChunk(TagStream *stream, const uint8_t *header, uint32_t size)
{
    std::string chunk(reinterpret_cast<const char *>(header), 8);
    chunk.resize(8 + size_t(size));
    if (size != 0 && stream->Read(&chunk[8], static_cast<int>(size)) != static_cast<int>(size))
        return false;
    m_keptChunks.push_back(std::move(chunk));
    return true;
}

int RiffInfoTagFormat::LoadStream()
{
    TagBufferedStream buffered(m_stream);
    if (WalkChunks(&buffered) != 0)
        return -1;
    if (m_listLength != 0)
        ReadList(&buffered);
    return 0;
}

std::string RiffInfoTagFormat::BuildList() const
{
    TagByteBuffer list;
    list.PutText("LIST");
    list.PutLe32(0);
    list.PutText("INFO");
    std::string text;
    for (int i = 0; i < m_fields->Count(); ++i) {
        const TagField field = m_fields->GetAt(i);
        const wchar_t *value = static_cast<const wchar_t *>(field.data);
        // UTF-8, as current readers expect; the reading side still takes older 8-bit lists.
        if (!TagText::Encode(value, TagFieldSet::Utf8, &text))
            continue;
        const uint32_t padded = static_cast<uint32_t>(text.size() + (text.size() & 1));
        list.PutText(IdOf(field.kind));
        list.PutLe32(padded);
        list.PutBytes(text.data(), text.size());
        list.PutZeros(padded - text.size());
    }
    for (const std::string &chunk : m_keptChunks) {
        list.PutBytes(chunk.data(), chunk.size());
        list.PutZeros(chunk.size() & 1);
    }
    list.SetLe32At(4, static_cast<uint32_t>(list.Size() - 8));
    return std::string(reinterpret_cast<const char *>(list.Data()), list.Size());
}

int RiffInfoTagFormat::WriteList(const std::string &list)
{
    int64_t at = m_listOffset;
    std::string bytes = list;
    if (m_listLength == 0) {
        // A chunk that runs past the RIFF end leaves no place to append behind it.
        if (m_appendAt < 0)
            return -1;
        at = m_appendAt;
        if (m_padMissing)
            bytes.insert(bytes.begin(), '\0');
    }
    uint32_t riffSize = m_riffSize;
    if (!IsStreamingSize(m_riffSize)) {
        const int64_t changed = int64_t(m_riffSize) + int64_t(bytes.size()) - m_listLength;
        if (changed < 4 || changed > int64_t(UINT32_MAX))
            return -1;
        riffSize = static_cast<uint32_t>(changed);
    }
    uint8_t sizeField[4];
    for (int i = 0; i < 4; ++i)
        sizeField[i] = static_cast<uint8_t>(riffSize >> (8 * i));
    if (!WriteRegion(at, m_listLength, bytes) || m_stream->Seek(4) != 4 || m_stream->Write(sizeField, 4) != 4)
        return -1;
    // The chunk layout changed; find the list and the RIFF end again.
    TagBufferedStream buffered(m_stream);
    return WalkChunks(&buffered);
}

int RiffInfoTagFormat::Save()
{
    if (!m_stream || !m_fields)
        return -1;
    try {
        SelectWritableFields(Writable, FirstOfKind);
        if (m_fields->Count() == 0 && m_keptChunks.empty())
            return m_listLength == 0 ? 1 : WriteList(std::string());
        return WriteList(BuildList());
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
