// Text input in every encoding, as a genre so that reference expansion runs too, and back out.
#include "tagfieldset.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int encoding = data[0] % 7;
    std::vector<uint8_t> text(data + 1, data + size);
    // Room for a zero unit of any width at an aligned position.
    text.resize(text.size() + 8, 0);
    TagFieldSet set(20);
    if (set.AddText(0, 3, encoding, text.data()) == 0) {
        const TagField field = set.GetAt(0);
        for (int out = 1; out <= 6; ++out)
            std::unique_ptr<char[]>(TagFieldSet::ConvertText(static_cast<const wchar_t *>(field.data), out));
        TagFieldSet::FindGenre(static_cast<const wchar_t *>(field.data));
        TagFieldSet::ParseNumber(static_cast<const wchar_t *>(field.data));
    }
    return 0;
}
