#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TagFieldSet;
class TagStream;

// Translation between Vorbis comment blocks (vendor string, then key=value comments) and field
// sets. Pictures travel as METADATA_BLOCK_PICTURE comments holding a FLAC picture block in
// Base64.

// Comments that carry no field, each as its bytes (key=value) without the length word.
using KeptComments = std::vector<std::string>;

// Parses a block of `length` bytes starting at the stream's position; comments that carry no
// field go to `kept` when it is given. 0, also when a malformed comment ends the parse early;
// -1 when the block's head cannot be read.
int ParseVorbisComments(TagFieldSet *set, TagStream *stream, int slot, int length, KeptComments *kept = nullptr);

// The same over a block in memory.
int ParseVorbisCommentBuffer(TagFieldSet *set, const uint8_t *block, int slot, int length,
                             KeptComments *kept = nullptr);

// Writes a block into the buffer and returns its length, or -1: the fields' comments, then the
// kept ones byte for byte. A non-zero vendor length already at the start of the buffer keeps
// that vendor string. Comments that do not fit the capacity are left out. Slot 7 (FLAC) writes
// no pictures; they have blocks of their own.
int BuildVorbisComments(TagFieldSet *set, uint8_t *buffer, int slot, int capacity, const KeptComments &kept = {});

// The room kept comments take in a block, length words included.
uint64_t KeptCommentBytes(const KeptComments &kept);
