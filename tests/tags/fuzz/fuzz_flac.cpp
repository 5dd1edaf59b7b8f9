// Load, save and reload of the Flac handler.
#include "fuzzhandler.h"
#include "flactagformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzHandler<FlacTagFormat>(data, size);
}
