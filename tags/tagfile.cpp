#include "tagfile.h"

#include "id3v1tagformat.h"
#include "id3v2tagformat.h"
#include "tagfieldset.h"
#include "tagfilestream.h"
#include "tagformatfactory.h"
#include "tagsafecopy.h"

#include <new>

namespace {

const int kProbeOrder[] = {0, 1, 4, 5, 6, 7, 2, 3};
// The end tags go first, then the tags kept in place, and the tag at the head, which moves
// everything behind it, last.
const int kSaveOrder[] = {TagSlotId3v1, TagSlotApe, TagSlotRiffInfo, TagSlotAsf, TagSlotMp4, TagSlotOgg, TagSlotFlac};

bool IsMpegFamily(int format)
{
    return format == 2 || format == 3;
}

} // namespace

ITagFile *CreateTagFile()
{
    try {
        return new TagFile;
    } catch (...) {
        return nullptr;
    }
}

void DestroyTagFile(ITagFile *file)
{
    delete file;
}

TagFile::TagFile() = default;

TagFile::~TagFile()
{
    Close();
}

int TagFile::Close()
{
    for (auto &handler : m_handlers)
        handler.reset();
    ClearDirty();
    m_stream.reset();
    m_path.clear();
    m_formatIndex = -1;
    return 0;
}

void TagFile::ClearDirty()
{
    for (int &dirty : m_dirty)
        dirty = 0;
}

int TagFile::OpenPath(const wchar_t *path)
{
    Close();
    try {
        int result = -1;
        auto stream = std::make_unique<TagFileStream>(path, TagFileStream::ReadWrite, &result);
        if (result != 0)
            return result;
        std::string name;
        TagFileStream::WideToUtf8(path, &name);
        m_requestedFormat = TagFormats::FormatOfPath(path);
        result = Probe(stream.get());
        m_requestedFormat = -1;
        if (result != 0)
            return result;
        m_stream = std::move(stream);
        m_path = name;
        return 0;
    } catch (...) {
        m_requestedFormat = -1;
        Close();
        return -1;
    }
}

int TagFile::OpenStream(TagStream *stream)
{
    Close();
    try {
        return Probe(stream);
    } catch (...) {
        Close();
        return -1;
    }
}

int TagFile::Probe(TagStream *stream)
{
    std::unique_ptr<ITagFormat> handler;
    int format = m_requestedFormat;
    if (format >= 0)
        handler = TagFormats::CreateMainHandler(format, stream);
    for (int i = 0; !handler && i < TagFormats::kCount; ++i) {
        if (kProbeOrder[i] == m_requestedFormat)
            continue;
        format = kProbeOrder[i];
        handler = TagFormats::CreateMainHandler(format, stream);
    }
    if (!handler)
        return -1;
    m_formatIndex = format;
    m_handlers[TagFormats::MainSlot(format)] = std::move(handler);
    if (TagFormats::HasId3Tags(format)) {
        // Their load results do not matter: without a tag they hold no fields and create one on save.
        int ignored;
        m_handlers[TagSlotId3v1] = std::make_unique<Id3v1TagFormat>(stream, &ignored);
        m_handlers[TagSlotId3v2] = std::make_unique<Id3v2TagFormat>(stream, &ignored);
    }
    return 0;
}

int TagFile::EnumerationOrder(int *slots) const
{
    int count = 0;
    if (IsMpegFamily(m_formatIndex)) {
        for (int slot : {TagSlotId3v2, TagSlotApe, TagSlotId3v1})
            slots[count++] = slot;
        return count;
    }
    for (int slot = TagSlotRiffInfo; slot <= TagSlotFlac; ++slot)
        slots[count++] = slot;
    slots[count++] = TagSlotId3v2;
    slots[count++] = TagSlotId3v1;
    return count;
}

bool TagFile::Locate(int position, Position *found) const
{
    if (!IsOpen() || position < -1)
        return false;
    int slots[TagSlotCount];
    const int count = EnumerationOrder(slots);
    for (int i = 0; i < count; ++i) {
        const ITagFormat *handler = m_handlers[slots[i]].get();
        if (!handler)
            continue;
        const int fields = const_cast<ITagFormat *>(handler)->GetFieldSet()->Count();
        if (position < fields) {
            found->slot = slots[i];
            found->index = position;
            return true;
        }
        position -= fields;
    }
    return false;
}

int TagFile::FieldCount()
{
    if (!IsOpen())
        return -1;
    int total = 0;
    for (auto &handler : m_handlers) {
        if (handler)
            total += handler->GetFieldSet()->Count();
    }
    return total;
}

TagField TagFile::GetField(int index)
{
    Position at;
    if (index < 0 || !Locate(index, &at))
        return EmptyTagField();
    return m_handlers[at.slot]->GetFieldSet()->GetAt(at.index);
}

int TagFile::SetField(int index, TagField field)
{
    Position at;
    if (index < 0 || !Locate(index, &at) || (field.slot != -1 && field.slot != at.slot))
        return -1;
    field.slot = at.slot;
    const int result = m_handlers[at.slot]->GetFieldSet()->SetAt(at.index, field);
    if (result == 0)
        m_dirty[at.slot] = 1;
    return result;
}

int TagFile::SetFieldsOfKind(int kind, TagField field)
{
    if (!IsOpen() || kind == -1 || field.slot != -1)
        return -1;
    for (int slot = 0; slot < TagSlotCount; ++slot) {
        if (!m_handlers[slot])
            continue;
        TagFieldSet *set = m_handlers[slot]->GetFieldSet();
        field.slot = slot;
        // Only the first of the kind: further instances (a back cover, a second artist) stay.
        for (int i = 0; i < set->Count(); ++i) {
            if (set->GetAt(i).kind != kind)
                continue;
            if (set->SetAt(i, field) == 0)
                m_dirty[slot] = 1;
            break;
        }
    }
    return 0;
}

int TagFile::AddField(TagField field)
{
    if (!IsOpen())
        return -1;
    int slot = field.slot;
    if (slot == -1) {
        Position primary;
        if (!Locate(-1, &primary))
            return -1;
        slot = primary.slot;
    }
    if (slot < 0 || slot >= TagSlotCount || !m_handlers[slot])
        return -1;
    field.slot = slot;
    const int result = m_handlers[slot]->GetFieldSet()->Add(field);
    if (result == 0)
        m_dirty[slot] = 1;
    return result;
}

int TagFile::RemoveField(int index)
{
    Position at;
    if (index < 0 || !Locate(index, &at))
        return -1;
    const int result = m_handlers[at.slot]->GetFieldSet()->RemoveAt(at.index);
    if (result == 0)
        m_dirty[at.slot] = 1;
    return result;
}

int TagFile::ClearTag(int slot)
{
    if (!IsOpen() || slot < 0 || slot >= TagSlotCount)
        return -1;
    if (!m_handlers[slot])
        return 0;
    TagFieldSet *set = m_handlers[slot]->GetFieldSet();
    if (set->Count() > 0)
        m_dirty[slot] = 1;
    set->Clear();
    return 0;
}

int TagFile::RemoveFieldsOfKind(int kind)
{
    if (!IsOpen() || kind == -1)
        return -1;
    for (int slot = 0; slot < TagSlotCount; ++slot) {
        if (!m_handlers[slot])
            continue;
        TagFieldSet *set = m_handlers[slot]->GetFieldSet();
        for (int i = set->Count() - 1; i >= 0; --i) {
            if (set->GetAt(i).kind == kind && set->RemoveAt(i) == 0)
                m_dirty[slot] = 1;
        }
    }
    return 0;
}

int TagFile::ClearFields()
{
    if (!IsOpen())
        return -1;
    for (int slot = 0; slot < TagSlotCount; ++slot)
        ClearTag(slot);
    return 0;
}

bool TagFile::ReloadAll(int exceptSlot)
{
    bool reloaded = true;
    for (int slot = 0; slot < TagSlotCount; ++slot) {
        if (slot != exceptSlot && m_handlers[slot] && m_handlers[slot]->Reload() < 0) {
            m_handlers[slot].reset();
            reloaded = false;
        }
    }
    return reloaded;
}

int TagFile::SaveSlot(int slot, bool *changed)
{
    if (!m_handlers[slot] || !m_dirty[slot])
        return 1;
    const int result = m_handlers[slot]->Save();
    if (result == 0)
        *changed = true;
    return result;
}

int TagFile::SaveHandlers(bool *changed)
{
    for (int slot : kSaveOrder) {
        if (SaveSlot(slot, changed) < 0)
            return -1;
    }
    const int result = SaveSlot(TagSlotId3v2, changed);
    if (result < 0)
        return -1;
    // A rewritten head moves every later tag; a handler that cannot follow fails the save.
    if (result == 0 && !ReloadAll(TagSlotId3v2))
        return -1;
    return 0;
}

int TagFile::Save()
{
    if (!IsOpen())
        return -1;
    bool anyDirty = false;
    for (int dirty : m_dirty)
        anyDirty = anyDirty || dirty;
    if (!anyDirty)
        return 0;
    try {
        TagSafeCopy copy;
        if (m_stream && copy.Begin(m_path, m_stream.get()) != 0)
            return -1;
        bool changed = false;
        int result = SaveHandlers(&changed);
        if (result == 0 && changed && copy.Active() && copy.Commit() != 0)
            result = -1;
        if (copy.Active())
            copy.Discard();
        if (result < 0 && m_stream)
            ReloadAll(-1);
        ClearDirty();
        return result;
    } catch (...) {
        if (m_stream)
            ReloadAll(-1);
        ClearDirty();
        return -1;
    }
}
