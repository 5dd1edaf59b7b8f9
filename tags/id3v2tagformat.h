#pragma once

#include "tagformatbase.h"

#include <cstdint>
#include <string>

// The ID3v2 tag at the head of MP3, AAC, APE and FLAC files (slot 1): read in versions 2.2 to
// 2.4, written whole as version 2.3, growing or shrinking the head of the file to fit. Frames
// that carry no field are written back byte for byte; a 2.4 tag holding such frames stays 2.4.
class Id3v2TagFormat : public TagFormatBase
{
public:
    Id3v2TagFormat(TagStream *stream, int *result);
    int Save() override;

    // Bytes the tag occupies at the start of the file, header and footer included.
    uint32_t TagLength() const { return m_tagLength; }

protected:
    int LoadStream() override;
    void ResetState() override;

private:
    bool BuildTag(std::string *tag) const;

    uint32_t m_tagLength = 0;
    // Frames of no known kind, headers included, in the form of version m_version.
    std::string m_keptFrames;
    uint8_t m_version = 3;
};
