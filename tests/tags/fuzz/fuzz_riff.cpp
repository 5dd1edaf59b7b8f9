// Load, save and reload of the RiffInfoTagFormat handler.
#include "fuzzhandler.h"
#include "riffinfotagformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzHandler<RiffInfoTagFormat>(data, size);
}
