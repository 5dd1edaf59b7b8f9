#pragma once

#include "tagformatbase.h"

#include <cstdint>
#include <string>
#include <vector>

class TagByteBuffer;

// The metadata item list of an MPEG-4 file (slot 4), in "moov"/"udta"/"meta"/"ilst", and the
// old-style text atoms directly in "udta". A save rebuilds "udta" with a new "meta" first and
// every other old child behind it, and corrects the tracks' chunk offsets when the atom's size
// changes.
class Mp4TagFormat : public TagFormatBase
{
public:
    Mp4TagFormat(TagStream *stream, int *result);
    int Save() override;

    int64_t MoovOffset() const { return m_moovOffset; }
    int64_t MoovSize() const { return m_moovSize; }
    int64_t UdtaOffset() const { return m_udtaOffset; }
    int64_t UdtaSize() const { return m_udtaSize; }

    struct Atom
    {
        int64_t offset = 0;
        int64_t size = 0;
        int header = 8;
        char type[4] = {};

        int64_t End() const { return offset + size; }
        int64_t Body() const { return offset + header; }
        bool Is(const char *name) const;
    };

protected:
    int LoadStream() override;
    void ResetState() override;

private:
    // One chunk-offset table's entries, read and corrected in memory before anything is written.
    struct OffsetTable
    {
        int64_t entries = 0;
        bool wide = false;
        std::vector<uint8_t> bytes;
    };

    int FindMoov(TagStream *stream);
    void ReadUdta(TagStream *stream);
    void ReadMeta(TagStream *stream, const Atom &meta);
    void ReadItem(TagStream *stream, const Atom &item, int kind);
    void KeepItemBytes(TagStream *stream, int64_t at, int64_t length);
    void ReadValue(TagStream *stream, const char *type, int kind, int64_t at, uint32_t length, bool oldStyle);
    bool BuildUdta(std::string *udta);
    // Reads every chunk-offset table behind the moved bytes and corrects it in memory; false
    // when one cannot be read or an entry would leave its width.
    bool PlanOffsets(int64_t delta, std::vector<OffsetTable> *tables);
    bool WriteMoovSize(int64_t size);

    int64_t m_moovOffset = 0;
    int64_t m_moovSize = 0;
    int m_moovHeaderExtra = 0;
    int64_t m_udtaOffset = 0;
    int64_t m_udtaSize = 0;
    // 16 when "udta" uses the 64-bit size form.
    int m_udtaHeader = 8;
    // Movie fragments carry offsets of their own that a resize would not correct.
    bool m_fragmented = false;
    // Tag items not managed here or not readable, byte for byte, written back behind ours.
    std::string m_keptItems;
    bool m_keepFailed = false;
};
