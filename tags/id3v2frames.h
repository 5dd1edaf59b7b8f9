#pragma once

#include <cstddef>
#include <cstdint>

class TagFieldSet;

// Decoding of the ID3v2 frames the library reads, from bodies already freed of
// unsynchronisation and of the per-frame extra bytes.
namespace Id3v2Frames {

// The tag kind a frame identifier carries (3 or 4 characters), or -1.
int KindOfFrame(const char *id, int idLength);

// Adds the field a frame body carries, when it carries a usable one.
void AddFrame(TagFieldSet *set, const char *id, int idLength, const uint8_t *body, size_t size);

} // namespace Id3v2Frames
