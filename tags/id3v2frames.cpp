#include "id3v2frames.h"

#include "tagfieldset.h"

#include <cstring>
#include <strings.h>
#include <vector>

namespace {

constexpr size_t kMaxValue = 0x800000;

struct FrameKind
{
    const char *id;
    int kind;
};

const FrameKind kFrames[] = {
    {"TIT2", TagKindTitle}, {"TPE1", TagKindArtist}, {"TALB", TagKindAlbum}, {"TCON", TagKindGenre},
    {"TYER", TagKindYear}, {"TDRC", TagKindYear}, {"TRCK", TagKindTrack}, {"COMM", TagKindComment},
    {"TCOP", TagKindCopyright}, {"USLT", TagKindLyrics}, {"APIC", TagKindPicture}, {"GEOB", TagKindPicture},
    {"TPE2", TagKindAlbumArtist}, {"TCOM", TagKindComposer}, {"TPOS", TagKindDisc},
    {"TT2", TagKindTitle}, {"TP1", TagKindArtist}, {"TAL", TagKindAlbum}, {"TCO", TagKindGenre},
    {"TYE", TagKindYear}, {"TRK", TagKindTrack}, {"COM", TagKindComment}, {"TCR", TagKindCopyright},
    {"ULT", TagKindLyrics}, {"PIC", TagKindPicture}, {"GEO", TagKindPicture}, {"TP2", TagKindAlbumArtist},
    {"TCM", TagKindComposer}, {"TPA", TagKindDisc},
};

size_t UnitWidth(uint8_t encoding)
{
    return encoding == 1 || encoding == 2 ? 2 : 1;
}

// Offset just behind the terminator of a string starting at `at`, or 0 when none lies
// before the end.
size_t SkipTerminated(const uint8_t *body, size_t size, size_t at, size_t width)
{
    for (size_t p = at; p + width <= size; p += width) {
        if (body[p] == 0 && (width == 1 || body[p + 1] == 0))
            return p + width;
    }
    return 0;
}

int TextCode(uint8_t encoding, const uint8_t *text, size_t length)
{
    const bool feff = length >= 2 && text[0] == 0xFE && text[1] == 0xFF;
    const bool fffe = length >= 2 && text[0] == 0xFF && text[1] == 0xFE;
    switch (encoding) {
    case 0:
        return TagFieldSet::Latin1;
    case 1:
        return feff ? TagFieldSet::Utf16Be : fffe ? TagFieldSet::Utf16Le : TagFieldSet::Detect;
    case 2:
        return TagFieldSet::Utf16Be;
    case 3:
        return TagFieldSet::Utf8;
    default:
        return TagFieldSet::Detect;
    }
}

void AddText(TagFieldSet *set, int kind, uint8_t encoding, const uint8_t *text, size_t length)
{
    if (length == 0 || length > kMaxValue)
        return;
    int code = TextCode(encoding, text, length);
    size_t skip = 0;
    if (length >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) {
        code = TagFieldSet::Utf8;
        skip = 3;
    } else if (length >= 2 && text[0] == 0xFE && text[1] == 0xFF) {
        code = TagFieldSet::Utf16Be;
        skip = 2;
    } else if (length >= 2 && text[0] == 0xFF && text[1] == 0xFE) {
        code = TagFieldSet::Utf16Le;
        skip = 2;
    }
    std::vector<uint8_t> copy(text + skip, text + length);
    copy.resize(copy.size() + 4, 0);
    set->AddText(TagSlotId3v2, kind, code, copy.data());
}

bool HasByteOrderMark(const uint8_t *text)
{
    return (text[0] == 0xFF && text[1] == 0xFE) || (text[0] == 0xFE && text[1] == 0xFF);
}

// A text frame may hold several values, each terminated; every value becomes a field of the
// kind. UTF-16 values without a byte-order mark of their own take the first value's.
void AddTextValues(TagFieldSet *set, int kind, uint8_t encoding, const uint8_t *text, size_t length)
{
    const size_t width = UnitWidth(encoding);
    const bool firstMarked = length >= 2 && HasByteOrderMark(text);
    std::vector<uint8_t> marked;
    for (size_t start = 0; start < length && set->Count() < TagFieldSet::kMaxFields;) {
        const size_t next = SkipTerminated(text, length, start, width);
        const size_t end = next != 0 ? next - width : length;
        const uint8_t *value = text + start;
        if (encoding == 1 && start != 0 && firstMarked && !(end - start >= 2 && HasByteOrderMark(value))) {
            marked.assign(text, text + 2);
            marked.insert(marked.end(), value, text + end);
            AddText(set, kind, encoding, marked.data(), marked.size());
        } else {
            AddText(set, kind, encoding, value, end - start);
        }
        if (next == 0)
            break;
        start = next;
    }
}

void AddPicture(TagFieldSet *set, const uint8_t *body, size_t size, size_t at)
{
    if (at == 0 || at >= size || size - at > kMaxValue)
        return;
    set->AddBinary(TagSlotId3v2, TagKindPicture, static_cast<uint32_t>(size - at), body + at);
}

void AddAttachedPicture(TagFieldSet *set, bool threeLetter, const uint8_t *body, size_t size)
{
    const size_t width = UnitWidth(body[0]);
    size_t at = 1;
    if (threeLetter) {
        if (size - 1 < 3)
            return;
        at += 3;
    } else {
        at = SkipTerminated(body, size, at, 1);
        if (at == 0)
            return;
    }
    if (at >= size)
        return;
    AddPicture(set, body, size, SkipTerminated(body, size, at + 1, width));
}

void AddEncapsulatedPicture(TagFieldSet *set, const uint8_t *body, size_t size)
{
    const size_t width = UnitWidth(body[0]);
    if (size - 1 < 6 || strncasecmp(reinterpret_cast<const char *>(body + 1), "image/", 6) != 0)
        return;
    size_t at = SkipTerminated(body, size, 7, 1);
    if (at != 0)
        at = SkipTerminated(body, size, at, width);
    if (at != 0)
        at = SkipTerminated(body, size, at, width);
    AddPicture(set, body, size, at);
}

void AddCommentFrame(TagFieldSet *set, int kind, const uint8_t *body, size_t size)
{
    if (size - 1 < 3)
        return;
    const size_t text = SkipTerminated(body, size, 4, UnitWidth(body[0]));
    if (text != 0)
        AddText(set, kind, body[0], body + text, size - text);
}

} // namespace

namespace Id3v2Frames {

int KindOfFrame(const char *id, int idLength)
{
    for (const FrameKind &frame : kFrames) {
        if (static_cast<int>(std::strlen(frame.id)) == idLength && std::memcmp(frame.id, id, idLength) == 0)
            return frame.kind;
    }
    return -1;
}

void AddFrame(TagFieldSet *set, const char *id, int idLength, const uint8_t *body, size_t size)
{
    const int kind = KindOfFrame(id, idLength);
    if (kind < 0 || size == 0)
        return;
    if (kind == TagKindPicture) {
        if (std::memcmp(id, "GEO", 3) == 0)
            AddEncapsulatedPicture(set, body, size);
        else
            AddAttachedPicture(set, idLength == 3, body, size);
    } else if (kind == TagKindComment || kind == TagKindLyrics) {
        AddCommentFrame(set, kind, body, size);
    } else {
        AddTextValues(set, kind, body[0], body + 1, size - 1);
    }
}

} // namespace Id3v2Frames
