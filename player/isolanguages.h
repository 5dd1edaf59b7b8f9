#pragma once

// The built-in ISO 639 table that names track languages.
struct IsoLanguageRow
{
    const char32_t *englishName; // null in the end row
    const char32_t *nativeName;
    char twoLetter[3];
    char threeLetter[4];
    char threeLetterAlt[4]; // the bibliographic form; mostly the same
};

// 166 rows, then the end row.
extern const IsoLanguageRow kIsoLanguages[];

// The English name for a two- or three-letter code, ignoring case; null when unknown.
const char32_t *LookupLanguageName(const char *code);
