#pragma once

#include "tagfield.h"

#include <vector>

// The fields one tag handler parsed or is to write, plus the library's shared text services:
// conversion between on-disk encodings and UTF-32, genre names and numbers.
//
// Encodings: 0 detect (UTF-8 when valid, else 1; input only), 1 8-bit code page (GBK, or CP1252
// for texts whose only high characters are the copyright and registered signs), 2 UTF-8,
// 3 UTF-16LE, 4 UTF-16BE, 5 UTF-32 as is, 6 32-bit units with the first two bytes exchanged and
// the last two zeroed, 7 ISO-8859-1, 8 ISO-8859-1 with what it cannot hold transliterated
// (output only). 16-bit texts are real UTF-16 (surrogate pairs).
class TagFieldSet
{
public:
    enum Encoding { Detect = 0, CodePage = 1, Utf8 = 2, Utf16Le = 3, Utf16Be = 4, Utf32 = 5, Swapped = 6,
                    Latin1 = 7, Latin1Lossy = 8 };

    static constexpr int kGenreCount = 148;
    // Bounds on what a hostile file can make one handler hold.
    static constexpr int kMaxFields = 4096;
    static constexpr uint32_t kMaxValueBytes = 256u << 20;

    explicit TagFieldSet(int capacity);
    virtual ~TagFieldSet();
    TagFieldSet(const TagFieldSet &) = delete;
    TagFieldSet &operator=(const TagFieldSet &) = delete;

    int Clear();
    int Count() const { return static_cast<int>(m_records.size()); }
    int Capacity() const { return m_capacity; }
    TagField GetAt(int index) const;
    int SetAt(int index, const TagField &field);
    int Add(const TagField &field);
    int Add(int slot, int kind, int valueType, uint32_t length, const void *data);
    int AddText(int slot, int kind, int encoding, const void *text);
    int AddBinary(int slot, int kind, uint32_t length, const void *data);
    int AddGenre(int slot, int index);
    int AddTrackNumber(int slot, int number);
    int AddTrackNumber(int slot, int number, int total);
    int RemoveAt(int index);

    // A new[] buffer holding the text in the encoding (terminator included), or null.
    static char *ConvertText(const wchar_t *text, int encoding);
    static int FindGenre(const wchar_t *name);
    static const wchar_t *GenreName(int index);
    static int ParseNumber(const wchar_t *text);
    static const char *CurrentLanguageCode();

private:
    static bool CopyValue(const TagField &field, TagField *record);
    static void FreeValue(TagField *record);

    std::vector<TagField> m_records;
    int m_capacity;
};
