#pragma once

#include "tagformatbase.h"

#include <cstdint>
#include <string>
#include <vector>

// The INFO list of a RIFF/WAVE file (slot 2): its text sub-chunks are read into fields; a save
// replaces the list in place or appends one behind the RIFF data and corrects the RIFF size.
// Texts are written in GBK, or in UTF-8 when GBK cannot hold them; unknown sub-chunks are
// written back as they were.
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
    bool KeepChunk(TagStream *stream, const uint8_t *header, uint32_t size);
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
    // Sub-chunks of no known kind (software, keywords...), headers included, without pad byte;
    // a save writes them back behind the fields.
    std::vector<std::string> m_keptChunks;
};
