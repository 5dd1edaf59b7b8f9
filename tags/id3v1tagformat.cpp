#include "id3v1tagformat.h"

#include "tagstream.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr int kRecordSize = 128;
constexpr int kCommentAt = 97;
constexpr int kVersionByte = 125;
constexpr int kTrackByte = 126;
constexpr int kGenreByte = 127;

struct TextArea
{
    int kind;
    int offset;
    int width;
};

const TextArea kAreas[] = {
    {TagKindTitle, 3, 30}, {TagKindArtist, 33, 30}, {TagKindAlbum, 63, 30}, {TagKindYear, 93, 4},
};

enum RecordState { Unreadable = -1, NoRecord = 0, HasRecord = 1 };

// Whether the stream ends in a record (filling it), or cannot be read.
RecordState FindRecord(TagStream *stream, int64_t size, unsigned char *record)
{
    if (size < kRecordSize)
        return size < 0 ? Unreadable : NoRecord;
    if (stream->Seek(size - kRecordSize) != size - kRecordSize || stream->Read(record, kRecordSize) != kRecordSize)
        return Unreadable;
    return std::memcmp(record, "TAG", 3) == 0 ? HasRecord : NoRecord;
}

void AddArea(TagFieldSet *set, int kind, const unsigned char *bytes, int width, bool trimTrailing)
{
    std::string text(reinterpret_cast<const char *>(bytes), static_cast<size_t>(width));
    text.resize(std::strlen(text.c_str()));
    if (trimTrailing) {
        while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
            text.pop_back();
    }
    set->AddText(TagSlotId3v1, kind, TagFieldSet::Latin1, text.c_str());
}

} // namespace

Id3v1TagFormat::Id3v1TagFormat(TagStream *stream, int *result)
{
    const int loaded = Load(stream);
    if (result)
        *result = loaded;
}

int Id3v1TagFormat::LoadStream()
{
    unsigned char record[kRecordSize];
    const RecordState state = FindRecord(m_stream, m_stream->Size(), record);
    if (state != HasRecord)
        return state == Unreadable ? -1 : 0;
    for (const TextArea &area : kAreas)
        AddArea(m_fields.get(), area.kind, record + area.offset, area.width, false);
    const bool version11 = record[kVersionByte] == 0;
    AddArea(m_fields.get(), TagKindComment, record + kCommentAt, version11 ? 28 : 30, true);
    if (version11 && record[kTrackByte] != 0)
        m_fields->AddTrackNumber(TagSlotId3v1, record[kTrackByte]);
    m_fields->AddGenre(TagSlotId3v1, record[kGenreByte]);
    return 0;
}

int Id3v1TagFormat::Save()
{
    if (!m_stream || !m_fields)
        return -1;
    try {
        const int64_t size = m_stream->Size();
        unsigned char old[kRecordSize];
        const RecordState state = FindRecord(m_stream, size, old);
        if (state == Unreadable)
            return -1;
        const bool hasRecord = state == HasRecord;

        unsigned char record[kRecordSize] = {'T', 'A', 'G'};
        record[kVersionByte] = 0x20;
        record[kGenreByte] = 255;
        SelectWritableFields([](const TagField &field) {
            return field.kind <= TagKindComment && field.valueType == TagValueText;
        }, FirstOfKind);
        for (int i = 0; i < m_fields->Count(); ++i) {
            const TagField field = m_fields->GetAt(i);
            const wchar_t *text = static_cast<const wchar_t *>(field.data);
            std::unique_ptr<char[]> bytes(TagFieldSet::ConvertText(text, TagFieldSet::Latin1Lossy));
            if (!bytes)
                continue;
            if (field.kind == TagKindGenre) {
                const int genre = TagFieldSet::FindGenre(text);
                record[kGenreByte] = static_cast<unsigned char>(genre >= 0 ? genre : 12);
                continue;
            }
            if (field.kind == TagKindTrack) {
                const int track = TagFieldSet::ParseNumber(text);
                if (track >= 1 && track <= 255) {
                    record[kTrackByte] = static_cast<unsigned char>(track);
                    record[kVersionByte] = 0;
                }
                continue;
            }
            int offset = kCommentAt;
            size_t width = record[kVersionByte] == 0 ? 28 : 30;
            for (const TextArea &area : kAreas) {
                if (area.kind == field.kind) {
                    offset = area.offset;
                    width = static_cast<size_t>(area.width);
                }
            }
            const size_t length = std::min(std::strlen(bytes.get()), width);
            std::memset(record + offset, field.kind == TagKindComment ? 0x20 : 0, width);
            std::memcpy(record + offset, bytes.get(), length);
        }
        if (m_fields->Count() == 0) {
            if (!hasRecord)
                return 1;
            return WriteRegion(size - kRecordSize, kRecordSize, std::string()) ? 0 : -1;
        }
        const int64_t at = hasRecord ? size - kRecordSize : size;
        if (record[124] == 0 && record[kVersionByte] == 0x20 && record[kTrackByte] == 0)
            record[kVersionByte] = 0;
        if (m_stream->Seek(at) != at || m_stream->Write(record, kRecordSize) != kRecordSize)
            return -1;
        return 0;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
