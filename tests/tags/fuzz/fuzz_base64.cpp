// Base64 decoding of arbitrary text, and encoding of what it decodes to.
#include "tagbase64.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int capacity = size ? data[0] : 0;
    std::vector<unsigned char> decoded(static_cast<size_t>(capacity) + 1);
    const int length = Base64Decode(reinterpret_cast<const char *>(data), static_cast<int>(size), decoded.data(), capacity);
    if (length > 0) {
        std::vector<char> encoded(static_cast<size_t>(length) * 2 + 8);
        if (Base64Encode(decoded.data(), length, encoded.data(), static_cast<int>(encoded.size())) < 0)
            std::abort();
    }
    return 0;
}
