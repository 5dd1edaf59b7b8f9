// The audio and subtitle track lists of the engine, and the applying of a choice.
#include "zvqplayobject.h"

#include "isolanguages.h"

#include <QFileInfo>

namespace {

struct SideFileKind
{
    const char *extension;
    const char *label;
};

// Tried in this order beside the media.
const SideFileKind kSideFiles[] = {{"ass", "ASS"}, {"ssa", "SSA"},   {"srt", "SRT"},     {"idx", "VOBSUB"},
                                   {"sub", "SUB"}, {"smi", "SMI"},   {"sami", "SAMI"},   {"sup", "SUP"},
                                   {"vtt", "WEBVTT"}, {"lrc", "LRC"}};

QString Text(const char *utf8)
{
    return QString::fromUtf8(utf8 ? utf8 : "");
}

// The language's English name, else the code itself.
QString LanguageName(const QString &code)
{
    if (const char32_t *name = LookupLanguageName(code.toUtf8().constData()))
        return QString::fromUcs4(name);
    return code;
}

QString AudioLabel(MMC_Handle media)
{
    const QString code = Text(MMC_GetAudioTrackLanguage(media));
    QString label;
    if (!code.isEmpty()) {
        label = LanguageName(code);
        if (label.isEmpty())
            label = QStringLiteral("Undefined");
    }
    QString title = Text(MMC_GetAudioTrackTitle(media));
    if (title.isEmpty())
        title = Text(MMC_GetAudioCodecName(media));
    return label + QStringLiteral("(%1)").arg(title);
}

QString SubtitleLabel(MMC_Handle media)
{
    QString label;
    const QString code = Text(MMC_GetSubtitleTrackLanguage(media));
    if (!code.isEmpty())
        label = QStringLiteral("%1 ").arg(LanguageName(code));
    for (const QString &part : {Text(MMC_GetSubtitleTrackTitle(media)), Text(MMC_GetSubtitleCodecName(media))})
        if (!part.isEmpty())
            label += QLatin1Char('(') + part + QLatin1Char(')');
    return label;
}

// The media path up to the last "." of its file name, a dot in a folder name never
// counting; "." appended when the name has none.
QString SideFileBase(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? path.left(dot + 1) : path + QLatin1Char('.');
}

void AppendSideFiles(QList<subltItemInfo *> &subtitles, const QString &path)
{
    const QString base = SideFileBase(path);
    for (const SideFileKind &kind : kSideFiles) {
        const QString candidate = base + QLatin1String(kind.extension);
        if (!QFileInfo::exists(candidate))
            continue;
        const QString title = QStringLiteral("(%1)[%2]").arg(QFileInfo(candidate).baseName(), kind.label);
        subtitles.append(new subltItemInfo{title.toStdString(), candidate.toStdString()});
    }
}

} // namespace

void ZVQPlayObject::getSubltListOrAudioList(QList<subltItemInfo *> &subtitles, QStringList &audioLabels,
                                            SubtitleValue_Info &info, QString path)
{
    const MMC_Handle media = MMC_CreateMediaInfo(-1);
    if (!MMC_OpenMediaFile(media, path.toUtf8().constData())) {
        MMC_DestroyMediaInfo(media);
        return;
    }
    for (int i = 0, count = MMC_GetAudioTrackCount(media); i < count; ++i) {
        MMC_SelectAudioTrack(media, i);
        audioLabels.append(AudioLabel(media));
    }
    const int count = MMC_GetSubtitleTrackCount(media);
    info.embeddedSubtitleCount = count;
    if (count > 0) {
        subtitles.append(new subltItemInfo{"No Subtitle", {}});
        for (int j = 0; j < count; ++j) {
            MMC_SelectSubtitleTrack(media, j);
            subtitles.append(new subltItemInfo{SubtitleLabel(media).toStdString(), {}});
        }
        AppendSideFiles(subtitles, path);
    }
    MMC_CloseMedia(media);
    MMC_DestroyMediaInfo(media);
}

int ZVQPlayObject::setSubtitle(SubtitleValue_Info info)
{
    if (!m_player)
        return 0;
    MMC_PlayerSelectAudioTrack(m_player, info.audioTrackIndex);
    if (info.subtitleIndex <= info.embeddedSubtitleCount)
        return MMC_PlayerSelectSubtitle(m_player, info.subtitleIndex - 1);
    return MMC_PlayerLoadSubtitleFile(m_player, info.externalPath.c_str());
}
