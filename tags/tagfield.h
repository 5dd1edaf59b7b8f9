#pragma once

#include <cstdint>

static_assert(sizeof(wchar_t) == 4, "tag text is UTF-32 in wchar_t");

// Tag slots: which tag type a handler serves and a field belongs to.
enum TagSlot {
    TagSlotNone = -1,
    TagSlotId3v1 = 0,
    TagSlotId3v2 = 1,
    TagSlotRiffInfo = 2,
    TagSlotAsf = 3,
    TagSlotMp4 = 4,
    TagSlotOgg = 5,
    TagSlotApe = 6,
    TagSlotFlac = 7,
    TagSlotCount = 8
};

// What a field means, shared by every tag format.
enum TagKind {
    TagKindTitle = 0,
    TagKindArtist = 1,
    TagKindAlbum = 2,
    TagKindGenre = 3,
    TagKindYear = 4,
    TagKindTrack = 5,
    TagKindComment = 6,
    TagKindCopyright = 7,
    TagKindLyrics = 8,
    TagKindPicture = 9,
    TagKindAlbumArtist = 10,
    TagKindComposer = 11,
    TagKindGrouping = 12,
    TagKindDisc = 13,
    TagKindCount = 14
};

enum TagValueType { TagValueText = 0, TagValueBinary = 1 };

// One tag value, passed by value. Text is zero-terminated UTF-32 in wchar_t and length counts
// four bytes per character without the terminator; binary is raw bytes (a whole image file
// for a picture).
struct TagField
{
    int32_t slot;
    int32_t kind;
    int32_t valueType;
    uint32_t length;
    void *data;
};

inline TagField EmptyTagField()
{
    return TagField{-1, -1, -1, 0, nullptr};
}
