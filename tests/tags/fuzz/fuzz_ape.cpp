// Load, save and reload of the Ape handler.
#include "fuzzhandler.h"
#include "apetagformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzHandler<ApeTagFormat>(data, size);
}
