// Load, save and reload of the Id3v2 handler.
#include "fuzzhandler.h"
#include "id3v2tagformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzHandler<Id3v2TagFormat>(data, size);
}
