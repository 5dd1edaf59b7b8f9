#include "choicelist.h"

std::string &ChoiceList::trim(std::string &text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
        return text;
    }
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, first);
    return text;
}

void ChoiceList::split(const std::string &text, const std::string &unit, std::vector<std::string> &list)
{
    list.clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        std::string item = text.substr(start, end - start);
        trim(item);
        if (item == "0")
            list.push_back("Auto");
        else if (!item.empty())
            list.push_back(item + unit);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
}
