#pragma once

#include <string>
#include <vector>

// Comma lists of the format catalogues turned into the choices a dialog shows.
class ChoiceList
{
public:
    // Strips blanks (the space character only) from both ends, in place.
    static std::string &trim(std::string &text);
    // Replaces the list with the trimmed, non-empty items; "0" becomes "Auto" and every
    // other item gets the unit, when one is given.
    static void split(const std::string &text, const std::string &unit, std::vector<std::string> &list);
};
