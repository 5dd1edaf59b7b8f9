// Vorbis comment blocks in memory, with the picture decode, and a rebuild of what was read.
#include "tagfieldset.h"
#include "vorbiscomments.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> block(data, data + size);
    TagFieldSet set(20);
    ParseVorbisCommentBuffer(&set, block.data(), 5, static_cast<int>(block.size()));
    std::vector<uint8_t> out(4096);
    BuildVorbisComments(&set, out.data(), 5, static_cast<int>(out.size()));
    return 0;
}
