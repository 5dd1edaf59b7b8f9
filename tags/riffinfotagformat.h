#pragma once

#include "tagformatbase.h"

#include <cstdint>
#include <string>

// The INFO list of a RIFF/WAVE file (slot 2): its text sub-chunks are read into fields; a save
// replaces the list in place or appends one behind the RIFF data and corrects the RIFF size.
class RiffInfoTagFormat : public TagFormatBase
{
public:
    RiffInfoTagFormat(TagStream *stream, int *result);
    int Save() override;

    uint32_t RiffSize() const { return m_riffSize; }
    int64_t ListOffset() const { return m_listOffset; }
    int64_t ListLength() const { return m_listLength; }

protected:
    int LoadStream() override;
    void ResetState() override;

private:
    int WalkChunks(TagStream *stream);
    void ReadList(TagStream *stream);
    std::string BuildList() const;
    int WriteList(const std::string &list);

    uint32_t m_riffSize = 0;
    int64_t m_listOffset = 0;
    // 0 when the file has no INFO list.
    int64_t m_listLength = 0;
    // Where a new list goes: the end of the RIFF data, or -1 when a chunk runs past that end.
    int64_t m_appendAt = -1;
    // The RIFF data ends at an odd offset without the pad byte its last chunk owes.
    bool m_padMissing = false;
};
