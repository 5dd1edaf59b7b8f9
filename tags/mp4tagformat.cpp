#include "mp4tagformat.h"

#include "tagbufferedstream.h"
#include "tagbytebuffer.h"
#include "tagimage.h"
#include "tagstream.h"
#include "tagtext.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>

namespace {

using Atom = Mp4TagFormat::Atom;

constexpr int64_t kMaxItem = 0x800008;
constexpr int64_t kMaxOldStyle = 0x7FFFFC + 13;
constexpr int kBatchEntries = 1024;
constexpr int64_t kMaxKeptItems = 64 * kMaxItem;

struct ItemType
{
    char type[5];
    int kind;
};

// The first type of each kind is the one written.
const ItemType kItems[] = {
    {"\xA9nam", 0}, {"\xA9" "ART", 1}, {"\xA9" "alb", 2}, {"\xA9gen", 3}, {"\xA9" "day", 4}, {"trkn", 5},
    {"\xA9" "cmt", 6}, {"cprt", 7}, {"\xA9lyr", 8}, {"covr", 9}, {"aART", 10}, {"\xA9wrt", 11},
    {"\xA9grp", 12}, {"disk", 13}, {"\xA9" "aut", 1}, {"gnre", 3}, {"\xA9inf", 6}, {"\xA9" "des", 6},
    {"\xA9" "cpy", 7}};

const char *const kFirstAtoms[] = {"ftyp", "moov", "mdat", "free", "junk", "skip",
                                   "wide", "pnot", "udta", "pict", "uuid", "prfl"};

int KindOf(const char *type)
{
    for (const ItemType &item : kItems) {
        if (std::memcmp(item.type, type, 4) == 0)
            return item.kind;
    }
    return -1;
}

const char *TypeOf(int kind)
{
    for (const ItemType &item : kItems) {
        if (item.kind == kind)
            return item.type;
    }
    return nullptr;
}

bool ReadAt(TagStream *stream, int64_t at, void *buffer, int count)
{
    return stream->Seek(at) == at && stream->Read(buffer, count) == count;
}

uint64_t ReadBe64(const uint8_t *p)
{
    return uint64_t(ReadBe32(p)) << 32 | ReadBe32(p + 4);
}

void PutBe64(uint8_t *p, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(value >> (56 - 8 * i));
}

void PutBe32At(uint8_t *p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// The atom at `at`, when its header reads and it lies within [at, end): sizes are checked against
// the parent before use, so a 64-bit size near 2^64 cannot turn the walk backwards.
bool ReadAtom(TagStream *stream, int64_t at, int64_t end, Atom *atom)
{
    uint8_t head[16];
    if (end - at < 8 || !ReadAt(stream, at, head, 8))
        return false;
    uint64_t size = ReadBe32(head);
    atom->header = 8;
    if (size == 1) {
        if (end - at < 16 || stream->Read(head + 8, 8) != 8)
            return false;
        size = ReadBe64(head + 8);
        atom->header = 16;
    }
    if (size < uint64_t(atom->header) || size > uint64_t(end - at))
        return false;
    atom->offset = at;
    atom->size = static_cast<int64_t>(size);
    std::memcpy(atom->type, head + 4, 4);
    return true;
}

// The first child of that type within the parent's body from `first` on.
bool FindChild(TagStream *stream, int64_t first, int64_t end, const char *type, Atom *found)
{
    for (Atom child; ReadAtom(stream, first, end, &child); first = child.End()) {
        if (child.Is(type)) {
            *found = child;
            return true;
        }
    }
    return false;
}

bool Printable(const char *type)
{
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(type[i]);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

// Text with an optional UTF-16 byte-order marker, else UTF-8 or the 8-bit code page.
void AddMarkedText(TagFieldSet *set, int kind, const std::vector<uint8_t> &value, size_t skip)
{
    std::vector<uint8_t> text(value.begin() + static_cast<long>(skip), value.end());
    int encoding = TagFieldSet::Detect;
    if (text.size() >= 2 && ((text[0] == 0xFE && text[1] == 0xFF) || (text[0] == 0xFF && text[1] == 0xFE))) {
        encoding = text[0] == 0xFE ? TagFieldSet::Utf16Be : TagFieldSet::Utf16Le;
        text.erase(text.begin(), text.begin() + 2);
    }
    text.insert(text.end(), 4, 0);
    set->AddText(TagSlotMp4, kind, encoding, text.data());
}

int ImageTypeByte(const TagField &field)
{
    switch (SniffTagImage(static_cast<const uint8_t *>(field.data), field.length).type) {
    case TagImageInfo::Png:
        return 14;
    case TagImageInfo::Gif:
        return 15;
    case TagImageInfo::Bmp:
        return 27;
    default:
        return 13;
    }
}

bool Writable(const TagField &field)
{
    if (field.kind != TagKindPicture)
        return field.valueType == TagValueText;
    return field.valueType == TagValueBinary
        && SniffTagImage(static_cast<const uint8_t *>(field.data), field.length).type != TagImageInfo::Unknown;
}

void PutItemHead(TagByteBuffer *out, const char *type, size_t valueLength, int typeByte)
{
    out->PutBe32(static_cast<uint32_t>(valueLength + 24));
    out->PutBytes(type, 4);
    out->PutBe32(static_cast<uint32_t>(valueLength + 16));
    out->PutText("data");
    out->PutBe32(static_cast<uint32_t>(typeByte));
    out->PutBe32(0);
}

bool PutItem(TagByteBuffer *out, const TagField &field)
{
    const char *type = TypeOf(field.kind);
    if (field.kind == TagKindPicture) {
        if (uint64_t(field.length) + 24 > UINT32_MAX)
            return false;
        PutItemHead(out, type, field.length, ImageTypeByte(field));
        out->PutBytes(field.data, field.length);
        return true;
    }
    const wchar_t *text = static_cast<const wchar_t *>(field.data);
    if (field.kind == TagKindTrack || field.kind == TagKindDisc) {
        const wchar_t *slash = std::wcschr(text, L'/');
        PutItemHead(out, type, 8, 0);
        out->PutBe16(0);
        out->PutBe16(static_cast<uint32_t>(TagFieldSet::ParseNumber(text)));
        out->PutBe16(slash ? static_cast<uint32_t>(TagFieldSet::ParseNumber(slash + 1)) : 0);
        out->PutBe16(0);
        return true;
    }
    std::string utf8;
    if (!TagText::Encode(text, TagFieldSet::Utf8, &utf8))
        return true;
    utf8.pop_back();
    PutItemHead(out, type, utf8.size(), 1);
    out->PutBytes(utf8.data(), utf8.size());
    return true;
}

} // namespace

bool Mp4TagFormat::Atom::Is(const char *name) const
{
    return std::memcmp(type, name, 4) == 0;
}

Mp4TagFormat::Mp4TagFormat(TagStream *stream, int *result)
{
    const int loaded = Load(stream);
    if (result)
        *result = loaded;
}

void Mp4TagFormat::ResetState()
{
    m_moovOffset = 0;
    m_moovSize = 0;
    m_moovHeaderExtra = 0;
    m_udtaOffset = 0;
    m_udtaSize = 0;
    m_udtaHeader = 8;
    m_fragmented = false;
    m_keptItems.clear();
    m_keepFailed = false;
}

int Mp4TagFormat::FindMoov(TagStream *stream)
{
    const int64_t size = stream->Size();
    Atom atom;
    if (size < 8 || !ReadAtom(stream, 0, size, &atom))
        return -1;
    bool known = false;
    for (const char *type : kFirstAtoms)
        known = known || atom.Is(type);
    if (!known)
        return -1;
    for (;;) {
        if (!Printable(atom.type))
            return -1;
        if (atom.Is("moov"))
            break;
        if (!ReadAtom(stream, atom.End(), size, &atom))
            return -1;
    }
    m_moovOffset = atom.offset;
    m_moovSize = atom.size;
    m_moovHeaderExtra = atom.header - 8;
    const int64_t moovEnd = atom.End();
    Atom child;
    for (int64_t at = atom.Body(); ReadAtom(stream, at, moovEnd, &child); at = child.End()) {
        if (child.Is("mvex"))
            m_fragmented = true;
        if (child.Is("udta") && m_udtaSize == 0) {
            m_udtaOffset = child.offset;
            m_udtaSize = child.size;
            m_udtaHeader = child.header;
        }
    }
    return 0;
}

void Mp4TagFormat::ReadValue(TagStream *stream, const char *type, int kind, int64_t at, uint32_t length, bool oldStyle)
{
    std::vector<uint8_t> value(length);
    if (length == 0 || !ReadAt(stream, at, value.data(), static_cast<int>(length)))
        return;
    if (static_cast<uint8_t>(type[0]) == 0xA9 || kind == TagKindAlbumArtist) {
        AddMarkedText(m_fields.get(), kind, value, 0);
    } else if (kind == TagKindGenre) {
        // The stored number is the ID3 genre index plus one.
        if (length >= 2)
            m_fields->AddGenre(TagSlotMp4, static_cast<int>(ReadBe16(value.data())) - 1);
    } else if (kind == TagKindTrack || kind == TagKindDisc) {
        if (length < 4)
            return;
        const int number = static_cast<int>(ReadBe16(value.data() + 2));
        const int total = length > 5 ? static_cast<int>(ReadBe16(value.data() + 4)) : 0;
        char text[32];
        if (total != 0)
            std::snprintf(text, sizeof text, "%d/%d", number, total);
        else
            std::snprintf(text, sizeof text, "%d", number);
        m_fields->AddText(TagSlotMp4, kind, TagFieldSet::CodePage, text);
    } else if (kind == TagKindCopyright) {
        // Only the old-style atom carries a language code in front of its text.
        if (length >= 2)
            AddMarkedText(m_fields.get(), kind, value, oldStyle ? 2 : 0);
    } else if (kind == TagKindPicture) {
        m_fields->AddBinary(TagSlotMp4, kind, length, value.data());
    }
}

void Mp4TagFormat::ReadItem(TagStream *stream, const Atom &item, int kind)
{
    if (item.size < 16 || item.size > kMaxItem)
        return;
    Atom data;
    for (int64_t at = item.Body(); ReadAtom(stream, at, item.End(), &data); at = data.End()) {
        if (data.Is("data") && data.size >= 17) {
            ReadValue(stream, item.type, kind, data.Body() + 8, static_cast<uint32_t>(data.size - data.header - 8), false);
            return;
        }
    }
}

void Mp4TagFormat::ReadMeta(TagStream *stream, const Atom &meta)
{
    Atom ilst;
    if (meta.size <= 12 || !FindChild(stream, meta.Body() + 4, meta.End(), "ilst", &ilst) || ilst.size < 16)
        return;
    Atom item;
    int64_t at = ilst.Body();
    for (; ReadAtom(stream, at, ilst.End(), &item); at = item.End()) {
        const int kind = KindOf(item.type);
        const int before = m_fields->Count();
        if (kind >= 0)
            ReadItem(stream, item, kind);
        if (m_fields->Count() == before)
            KeepItemBytes(stream, item.offset, item.size);
    }
    // An item whose size does not fit ends the walk; the rest of the list stays as it was.
    if (at < ilst.End())
        KeepItemBytes(stream, at, ilst.End() - at);
}

void Mp4TagFormat::KeepItemBytes(TagStream *stream, int64_t at, int64_t length)
{
    const size_t kept = m_keptItems.size();
    if (int64_t(kept) + length > kMaxKeptItems) {
        m_keepFailed = true;
        return;
    }
    m_keptItems.resize(kept + static_cast<size_t>(length));
    if (!ReadAt(stream, at, &m_keptItems[kept], static_cast<int>(length))) {
        m_keptItems.resize(kept);
        m_keepFailed = true;
    }
}

void Mp4TagFormat::ReadUdta(TagStream *stream)
{
    Atom child;
    for (int64_t at = m_udtaOffset + m_udtaHeader; ReadAtom(stream, at, m_udtaOffset + m_udtaSize, &child); at = child.End()) {
        const int kind = KindOf(child.type);
        if (child.Is("meta"))
            ReadMeta(stream, child);
        else if (kind >= 0 && child.size >= 13 && child.size < kMaxOldStyle)
            ReadValue(stream, child.type, kind, child.Body() + 4, static_cast<uint32_t>(child.size - child.header - 4), true);
    }
}

int Mp4TagFormat::LoadStream()
{
    TagBufferedStream buffered(m_stream);
    if (FindMoov(&buffered) != 0)
        return -1;
    if (m_udtaSize >= 16)
        ReadUdta(&buffered);
    return 0;
}

bool Mp4TagFormat::BuildUdta(std::string *udta)
{
    TagByteBuffer out;
    out.PutBe32(0);
    out.PutText("udta");
    if (m_fields->Count() > 0 || !m_keptItems.empty()) {
        out.PutBe32(0);
        out.PutText("meta");
        out.PutBe32(0);
        out.PutBe32(34);
        out.PutText("hdlr");
        out.PutBe32(0);
        out.PutBe32(0);
        out.PutText("mdirappl");
        out.PutZeros(10);
        out.PutBe32(0);
        out.PutText("ilst");
        for (int i = 0; i < m_fields->Count(); ++i) {
            if (!PutItem(&out, m_fields->GetAt(i)))
                return false;
        }
        out.PutBytes(m_keptItems.data(), m_keptItems.size());
        const size_t metaLength = out.Size() - 8;
        out.SetBe32At(8, static_cast<uint32_t>(metaLength));
        out.SetBe32At(54, static_cast<uint32_t>(metaLength - 46));
    }
    // Children that are not tags (chapters, for one) stay, byte for byte and in their order.
    if (m_udtaSize != 0) {
        Atom child;
        for (int64_t at = m_udtaOffset + m_udtaHeader; ReadAtom(m_stream, at, m_udtaOffset + m_udtaSize, &child); at = child.End()) {
            if (child.Is("meta") || KindOf(child.type) >= 0)
                continue;
            std::vector<uint8_t> bytes(static_cast<size_t>(child.size));
            if (!ReadAt(m_stream, child.offset, bytes.data(), static_cast<int>(child.size)))
                return false;
            out.PutBytes(bytes.data(), bytes.size());
        }
    }
    if (out.Size() > UINT32_MAX || out.Size() > INT32_MAX)
        return false;
    if (out.Size() == 8) {
        udta->clear();
        return true;
    }
    out.SetBe32At(0, static_cast<uint32_t>(out.Size()));
    udta->assign(reinterpret_cast<const char *>(out.Data()), out.Size());
    return true;
}

bool Mp4TagFormat::PlanOffsets(int64_t delta, std::vector<OffsetTable> *tables)
{
    const int64_t payload = m_moovOffset + 8 + m_moovHeaderExtra;
    const int64_t moovEnd = m_moovOffset + m_moovSize;
    // Media lying in front of "moov" does not move.
    if (delta == 0 || m_stream->Size() <= moovEnd)
        return true;
    Atom trak;
    for (int64_t at = payload; ReadAtom(m_stream, at, moovEnd, &trak); at = trak.End()) {
        Atom mdia, minf, stbl;
        if (!trak.Is("trak") || !FindChild(m_stream, trak.Body(), trak.End(), "mdia", &mdia)
            || !FindChild(m_stream, mdia.Body(), mdia.End(), "minf", &minf)
            || !FindChild(m_stream, minf.Body(), minf.End(), "stbl", &stbl))
            continue;
        Atom child;
        for (int64_t c = stbl.Body(); ReadAtom(m_stream, c, stbl.End(), &child); c = child.End()) {
            if (!child.Is("stco") && !child.Is("co64"))
                continue;
            OffsetTable plan;
            plan.wide = child.Is("co64");
            const int entrySize = plan.wide ? 8 : 4;
            uint8_t head[8];
            if (child.size - child.header < 8 || !ReadAt(m_stream, child.Body(), head, 8))
                break;
            // The count can claim no more entries than the atom holds.
            const int64_t room = (child.size - child.header - 8) / entrySize;
            const int64_t entries = std::min<int64_t>(ReadBe32(head + 4), room);
            plan.entries = child.Body() + 8;
            if (entries * entrySize > INT32_MAX)
                return false;
            plan.bytes.resize(static_cast<size_t>(entries * entrySize));
            if (entries > 0 && !ReadAt(m_stream, plan.entries, plan.bytes.data(), static_cast<int>(plan.bytes.size())))
                return false;
            for (int64_t i = 0; i < entries; ++i) {
                uint8_t *entry = plan.bytes.data() + i * entrySize;
                const uint64_t offset = plan.wide ? ReadBe64(entry) : ReadBe32(entry);
                if (offset <= uint64_t(payload))
                    continue;
                const int64_t moved = static_cast<int64_t>(offset) + delta;
                if (moved < 0 || (!plan.wide && moved > int64_t(UINT32_MAX)))
                    return false;
                if (plan.wide)
                    PutBe64(entry, static_cast<uint64_t>(moved));
                else
                    PutBe32At(entry, static_cast<uint32_t>(moved));
            }
            tables->push_back(std::move(plan));
            break;
        }
    }
    return true;
}

bool Mp4TagFormat::WriteMoovSize(int64_t size)
{
    // The 32-bit size word, or the 64-bit size behind the type.
    uint8_t bytes[8];
    const int64_t at = m_moovOffset + m_moovHeaderExtra;
    const int length = m_moovHeaderExtra == 0 ? 4 : 8;
    if (length == 4)
        PutBe32At(bytes, static_cast<uint32_t>(size));
    else
        PutBe64(bytes, static_cast<uint64_t>(size));
    return m_stream->Seek(at) == at && m_stream->Write(bytes, length) == length;
}

int Mp4TagFormat::Save()
{
    if (!m_stream || !m_fields)
        return -1;
    try {
        // Items that could not be kept must not be lost by a rewrite.
        if (m_keepFailed)
            return -1;
        SelectWritableFields(Writable, FirstOfKind);
        if (m_fields->Count() == 0 && m_udtaSize == 0)
            return 1;
        std::string udta;
        if (!BuildUdta(&udta))
            return -1;
        const int64_t delta = int64_t(udta.size()) - m_udtaSize;
        const int64_t moovSize = m_moovSize + delta;
        // Every check comes before the first write, so a refusal leaves the file as it was.
        if ((delta != 0 && m_fragmented) || (m_moovHeaderExtra == 0 && moovSize > int64_t(UINT32_MAX)))
            return -1;
        std::vector<OffsetTable> tables;
        if (!PlanOffsets(delta, &tables))
            return -1;
        for (const OffsetTable &table : tables) {
            const int64_t at = table.entries;
            const int count = static_cast<int>(table.bytes.size());
            for (int done = 0; done < count; done += kBatchEntries * 8) {
                const int batch = std::min(count - done, kBatchEntries * 8);
                if (m_stream->Seek(at + done) != at + done || m_stream->Write(table.bytes.data() + done, batch) != batch)
                    return -1;
            }
        }
        const int64_t udtaOffset = m_udtaSize != 0 ? m_udtaOffset : m_moovOffset + m_moovSize;
        if (!WriteRegion(udtaOffset, m_udtaSize, udta) || !WriteMoovSize(moovSize))
            return -1;
        m_moovSize = moovSize;
        m_udtaOffset = udta.empty() ? 0 : udtaOffset;
        m_udtaSize = static_cast<int64_t>(udta.size());
        m_udtaHeader = 8;
        return 0;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
