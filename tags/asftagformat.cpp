#include "asftagformat.h"

#include "id3v2tagformat.h"
#include "tagbufferedstream.h"
#include "tagbytebuffer.h"
#include "tagimage.h"
#include "tagrangestream.h"
#include "tagstream.h"
#include "tagtext.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <strings.h>
#include <vector>

namespace {

using Object = AsfTagFormat::Object;

struct Guid
{
    uint8_t bytes[16];
};

// The standard text form, stored in the file's little-endian byte order.
Guid MakeGuid(const char *text)
{
    static const int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    uint8_t plain[16];
    int n = 0;
    for (const char *p = text; *p && n < 16; ++p) {
        if (*p == '-')
            continue;
        char pair[3] = {p[0], p[1], 0};
        plain[n++] = static_cast<uint8_t>(std::strtoul(pair, nullptr, 16));
        ++p;
    }
    Guid guid;
    for (int i = 0; i < 16; ++i)
        guid.bytes[i] = plain[kOrder[i]];
    return guid;
}

const Guid kHeader = MakeGuid("75B22630-668E-11CF-A6D9-00AA0062CE6C");
const Guid kContentDescription = MakeGuid("75B22633-668E-11CF-A6D9-00AA0062CE6C");
const Guid kExtendedContent = MakeGuid("D2D0A440-E307-11D2-97F0-00A0C95EA850");
const Guid kHeaderExtension = MakeGuid("5FBF03B5-A92E-11CF-8EE3-00C00C205365");
const Guid kMetadataLibrary = MakeGuid("44231C94-9498-49D1-A141-1D134E457054");
const Guid kFileProperties = MakeGuid("8CABDCA1-A947-11CF-8EE4-00C00C205365");
const Guid kExtensionReserved = MakeGuid("ABD3D211-A9BA-11CF-8EE6-00C00C205365");

constexpr uint32_t kMaxLibraryValue = 0x800000;
constexpr int kStringValue = 0;
constexpr int kBytesValue = 1;
// Units of a written text without its terminator, so that its byte length fits 16 bits.
constexpr size_t kMaxUnits = 32766;

struct Attribute
{
    const char *name;
    int kind;
};

// The first kWrittenAttributes names are those written, one per kind.
constexpr int kWrittenAttributes = 9;
const Attribute kAttributes[] = {{"WM/AlbumTitle", 2}, {"WM/Genre", 3}, {"WM/Year", 4}, {"WM/TrackNumber", 5},
                                 {"WM/Lyrics", 8}, {"WM/Picture", 9}, {"WM/AlbumArtist", 10}, {"WM/Composer", 11},
                                 {"WM/PartOfSet", 13}, {"WM/GenreID", 3}, {"WM/Track", 5},
                                 {"WM/ProviderCopyright", 7}};
const char kZeroBasedTrack[] = "WM/Track";
const char kId3Attribute[] = "ID3";
// Kinds of the Content Description's strings, in their order.
const int kDescriptionKinds[] = {0, 1, 7, 6};

int KindOf(const std::string &name)
{
    for (const Attribute &attribute : kAttributes) {
        if (strcasecmp(attribute.name, name.c_str()) == 0)
            return attribute.kind;
    }
    return -1;
}

const char *NameOf(int kind)
{
    for (int i = 0; i < kWrittenAttributes; ++i) {
        if (kAttributes[i].kind == kind)
            return kAttributes[i].name;
    }
    return nullptr;
}

bool ReadAt(TagStream *stream, int64_t at, void *buffer, int count)
{
    return stream->Seek(at) == at && stream->Read(buffer, count) == count;
}

bool ReadBytes(TagStream *stream, int64_t at, int64_t length, std::string *bytes)
{
    if (length <= 0 || length > INT32_MAX)
        return false;
    bytes->resize(static_cast<size_t>(length));
    return ReadAt(stream, at, &(*bytes)[0], static_cast<int>(length));
}

uint64_t ReadLe64(const uint8_t *p)
{
    return uint64_t(ReadLe32(p + 4)) << 32 | ReadLe32(p);
}

void PutLe64(TagByteBuffer *out, uint64_t value)
{
    out->PutLe32(static_cast<uint32_t>(value));
    out->PutLe32(static_cast<uint32_t>(value >> 32));
}

void SetLe64At(TagByteBuffer *out, size_t offset, uint64_t value)
{
    out->SetLe32At(offset, static_cast<uint32_t>(value));
    out->SetLe32At(offset + 4, static_cast<uint32_t>(value >> 32));
}

bool IsGuid(const uint8_t *bytes, const Guid &guid)
{
    return std::memcmp(bytes, guid.bytes, 16) == 0;
}

// The object at `at` when its header reads and it lies within [at, end).
bool ReadObject(TagStream *stream, int64_t at, int64_t end, Object *object)
{
    uint8_t head[24];
    if (end - at < 24 || !ReadAt(stream, at, head, 24))
        return false;
    const uint64_t size = ReadLe64(head + 16);
    if (size < 24 || size > uint64_t(end - at))
        return false;
    object->offset = at;
    object->size = static_cast<int64_t>(size);
    std::memcpy(object->guid, head, 16);
    return true;
}

// A UTF-16LE name as narrow text when it is plain ASCII (every known name is), else empty.
std::string AsciiName(const std::vector<uint8_t> &bytes)
{
    std::string name;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const uint32_t unit = ReadLe16(bytes.data() + i);
        if (unit == 0)
            break;
        if (unit > 0x7F)
            return std::string();
        name.push_back(static_cast<char>(unit));
    }
    return name;
}

// UTF-16LE with one zero unit, cut to kMaxUnits units without splitting a surrogate pair.
std::string Utf16Text(const wchar_t *text)
{
    std::string bytes;
    if (!TagText::Encode(text, TagFieldSet::Utf16Le, &bytes))
        return std::string(2, '\0');
    bytes.resize(bytes.size() - 2);
    if (bytes.size() > 2 * kMaxUnits) {
        bytes.resize(2 * kMaxUnits);
        const uint32_t last = ReadLe16(reinterpret_cast<const uint8_t *>(bytes.data()) + bytes.size() - 2);
        if (last >= 0xD800 && last <= 0xDBFF)
            bytes.resize(bytes.size() - 2);
    }
    bytes.append(2, '\0');
    return bytes;
}

void PutObjectHead(TagByteBuffer *out, const Guid &guid, uint64_t size)
{
    out->PutBytes(guid.bytes, 16);
    PutLe64(out, size);
}

std::string WideName(const char *name)
{
    return Utf16Text(std::wstring(name, name + std::strlen(name)).c_str());
}

std::string Bytes(const TagByteBuffer &buffer)
{
    return std::string(reinterpret_cast<const char *>(buffer.Data()), buffer.Size());
}

std::string PictureValue(const TagField &field)
{
    const std::string mime = WideName(SniffTagImage(static_cast<const uint8_t *>(field.data), field.length).mime);
    TagByteBuffer value;
    value.PutByte(3);
    value.PutLe32(field.length);
    value.PutBytes(mime.data(), mime.size());
    value.PutLe16(0);
    value.PutBytes(field.data, field.length);
    return Bytes(value);
}

std::string DescriptorRecord(const std::string &name, int valueType, const std::string &value)
{
    TagByteBuffer record;
    record.PutLe16(static_cast<uint32_t>(name.size()));
    record.PutBytes(name.data(), name.size());
    record.PutLe16(static_cast<uint32_t>(valueType));
    record.PutLe16(static_cast<uint32_t>(value.size()));
    record.PutBytes(value.data(), value.size());
    return Bytes(record);
}

// A record for the whole file: language list index 0, stream 0.
std::string LibraryRecord(const std::string &name, int valueType, const std::string &value)
{
    TagByteBuffer record;
    record.PutLe16(0);
    record.PutLe16(0);
    record.PutLe16(static_cast<uint32_t>(name.size()));
    record.PutLe16(static_cast<uint32_t>(valueType));
    record.PutLe32(static_cast<uint32_t>(value.size()));
    record.PutBytes(name.data(), name.size());
    record.PutBytes(value.data(), value.size());
    return Bytes(record);
}

std::string ValueBytes(const TagField &field)
{
    return std::string(static_cast<const char *>(field.data), field.length);
}

// The object: its head, a 16-bit count of the records, then the records.
bool PutRecordObject(TagByteBuffer *out, const Guid &guid, const std::string &records, uint32_t count)
{
    if (count > 0xFFFF)
        return false;
    PutObjectHead(out, guid, 24 + 2 + records.size());
    out->PutLe16(count);
    out->PutBytes(records.data(), records.size());
    return true;
}

bool Writable(const TagField &field)
{
    if (field.kind > TagKindPicture && !NameOf(field.kind))
        return false;
    if (field.kind != TagKindPicture)
        return field.valueType == TagValueText;
    return field.valueType == TagValueBinary && uint64_t(field.length) + 64 < UINT32_MAX
        && SniffTagImage(static_cast<const uint8_t *>(field.data), field.length).type != TagImageInfo::Unknown;
}

const TagField *FirstFieldOfKind(const TagFieldSet *set, int kind, TagField *storage)
{
    for (int i = 0; i < set->Count(); ++i) {
        *storage = set->GetAt(i);
        if (storage->kind == kind)
            return storage;
    }
    return nullptr;
}

} // namespace

AsfTagFormat::AsfTagFormat(TagStream *stream, int *result)
{
    const int loaded = Load(stream);
    if (result)
        *result = loaded;
}

void AsfTagFormat::ResetState()
{
    m_headerSize = 0;
    m_metadataSize = 0;
    m_objectCount = 0;
    m_keptDescriptors = Records();
    m_keptLibraryRecords = Records();
    m_originals.clear();
}

void AsfTagFormat::Records::Add(const std::string &record)
{
    bytes += record;
    ++count;
}

void AsfTagFormat::Records::Add(const Records &records)
{
    bytes += records.bytes;
    count += records.count;
}

void AsfTagFormat::ReadEmbeddedId3(TagStream *stream, int64_t at, uint32_t length)
{
    TagRangeStream range(stream, at, at + length);
    int result = -1;
    Id3v2TagFormat id3(&range, &result);
    if (result < 0)
        return;
    const TagFieldSet *set = id3.GetFieldSet();
    for (int i = 0; i < set->Count(); ++i) {
        TagField field = set->GetAt(i);
        field.slot = TagSlotAsf;
        m_fields->Add(field);
    }
}

void AsfTagFormat::ReadPicture(const std::string &value)
{
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(value.data());
    const size_t size = value.size();
    if (size < 5)
        return;
    const uint32_t declared = ReadLe32(bytes + 1);
    size_t at = 5;
    // The MIME type, then the description, each up to its zero unit.
    for (int text = 0; text < 2; ++text) {
        while (size - at >= 2 && ReadLe16(bytes + at) != 0)
            at += 2;
        if (size - at < 2)
            return;
        at += 2;
    }
    const uint32_t length = static_cast<uint32_t>(std::min<size_t>(declared, size - at));
    if (length != 0)
        m_fields->AddBinary(TagSlotAsf, TagKindPicture, length, bytes + at);
}

void AsfTagFormat::ReadAttribute(TagStream *stream, const std::string &name, int valueType, int64_t at, uint32_t length)
{
    if (strcasecmp(name.c_str(), kId3Attribute) == 0) {
        ReadEmbeddedId3(stream, at, length);
        return;
    }
    const int kind = KindOf(name);
    if (kind < 0 || length == 0)
        return;
    std::string value(length, '\0');
    if (!ReadAt(stream, at, &value[0], static_cast<int>(length)))
        return;
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(value.data());
    const bool zeroBased = strcasecmp(name.c_str(), kZeroBasedTrack) == 0;
    uint32_t number = 0;
    for (uint32_t i = 0; i < std::min<uint32_t>(length, 4); ++i)
        number |= uint32_t(bytes[i]) << (8 * i);
    value.append(3, '\0');
    if (kind == TagKindTrack && valueType != kStringValue) {
        m_fields->AddTrackNumber(TagSlotAsf, static_cast<int>(number + (zeroBased ? 1 : 0)));
    } else if (zeroBased) {
        std::wstring text;
        if (TagText::Decode(value.data(), TagFieldSet::Utf16Le, &text))
            m_fields->AddTrackNumber(TagSlotAsf, TagFieldSet::ParseNumber(text.c_str()) + 1);
    } else if (kind == TagKindGenre && valueType != kStringValue) {
        m_fields->AddGenre(TagSlotAsf, static_cast<int>(std::min<uint32_t>(number, INT32_MAX)));
    } else if (kind == TagKindPicture) {
        value.resize(length);
        ReadPicture(value);
    } else {
        m_fields->AddText(TagSlotAsf, kind, TagFieldSet::Utf16Le, value.data());
    }
}

void AsfTagFormat::ReadContentDescription(TagStream *stream, const Object &object)
{
    uint8_t lengths[10];
    if (object.size < 34 || !ReadAt(stream, object.Body(), lengths, 10))
        return;
    m_metadataSize += object.size;
    int64_t at = object.Body() + 10;
    for (int i = 0; i < 4; ++i) {
        const uint32_t length = ReadLe16(lengths + 2 * i);
        if (at + length > object.End())
            return;
        // Three zero bytes end an odd-length text on a whole zero unit.
        std::vector<char> text(length + 3, 0);
        if (length != 0 && ReadAt(stream, at, text.data(), static_cast<int>(length)) && text[0] | text[1])
            m_fields->AddText(TagSlotAsf, kDescriptionKinds[i], TagFieldSet::Utf16Le, text.data());
        at += length;
    }
}

void AsfTagFormat::ReadExtendedContent(TagStream *stream, const Object &object)
{
    uint8_t word[4];
    if (object.size < 26 || !ReadAt(stream, object.Body(), word, 2))
        return;
    m_metadataSize += object.size;
    const uint32_t count = ReadLe16(word);
    int64_t at = object.Body() + 2;
    for (uint32_t i = 0; i < count; ++i) {
        if (object.End() - at < 2 || !ReadAt(stream, at, word, 2))
            return;
        const uint32_t nameLength = ReadLe16(word);
        if (object.End() - at - 2 < int64_t(nameLength) + 4)
            return;
        std::vector<uint8_t> name(nameLength);
        if ((nameLength != 0 && stream->Read(name.data(), static_cast<int>(nameLength)) != static_cast<int>(nameLength))
            || stream->Read(word, 4) != 4)
            return;
        const int valueType = static_cast<int>(ReadLe16(word));
        const uint32_t valueLength = ReadLe16(word + 2);
        const int64_t value = at + 2 + nameLength + 4;
        if (value + valueLength > object.End())
            return;
        const std::string ascii = AsciiName(name);
        const int fieldsBefore = m_fields->Count();
        ReadAttribute(stream, ascii, valueType, value, valueLength);
        SettleRecord(stream, at, value + valueLength - at, ascii, fieldsBefore, false);
        at = value + valueLength;
    }
}

void AsfTagFormat::SettleRecord(TagStream *stream, int64_t at, int64_t length, const std::string &name,
                                int fieldsBefore, bool inLibrary)
{
    const int added = m_fields->Count() - fieldsBefore;
    const TagField field = added == 1 ? m_fields->GetAt(fieldsBefore) : EmptyTagField();
    // An embedded ID3v2 tag, or a value of a kind the Content Description holds, is not
    // written back: its fields are written anew.
    const bool original = added == 1 && KindOf(name) >= 0 && NameOf(field.kind);
    std::string record;
    if ((added != 0 && !original) || !ReadBytes(stream, at, length, &record))
        return;
    if (original)
        m_originals.push_back({std::move(record), inLibrary, field.kind, field.valueType, ValueBytes(field)});
    else
        (inLibrary ? m_keptLibraryRecords : m_keptDescriptors).Add(record);
}

void AsfTagFormat::ReadMetadataLibrary(TagStream *stream, const Object &object)
{
    uint8_t head[12];
    if (object.size <= 25 || !ReadAt(stream, object.Body(), head, 2))
        return;
    m_metadataSize += object.size;
    const uint32_t count = ReadLe16(head);
    int64_t at = object.Body() + 2;
    for (uint32_t i = 0; i < count; ++i) {
        if (object.End() - at < 12 || !ReadAt(stream, at, head, 12))
            return;
        const uint32_t nameLength = ReadLe16(head + 4);
        const int dataType = static_cast<int>(ReadLe16(head + 6));
        const uint32_t dataLength = ReadLe32(head + 8);
        const int64_t data = at + 12 + nameLength;
        if (data > object.End() || int64_t(dataLength) > object.End() - data)
            return;
        std::vector<uint8_t> name(nameLength);
        if (nameLength != 0 && !ReadAt(stream, at + 12, name.data(), static_cast<int>(nameLength)))
            return;
        const std::string ascii = AsciiName(name);
        const int fieldsBefore = m_fields->Count();
        if (dataLength >= 1 && dataLength <= kMaxLibraryValue)
            ReadAttribute(stream, ascii, dataType, data, dataLength);
        SettleRecord(stream, at, data + dataLength - at, ascii, fieldsBefore, true);
        at = data + dataLength;
    }
}

void AsfTagFormat::ReadHeaderExtension(TagStream *stream, const Object &object)
{
    uint8_t word[4];
    if (object.size < 46 || !ReadAt(stream, object.Body() + 18, word, 4))
        return;
    const int64_t end = object.offset + 46 + std::min<int64_t>(ReadLe32(word), object.size - 46);
    Object child;
    for (int64_t at = object.offset + 46; ReadObject(stream, at, end, &child); at = child.End()) {
        if (IsGuid(child.guid, kMetadataLibrary))
            ReadMetadataLibrary(stream, child);
    }
}

int AsfTagFormat::LoadStream()
{
    TagBufferedStream buffered(m_stream);
    uint8_t head[30];
    if (!ReadAt(&buffered, 0, head, 30) || !IsGuid(head, kHeader))
        return -1;
    const uint64_t size = ReadLe64(head + 16);
    const uint32_t count = ReadLe32(head + 24);
    // The header is read and rebuilt whole, so it must lie within the stream.
    if (size < 30 || count == 0 || size > uint64_t(buffered.Size()))
        return -1;
    m_headerSize = static_cast<int64_t>(size);
    m_objectCount = count;
    Object object;
    int64_t at = 30;
    bool extensionRead = false;
    for (uint32_t i = 0; i < count && ReadObject(&buffered, at, m_headerSize, &object); ++i, at = object.End()) {
        if (IsGuid(object.guid, kContentDescription)) {
            ReadContentDescription(&buffered, object);
        } else if (IsGuid(object.guid, kExtendedContent)) {
            ReadExtendedContent(&buffered, object);
        } else if (IsGuid(object.guid, kHeaderExtension) && !extensionRead) {
            // A save rebuilds only the first; any other is copied as it is.
            ReadHeaderExtension(&buffered, object);
            extensionRead = true;
        }
    }
    return 0;
}

bool AsfTagFormat::CopyOldObjects(TagByteBuffer *out, uint32_t *count, int64_t *fileProperties, Object *extension)
{
    Object object;
    int64_t at = 30;
    std::vector<uint8_t> bytes;
    for (uint32_t i = 0; i < m_objectCount && ReadObject(m_stream, at, m_headerSize, &object); ++i, at = object.End()) {
        if (IsGuid(object.guid, kContentDescription) || IsGuid(object.guid, kExtendedContent))
            continue;
        if (IsGuid(object.guid, kHeaderExtension) && extension->size == 0) {
            *extension = object;
            continue;
        }
        // An object that cannot be read whole would leave the rebuilt header without it.
        if (object.size > INT32_MAX)
            return false;
        bytes.resize(static_cast<size_t>(object.size));
        if (!ReadAt(m_stream, object.offset, bytes.data(), static_cast<int>(object.size)))
            return false;
        if (IsGuid(object.guid, kFileProperties) && object.size >= 48 && *fileProperties < 0)
            *fileProperties = static_cast<int64_t>(out->Size());
        out->PutBytes(bytes.data(), bytes.size());
        ++*count;
    }
    return true;
}

void AsfTagFormat::PutContentDescription(TagByteBuffer *out, uint32_t *count, int64_t *written) const
{
    std::string texts[4];
    bool any = false;
    TagField storage;
    for (int i = 0; i < 4; ++i) {
        const TagField *field = FirstFieldOfKind(m_fields.get(), kDescriptionKinds[i], &storage);
        if (field) {
            texts[i] = Utf16Text(static_cast<const wchar_t *>(field->data));
            any = any || texts[i].size() > 2;
        }
    }
    if (!any)
        return;
    const size_t start = out->Size();
    PutObjectHead(out, kContentDescription, 0);
    for (const std::string &text : texts)
        out->PutLe16(static_cast<uint32_t>(text.size()));
    out->PutLe16(0);
    for (const std::string &text : texts)
        out->PutBytes(text.data(), text.size());
    SetLe64At(out, start + 16, out->Size() - start);
    *written += static_cast<int64_t>(out->Size() - start);
    ++*count;
}

bool AsfTagFormat::HasOriginal(const TagField &field) const
{
    std::vector<bool> used(m_originals.size());
    return UnusedOriginal(field, &used) != nullptr;
}

const AsfTagFormat::Original *AsfTagFormat::UnusedOriginal(const TagField &field, std::vector<bool> *used) const
{
    for (size_t i = 0; i < m_originals.size(); ++i) {
        const Original &original = m_originals[i];
        if (!(*used)[i] && original.kind == field.kind && original.valueType == field.valueType
            && original.value.size() == field.length
            && std::memcmp(original.value.data(), field.data, field.length) == 0) {
            (*used)[i] = true;
            return &original;
        }
    }
    return nullptr;
}

void AsfTagFormat::CollectAttributes(Records *extended, Records *library) const
{
    std::vector<bool> used(m_originals.size());
    for (int i = 0; i < m_fields->Count(); ++i) {
        const TagField field = m_fields->GetAt(i);
        const char *name = NameOf(field.kind);
        if (!name)
            continue;
        if (const Original *original = UnusedOriginal(field, &used)) {
            (original->inLibrary ? library : extended)->Add(original->record);
            continue;
        }
        const bool picture = field.kind == TagKindPicture;
        const std::string value = picture ? PictureValue(field) : Utf16Text(static_cast<const wchar_t *>(field.data));
        const int valueType = picture ? kBytesValue : kStringValue;
        // A value too large for a descriptor's 16-bit length goes into the Metadata Library.
        if (value.size() < 0x10000)
            extended->Add(DescriptorRecord(WideName(name), valueType, value));
        else
            library->Add(LibraryRecord(WideName(name), valueType, value));
    }
    extended->Add(m_keptDescriptors);
    library->Add(m_keptLibraryRecords);
}

bool AsfTagFormat::PutExtendedContent(TagByteBuffer *out, uint32_t *count, int64_t *written,
                                      const Records &descriptors) const
{
    if (descriptors.count == 0)
        return true;
    const size_t start = out->Size();
    if (!PutRecordObject(out, kExtendedContent, descriptors.bytes, descriptors.count))
        return false;
    *written += static_cast<int64_t>(out->Size() - start);
    ++*count;
    return true;
}

bool AsfTagFormat::PutHeaderExtension(TagByteBuffer *out, uint32_t *count, int64_t *written, const Object &old,
                                      const Records &library)
{
    const bool hadOne = old.size >= 46;
    uint8_t reserved[18];
    if (hadOne) {
        if (!ReadAt(m_stream, old.Body(), reserved, 18))
            return false;
    } else {
        std::memcpy(reserved, kExtensionReserved.bytes, 16);
        reserved[16] = 6;
        reserved[17] = 0;
    }
    if (!hadOne && library.count == 0)
        return true;
    const size_t start = out->Size();
    PutObjectHead(out, kHeaderExtension, 0);
    out->PutBytes(reserved, 18);
    out->PutLe32(0);
    if (hadOne) {
        uint8_t word[4];
        if (!ReadAt(m_stream, old.Body() + 18, word, 4))
            return false;
        const int64_t end = old.offset + 46 + std::min<int64_t>(ReadLe32(word), old.size - 46);
        Object child;
        std::string bytes;
        for (int64_t at = old.offset + 46; ReadObject(m_stream, at, end, &child); at = child.End()) {
            if (IsGuid(child.guid, kMetadataLibrary))
                continue;
            if (!ReadBytes(m_stream, child.offset, child.size, &bytes))
                return false;
            out->PutBytes(bytes.data(), bytes.size());
        }
    }
    if (library.count != 0) {
        const size_t libraryStart = out->Size();
        if (!PutRecordObject(out, kMetadataLibrary, library.bytes, library.count))
            return false;
        *written += static_cast<int64_t>(out->Size() - libraryStart);
    }
    // The extension is kept even when empty: readers expect the header to carry one.
    const uint64_t dataSize = out->Size() - start - 46;
    if (dataSize > UINT32_MAX)
        return false;
    SetLe64At(out, start + 16, out->Size() - start);
    out->SetLe32At(start + 42, static_cast<uint32_t>(dataSize));
    ++*count;
    return true;
}

int AsfTagFormat::Save()
{
    if (!m_stream || !m_fields)
        return -1;
    try {
        // A picture read from the file goes back as it was, even in a format not written anew.
        SelectWritableFields([this](const TagField &field) { return Writable(field) || HasOriginal(field); });
        if (m_fields->Count() == 0 && m_metadataSize == 0)
            return 1;
        if (m_stream->Seek(0) != 0)
            return -1;
        TagByteBuffer header;
        uint8_t head[30];
        if (ReadAt(m_stream, 0, head, 30)) {
            header.PutBytes(head, 30);
        } else {
            PutObjectHead(&header, kHeader, static_cast<uint64_t>(m_headerSize));
            header.PutLe32(m_objectCount);
            header.PutByte(1);
            header.PutByte(2);
        }
        uint32_t count = 0;
        int64_t fileProperties = -1;
        int64_t metadata = 0;
        Object extension;
        if (!CopyOldObjects(&header, &count, &fileProperties, &extension))
            return -1;
        Records descriptors;
        Records library;
        CollectAttributes(&descriptors, &library);
        PutContentDescription(&header, &count, &metadata);
        if (!PutExtendedContent(&header, &count, &metadata, descriptors)
            || !PutHeaderExtension(&header, &count, &metadata, extension, library) || header.Size() > INT32_MAX)
            return -1;
        const int64_t size = static_cast<int64_t>(header.Size());
        SetLe64At(&header, 16, static_cast<uint64_t>(size));
        header.SetLe32At(24, count);
        // The file's real new size: other writers leave a stale value behind, which adding
        // the change to would carry on (or wrap below zero).
        const int64_t fileSize = m_stream->Size();
        if (fileProperties >= 0 && fileSize >= m_headerSize)
            SetLe64At(&header, static_cast<size_t>(fileProperties) + 40, static_cast<uint64_t>(fileSize - m_headerSize + size));
        if (!WriteRegion(0, m_headerSize, std::string(reinterpret_cast<const char *>(header.Data()), header.Size())))
            return -1;
        m_headerSize = size;
        m_objectCount = count;
        m_metadataSize = metadata;
        return 0;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
