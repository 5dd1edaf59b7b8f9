// Region resizing under random operations, checked against a plain byte-vector model.
#include "growablememorystream.h"
#include "resizeregion.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> model(static_cast<size_t>(std::min<size_t>(size, 64)) * 400);
    for (size_t i = 0; i < model.size(); ++i)
        model[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
    GrowableMemoryStream stream(model);
    // A few dozen operations per input keep each run short.
    for (size_t at = 0; at + 6 <= std::min<size_t>(size, 6 * 48); at += 6) {
        const int64_t position = (data[at] | data[at + 1] << 8) % (model.size() + 2);
        const int64_t oldLength = (data[at + 2] | data[at + 3] << 8) % 20000;
        const int64_t newLength = (data[at + 4] | data[at + 5] << 8) % 20000;
        const int result = ResizeRegion(&stream, position, oldLength, newLength);
        if (position + oldLength > static_cast<int64_t>(model.size())) {
            if (result != -1)
                std::abort();
            continue;
        }
        if (result != 0)
            std::abort();
        std::vector<uint8_t> next(model.begin(), model.begin() + position);
        next.resize(static_cast<size_t>(position + newLength));
        // The region's new bytes are unspecified; take them from the stream.
        std::copy(stream.Bytes().begin() + position, stream.Bytes().begin() + position + newLength, next.begin() + position);
        next.insert(next.end(), model.begin() + position + oldLength, model.end());
        model.swap(next);
        if (model != stream.Bytes())
            std::abort();
    }
    return 0;
}
