#pragma once

// Read-only tables shared by the text services of the tag library.
namespace TagTables {

// The 148 genre names of the ID3v1 list with its extension, indices 0 to 147.
extern const wchar_t *const kGenres[148];

// The three-letter language code (bibliographic form) for a two-letter one, ignoring case;
// null when the table has no such row.
const char *LanguageCodeFor(const char *twoLetter);

} // namespace TagTables
