#include "tagtext.h"

#include "tagfieldset.h"
#include "tagtables.h"

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <iconv.h>

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Valid UTF-8 by lead and continuation bytes, four-byte sequences included.
bool LooksLikeUtf8(const unsigned char *text, size_t length)
{
    size_t i = 0;
    while (i < length) {
        const unsigned char lead = text[i];
        size_t follow;
        if (lead < 0x80)
            follow = 0;
        else if ((lead & 0xE0) == 0xC0)
            follow = 1;
        else if ((lead & 0xF0) == 0xE0)
            follow = 2;
        else if (lead >= 0xF0 && lead <= 0xF4)
            follow = 3;
        else
            return false;
        if (length - i <= follow)
            return false;
        for (size_t k = 1; k <= follow; ++k) {
            if (!IsContinuation(text[i + k]))
                return false;
        }
        i += follow + 1;
    }
    return true;
}

const char *InputCodePage(const unsigned char *text, size_t length)
{
    bool sawHigh = false;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] <= 0x7F)
            continue;
        if (text[i] != 0xA9 && text[i] != 0xAE)
            return "GBK";
        sawHigh = true;
    }
    return sawHigh ? "CP1252" : "GBK";
}

// Converts the whole input or fails; the output may not exceed capacity bytes.
bool Iconv(const char *from, const char *to, const char *input, size_t inputLength,
           size_t capacity, std::string *output)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    output->assign(capacity, '\0');
    char *in = const_cast<char *>(input);
    char *out = &(*output)[0];
    size_t inLeft = inputLength;
    size_t outLeft = capacity;
    const size_t result = iconv(cd, inputLength ? &in : nullptr, &inLeft, &out, &outLeft);
    const bool flushed = iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1) || inLeft != 0 || !flushed)
        return false;
    output->resize(capacity - outLeft);
    return true;
}

bool DecodeIconv(const char *from, const unsigned char *text, size_t length, std::wstring *wide)
{
    std::string utf32;
    if (!Iconv(from, "UTF-32LE", reinterpret_cast<const char *>(text), length, 4 * length + 4, &utf32))
        return false;
    wide->assign(utf32.size() / 4, L'\0');
    std::memcpy(&(*wide)[0], utf32.data(), wide->size() * 4);
    return true;
}

uint16_t Unit16(const unsigned char *p, bool bigEndian)
{
    return bigEndian ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
}

void DecodeUtf16(const unsigned char *text, bool bigEndian, std::wstring *wide)
{
    wide->clear();
    for (const unsigned char *p = text;; p += 2) {
        const uint16_t unit = Unit16(p, bigEndian);
        if (unit == 0)
            return;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const uint16_t low = Unit16(p + 2, bigEndian);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                wide->push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                p += 2;
                continue;
            }
            wide->push_back(kReplacement);
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            wide->push_back(kReplacement);
        } else {
            wide->push_back(static_cast<wchar_t>(unit));
        }
    }
}

void PutUnit16(std::string *bytes, uint32_t unit, bool bigEndian)
{
    const char hi = static_cast<char>(unit >> 8);
    const char lo = static_cast<char>(unit & 0xFF);
    bytes->push_back(bigEndian ? hi : lo);
    bytes->push_back(bigEndian ? lo : hi);
}

bool EncodeUtf16(const wchar_t *text, bool bigEndian, std::string *bytes)
{
    bytes->clear();
    for (const wchar_t *p = text; *p; ++p) {
        uint32_t c = static_cast<uint32_t>(*p);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = kReplacement;
        if (c >= 0x10000) {
            c -= 0x10000;
            PutUnit16(bytes, 0xD800 + (c >> 10), bigEndian);
            PutUnit16(bytes, 0xDC00 + (c & 0x3FF), bigEndian);
        } else {
            PutUnit16(bytes, c, bigEndian);
        }
    }
    PutUnit16(bytes, 0, bigEndian);
    return true;
}

uint32_t SwapUnit(uint32_t unit)
{
    return ((unit & 0xFF) << 8) | ((unit >> 8) & 0xFF);
}

bool OnlyCopyrightSignsAboveAscii(const wchar_t *text)
{
    for (const wchar_t *p = text; *p; ++p) {
        if (*p > 0x7F && *p != 0xA9 && *p != 0xAE)
            return false;
    }
    return true;
}

bool EncodeCodePage(const wchar_t *text, std::string *bytes)
{
    const size_t characters = std::wcslen(text);
    const char *input = reinterpret_cast<const char *>(text);
    if (Iconv("UTF-32LE", "GBK", input, 4 * characters, 2 * (characters + 1), bytes)) {
        bytes->push_back('\0');
        return true;
    }
    // Glibc's GBK lacks the copyright and registered signs; write those as CP1252, which the
    // input side reads back unchanged.
    if (!OnlyCopyrightSignsAboveAscii(text)
        || !Iconv("UTF-32LE", "CP1252", input, 4 * characters, characters + 1, bytes))
        return false;
    bytes->push_back('\0');
    return true;
}

bool EncodeUtf8(const wchar_t *text, std::string *bytes)
{
    const size_t characters = std::wcslen(text);
    if (!Iconv("UTF-32LE", "UTF-8", reinterpret_cast<const char *>(text), 4 * characters,
               4 * characters + 1, bytes))
        return false;
    bytes->push_back('\0');
    return true;
}

// Transliteration may write several bytes per character ("ae" for one), hence the room.
bool EncodeLatin1(const wchar_t *text, const char *to, std::string *bytes)
{
    const size_t characters = std::wcslen(text);
    if (!Iconv("UTF-32LE", to, reinterpret_cast<const char *>(text), 4 * characters, 8 * characters + 1, bytes))
        return false;
    bytes->push_back('\0');
    return true;
}

void AppendSubstitution(std::wstring *out, const wchar_t *name)
{
    if (!out->empty())
        out->push_back(L' ');
    out->append(name);
    out->push_back(L' ');
}

bool StartsWith(const wchar_t *text, const wchar_t *prefix)
{
    return std::wcsncmp(text, prefix, std::wcslen(prefix)) == 0;
}

} // namespace

namespace TagText {

bool Decode(const void *text, int encoding, std::wstring *wide)
{
    if (!text)
        return false;
    const unsigned char *bytes = static_cast<const unsigned char *>(text);
    switch (encoding) {
    case TagFieldSet::Detect:
    case TagFieldSet::CodePage:
    case TagFieldSet::Utf8: {
        const size_t length = std::strlen(reinterpret_cast<const char *>(bytes));
        if (encoding == TagFieldSet::Detect)
            encoding = LooksLikeUtf8(bytes, length) ? TagFieldSet::Utf8 : TagFieldSet::CodePage;
        const char *from = encoding == TagFieldSet::Utf8 ? "UTF-8" : InputCodePage(bytes, length);
        return DecodeIconv(from, bytes, length, wide);
    }
    case TagFieldSet::Latin1:
        return DecodeIconv("ISO-8859-1", bytes, std::strlen(reinterpret_cast<const char *>(bytes)), wide);
    case TagFieldSet::Utf16Le:
    case TagFieldSet::Utf16Be:
        DecodeUtf16(bytes, encoding == TagFieldSet::Utf16Be, wide);
        return true;
    case TagFieldSet::Utf32:
        wide->assign(static_cast<const wchar_t *>(text));
        return true;
    case TagFieldSet::Swapped: {
        wide->clear();
        for (const unsigned char *p = bytes;; p += 4) {
            uint32_t unit;
            std::memcpy(&unit, p, 4);
            if (unit == 0)
                return true;
            wide->push_back(static_cast<wchar_t>(SwapUnit(unit)));
        }
    }
    default:
        return false;
    }
}

bool Encode(const wchar_t *text, int encoding, std::string *bytes)
{
    if (!text)
        return false;
    switch (encoding) {
    case TagFieldSet::CodePage:
        return EncodeCodePage(text, bytes);
    case TagFieldSet::Utf8:
        return EncodeUtf8(text, bytes);
    case TagFieldSet::Latin1:
        return EncodeLatin1(text, "ISO-8859-1", bytes);
    case TagFieldSet::Latin1Lossy:
        return EncodeLatin1(text, "ISO-8859-1//TRANSLIT", bytes);
    case TagFieldSet::Utf16Le:
    case TagFieldSet::Utf16Be:
        return EncodeUtf16(text, encoding == TagFieldSet::Utf16Be, bytes);
    case TagFieldSet::Utf32:
        bytes->assign(reinterpret_cast<const char *>(text), 4 * (std::wcslen(text) + 1));
        return true;
    case TagFieldSet::Swapped: {
        bytes->clear();
        const size_t characters = std::wcslen(text);
        for (size_t i = 0; i <= characters; ++i) {
            const uint32_t unit = SwapUnit(static_cast<uint32_t>(text[i]));
            bytes->append(reinterpret_cast<const char *>(&unit), 4);
        }
        return true;
    }
    default:
        return false;
    }
}

std::wstring ExpandGenreReferences(const wchar_t *text)
{
    std::wstring out;
    const size_t length = std::wcslen(text);
    size_t pending = std::wstring::npos;
    int number = 0;
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        if (pending == std::wstring::npos) {
            if (c != L'(') {
                out.push_back(c);
            } else if (text[i + 1] == L'(') {
                out.push_back(L'(');
                ++i;
            } else if (length - i > 3 && StartsWith(text + i + 1, L"CR)")) {
                AppendSubstitution(&out, L"Cover");
                i += 3;
            } else if (length - i > 3 && StartsWith(text + i + 1, L"RX)")) {
                AppendSubstitution(&out, L"Remix");
                i += 3;
            } else {
                pending = i;
                number = 0;
            }
            continue;
        }
        if (c >= L'0' && c <= L'9') {
            number = number * 10 + (c - L'0');
            if (number < TagFieldSet::kGenreCount)
                continue;
        } else if (c == L')') {
            AppendSubstitution(&out, TagTables::kGenres[number]);
            pending = std::wstring::npos;
            continue;
        }
        out.append(text + pending, i + 1 - pending);
        pending = std::wstring::npos;
    }
    // A reference still open at the end is ordinary text.
    if (pending != std::wstring::npos)
        out.append(text + pending);
    if (!out.empty() && out.back() == L' ')
        out.pop_back();
    return out;
}

} // namespace TagText
