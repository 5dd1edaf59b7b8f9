#pragma once

#include "tagformatbase.h"

#include <cstdint>
#include <string>
#include <vector>

class TagByteBuffer;

// The tag objects in the Header Object of an ASF file (slot 3): the Content Description, the
// named attributes of the Extended Content Description and of the Metadata Library inside the
// Header Extension, and an ID3v2 tag carried as an attribute. A save rebuilds the whole Header
// Object and writes it over the old one; attributes it does not manage, and managed ones whose
// value stands, go back as they were read.
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
    // Attribute records in their on-disk form, as many as `count`.
    struct Records
    {
        std::string bytes;
        uint32_t count = 0;

        void Add(const std::string &record);
        void Add(const Records &records);
    };
    // A managed attribute as read, written back whole while its field still holds the value
    // read from it: a picture's type, MIME type and description, a value's type, language and
    // stream stay.
    struct Original
    {
        std::string record;
        bool inLibrary;
        int kind;
        int valueType;
        std::string value;
    };

    void ReadContentDescription(TagStream *stream, const Object &object);
    void ReadExtendedContent(TagStream *stream, const Object &object);
    void ReadHeaderExtension(TagStream *stream, const Object &object);
    void ReadMetadataLibrary(TagStream *stream, const Object &object);
    void ReadAttribute(TagStream *stream, const std::string &name, int valueType, int64_t at, uint32_t length);
    void ReadEmbeddedId3(TagStream *stream, int64_t at, uint32_t length);
    void ReadPicture(const std::string &value);
    // Records the attribute at [at, at + length) as the original of the one field it added,
    // or keeps it as it is when it added none.
    void SettleRecord(TagStream *stream, int64_t at, int64_t length, const std::string &name, int fieldsBefore,
                      bool inLibrary);
    bool HasOriginal(const TagField &field) const;
    // The first original holding the field's value that is not yet used, now marked used.
    const Original *UnusedOriginal(const TagField &field, std::vector<bool> *used) const;
    // The records of the attributes to write, for the Extended Content and the Metadata Library.
    void CollectAttributes(Records *extended, Records *library) const;

    bool CopyOldObjects(TagByteBuffer *out, uint32_t *count, int64_t *fileProperties, Object *extension);
    void PutContentDescription(TagByteBuffer *out, uint32_t *count, int64_t *written) const;
    bool PutExtendedContent(TagByteBuffer *out, uint32_t *count, int64_t *written, const Records &descriptors) const;
    bool PutHeaderExtension(TagByteBuffer *out, uint32_t *count, int64_t *written, const Object &old,
                            const Records &library);

    int64_t m_headerSize = 0;
    int64_t m_metadataSize = 0;
    uint32_t m_objectCount = 0;
    // Extended Content descriptors and Metadata Library records that gave no field, byte for
    // byte, written back behind ours.
    Records m_keptDescriptors;
    Records m_keptLibraryRecords;
    std::vector<Original> m_originals;
};
