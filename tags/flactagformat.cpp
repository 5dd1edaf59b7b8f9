#include "flactagformat.h"

#include "audioframe.h"
#include "tagbufferedstream.h"
#include "tagbytebuffer.h"
#include "tagimage.h"
#include "tagstream.h"
#include "vorbiscomments.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

enum BlockType { StreamInfo = 0, VorbisComment = 4, Picture = 6, Invalid = 127 };

constexpr int kZeroWindow = 4096;
constexpr int kMaxRemembered = 10;
constexpr uint32_t kMaxBlockLength = 0xFFFFFF;
constexpr uint32_t kMaxPicture = 0x800000;
constexpr size_t kMaxVendor = 60;
// Real streams carry a handful of blocks; more means a damaged or hostile chain.
constexpr size_t kMaxBlocks = 4096;

bool ReadAt(TagStream *stream, int64_t at, void *buffer, int count)
{
    return stream->Seek(at) == at && stream->Read(buffer, count) == count;
}

bool ValidStreamInfo(TagStream *stream, int64_t body, uint32_t length)
{
    uint8_t info[34];
    if (length < 34 || !ReadAt(stream, body, info, 34))
        return false;
    const uint32_t sampleRate = (uint32_t(info[10]) << 12) | (uint32_t(info[11]) << 4) | (info[12] >> 4);
    const uint32_t bitsPerSample = (((info[12] & 1u) << 4) | (info[13] >> 4)) + 1;
    return sampleRate >= 1 && sampleRate <= 655350 && bitsPerSample >= 4 && bitsPerSample <= 32;
}

bool Writable(const TagField &field)
{
    if (field.kind != TagKindPicture)
        return field.valueType == TagValueText;
    const TagImageInfo image = SniffTagImage(static_cast<const uint8_t *>(field.data), field.length);
    // The block length field has 24 bits.
    return field.valueType == TagValueBinary && image.type != TagImageInfo::Unknown
        && uint64_t(field.length) + std::strlen(image.mime) + 32 <= kMaxBlockLength;
}

void PutBlockHeader(TagByteBuffer *out, int type, uint32_t length)
{
    out->PutByte(static_cast<uint8_t>(type));
    out->PutBe24(length);
}

void PutPictureBlock(TagByteBuffer *out, const TagField &field)
{
    const TagImageInfo image = SniffTagImage(static_cast<const uint8_t *>(field.data), field.length);
    const uint32_t mimeLength = static_cast<uint32_t>(std::strlen(image.mime));
    PutBlockHeader(out, Picture, mimeLength + field.length + 32);
    out->PutBe32(3);
    out->PutBe32(mimeLength);
    out->PutText(image.mime);
    out->PutBe32(0);
    out->PutBe32(image.width);
    out->PutBe32(image.height);
    out->PutBe32(image.depth);
    out->PutBe32(0);
    out->PutBe32(field.length);
    out->PutBytes(field.data, field.length);
}

} // namespace

FlacTagFormat::FlacTagFormat(TagStream *stream, int *result)
{
    const int loaded = Load(stream);
    if (result)
        *result = loaded;
}

void FlacTagFormat::ResetState()
{
    m_flacStart = 0;
    m_tagBlockBytes = 0;
    m_metadataLength = 0;
    m_keptBlocks.clear();
    m_keptComments.clear();
    m_originalPictures.clear();
    m_vendorBlock = -1;
    m_vendorBlockLength = 0;
    m_chainComplete = false;
}

int64_t FlacTagFormat::FindSignature(TagStream *stream) const
{
    const int leading = GetId3v2TagSize(stream);
    const int64_t base = leading < 0 ? 0 : leading;
    uint8_t bytes[4];
    int i = 0;
    for (;;) {
        if (i >= kZeroWindow || !ReadAt(stream, base + i, bytes, 4))
            return -1;
        if (bytes[0] != 0)
            break;
        int zeros = 0;
        while (zeros < 3 && bytes[1 + zeros] == 0)
            ++zeros;
        i += 1 + zeros;
    }
    const int64_t at = base + i;
    if (std::memcmp(bytes, "FLAC", 4) == 0) {
        uint8_t major;
        if (!ReadAt(stream, at + 4, &major, 1) || major != 1 || !ReadAt(stream, at + 8, bytes, 4))
            return -1;
        return std::memcmp(bytes, "fLaC", 4) == 0 ? at + 8 : -1;
    }
    return std::memcmp(bytes, "fLaC", 4) == 0 ? at : -1;
}

int FlacTagFormat::WalkBlocks(TagStream *stream, int64_t first, std::vector<Block> *tagBlocks)
{
    const int64_t size = stream->Size();
    bool streamInfo = false;
    int comments = 0;
    int pictures = 0;
    int64_t at = first;
    while (m_keptBlocks.size() < kMaxBlocks) {
        uint8_t header[4];
        if (!ReadAt(stream, at, header, 4))
            break;
        const Block block{header[0] & 0x7F, at + 4, ReadBe24(header + 1)};
        if (block.type == Invalid || block.body + block.length > size)
            break;
        if (block.type == StreamInfo) {
            if (!ValidStreamInfo(stream, block.body, block.length))
                return -1;
            streamInfo = true;
        }
        if (block.type == VorbisComment || block.type == Picture) {
            int &seen = block.type == VorbisComment ? comments : pictures;
            if (seen++ < kMaxRemembered)
                tagBlocks->push_back(block);
            if (block.type == VorbisComment && m_vendorBlock < 0 && block.length >= 4) {
                m_vendorBlock = block.body;
                m_vendorBlockLength = block.length;
            }
            m_tagBlockBytes += block.length + 4;
        } else {
            m_keptBlocks.push_back(block);
        }
        at = block.body + block.length;
        m_metadataLength = static_cast<uint32_t>(at - m_flacStart);
        if (header[0] & 0x80) {
            m_chainComplete = true;
            break;
        }
    }
    return streamInfo ? 0 : -1;
}

void FlacTagFormat::ReadPicture(TagStream *stream, const Block &block)
{
    if (block.length < 4 || block.length > kMaxPicture)
        return;
    std::vector<uint8_t> body(block.length);
    if (!ReadAt(stream, block.body, body.data(), static_cast<int>(block.length)))
        return;
    const uint64_t size = body.size();
    uint64_t pos = 4;
    if (size - pos < 4)
        return;
    const uint64_t mimeLength = ReadBe32(body.data() + pos);
    pos += 4;
    if (mimeLength + 4 > size - pos)
        return;
    pos += mimeLength;
    const uint64_t descriptionLength = ReadBe32(body.data() + pos);
    pos += 4;
    if (descriptionLength + 20 > size - pos)
        return;
    pos += descriptionLength + 16;
    const uint64_t declared = ReadBe32(body.data() + pos);
    pos += 4;
    const uint64_t length = std::min(size - pos, declared);
    if (length != 0 && m_fields->AddBinary(TagSlotFlac, TagKindPicture, static_cast<uint32_t>(length), body.data() + pos) == 0)
        m_originalPictures.push_back({std::string(body.begin(), body.end()), static_cast<size_t>(pos),
                                      static_cast<uint32_t>(length)});
}

bool FlacTagFormat::PutOriginalPicture(TagByteBuffer *section, const TagField &field, std::vector<bool> *used) const
{
    for (size_t k = 0; k < m_originalPictures.size(); ++k) {
        const OriginalPicture &original = m_originalPictures[k];
        if ((*used)[k] || original.imageLength != field.length
            || std::memcmp(original.body.data() + original.imageAt, field.data, field.length) != 0)
            continue;
        (*used)[k] = true;
        PutBlockHeader(section, Picture, static_cast<uint32_t>(original.body.size()));
        section->PutBytes(original.body.data(), original.body.size());
        return true;
    }
    return false;
}

int FlacTagFormat::LoadStream()
{
    TagBufferedStream buffered(m_stream);
    const int64_t signature = FindSignature(&buffered);
    if (signature < 0)
        return -1;
    m_flacStart = signature;
    std::vector<Block> tagBlocks;
    if (WalkBlocks(&buffered, signature + 4, &tagBlocks) != 0)
        return -1;
    for (const Block &block : tagBlocks) {
        if (block.type == VorbisComment) {
            if (buffered.Seek(block.body) == block.body)
                ParseVorbisComments(m_fields.get(), &buffered, TagSlotFlac, static_cast<int>(block.length), &m_keptComments);
        } else {
            ReadPicture(&buffered, block);
        }
    }
    return 0;
}

bool FlacTagFormat::PutCommentBlock(TagByteBuffer *section, const std::string &vendor)
{
    // Room for every comment: key, "=", and at most four UTF-8 bytes per character.
    uint64_t capacity = 16 + vendor.size() + KeptCommentBytes(m_keptComments);
    for (int i = 0; i < m_fields->Count(); ++i)
        capacity += 48 + uint64_t(m_fields->GetAt(i).length);
    capacity = std::min<uint64_t>(capacity, kMaxBlockLength + 1);
    std::vector<uint8_t> body(static_cast<size_t>(capacity), 0);
    body[0] = static_cast<uint8_t>(vendor.size());
    std::memcpy(body.data() + 4, vendor.data(), vendor.size());
    int length = BuildVorbisComments(m_fields.get(), body.data(), TagSlotFlac, static_cast<int>(capacity), m_keptComments);
    if (length < 1) {
        length = static_cast<int>(8 + vendor.size());
        std::fill(body.begin() + 4 + static_cast<long>(vendor.size()), body.begin() + length, 0);
    }
    if (static_cast<uint32_t>(length) > kMaxBlockLength)
        return false;
    PutBlockHeader(section, VorbisComment, static_cast<uint32_t>(length));
    section->PutBytes(body.data(), static_cast<size_t>(length));
    return true;
}

bool FlacTagFormat::BuildSection(TagByteBuffer *section)
{
    section->PutText("fLaC");
    for (const Block &block : m_keptBlocks) {
        std::vector<uint8_t> body(block.length);
        if (!ReadAt(m_stream, block.body, body.data(), static_cast<int>(block.length)))
            return false;
        PutBlockHeader(section, block.type, block.length);
        section->PutBytes(body.data(), body.size());
    }
    std::string vendor;
    uint8_t word[4];
    if (m_vendorBlock >= 0 && ReadAt(m_stream, m_vendorBlock, word, 4)) {
        const uint32_t vendorLength = std::min(ReadLe32(word), m_vendorBlockLength - 4);
        vendor.resize(std::min<size_t>(vendorLength, kMaxVendor));
        if (!vendor.empty() && m_stream->Read(&vendor[0], static_cast<int>(vendor.size())) != static_cast<int>(vendor.size()))
            return false;
    }
    const size_t lastHeader = section->Size();
    if (!PutCommentBlock(section, vendor))
        return false;
    size_t lastBlock = lastHeader;
    std::vector<bool> originalUsed(m_originalPictures.size());
    for (int i = 0; i < m_fields->Count(); ++i) {
        const TagField field = m_fields->GetAt(i);
        if (field.kind == TagKindPicture) {
            lastBlock = section->Size();
            if (!PutOriginalPicture(section, field, &originalUsed))
                PutPictureBlock(section, field);
        }
    }
    section->Data()[lastBlock] |= 0x80;
    return true;
}

int FlacTagFormat::Save()
{
    if (!m_stream || !m_fields)
        return -1;
    try {
        SelectWritableFields(Writable);
        if (m_fields->Count() == 0 && m_tagBlockBytes == 0)
            return 1;
        // Without a last-block flag the old chain's end is unknown; rewriting would take audio
        // for metadata.
        if (!m_chainComplete || m_stream->Seek(m_flacStart) != m_flacStart)
            return -1;
        TagByteBuffer section;
        if (!BuildSection(&section) || section.Size() > INT32_MAX)
            return -1;
        const int length = static_cast<int>(section.Size());
        if (!WriteRegion(m_flacStart, m_metadataLength, std::string(reinterpret_cast<const char *>(section.Data()), section.Size())))
            return -1;
        // The kept blocks now lie behind the new signature in their old order.
        int64_t at = m_flacStart + 4;
        for (Block &block : m_keptBlocks) {
            block.body = at + 4;
            at = block.body + block.length;
        }
        m_vendorBlock = at + 4;
        m_vendorBlockLength = ReadBe24(section.Data() + (at - m_flacStart) + 1);
        m_metadataLength = static_cast<uint32_t>(length);
        m_tagBlockBytes = static_cast<uint32_t>(length - (at - m_flacStart));
        return 0;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
