#include "vorbiscomments.h"

#include "tagbase64.h"
#include "tagbytebuffer.h"
#include "tagfieldset.h"
#include "tagimage.h"
#include "tagstream.h"
#include "tagtext.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <map>
#include <strings.h>
#include <vector>

namespace {

constexpr uint32_t kMaxValue = 0x800000;
constexpr int kMaxKey = 32;
const char kPictureKey[] = "METADATA_BLOCK_PICTURE";

struct KeyKind
{
    const char *key;
    int kind;
};

// Reading order matters only for writing: the first key of a kind is the one written.
const KeyKind kKeys[] = {
    {"TITLE", TagKindTitle}, {"ARTIST", TagKindArtist}, {"ALBUM", TagKindAlbum},
    {"GENRE", TagKindGenre}, {"DATE", TagKindYear}, {"YEAR", TagKindYear},
    {"TRACKNUMBER", TagKindTrack}, {"COMMENT", TagKindComment}, {"DESCRIPTION", TagKindComment},
    {"COPYRIGHT", TagKindCopyright}, {"LYRICIST", TagKindLyrics}, {kPictureKey, TagKindPicture},
    {"AUTHOR", TagKindArtist}, {"PERFORMER", TagKindArtist}, {"ALBUMARTIST", TagKindAlbumArtist},
    {"COMPOSER", TagKindComposer}, {"GROUPING", TagKindGrouping}, {"DISCNUMBER", TagKindDisc},
};

// Totals travel in comments of their own beside the track and disc numbers.
struct TotalKey
{
    const char *key;
    const char *alias;
    int kind;
};

const TotalKey kTotals[] = {
    {"TRACKTOTAL", "TOTALTRACKS", TagKindTrack},
    {"DISCTOTAL", "TOTALDISCS", TagKindDisc},
};

const TotalKey *TotalOfKey(const std::string &key)
{
    for (const TotalKey &total : kTotals) {
        if (strcasecmp(total.key, key.c_str()) == 0 || strcasecmp(total.alias, key.c_str()) == 0)
            return &total;
    }
    return nullptr;
}

const TotalKey *TotalOfKind(int kind)
{
    for (const TotalKey &total : kTotals) {
        if (total.kind == kind)
            return &total;
    }
    return nullptr;
}

// Pending totals by kind, read before or after their numbers.
using Totals = std::map<int, std::string>;

// Joins each total to the first number of its kind as "3/12".
void MergeTotals(TagFieldSet *set, const Totals &totals)
{
    for (const auto &pending : totals) {
        int index = 0;
        while (index < set->Count() && set->GetAt(index).kind != pending.first)
            ++index;
        if (index == set->Count())
            continue;
        const TagField number = set->GetAt(index);
        std::wstring joined(static_cast<const wchar_t *>(number.data));
        if (joined.find(L'/') != std::wstring::npos)
            continue;
        std::wstring total;
        if (!TagText::Decode(pending.second.c_str(), TagFieldSet::Utf8, &total))
            continue;
        joined += L'/' + total;
        set->SetAt(index, TagField{number.slot, number.kind, TagValueText, static_cast<uint32_t>(4 * joined.size()),
                                   &joined[0]});
    }
}

int KindOfKey(const std::string &key)
{
    for (const KeyKind &entry : kKeys) {
        if (strcasecmp(entry.key, key.c_str()) == 0)
            return entry.kind;
    }
    return -1;
}

const char *KeyOfKind(int kind)
{
    for (const KeyKind &entry : kKeys) {
        if (entry.kind == kind)
            return entry.key;
    }
    return nullptr;
}

const char *DefaultVendor(int slot)
{
    if (slot == TagSlotFlac)
        return "reference libFLAC 1.2.1 20070917";
    if (slot == TagSlotOgg)
        return "Xiph.Org libVorbis I 20120203 (Omnipresent)";
    return "libnone";
}

// Takes the image out of a decoded FLAC picture block and adds it.
void AddPictureBlock(TagFieldSet *set, int slot, const uint8_t *block, uint64_t size)
{
    if (size < 8)
        return;
    uint64_t pos = 4;
    const uint64_t mimeLength = ReadBe32(block + pos);
    pos += 4;
    if (mimeLength > size - pos || size - pos - mimeLength < 4)
        return;
    pos += mimeLength;
    const uint64_t descriptionLength = ReadBe32(block + pos);
    pos += 4;
    if (descriptionLength > size - pos || size - pos - descriptionLength < 20)
        return;
    pos += descriptionLength + 16;
    const uint64_t declared = ReadBe32(block + pos);
    pos += 4;
    const uint64_t length = std::min(size - pos, declared);
    if (length != 0)
        set->AddBinary(slot, TagKindPicture, static_cast<uint32_t>(length), block + pos);
}

// One comment's text (key=value, not terminated). A comment of no known key, or without "=",
// goes to `kept` as it is, so that a rebuilt block carries it again; one of a known key with an
// empty value carries nothing.
void AddComment(TagFieldSet *set, KeptComments *kept, Totals *totals, int slot, const uint8_t *text,
                uint32_t length)
{
    const uint8_t *equals = length == 0 ? nullptr : static_cast<const uint8_t *>(std::memchr(text, '=', length));
    const size_t keyLength = equals ? static_cast<size_t>(equals - text) : length;
    const std::string key(reinterpret_cast<const char *>(text), std::min<size_t>(keyLength, kMaxKey));
    const TotalKey *total = equals ? TotalOfKey(key) : nullptr;
    // A total is read into its number's field and stays as its own comment as well.
    if (total && length - keyLength - 1 <= kMaxKey)
        (*totals)[total->kind].assign(reinterpret_cast<const char *>(equals + 1), length - keyLength - 1);
    const int kind = equals ? KindOfKey(key) : -1;
    if (kind < 0) {
        if (kept)
            kept->emplace_back(reinterpret_cast<const char *>(text), length);
        return;
    }
    const uint32_t valueLength = length - static_cast<uint32_t>(keyLength) - 1;
    if (valueLength == 0 || valueLength > kMaxValue)
        return;
    const uint8_t *value = equals + 1;
    if (kind == TagKindPicture) {
        std::vector<uint8_t> decoded(valueLength);
        const int size = Base64Decode(reinterpret_cast<const char *>(value), static_cast<int>(valueLength),
                                      decoded.data(), static_cast<int>(valueLength));
        if (size > 0)
            AddPictureBlock(set, slot, decoded.data(), static_cast<uint64_t>(size));
        return;
    }
    const std::string copy(reinterpret_cast<const char *>(value), valueLength);
    set->AddText(slot, kind, TagFieldSet::Utf8, copy.c_str());
}

template<typename Fetch>
int ParseCommentList(TagFieldSet *set, KeptComments *kept, Totals *totals, int slot, uint64_t length,
                     uint64_t start, uint32_t count, Fetch fetch)
{
    uint64_t end = start;
    for (uint32_t n = 0; n < count; ++n) {
        uint8_t word[4];
        if (end + 4 > length || !fetch(end, word, 4))
            return 0;
        const uint32_t commentLength = ReadLe32(word);
        if (commentLength > length - end - 4)
            return 0;
        std::vector<uint8_t> text(commentLength);
        if (commentLength != 0 && !fetch(end + 4, text.data(), commentLength))
            return 0;
        AddComment(set, kept, totals, slot, text.data(), commentLength);
        end += 4 + uint64_t(commentLength);
    }
    return 0;
}

// Reads comments through a callback that fetches `length` bytes at a block offset.
template<typename Fetch>
int ParseComments(TagFieldSet *set, KeptComments *kept, int slot, uint64_t length, uint64_t start, uint32_t count,
                  Fetch fetch)
{
    Totals totals;
    const int result = ParseCommentList(set, kept, &totals, slot, length, start, count, fetch);
    MergeTotals(set, totals);
    return result;
}

void PutPictureBlock(TagByteBuffer *block, const TagField &field)
{
    const uint8_t *data = static_cast<const uint8_t *>(field.data);
    const TagImageInfo image = SniffTagImage(data, field.length);
    block->PutBe32(3);
    block->PutBe32(static_cast<uint32_t>(std::strlen(image.mime)));
    block->PutText(image.mime);
    block->PutBe32(0);
    block->PutBe32(image.width);
    block->PutBe32(image.height);
    block->PutBe32(image.depth);
    block->PutBe32(0);
    block->PutBe32(field.length);
    block->PutBytes(data, field.length);
}

// Appends one comment when it fits the capacity left.
bool PutComment(TagByteBuffer *out, const char *key, const uint8_t *value, size_t valueLength, size_t capacity)
{
    const size_t keyLength = std::strlen(key);
    const uint64_t commentLength = keyLength + 1 + uint64_t(valueLength);
    if (commentLength > UINT32_MAX || out->Size() + 4 + commentLength > capacity)
        return false;
    out->PutLe32(static_cast<uint32_t>(commentLength));
    out->PutText(key);
    out->PutByte('=');
    out->PutBytes(value, valueLength);
    return true;
}

bool PutTextComment(TagByteBuffer *out, const char *key, const std::wstring &text, size_t capacity)
{
    std::unique_ptr<char[]> utf8(TagFieldSet::ConvertText(text.c_str(), TagFieldSet::Utf8));
    if (!utf8)
        return false;
    return PutComment(out, key, reinterpret_cast<const uint8_t *>(utf8.get()), std::strlen(utf8.get()), capacity);
}

// Where the kept comments hold the total of the kind, or -1.
int KeptTotalIndex(const KeptComments &kept, int kind)
{
    const TotalKey *total = TotalOfKind(kind);
    for (size_t i = 0; total && i < kept.size(); ++i) {
        const std::string key = kept[i].substr(0, kept[i].find('='));
        if (TotalOfKey(key) == total)
            return static_cast<int>(i);
    }
    return -1;
}

// A track or disc "3/12" of a block that carries its total in a comment of its own is written
// the same way: the number here, the total into that comment of `kept`.
bool PutTextField(TagByteBuffer *out, const TagField &field, size_t capacity, KeptComments *kept)
{
    std::wstring text(static_cast<const wchar_t *>(field.data));
    const size_t slash = text.find(L'/');
    const int totalAt = slash == std::wstring::npos ? -1 : KeptTotalIndex(*kept, field.kind);
    if (totalAt >= 0) {
        std::string &comment = (*kept)[static_cast<size_t>(totalAt)];
        std::string total;
        if (TagText::Encode(text.c_str() + slash + 1, TagFieldSet::Utf8, &total)) {
            total.pop_back();
            comment = comment.substr(0, comment.find('=') + 1) + total;
            text.resize(slash);
        }
    }
    return PutTextComment(out, KeyOfKind(field.kind), text, capacity);
}

bool PutPictureComment(TagByteBuffer *out, const TagField &field, size_t capacity)
{
    TagByteBuffer block;
    PutPictureBlock(&block, field);
    const uint64_t encodedLength = (block.Size() + 2) / 3 * 4;
    if (block.Size() > INT32_MAX / 2 || out->Size() + 4 + sizeof kPictureKey + encodedLength > capacity)
        return false;
    std::vector<char> encoded(static_cast<size_t>(encodedLength) + 4);
    const int written = Base64Encode(block.Data(), static_cast<int>(block.Size()), encoded.data(),
                                     static_cast<int>(encoded.size()));
    return written > 0
        && PutComment(out, kPictureKey, reinterpret_cast<const uint8_t *>(encoded.data()), static_cast<size_t>(written), capacity);
}

} // namespace

int ParseVorbisComments(TagFieldSet *set, TagStream *stream, int slot, int length, KeptComments *kept)
{
    if (!set || !stream || length < 4)
        return -1;
    try {
        const int64_t blockStart = stream->Tell();
        uint8_t word[4];
        if (blockStart < 0 || stream->Read(word, 4) != 4)
            return -1;
        const uint64_t vendorLength = ReadLe32(word);
        if (vendorLength + 8 > uint64_t(length))
            return -1;
        const int64_t countAt = blockStart + 4 + int64_t(vendorLength);
        if (stream->Seek(countAt) != countAt || stream->Read(word, 4) != 4)
            return -1;
        auto fetch = [stream, blockStart](uint64_t offset, uint8_t *buffer, uint32_t count) {
            const int64_t at = blockStart + int64_t(offset);
            return stream->Seek(at) == at && stream->Read(buffer, static_cast<int>(count)) == static_cast<int>(count);
        };
        return ParseComments(set, kept, slot, uint64_t(length), vendorLength + 8, ReadLe32(word), fetch);
    } catch (const std::bad_alloc &) {
        return 0;
    }
}

int ParseVorbisCommentBuffer(TagFieldSet *set, const uint8_t *block, int slot, int length, KeptComments *kept)
{
    if (!set || !block || length < 4)
        return -1;
    const uint64_t vendorLength = ReadLe32(block);
    if (vendorLength + 8 > uint64_t(length))
        return -1;
    try {
        auto fetch = [block](uint64_t offset, uint8_t *buffer, uint32_t count) {
            std::memcpy(buffer, block + offset, count);
            return true;
        };
        return ParseComments(set, kept, slot, uint64_t(length), vendorLength + 8, ReadLe32(block + vendorLength + 4),
                             fetch);
    } catch (const std::bad_alloc &) {
        return 0;
    }
}

int BuildVorbisComments(TagFieldSet *set, uint8_t *buffer, int slot, int capacity, const KeptComments &kept)
{
    if (!set || !buffer || capacity < 4)
        return -1;
    try {
        TagByteBuffer out;
        const uint32_t existing = ReadLe32(buffer);
        if (existing != 0) {
            if (uint64_t(existing) + 8 > uint64_t(capacity))
                return -1;
            out.PutBytes(buffer, 4 + size_t(existing));
        } else {
            const char *vendor = DefaultVendor(slot);
            const size_t vendorLength = std::strlen(vendor);
            if (8 + vendorLength > size_t(capacity))
                return -1;
            out.PutLe32(static_cast<uint32_t>(vendorLength));
            out.PutText(vendor);
        }
        const size_t countAt = out.Size();
        out.PutLe32(0);
        uint32_t written = 0;
        KeptComments keptOut = kept;
        for (int i = 0; i < set->Count(); ++i) {
            const TagField field = set->GetAt(i);
            if (field.kind < 0 || !KeyOfKind(field.kind) || field.length == 0)
                continue;
            if (field.kind == TagKindPicture)
                written += slot != TagSlotFlac && field.valueType == TagValueBinary
                        && PutPictureComment(&out, field, size_t(capacity)) ? 1 : 0;
            else if (field.valueType == TagValueText)
                written += PutTextField(&out, field, size_t(capacity), &keptOut) ? 1 : 0;
        }
        for (const std::string &comment : keptOut) {
            if (out.Size() + 4 + comment.size() > size_t(capacity))
                continue;
            out.PutLe32(static_cast<uint32_t>(comment.size()));
            out.PutBytes(comment.data(), comment.size());
            ++written;
        }
        out.SetLe32At(countAt, written);
        std::memcpy(buffer, out.Data(), out.Size());
        return static_cast<int>(out.Size());
    } catch (const std::bad_alloc &) {
        return -1;
    }
}

uint64_t KeptCommentBytes(const KeptComments &kept)
{
    uint64_t bytes = 0;
    for (const std::string &comment : kept)
        bytes += 4 + uint64_t(comment.size());
    return bytes;
}
