#include <memory>

#include "api/handletable.h"
#include "mmc.h"
#include "probe/mediainfo.h"

extern "C" {
#include <libavutil/mem.h>
}

namespace {

std::shared_ptr<MediaInfo> media(MMC_Handle h)
{
    return HandleTable::get<MediaInfo>(HandleTable::Family::MediaInfo, h);
}

template <class Result, class Query> Result ask(MMC_Handle h, Result none, Query query)
{
    const auto info = media(h);
    return info ? query(*info) : none;
}

const char *text(const MediaInfo::Track *track, std::string MediaInfo::Track::*field)
{
    return track ? (track->*field).c_str() : nullptr;
}

template <class T> T audioValue(MMC_Handle h, T MediaInfo::Track::*field)
{
    return ask(h, T(0), [&](MediaInfo &m) {
        const MediaInfo::Track *track = m.selectedAudioTrack();
        return track ? track->*field : T(0);
    });
}

} // namespace

extern "C" {

MMC_Handle MMC_CreateMediaInfo(int)
{
    return HandleTable::insert(HandleTable::Family::MediaInfo, std::make_shared<MediaInfo>());
}

int MMC_OpenMediaFile(MMC_Handle h, const char *path)
{
    return ask(h, 0, [&](MediaInfo &m) { return path && m.open(path) ? 1 : 0; });
}

int MMC_OpenDvdFolder(MMC_Handle, const char *)
{
    return 0;
}

int MMC_SelectDvdTitle(MMC_Handle, int)
{
    return 0;
}

const char *MMC_GetFormatName(MMC_Handle h)
{
    return ask(h, static_cast<const char *>(nullptr), [](MediaInfo &m) { return m.formatName(); });
}

uint64_t MMC_GetMediaDuration(MMC_Handle h)
{
    return ask(h, uint64_t(0), [](MediaInfo &m) { return m.durationUs(); });
}

uint32_t MMC_GetVideoWidth(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.width(); });
}

uint32_t MMC_GetVideoHeight(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.height(); });
}

int MMC_MediaHasVideo(MMC_Handle h)
{
    return ask(h, 0, [](MediaInfo &m) { return m.hasVideo() ? 1 : 0; });
}

int MMC_MediaHasAudio(MMC_Handle h)
{
    return ask(h, 0, [](MediaInfo &m) { return m.hasAudio() ? 1 : 0; });
}

const char *MMC_GetMediaTag(MMC_Handle h, const char *key)
{
    if (!key)
        return nullptr;
    return ask(h, static_cast<const char *>(nullptr), [&](MediaInfo &m) { return m.tag(key); });
}

unsigned char *MMC_GrabFrameImage(MMC_Handle h, uint64_t t, int format, uint32_t w, uint32_t height, int)
{
    const bool bmp = format == 1;
    if (!bmp || (w == 0) != (height == 0))
        return nullptr;
    return ask(h, static_cast<unsigned char *>(nullptr), [&](MediaInfo &m) { return m.grabBmp(t, w, height); });
}

void MMC_FreeFrameImage(MMC_Handle, unsigned char *image)
{
    av_free(image);
}

void MMC_CloseMedia(MMC_Handle h)
{
    if (const auto info = media(h))
        info->close();
}

void MMC_DestroyMediaInfo(MMC_Handle h)
{
    if (const auto info = HandleTable::remove<MediaInfo>(HandleTable::Family::MediaInfo, h))
        info->close();
}

uint32_t MMC_GetChapterCount(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.chapterCount(); });
}

uint64_t MMC_GetChapterStart(MMC_Handle h, uint32_t index)
{
    return ask(h, uint64_t(0), [&](MediaInfo &m) {
        const MediaInfo::Chapter *c = m.chapter(index);
        return c ? c->startUs : 0;
    });
}

uint64_t MMC_GetChapterDuration(MMC_Handle h, uint32_t index)
{
    return ask(h, uint64_t(0), [&](MediaInfo &m) {
        const MediaInfo::Chapter *c = m.chapter(index);
        return c ? c->durationUs : 0;
    });
}

const char *MMC_GetChapterTitle(MMC_Handle h, uint32_t index)
{
    return ask(h, static_cast<const char *>(nullptr), [&](MediaInfo &m) {
        const MediaInfo::Chapter *c = m.chapter(index);
        return c && c->hasTitle ? c->title.c_str() : nullptr;
    });
}

uint32_t MMC_GetVideoInfo0(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.videoFacts().codec; });
}

uint32_t MMC_GetVideoInfo1(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.videoFacts().bitRate; });
}

uint32_t MMC_GetVideoInfo4(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.videoFacts().aspectNum; });
}

uint32_t MMC_GetVideoInfo5(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.videoFacts().aspectDen; });
}

uint32_t MMC_GetVideoInfo7(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.videoFacts().frameCount; });
}

uint32_t MMC_GetVideoRatioNum(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.videoFacts().rateNum; });
}

uint32_t MMC_GetVideoRatioDen(MMC_Handle h)
{
    return ask(h, 0u, [](MediaInfo &m) { return m.videoFacts().rateDen; });
}

const char *MMC_GetAudioCodecName(MMC_Handle h)
{
    return ask(h, static_cast<const char *>(nullptr),
               [](MediaInfo &m) { return text(m.selectedAudioTrack(), &MediaInfo::Track::codec); });
}

uint32_t MMC_GetAudioInfo1(MMC_Handle h)
{
    return audioValue(h, &MediaInfo::Track::sampleRate);
}

uint32_t MMC_GetAudioInfo2(MMC_Handle h)
{
    return audioValue(h, &MediaInfo::Track::channels);
}

uint32_t MMC_GetAudioInfo3(MMC_Handle h)
{
    return audioValue(h, &MediaInfo::Track::bitRate);
}

uint32_t MMC_GetAudioInfo6(MMC_Handle h)
{
    return audioValue(h, &MediaInfo::Track::bitsPerSample);
}

uint64_t MMC_GetAudioInfo64(MMC_Handle h)
{
    return audioValue(h, &MediaInfo::Track::durationUs);
}

int MMC_GetAudioTrackCount(MMC_Handle h)
{
    return ask(h, 0, [](MediaInfo &m) { return m.audioTrackCount(); });
}

int MMC_SelectAudioTrack(MMC_Handle h, int index)
{
    return ask(h, 0, [&](MediaInfo &m) { return m.selectAudioTrack(index) ? 1 : 0; });
}

const char *MMC_GetAudioTrackLanguage(MMC_Handle h)
{
    return ask(h, static_cast<const char *>(nullptr),
               [](MediaInfo &m) { return text(m.selectedAudioTrack(), &MediaInfo::Track::language); });
}

const char *MMC_GetAudioTrackTitle(MMC_Handle h)
{
    return ask(h, static_cast<const char *>(nullptr),
               [](MediaInfo &m) { return text(m.selectedAudioTrack(), &MediaInfo::Track::title); });
}

int MMC_GetSubtitleTrackCount(MMC_Handle h)
{
    return ask(h, 0, [](MediaInfo &m) { return m.subtitleTrackCount(); });
}

int MMC_SelectSubtitleTrack(MMC_Handle h, int index)
{
    return ask(h, 0, [&](MediaInfo &m) { return m.selectSubtitleTrack(index) ? 1 : 0; });
}

const char *MMC_GetSubtitleTrackLanguage(MMC_Handle h)
{
    return ask(h, static_cast<const char *>(nullptr),
               [](MediaInfo &m) { return text(m.selectedSubtitleTrack(), &MediaInfo::Track::language); });
}

const char *MMC_GetSubtitleTrackTitle(MMC_Handle h)
{
    return ask(h, static_cast<const char *>(nullptr),
               [](MediaInfo &m) { return text(m.selectedSubtitleTrack(), &MediaInfo::Track::title); });
}

const char *MMC_GetSubtitleCodecName(MMC_Handle h)
{
    return ask(h, static_cast<const char *>(nullptr),
               [](MediaInfo &m) { return text(m.selectedSubtitleTrack(), &MediaInfo::Track::codec); });
}

} // extern "C"
