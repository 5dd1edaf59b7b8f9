#pragma once

#include "itagfile.h"

#include <memory>
#include <string>

class ITagFormat;
class TagFileStream;

// ITagFile over one handler per tag type present. Saving a file opened by path runs on a copy
// beside it that replaces the original only when every handler succeeded.
class TagFile : public ITagFile
{
public:
    TagFile();
    ~TagFile() override;

    int OpenPath(const wchar_t *path) override;
    int OpenStream(TagStream *stream) override;
    int Close() override;
    int FormatIndex() override { return m_formatIndex; }
    int Save() override;
    int FieldCount() override;
    TagField GetField(int index) override;
    int SetField(int index, TagField field) override;
    int SetFieldsOfKind(int kind, TagField field) override;
    int AddField(TagField field) override;
    int RemoveField(int index) override;
    int ClearTag(int slot) override;
    int RemoveFieldsOfKind(int kind) override;
    int ClearFields() override;

private:
    struct Position
    {
        int slot = -1;
        int index = -1;
    };

    int Probe(TagStream *stream);
    bool IsOpen() const { return m_formatIndex >= 0; }
    // Slots in the order their fields are numbered.
    int EnumerationOrder(int *slots) const;
    bool Locate(int position, Position *found) const;
    int SaveHandlers(bool *changed);
    int SaveSlot(int slot, bool *changed);
    bool ReloadAll(int exceptSlot);
    void ClearDirty();

    std::unique_ptr<TagFileStream> m_stream;
    std::unique_ptr<ITagFormat> m_handlers[TagSlotCount];
    int m_dirty[TagSlotCount] = {};
    int m_formatIndex = -1;
    int m_requestedFormat = -1;
    std::string m_path;
};
