#pragma once

#include "growablememorystream.h"
#include "tagfieldset.h"

#include <cstdlib>
#include <vector>

// Load, save and reload of one tag handler over a growable memory stream: whatever a file
// holds, what a save wrote must load again.
template<typename Handler>
int FuzzHandler(const uint8_t *data, size_t size)
{
    GrowableMemoryStream stream(std::vector<uint8_t>(data, data + size));
    int result = -1;
    Handler handler(&stream, &result);
    if (result < 0)
        return 0;
    TagFieldSet *set = handler.GetFieldSet();
    const wchar_t title[] = L"fuzz title";
    set->Add(-1, 0, 0, sizeof title, title);
    const int saved = handler.Save();
    if (saved < 0)
        return 0;
    if (handler.Reload() < 0)
        std::abort();
    return 0;
}
