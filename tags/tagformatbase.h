#pragma once

#include "itagformat.h"
#include "tagfieldset.h"

#include <functional>
#include <memory>
#include <string>

class TagStream;

// What every handler shares: the stream it reads (not owned), its field set, and the
// selection pass that drops what a format cannot write.
class TagFormatBase : public ITagFormat
{
public:
    TagFieldSet *GetFieldSet() override { return m_fields.get(); }
    int Reload() override;

    // Parses the stream into a fresh field set; negative when it holds nothing usable.
    int Load(TagStream *stream);
    // Drops the fields and the stream and zeroes the handler's own words.
    void Close();

protected:
    // Parses m_stream into a fresh field set; each handler supplies it.
    virtual int LoadStream() = 0;
    // Zeroes the handler's own words; the stream and set are handled here.
    virtual void ResetState() = 0;

    enum Instances { FirstOfKind, EveryInstance };
    // Keeps the fields `writable` accepts (and of non-zero length), only the first of each kind
    // for formats that hold one, and removes every other field from the set.
    void SelectWritableFields(const std::function<bool(const TagField &)> &writable,
                              Instances instances = EveryInstance);
    // Replaces the stream's bytes [position, position + oldLength) with `bytes`, moving what
    // follows; false at the first failed step.
    bool WriteRegion(int64_t position, int64_t oldLength, const std::string &bytes);

    TagStream *m_stream = nullptr;
    std::unique_ptr<TagFieldSet> m_fields;
};
