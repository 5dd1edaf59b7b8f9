#pragma once

#include "tagfield.h"

class TagStream;

// The one object through which callers read and rewrite the tags of an audio file: a flat,
// numbered list of fields spanning every tag the file carries. Every int result: negative is
// failure. Edits stay in memory until Save.
class ITagFile
{
public:
    virtual int OpenPath(const wchar_t *path) = 0;
    virtual int OpenStream(TagStream *stream) = 0;
    virtual int Close() = 0;
    virtual int FormatIndex() = 0;
    virtual int Save() = 0;
    virtual int FieldCount() = 0;
    virtual TagField GetField(int index) = 0;
    virtual int SetField(int index, TagField field) = 0;
    virtual int SetFieldsOfKind(int kind, TagField field) = 0;
    virtual int AddField(TagField field) = 0;
    virtual int RemoveField(int index) = 0;
    virtual int ClearTag(int slot) = 0;
    virtual int RemoveFieldsOfKind(int kind) = 0;
    virtual int ClearFields() = 0;
    virtual ~ITagFile() = default;
};

ITagFile *CreateTagFile();
void DestroyTagFile(ITagFile *file);
