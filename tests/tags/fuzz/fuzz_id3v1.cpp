// Load, save and reload of the Id3v1 handler.
#include "fuzzhandler.h"
#include "id3v1tagformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzHandler<Id3v1TagFormat>(data, size);
}
