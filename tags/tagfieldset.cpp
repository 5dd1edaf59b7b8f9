#include "tagfieldset.h"

#include "tagtables.h"
#include "tagtext.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>
#include <string>

namespace {

char *NewValue(size_t bytes)
{
    char *value = static_cast<char *>(::operator new(bytes));
    std::memset(value, 0, bytes);
    return value;
}

// Cuts a language setting such as "de_DE.UTF-8@euro" to its language part.
std::string LanguagePart(const char *setting)
{
    std::string language(setting);
    const size_t cut = language.find_first_of("_.@");
    if (cut != std::string::npos)
        language.resize(cut);
    return language;
}

struct ValueDeleter
{
    void operator()(char *value) const { ::operator delete(value); }
};

} // namespace

TagFieldSet::TagFieldSet(int capacity)
    : m_capacity(capacity > 0 ? capacity : 1)
{
    m_records.reserve(static_cast<size_t>(m_capacity));
}

TagFieldSet::~TagFieldSet()
{
    Clear();
}

void TagFieldSet::FreeValue(TagField *record)
{
    ::operator delete(record->data);
    record->data = nullptr;
}

bool TagFieldSet::CopyValue(const TagField &field, TagField *record)
{
    if (field.length == 0 || field.length > kMaxValueBytes || !field.data)
        return false;
    // Seven spare zero bytes make every text end in a zero character, whatever its length.
    std::unique_ptr<char, ValueDeleter> value(NewValue(static_cast<size_t>(field.length) + 7));
    std::memcpy(value.get(), field.data, field.length);
    uint32_t length = field.length;
    if (field.valueType == TagValueText) {
        const wchar_t *text = reinterpret_cast<const wchar_t *>(value.get());
        if (field.kind == TagKindGenre) {
            const std::wstring expanded = TagText::ExpandGenreReferences(text);
            value.reset(NewValue(4 * (expanded.size() + 1)));
            std::memcpy(value.get(), expanded.data(), 4 * expanded.size());
            length = static_cast<uint32_t>(4 * expanded.size());
        } else {
            length = static_cast<uint32_t>(4 * std::wcslen(text));
        }
    }
    *record = field;
    record->length = length;
    record->data = value.release();
    return true;
}

int TagFieldSet::Clear()
{
    for (TagField &record : m_records)
        FreeValue(&record);
    m_records.clear();
    return 0;
}

TagField TagFieldSet::GetAt(int index) const
{
    if (index < 0 || index >= Count())
        return EmptyTagField();
    return m_records[static_cast<size_t>(index)];
}

int TagFieldSet::SetAt(int index, const TagField &field)
{
    if (index < 0 || index >= Count())
        return -1;
    try {
        TagField record;
        if (!CopyValue(field, &record))
            return -1;
        TagField &old = m_records[static_cast<size_t>(index)];
        FreeValue(&old);
        old = record;
        return 0;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}

int TagFieldSet::Add(const TagField &field)
{
    if (Count() >= kMaxFields)
        return -1;
    TagField record{};
    try {
        if (!CopyValue(field, &record))
            return -1;
        if (Count() == m_capacity) {
            m_records.reserve(static_cast<size_t>(m_capacity) * 2);
            m_capacity *= 2;
        }
        m_records.push_back(record);
        return 0;
    } catch (const std::bad_alloc &) {
        FreeValue(&record);
        return -1;
    }
}

int TagFieldSet::Add(int slot, int kind, int valueType, uint32_t length, const void *data)
{
    return Add(TagField{slot, kind, valueType, length, const_cast<void *>(data)});
}

int TagFieldSet::AddText(int slot, int kind, int encoding, const void *text)
{
    try {
        std::wstring wide;
        if (!TagText::Decode(text, encoding, &wide))
            return -1;
        return Add(slot, kind, TagValueText, static_cast<uint32_t>(4 * wide.size()), wide.c_str());
    } catch (const std::bad_alloc &) {
        return -1;
    }
}

int TagFieldSet::AddBinary(int slot, int kind, uint32_t length, const void *data)
{
    return Add(slot, kind, TagValueBinary, length, data);
}

int TagFieldSet::AddGenre(int slot, int index)
{
    if (index < 0 || index >= kGenreCount)
        return -1;
    return AddText(slot, TagKindGenre, Utf32, TagTables::kGenres[index]);
}

int TagFieldSet::AddTrackNumber(int slot, int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    return AddText(slot, TagKindTrack, CodePage, text);
}

int TagFieldSet::AddTrackNumber(int slot, int number, int total)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", number, total);
    return AddText(slot, TagKindTrack, CodePage, text);
}

int TagFieldSet::RemoveAt(int index)
{
    if (index < 0 || index >= Count())
        return -1;
    FreeValue(&m_records[static_cast<size_t>(index)]);
    m_records.erase(m_records.begin() + index);
    return 0;
}

char *TagFieldSet::ConvertText(const wchar_t *text, int encoding)
{
    if (!text || encoding < CodePage || encoding > Latin1Lossy)
        return nullptr;
    try {
        std::string bytes;
        if (!TagText::Encode(text, encoding, &bytes))
            return nullptr;
        char *result = new char[bytes.size()];
        std::memcpy(result, bytes.data(), bytes.size());
        return result;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

int TagFieldSet::FindGenre(const wchar_t *name)
{
    if (!name)
        return -1;
    for (int i = 0; i < kGenreCount; ++i) {
        if (wcscasecmp(TagTables::kGenres[i], name) == 0)
            return i;
    }
    return -1;
}

const wchar_t *TagFieldSet::GenreName(int index)
{
    return index >= 0 && index < kGenreCount ? TagTables::kGenres[index] : nullptr;
}

int TagFieldSet::ParseNumber(const wchar_t *text)
{
    if (!text)
        return -1;
    const long number = std::wcstol(text, nullptr, 10);
    if (number > INT32_MAX)
        return INT32_MAX;
    if (number < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(number);
}

const char *TagFieldSet::CurrentLanguageCode()
{
    const char *setting = nullptr;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value && *value) {
            setting = value;
            break;
        }
    }
    if (!setting)
        return nullptr;
    try {
        const std::string language = LanguagePart(setting);
        if (language.empty() || language.size() > 3 || language == "C" || language == "POSIX")
            return nullptr;
        return TagTables::LanguageCodeFor(language.c_str());
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
