#include "tagformatbase.h"

#include "resizeregion.h"
#include "tagstream.h"

#include <new>

int TagFormatBase::Load(TagStream *stream)
{
    Close();
    if (!stream)
        return -1;
    try {
        m_stream = stream;
        m_fields = std::make_unique<TagFieldSet>(20);
        return LoadStream();
    } catch (const std::bad_alloc &) {
        return -1;
    }
}

void TagFormatBase::Close()
{
    m_fields.reset();
    m_stream = nullptr;
    ResetState();
}

int TagFormatBase::Reload()
{
    TagStream *stream = m_stream;
    Close();
    return Load(stream);
}

void TagFormatBase::SelectWritableFields(const std::function<bool(const TagField &)> &writable,
                                         Instances instances)
{
    if (!m_fields)
        return;
    bool kept[TagKindCount] = {};
    for (int i = 0; i < m_fields->Count();) {
        const TagField field = m_fields->GetAt(i);
        const bool known = field.kind >= 0 && field.kind < TagKindCount;
        if (known && !(instances == FirstOfKind && kept[field.kind]) && field.length != 0 && writable(field)) {
            kept[field.kind] = true;
            ++i;
        } else {
            m_fields->RemoveAt(i);
        }
    }
}

bool TagFormatBase::WriteRegion(int64_t position, int64_t oldLength, const std::string &bytes)
{
    const int length = static_cast<int>(bytes.size());
    if (bytes.size() > INT32_MAX || ResizeRegion(m_stream, position, oldLength, length) != 0)
        return false;
    return length == 0 || (m_stream->Seek(position) == position && m_stream->Write(bytes.data(), length) == length);
}
