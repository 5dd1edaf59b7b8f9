#pragma once

#include "tagformatbase.h"
#include "vorbiscomments.h"

#include <cstdint>
#include <string>
#include <vector>

class TagByteBuffer;

// The metadata blocks of a native FLAC stream (slot 7): Vorbis comments and PICTURE blocks are
// read into fields; a save rebuilds the metadata section with one comment block and one
// PICTURE block, keeping every other block in its order.
class FlacTagFormat : public TagFormatBase
{
public:
    FlacTagFormat(TagStream *stream, int *result);
    int Save() override;

    int64_t FlacStart() const { return m_flacStart; }
    uint32_t MetadataLength() const { return m_metadataLength; }

protected:
    int LoadStream() override;
    void ResetState() override;

private:
    struct Block
    {
        int type;
        int64_t body;
        uint32_t length;
    };

    int64_t FindSignature(TagStream *stream) const;
    int WalkBlocks(TagStream *stream, int64_t first, std::vector<Block> *tagBlocks);
    void ReadPicture(TagStream *stream, const Block &block);
    // Writes the unused original block holding the field's image; false when there is none.
    bool PutOriginalPicture(TagByteBuffer *section, const TagField &field, std::vector<bool> *used) const;
    bool BuildSection(TagByteBuffer *section);
    bool PutCommentBlock(TagByteBuffer *section, const std::string &vendor);

    int64_t m_flacStart = 0;
    uint32_t m_tagBlockBytes = 0;
    uint32_t m_metadataLength = 0;
    // Blocks other than comments and pictures, kept through a save.
    std::vector<Block> m_keptBlocks;
    // Comments that carry no field (chapters, encoder...), written back as they were.
    KeptComments m_keptComments;
    // Picture blocks as read, written back while their image stands: type and description stay.
    struct OriginalPicture
    {
        std::string body;
        size_t imageAt;
        uint32_t imageLength;
    };
    std::vector<OriginalPicture> m_originalPictures;
    int64_t m_vendorBlock = -1;
    uint32_t m_vendorBlockLength = 0;
    // False when the block chain ran into the audio without a last-block flag.
    bool m_chainComplete = false;
};
