#include "iavconverter.h"

#include "corelog.h"
#include "itagfile.h"
#include "zvcommoninterface.h"

#include <algorithm>
#include <string>

namespace {

void AddText(ITagFile *file, int kind, const std::string &text)
{
    if (text.empty())
        return;
    const auto wide = ZvCommonInterface::ConvertCharToUtft32(text.c_str());
    if (!wide)
        return; // not UTF-8
    // The library copies the bytes, so the buffer may end with this call.
    file->AddField(TagField{-1, kind, TagValueText, uint32_t(wide->size() * sizeof(wchar_t)),
                            const_cast<wchar_t *>(wide->c_str())});
}

void AddCover(ITagFile *file, const CAVEncodeMetaInfo &meta)
{
    // Never more bytes than the string holds: the library copies the count it is given.
    const int64_t count = std::min<int64_t>(meta.coverSize, int64_t(meta.coverPicture.size()));
    if (count <= 0)
        return;
    file->AddField(TagField{-1, TagKindPicture, TagValueBinary, uint32_t(count),
                            const_cast<char *>(meta.coverPicture.data())});
}

} // namespace

void IAVConverter::setAudioTag()
{
    if (!m_param)
        return;
    ITagFile *file = CreateTagFile();
    if (!file)
        return;
    const auto path = m_dst.isEmpty() ? std::nullopt : ZvCommonInterface::ConvertCharToUtft32(m_dst.constData());
    if (!path || file->OpenPath(path->c_str()) != 0) {
        qCDebug(lcCore) << "no tags written into" << m_dst;
        DestroyTagFile(file);
        return;
    }
    file->ClearFields();
    const CAVEncodeMetaInfo &meta = m_param->metaInfo;
    // Indexed by tag kind; lyrics (8) are never written and the cover (9) is bytes.
    const std::string *texts[TagKindCount] = {
        &meta.title, &meta.artist,  &meta.album,       &meta.genre,    &meta.year,     &meta.track,    &meta.comment,
        &meta.copyright, nullptr,   nullptr,           &meta.albumArtist, &meta.composer, &meta.grouping, &meta.disc};
    for (int kind = 0; kind < TagKindCount; ++kind) {
        if (kind == TagKindPicture)
            AddCover(file, meta);
        else if (texts[kind])
            AddText(file, kind, *texts[kind]);
    }
    if (file->Save() != 0)
        qCDebug(lcCore) << "tags not saved into" << m_dst;
    file->Close();
    DestroyTagFile(file);
}
