#pragma once

#include <cstdint>

class TagFieldSet;
class TagStream;

// Translation between Vorbis comment blocks (vendor string, then key=value comments) and field
// sets. Pictures travel as METADATA_BLOCK_PICTURE comments holding a FLAC picture block in
// Base64.

// Parses a block of `length` bytes starting at the stream's position. 0, also when a malformed
// comment ends the parse early; -1 when the block's head cannot be read.
int ParseVorbisComments(TagFieldSet *set, TagStream *stream, int slot, int length);

// The same over a block in memory.
int ParseVorbisCommentBuffer(TagFieldSet *set, const uint8_t *block, int slot, int length);

// Writes a block into the buffer and returns its length, or -1. A non-zero vendor length
// already at the start of the buffer keeps that vendor string. Comments that do not fit the
// capacity are left out. Slot 7 (FLAC) writes no pictures; they have blocks of their own.
int BuildVorbisComments(TagFieldSet *set, uint8_t *buffer, int slot, int capacity);
