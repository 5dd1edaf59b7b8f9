// Load, save and reload of the OggTagFormat handler.
#include "fuzzhandler.h"
#include "oggtagformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzHandler<OggTagFormat>(data, size);
}
