#pragma once

#include "tagformatbase.h"

#include <cstdint>
#include <string>

class TagByteBuffer;

// The tag objects in the Header Object of an ASF file (slot 3): the Content Description, the
// named attributes of the Extended Content Description and of the Metadata Library inside the
// Header Extension, and an ID3v2 tag carried as an attribute. A save rebuilds the whole Header
// Object and writes it over the old one.
class AsfTagFormat : public TagFormatBase
{
public:
    AsfTagFormat(TagStream *stream, int *result);
    int Save() override;

    int64_t HeaderSize() const { return m_headerSize; }

    struct Object
    {
        int64_t offset = 0;
        int64_t size = 0;
        uint8_t guid[16] = {};

        int64_t End() const { return offset + size; }
        int64_t Body() const { return offset + 24; }
    };

protected:
    int LoadStream() override;
    void ResetState() override;

private:
    void ReadContentDescription(TagStream *stream, const Object &object);
    void ReadExtendedContent(TagStream *stream, const Object &object);
    void ReadHeaderExtension(TagStream *stream, const Object &object);
    void ReadMetadataLibrary(TagStream *stream, const Object &object);
    void ReadAttribute(TagStream *stream, const std::string &name, int valueType, int64_t at, uint32_t length);
    void ReadEmbeddedId3(TagStream *stream, int64_t at, uint32_t length);
    void ReadPicture(const std::string &value);
    void KeepDescriptor(TagStream *stream, int64_t at, int64_t length);

    bool CopyOldObjects(TagByteBuffer *out, uint32_t *count, int64_t *fileProperties, Object *extension);
    void PutContentDescription(TagByteBuffer *out, uint32_t *count, int64_t *written) const;
    void PutExtendedContent(TagByteBuffer *out, uint32_t *count, int64_t *written, int *large) const;
    bool PutHeaderExtension(TagByteBuffer *out, uint32_t *count, int64_t *written, const Object &old, int large);

    int64_t m_headerSize = 0;
    int64_t m_metadataSize = 0;
    uint32_t m_objectCount = 0;
    // Extended Content descriptors of names not managed here, byte for byte, written back
    // behind ours.
    std::string m_keptDescriptors;
    uint32_t m_keptCount = 0;
};
