#pragma once

// Standard Base64 with "=" padding, for the picture blocks of Vorbis comments.

// Writes no terminator; the encoded text must be shorter than the capacity rounded down to a
// multiple of four (at least 4). Characters written, or -1.
int Base64Encode(const unsigned char *source, int sourceLength, char *output, int capacity);

// Stops at "=" or the end; skips carriage returns and line feeds, fails on any other
// character outside the alphabet. The decoded length must stay below the capacity. Bytes
// written, or -1.
int Base64Decode(const char *source, int sourceLength, unsigned char *output, int capacity);
