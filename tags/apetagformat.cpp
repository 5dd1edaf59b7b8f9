#include "apetagformat.h"

#include "tagbufferedstream.h"
#include "tagbytebuffer.h"
#include "tagimage.h"
#include "tagstream.h"

#include <cstring>
#include <memory>
#include <new>
#include <strings.h>
#include <vector>

namespace {

constexpr int kBlockSize = 32;
constexpr uint32_t kMaxTagSize = 0x1000000 + kBlockSize;
constexpr uint32_t kMaxItems = 0x10000;
constexpr uint32_t kMaxValue = 0x800000;
constexpr uint32_t kHasHeader = 0x80000000u;
constexpr uint32_t kIsHeader = 0x20000000u;
constexpr uint32_t kVersion = 2000;
const char kCoverKey[] = "Cover Art (front)";

const char *const kKeys[] = {"Title", "Artist", "Album", "Genre", "Year", "Track", "Comment", "Copyright",
                             "Lyrics", kCoverKey};

struct ApeBlock
{
    uint32_t version = 0;
    uint32_t size = 0;
    uint32_t count = 0;
    uint32_t flags = 0;
};

enum BlockState { BlockUnreadable = -1, BlockInvalid = 0, BlockValid = 1 };

BlockState ReadBlock(TagStream *stream, int64_t at, bool header, ApeBlock *block)
{
    uint8_t bytes[kBlockSize];
    if (stream->Seek(at) != at || stream->Read(bytes, kBlockSize) != kBlockSize)
        return BlockUnreadable;
    block->version = ReadLe32(bytes + 8);
    block->size = ReadLe32(bytes + 12);
    block->count = ReadLe32(bytes + 16);
    block->flags = ReadLe32(bytes + 20);
    const bool valid = std::memcmp(bytes, "APETAGEX", 8) == 0 && block->version <= kVersion
        && block->size >= kBlockSize && block->size <= kMaxTagSize && block->count <= kMaxItems
        && ((block->flags & kIsHeader) != 0) == header;
    return valid ? BlockValid : BlockInvalid;
}

// 1 when the stream ends in an ID3v1 record, 0 when not, -1 when that cannot be read.
int EndsInId3v1(TagStream *stream, int64_t size)
{
    if (size < 128)
        return size < 0 ? -1 : 0;
    char bytes[3];
    if (stream->Seek(size - 128) != size - 128 || stream->Read(bytes, 3) != 3)
        return -1;
    return std::memcmp(bytes, "TAG", 3) == 0 ? 1 : 0;
}

int KindOfKey(const std::string &key)
{
    for (int kind = 0; kind < TagKindPicture; ++kind) {
        if (strcasecmp(kKeys[kind], key.c_str()) == 0)
            return kind;
    }
    if (key.size() >= 9 && strncasecmp(key.c_str(), "Cover Art", 9) == 0
        && (key.size() == 9 || key[9] == ' ' || key[9] == '('))
        return TagKindPicture;
    return -1;
}

void AddItem(TagFieldSet *set, int kind, const uint8_t *value, uint32_t length, bool utf8)
{
    if (kind == TagKindPicture) {
        const uint8_t *nameEnd = static_cast<const uint8_t *>(std::memchr(value, 0, length));
        if (!nameEnd || nameEnd + 1 == value + length)
            return;
        const uint32_t nameLength = static_cast<uint32_t>(nameEnd - value) + 1;
        set->AddBinary(TagSlotApe, kind, length - nameLength, value + nameLength);
        return;
    }
    const std::string text(reinterpret_cast<const char *>(value), length);
    set->AddText(TagSlotApe, kind, utf8 ? TagFieldSet::Utf8 : TagFieldSet::Detect, text.c_str());
}

void ReadItems(TagFieldSet *set, std::string *kept, uint32_t *keptCount, const std::vector<uint8_t> &area,
               uint32_t count, bool utf8)
{
    const uint64_t end = area.size();
    uint64_t pos = 0;
    for (uint32_t n = 0; n < count && pos + 8 <= end; ++n) {
        const uint32_t valueLength = ReadLe32(area.data() + pos);
        const uint64_t keyAt = pos + 8;
        const uint8_t *keyEnd = static_cast<const uint8_t *>(std::memchr(area.data() + keyAt, 0, end - keyAt));
        if (!keyEnd)
            return;
        const uint64_t valueAt = static_cast<uint64_t>(keyEnd - area.data()) + 1;
        if (valueLength > end - valueAt)
            return;
        const size_t keyLength = std::min<size_t>(static_cast<size_t>(valueAt - 1 - keyAt), 32);
        const std::string key(reinterpret_cast<const char *>(area.data() + keyAt), keyLength);
        const int kind = KindOfKey(key);
        if (kind >= 0 && valueLength != 0 && valueLength <= kMaxValue) {
            AddItem(set, kind, area.data() + valueAt, valueLength, utf8);
        } else if (kind < 0) {
            kept->append(reinterpret_cast<const char *>(area.data() + pos), static_cast<size_t>(valueAt + valueLength - pos));
            ++*keptCount;
        }
        pos = valueAt + valueLength;
    }
}

const char *CoverFileName(TagImageInfo::Type type)
{
    switch (type) {
    case TagImageInfo::Png:
        return "conver.png";
    case TagImageInfo::Gif:
        return "conver.gif";
    case TagImageInfo::Bmp:
        return "conver.bmp";
    default:
        return "conver.jpg";
    }
}

// The bytes one item takes besides its value: length, flags, key and its zero.
uint64_t ItemOverhead(int kind)
{
    return 8 + std::strlen(kKeys[kind]) + 1;
}

bool Writable(const TagField &field)
{
    if (field.kind > TagKindPicture)
        return false;
    if (field.kind != TagKindPicture)
        return field.valueType == TagValueText;
    const TagImageInfo image = SniffTagImage(static_cast<const uint8_t *>(field.data), field.length);
    // A picture the tag cannot hold within its own reader's limits is left out.
    return field.valueType == TagValueBinary && image.type != TagImageInfo::Unknown
        && ItemOverhead(TagKindPicture) + 11 + field.length <= kMaxTagSize - kBlockSize;
}

void PutBlock(TagByteBuffer *out, uint32_t size, uint32_t count, uint32_t flags)
{
    out->PutText("APETAGEX");
    out->PutLe32(kVersion);
    out->PutLe32(size);
    out->PutLe32(count);
    out->PutLe32(flags);
    out->PutZeros(8);
}

} // namespace

ApeTagFormat::ApeTagFormat(TagStream *stream, int *result)
{
    const int loaded = Load(stream);
    if (result)
        *result = loaded;
}

void ApeTagFormat::ResetState()
{
    m_tagOffset = 0;
    m_tagLength = 0;
    m_keptItems.clear();
    m_keptCount = 0;
}

int ApeTagFormat::LoadStream()
{
    TagBufferedStream buffered(m_stream);
    int64_t end = buffered.Size();
    const int record = EndsInId3v1(&buffered, end);
    if (record < 0)
        return -1;
    if (record == 1)
        end -= 128;
    if (end < kBlockSize)
        return 0;
    ApeBlock block;
    BlockState state = ReadBlock(&buffered, end - kBlockSize, false, &block);
    if (state != BlockValid)
        return state;
    const int64_t total = int64_t(block.size) + ((block.flags & kHasHeader) ? kBlockSize : 0);
    if (total > end)
        return 0;
    if (block.flags & kHasHeader) {
        state = ReadBlock(&buffered, end - total, true, &block);
        if (state != BlockValid)
            return state;
    }
    const int64_t itemsAt = end - block.size;
    std::vector<uint8_t> area(block.size - kBlockSize);
    if (itemsAt < 0)
        return 0;
    if (buffered.Seek(itemsAt) != itemsAt
        || buffered.Read(area.data(), static_cast<int>(area.size())) != static_cast<int>(area.size()))
        return -1;
    m_tagOffset = end - total;
    m_tagLength = static_cast<uint32_t>(total);
    ReadItems(m_fields.get(), &m_keptItems, &m_keptCount, area, block.count, block.version >= kVersion);
    return 0;
}

bool ApeTagFormat::BuildTag(std::string *tag) const
{
    TagByteBuffer items;
    uint32_t count = 0;
    for (int i = 0; i < m_fields->Count(); ++i) {
        const TagField field = m_fields->GetAt(i);
        if (field.kind == TagKindPicture) {
            const TagImageInfo image = SniffTagImage(static_cast<const uint8_t *>(field.data), field.length);
            items.PutLe32(field.length + 11);
            items.PutLe32(2);
            items.PutBytes(kCoverKey, sizeof kCoverKey);
            items.PutBytes(CoverFileName(image.type), 11);
            items.PutBytes(field.data, field.length);
        } else {
            std::unique_ptr<char[]> text(
                TagFieldSet::ConvertText(static_cast<const wchar_t *>(field.data), TagFieldSet::Utf8));
            if (!text)
                continue;
            const size_t length = std::strlen(text.get());
            items.PutLe32(static_cast<uint32_t>(length));
            items.PutLe32(0);
            items.PutBytes(kKeys[field.kind], std::strlen(kKeys[field.kind]) + 1);
            items.PutBytes(text.get(), length);
        }
        ++count;
    }
    items.PutBytes(m_keptItems.data(), m_keptItems.size());
    count += m_keptCount;
    if (items.Size() + kBlockSize > kMaxTagSize)
        return false;
    const uint32_t size = static_cast<uint32_t>(items.Size()) + kBlockSize;
    TagByteBuffer out;
    PutBlock(&out, size, count, kHasHeader | kIsHeader);
    out.PutBytes(items.Data(), items.Size());
    PutBlock(&out, size, count, kHasHeader);
    tag->assign(reinterpret_cast<const char *>(out.Data()), out.Size());
    return true;
}

int64_t ApeTagFormat::NewTagPosition()
{
    const int64_t size = m_stream->Size();
    const int record = EndsInId3v1(m_stream, size);
    if (record < 0)
        return -1;
    return record == 1 ? size - 128 : size;
}

int ApeTagFormat::Save()
{
    if (!m_stream || !m_fields)
        return -1;
    try {
        SelectWritableFields(Writable, FirstOfKind);
        if (m_fields->Count() == 0 && m_keptItems.empty()) {
            if (m_tagLength == 0)
                return 1;
            if (!WriteRegion(m_tagOffset, m_tagLength, std::string()))
                return -1;
            m_tagOffset = 0;
            m_tagLength = 0;
            return 0;
        }
        std::string tag;
        if (!BuildTag(&tag))
            return -1;
        if (m_tagLength == 0) {
            m_tagOffset = NewTagPosition();
            if (m_tagOffset < 0)
                return -1;
        }
        if (!WriteRegion(m_tagOffset, m_tagLength, tag))
            return -1;
        m_tagLength = static_cast<uint32_t>(tag.size());
        return 0;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
