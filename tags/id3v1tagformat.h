#pragma once

#include "tagformatbase.h"

// The 128-byte ID3v1 record at the very end of MP3, AAC, APE and FLAC files (slot 0).
class Id3v1TagFormat : public TagFormatBase
{
public:
    Id3v1TagFormat(TagStream *stream, int *result);
    int Save() override;

protected:
    int LoadStream() override;
    void ResetState() override {}
};
