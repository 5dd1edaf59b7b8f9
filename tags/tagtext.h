#pragma once

#include <string>

// Conversions between the on-disk text encodings of tags and UTF-32 (see TagFieldSet for the
// encoding codes).
namespace TagText {

// Decodes a zero-terminated text of the given encoding; false for an unknown encoding or a
// text that does not convert completely.
bool Decode(const void *text, int encoding, std::wstring *wide);

// Encodes a UTF-32 text, terminator included; false when it cannot be represented.
bool Encode(const wchar_t *text, int encoding, std::string *bytes);

// Expands ID3-style genre references such as "(9)", "(RX)" and "((".
std::wstring ExpandGenreReferences(const wchar_t *text);

} // namespace TagText
