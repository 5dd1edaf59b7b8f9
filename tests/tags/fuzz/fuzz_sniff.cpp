// Image sniffing of arbitrary bytes.
#include "tagimage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    SniffTagImage(bytes.data(), bytes.size());
    return 0;
}
