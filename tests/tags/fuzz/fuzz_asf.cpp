// Load, save and reload of the AsfTagFormat handler.
#include "fuzzhandler.h"
#include "asftagformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzHandler<AsfTagFormat>(data, size);
}
