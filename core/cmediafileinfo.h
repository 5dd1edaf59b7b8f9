#pragma once

#include "mediainforecords.h"

#include <cstdint>

// Opens one media file through the codec library and copies what the library reports
// into the caller's records. A reader that could not open its file fills nothing.
class CMediaFileInfo
{
public:
    explicit CMediaFileInfo(const char *path);
    ~CMediaFileInfo();
    CMediaFileInfo(const CMediaFileInfo &) = delete;
    CMediaFileInfo &operator=(const CMediaFileInfo &) = delete;

    // Nothing without a video stream.
    void GetVideoInfo(MediaVideoInfo *info) const;
    // Nothing without an audio stream.
    void GetAudioInfo(MediaAudioInfo *info) const;
    // Nothing without a video stream. The thumbnail is the frame at half the duration, or
    // at 10 s for a file of 10 s or less (past the end: the last frame). A second call
    // frees the thumbnail of the first, so a record filled earlier then holds a pointer
    // that is no longer valid.
    void GetMediaInfo(MediaGeneralInfo *info);

    // Frame rate num/den times 100, truncated; 0 when it has no 32-bit value.
    static uint32_t RatioTimes100(uint32_t num, uint32_t den);
    static uint64_t ThumbnailTime(uint64_t duration);

private:
    bool HasVideo() const;
    void FreeThumbnail();

    uint32_t m_media = 0;
    unsigned char *m_thumbnail = nullptr;
};
