// Load, save and reload of the Mp4TagFormat handler.
#include "fuzzhandler.h"
#include "mp4tagformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzHandler<Mp4TagFormat>(data, size);
}
