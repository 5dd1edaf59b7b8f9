#include "cmediafileinfo.h"

#include "mmc.h"

#include <cmath>

namespace {

constexpr uint64_t kTenSeconds = 10000000u;

} // namespace

CMediaFileInfo::CMediaFileInfo(const char *path)
{
    if (!path)
        return;
    m_media = MMC_CreateMediaInfo(-1);
    if (m_media && !MMC_OpenMediaFile(m_media, path)) {
        MMC_DestroyMediaInfo(m_media);
        m_media = 0;
    }
}

CMediaFileInfo::~CMediaFileInfo()
{
    if (!m_media)
        return;
    FreeThumbnail();
    MMC_CloseMedia(m_media);
    MMC_DestroyMediaInfo(m_media);
}

uint32_t CMediaFileInfo::RatioTimes100(uint32_t num, uint32_t den)
{
    if (den == 0)
        return 0;
    const float ratio = float(num) * 100.0f / float(den);
    if (!std::isfinite(ratio) || ratio < 0.0f || ratio >= 4294967296.0f)
        return 0;
    return uint32_t(ratio);
}

uint64_t CMediaFileInfo::ThumbnailTime(uint64_t duration)
{
    return duration > kTenSeconds ? duration / 2 : kTenSeconds;
}

bool CMediaFileInfo::HasVideo() const
{
    return m_media && MMC_MediaHasVideo(m_media) == 1;
}

void CMediaFileInfo::GetVideoInfo(MediaVideoInfo *info) const
{
    if (!info || !HasVideo())
        return;
    info->codec = MMC_GetVideoInfo0(m_media);
    info->bitRate = MMC_GetVideoInfo1(m_media);
    info->width = MMC_GetVideoWidth(m_media);
    info->height = MMC_GetVideoHeight(m_media);
    info->aspectX = MMC_GetVideoInfo4(m_media);
    info->aspectY = MMC_GetVideoInfo5(m_media);
    info->frameRate100 = RatioTimes100(MMC_GetVideoRatioNum(m_media), MMC_GetVideoRatioDen(m_media));
    info->frameCount = MMC_GetVideoInfo7(m_media);
}

void CMediaFileInfo::GetAudioInfo(MediaAudioInfo *info) const
{
    if (!info || !m_media || MMC_MediaHasAudio(m_media) != 1)
        return;
    info->codecName = MMC_GetAudioCodecName(m_media);
    info->sampleRate = MMC_GetAudioInfo1(m_media);
    info->channels = MMC_GetAudioInfo2(m_media);
    info->bitRate = MMC_GetAudioInfo3(m_media);
    info->duration = MMC_GetAudioInfo64(m_media);
    info->bitsPerSample = MMC_GetAudioInfo6(m_media);
}

void CMediaFileInfo::GetMediaInfo(MediaGeneralInfo *info)
{
    if (!info || !HasVideo())
        return;
    info->duration = MMC_GetMediaDuration(m_media);
    info->format = MMC_GetFormatName(m_media);
    info->title = MMC_GetMediaTag(m_media, "title");
    info->artist = MMC_GetMediaTag(m_media, "artist");
    info->album = MMC_GetMediaTag(m_media, "album");
    info->genre = MMC_GetMediaTag(m_media, "genre");
    info->year = MMC_GetMediaTag(m_media, "year");
    info->date = MMC_GetMediaTag(m_media, "date");
    FreeThumbnail();
    m_thumbnail = MMC_GrabFrameImage(m_media, ThumbnailTime(info->duration), 1, 0, 0, 0);
    info->thumbnail = m_thumbnail;
}

void CMediaFileInfo::FreeThumbnail()
{
    if (m_thumbnail)
        MMC_FreeFrameImage(m_media, m_thumbnail);
    m_thumbnail = nullptr;
}
