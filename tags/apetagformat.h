#pragma once

#include "tagformatbase.h"

#include <cstdint>
#include <string>

// The APE tag (versions 1 and 2) at the end of a file, in front of an ID3v1 record when there
// is one (slot 6). Written whole as version 2 with header and footer.
class ApeTagFormat : public TagFormatBase
{
public:
    ApeTagFormat(TagStream *stream, int *result);
    int Save() override;

    int64_t TagOffset() const { return m_tagOffset; }
    uint32_t TagLength() const { return m_tagLength; }

protected:
    int LoadStream() override;
    void ResetState() override;

private:
    bool BuildTag(std::string *tag) const;
    int64_t NewTagPosition();

    int64_t m_tagOffset = 0;
    uint32_t m_tagLength = 0;
    // Items of keys not managed here, byte for byte, written back behind ours.
    std::string m_keptItems;
    uint32_t m_keptCount = 0;
};
