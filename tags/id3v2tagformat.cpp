#include "id3v2tagformat.h"

#include "id3v2frames.h"
#include "tagbufferedstream.h"
#include "tagbytebuffer.h"
#include "tagimage.h"
#include "tagstream.h"
#include "tagtext.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr uint8_t kFlagUnsynchronised = 0x80;
constexpr uint8_t kFlagExtendedHeader = 0x40;
constexpr uint8_t kFlagFooter = 0x10;
constexpr uint32_t kMaxTagSize = 0x0FFFFFFF;

// Frame format flags (second flag byte).
constexpr uint8_t kV3Compressed = 0x80, kV3Encrypted = 0x40, kV3Grouped = 0x20;
constexpr uint8_t kV4Grouped = 0x40, kV4Compressed = 0x08, kV4Encrypted = 0x04, kV4Unsynchronised = 0x02,
                  kV4DataLength = 0x01;

// Undoes unsynchronisation: every 0xFF 0x00 pair stands for 0xFF.
std::vector<uint8_t> Resynchronise(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> out;
    out.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        out.push_back(data[i]);
        if (data[i] == 0xFF && i + 1 < size && data[i + 1] == 0)
            ++i;
    }
    return out;
}

struct TagHeader
{
    uint8_t version = 0;
    uint8_t flags = 0;
    uint32_t size = 0;
};

// Appends a frame that carries no field, header included, so that a save writes it back as it
// was (chapters, lyrics timing, private data...). Under a 2.4 tag-wide unsynchronisation flag
// the frame's own flag says so, as the rewritten tag carries none.
void KeepFrame(std::string *kept, const TagHeader &header, const uint8_t *frame, uint32_t size)
{
    const size_t at = kept->size();
    kept->append(reinterpret_cast<const char *>(frame), 10 + size_t(size));
    if (header.version == 4 && (header.flags & kFlagUnsynchronised))
        (*kept)[at + 9] = char((*kept)[at + 9] | kV4Unsynchronised);
}

// Walks the frames of a version 2.3 or 2.4 frame area; frames of no known kind go to `kept`.
bool KeepsOriginal(int kind)
{
    return kind == TagKindComment || kind == TagKindLyrics || kind == TagKindPicture;
}

void ReadFrames34(TagFieldSet *set, std::string *kept, std::vector<Id3v2TagFormat::OriginalFrame> *originals,
                  const TagHeader &header, const std::vector<uint8_t> &area, uint64_t pos)
{
    const uint64_t end = area.size();
    while (pos + 10 <= end) {
        const uint8_t *frame = area.data() + pos;
        const uint32_t size = header.version == 4 ? ReadSynchsafe32(frame + 4) : ReadBe32(frame + 4);
        const uint8_t format = frame[9];
        if (pos + 10 + size > end || (ReadBe32(frame) == 0 && size == 0 && frame[8] == 0 && format == 0))
            return;
        pos += 10 + uint64_t(size);
        const char *id = reinterpret_cast<const char *>(frame);
        if (size == 0)
            continue;
        if (Id3v2Frames::KindOfFrame(id, 4) < 0) {
            KeepFrame(kept, header, frame, size);
            continue;
        }
        if (set->Count() >= TagFieldSet::kMaxFields)
            continue;
        const uint8_t *body = frame + 10;
        size_t length = size;
        size_t extra = 0;
        std::vector<uint8_t> plain;
        // Frames this reader cannot open stay as they are, like those of no known kind.
        const bool sealed = header.version == 3 ? (format & (kV3Compressed | kV3Encrypted))
                                                : (format & (kV4Compressed | kV4Encrypted));
        if (header.version == 3)
            extra = (format & kV3Grouped) ? 1 : 0;
        else
            extra = ((format & kV4Grouped) ? 1 : 0) + ((format & kV4DataLength) ? 4 : 0);
        if (sealed || extra >= length) {
            KeepFrame(kept, header, frame, size);
            continue;
        }
        body += extra;
        length -= extra;
        if (header.version == 4 && ((format & kV4Unsynchronised) || (header.flags & kFlagUnsynchronised))) {
            plain = Resynchronise(body, length);
            body = plain.data();
            length = plain.size();
        }
        const int before = set->Count();
        Id3v2Frames::AddFrame(set, id, 4, body, length);
        const int kind = Id3v2Frames::KindOfFrame(id, 4);
        if (set->Count() == before + 1 && KeepsOriginal(kind)) {
            const TagField field = set->GetAt(before);
            Id3v2TagFormat::OriginalFrame original{kind, std::string(static_cast<const char *>(field.data), field.length),
                                                   std::string()};
            KeepFrame(&original.frame, header, frame, size);
            originals->push_back(std::move(original));
        }
    }
}

void ReadFrames22(TagFieldSet *set, const std::vector<uint8_t> &area)
{
    const uint64_t end = area.size();
    uint64_t pos = 0;
    while (pos + 6 <= end && set->Count() < TagFieldSet::kMaxFields) {
        const uint8_t *frame = area.data() + pos;
        const uint32_t size = ReadBe24(frame + 3);
        pos += 6 + uint64_t(size);
        if (pos > end || (frame[0] == 0 && frame[1] == 0 && frame[2] == 0 && size == 0))
            return;
        if (size != 0)
            Id3v2Frames::AddFrame(set, reinterpret_cast<const char *>(frame), 3, frame + 6, size);
    }
}

// Where the frames begin behind an extended header, or -1 when it does not fit.
int64_t FrameAreaStart(const TagHeader &header, const std::vector<uint8_t> &area)
{
    if (!(header.flags & kFlagExtendedHeader))
        return 0;
    if (area.size() < 4)
        return -1;
    if (header.version == 3)
        return int64_t(ReadBe32(area.data())) + 4;
    return ReadSynchsafe32(area.data());
}

// 1 with the header, 0 when the stream does not start with a tag, -1 when it cannot be read.
int ReadHeader(TagStream *stream, TagHeader *header)
{
    uint8_t bytes[10];
    const int64_t size = stream->Size();
    if (size >= 0 && size < 10)
        return 0;
    if (size < 0 || stream->Seek(0) != 0 || stream->Read(bytes, 10) != 10)
        return -1;
    if (std::memcmp(bytes, "ID3", 3) != 0 || bytes[3] >= 5)
        return 0;
    header->version = bytes[3];
    header->flags = bytes[5];
    header->size = ReadSynchsafe32(bytes + 6);
    return 1;
}

bool WritableKind(const TagField &field)
{
    if (field.kind == TagKindGrouping)
        return false;
    if (field.kind == TagKindPicture)
        return field.valueType == TagValueBinary
            && SniffTagImage(static_cast<const uint8_t *>(field.data), field.length).type != TagImageInfo::Unknown;
    return field.valueType == TagValueText;
}

// Version 2.4 has no TYER; its recording time TDRC takes a year as well.
const char *FrameIdOf(int kind, uint8_t version)
{
    static const char *const ids[TagKindCount] = {"TIT2", "TPE1", "TALB", "TCON", "TYER", "TRCK", "COMM",
                                                  "TCOP", "USLT", "APIC", "TPE2", "TCOM", nullptr, "TPOS"};
    return kind == TagKindYear && version == 4 ? "TDRC" : ids[kind];
}

bool SetSynchsafe32At(TagByteBuffer *out, size_t offset, uint64_t value)
{
    if (value > kMaxTagSize || offset + 4 > out->Size())
        return false;
    uint8_t *bytes = out->Data() + offset;
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t((value >> (7 * (3 - i))) & 0x7F);
    return true;
}

// UTF-16LE without terminator.
std::string Utf16Le(const wchar_t *text)
{
    std::string bytes;
    TagText::Encode(text, TagFieldSet::Utf16Le, &bytes);
    bytes.resize(bytes.size() - 2);
    return bytes;
}

bool FitsLatin1(const std::vector<std::wstring> &values)
{
    std::string bytes;
    for (const std::wstring &value : values) {
        if (!TagText::Encode(value.c_str(), TagFieldSet::Latin1, &bytes))
            return false;
    }
    return true;
}

// Without terminator.
std::string EncodeValue(const std::wstring &value, uint8_t encoding)
{
    std::string bytes;
    if (encoding == 1)
        return "\xFF\xFE" + Utf16Le(value.c_str());
    TagText::Encode(value.c_str(), encoding == 0 ? TagFieldSet::Latin1 : TagFieldSet::Utf8, &bytes);
    bytes.pop_back();
    return bytes;
}

// Latin-1 where the values fit, as other readers expect; else UTF-8 (2.4) or UTF-16 with BOM.
// Several values are separated by a zero in 2.4 and joined by "/" in 2.3, which has no
// separator of its own.
void PutTextBody(TagByteBuffer *out, int kind, std::vector<std::wstring> values, uint8_t version)
{
    const uint8_t encoding = FitsLatin1(values) ? 0 : version == 4 ? 3 : 1;
    if (version != 4 && values.size() > 1) {
        std::wstring joined = values[0];
        for (size_t i = 1; i < values.size(); ++i)
            joined += L"/" + values[i];
        values = {joined};
    }
    out->PutByte(encoding);
    if (kind == TagKindComment || kind == TagKindLyrics) {
        const char *language = TagFieldSet::CurrentLanguageCode();
        out->PutText(language ? language : "eng");
        // An empty description, terminated in the frame's encoding.
        out->PutByte(0);
        if (encoding == 1)
            out->PutByte(0);
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (i != 0)
            out->PutByte(0);
        const std::string bytes = EncodeValue(values[i], encoding);
        out->PutBytes(bytes.data(), bytes.size());
    }
}

void PutPictureBody(TagByteBuffer *out, const TagField &field)
{
    const TagImageInfo image = SniffTagImage(static_cast<const uint8_t *>(field.data), field.length);
    static const uint8_t kCoverDescription[] = {0x03, 0xFF, 0xFE, 'e', 0, 0, 0};
    out->PutByte(1);
    out->PutText(image.mime);
    out->PutByte(0);
    out->PutBytes(kCoverDescription, sizeof kCoverDescription);
    out->PutBytes(field.data, field.length);
}

std::vector<std::wstring> ValuesOf(const TagField &field)
{
    return {std::wstring(static_cast<const wchar_t *>(field.data))};
}

bool SameValue(const Id3v2TagFormat::OriginalFrame &original, const TagField &field)
{
    return original.kind == field.kind && original.value.size() == field.length
        && std::memcmp(original.value.data(), field.data, field.length) == 0;
}

} // namespace

Id3v2TagFormat::Id3v2TagFormat(TagStream *stream, int *result)
{
    const int loaded = Load(stream);
    if (result)
        *result = loaded;
}

void Id3v2TagFormat::ResetState()
{
    m_tagLength = 0;
    m_keptFrames.clear();
    m_originalFrames.clear();
    m_version = 3;
}

int Id3v2TagFormat::LoadStream()
{
    TagBufferedStream buffered(m_stream);
    TagHeader header;
    const int found = ReadHeader(&buffered, &header);
    if (found <= 0)
        return found;
    m_tagLength = header.size + 10;
    if ((header.version == 3 || header.version == 4) && (header.flags & kFlagFooter))
        m_tagLength += 10;
    if (header.version < 2)
        return 0;
    // Only what the file really holds is read, so a size field claiming more costs nothing.
    const int64_t available = std::max<int64_t>(0, buffered.Size() - 10);
    std::vector<uint8_t> area(static_cast<size_t>(std::min<int64_t>(header.size, available)));
    if (buffered.Seek(10) != 10 || buffered.Read(area.data(), static_cast<int>(area.size())) != static_cast<int>(area.size()))
        return -1;
    if (header.version != 4 && (header.flags & kFlagUnsynchronised))
        area = Resynchronise(area.data(), area.size());
    if (header.version == 2) {
        ReadFrames22(m_fields.get(), area);
        return 0;
    }
    const int64_t start = FrameAreaStart(header, area);
    if (start >= 0)
        ReadFrames34(m_fields.get(), &m_keptFrames, &m_originalFrames, header, area, static_cast<uint64_t>(start));
    // Rewritten in the version read: kept frames stay in their version's form, and other
    // taggers' choice of version is not downgraded.
    m_version = header.version;
    return 0;
}

bool Id3v2TagFormat::BuildTag(std::string *tag) const
{
    TagByteBuffer out;
    out.PutText("ID3");
    out.PutByte(m_version);
    out.PutByte(0);
    out.PutByte(0);
    out.PutBe32(0);
    std::vector<bool> originalUsed(m_originalFrames.size());
    bool written[TagKindCount] = {};
    for (int i = 0; i < m_fields->Count(); ++i) {
        const TagField field = m_fields->GetAt(i);
        if (PutOriginalFrame(&out, field, &originalUsed))
            continue;
        const bool textFrame = !KeepsOriginal(field.kind);
        // The values of one text kind share one frame.
        if (textFrame && written[field.kind])
            continue;
        written[field.kind] = true;
        out.PutText(FrameIdOf(field.kind, m_version));
        const size_t sizeAt = out.Size();
        out.PutBe32(0);
        out.PutBe16(0);
        if (field.kind == TagKindPicture)
            PutPictureBody(&out, field);
        else
            PutTextBody(&out, field.kind, textFrame ? ValuesOfKind(field.kind) : ValuesOf(field), m_version);
        const uint64_t bodySize = out.Size() - sizeAt - 6;
        if (bodySize > kMaxTagSize)
            return false;
        if (m_version == 4)
            SetSynchsafe32At(&out, sizeAt, bodySize);
        else
            out.SetBe32At(sizeAt, static_cast<uint32_t>(bodySize));
    }
    out.PutBytes(m_keptFrames.data(), m_keptFrames.size());
    if (!SetSynchsafe32At(&out, 6, out.Size() - 10))
        return false;
    tag->assign(reinterpret_cast<const char *>(out.Data()), out.Size());
    return true;
}

bool Id3v2TagFormat::PutOriginalFrame(TagByteBuffer *out, const TagField &field, std::vector<bool> *used) const
{
    for (size_t k = 0; k < m_originalFrames.size(); ++k) {
        if (!(*used)[k] && SameValue(m_originalFrames[k], field)) {
            (*used)[k] = true;
            out->PutBytes(m_originalFrames[k].frame.data(), m_originalFrames[k].frame.size());
            return true;
        }
    }
    return false;
}

std::vector<std::wstring> Id3v2TagFormat::ValuesOfKind(int kind) const
{
    std::vector<std::wstring> values;
    for (int i = 0; i < m_fields->Count(); ++i) {
        const TagField field = m_fields->GetAt(i);
        if (field.kind == kind)
            values.emplace_back(static_cast<const wchar_t *>(field.data));
    }
    return values;
}

int Id3v2TagFormat::Save()
{
    if (!m_stream || !m_fields)
        return -1;
    try {
        SelectWritableFields(WritableKind);
        if (m_fields->Count() == 0 && m_keptFrames.empty()) {
            if (m_tagLength == 0)
                return 1;
            if (!WriteRegion(0, m_tagLength, std::string()))
                return -1;
            m_tagLength = 0;
            return 0;
        }
        std::string tag;
        if (!BuildTag(&tag) || !WriteRegion(0, m_tagLength, tag))
            return -1;
        m_tagLength = static_cast<uint32_t>(tag.size());
        return 0;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
