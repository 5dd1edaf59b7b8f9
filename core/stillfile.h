#pragma once

// An ImageWriteFunc for a job whose context is an ImageWriteInfo: each still becomes
// "<folder>/<baseName>_<nnn>.<extension>" (counter zero-filled to three digits) through
// the codec library's image file, and framePath names it. Returns 0 when the file could
// not be made or the bytes not stored, which fails the job, with the system's reason in
// the context's systemError; else size.
unsigned int writeStillFile(void *context, const unsigned char *data, unsigned int size);
