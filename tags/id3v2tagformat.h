#pragma once

#include "tagformatbase.h"

#include <cstdint>
#include <string>
#include <vector>

class TagByteBuffer;

// The ID3v2 tag at the head of MP3, AAC, APE and FLAC files (slot 1): read in versions 2.2 to
// 2.4, written whole in the version read (2.3 for a new tag or a 2.2 one), growing or shrinking
// the head of the file to fit. Frames that carry no field are written back byte for byte, and so
// are comment, lyrics and picture frames whose value did not change, with their descriptions and
// picture types.
class Id3v2TagFormat : public TagFormatBase
{
public:
    // A comment, lyrics or picture frame as read, for writing back while its value stands.
    struct OriginalFrame
    {
        int kind;
        std::string value;
        std::string frame;
    };

    Id3v2TagFormat(TagStream *stream, int *result);
    int Save() override;

    // Bytes the tag occupies at the start of the file, header and footer included.
    uint32_t TagLength() const { return m_tagLength; }

protected:
    int LoadStream() override;
    void ResetState() override;

private:
    bool BuildTag(std::string *tag) const;
    // Writes the unused original frame holding the field's value; false when there is none.
    bool PutOriginalFrame(TagByteBuffer *out, const TagField &field, std::vector<bool> *used) const;
    std::vector<std::wstring> ValuesOfKind(int kind) const;

    uint32_t m_tagLength = 0;
    // Frames of no known kind, headers included, in the form of version m_version.
    std::string m_keptFrames;
    std::vector<OriginalFrame> m_originalFrames;
    uint8_t m_version = 3;
};
