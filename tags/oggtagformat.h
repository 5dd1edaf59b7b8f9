#pragma once

#include "tagformatbase.h"
#include "vorbiscomments.h"

#include <cstdint>
#include <string>
#include <vector>

// The comment header of the Vorbis stream in an Ogg file (slot 5). A save replaces the packet:
// the pages that carry it are rebuilt, the file grows or shrinks behind them, and the later
// pages of the stream are renumbered with their checksums set again. Pages of other logical
// streams keep their content.
class OggTagFormat : public TagFormatBase
{
public:
    OggTagFormat(TagStream *stream, int *result);
    int Save() override;

    uint32_t Serial() const { return m_serial; }
    int64_t CommentPageOffset() const { return m_commentPage.offset; }
    int64_t CommentEndOffset() const { return m_commentEnd.offset; }
    int CommentLength() const { return m_commentLength; }

protected:
    int LoadStream() override;
    void ResetState() override;

private:
    // Where on a page a packet starts or ends: the page's offset and the lacing index.
    struct PagePoint
    {
        int64_t offset = 0;
        int segment = 0;
    };

    int Scan(TagStream *stream, std::vector<uint8_t> *comment);
    std::vector<uint8_t> BuildPacket();
    int ReplacePacket(const std::vector<uint8_t> &packet);
    int InsertPacket(const std::vector<uint8_t> &packet);

    std::string m_vendor;
    // Comments that carry no field (chapters, encoder...), written back as they were.
    KeptComments m_keptComments;
    bool m_hasVendor = false;
    uint32_t m_serial = 0;
    uint32_t m_identPageNumber = 0;
    // False when the identification page also carries the start of a later packet.
    bool m_identPageClean = false;
    // Where a missing comment header goes: behind the last beginning-of-stream page.
    int64_t m_afterBosPages = 0;
    PagePoint m_commentPage;
    PagePoint m_commentEnd;
    int m_commentLength = 0;
};
