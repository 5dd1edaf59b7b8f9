// Frame location over arbitrary bytes: every scan and the leading tag sizes.
#include "audioframe.h"
#include "tagmemorystream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    TagMemoryStream stream(bytes.data(), static_cast<int>(bytes.size()));
    GetId3v2TagSize(&stream);
    GetEa3TagSize(&stream);
    FindMpegAudioStartStrict(&stream);
    FindMpegAudioStart(&stream);
    FindAdtsAudioStart(&stream);
    FindApeAudioStart(&stream);
    CheckEa3Header(&stream);
    return 0;
}
