#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "mmc.h"
#include "source/mediasource.h"

// A probed media file: what it holds, cached at open, and frame grabs from it. Close may
// come from another thread while a grab runs; it aborts the grab's reads and waits.
class MediaInfo
{
public:
    struct Track
    {
        std::string language;
        std::string title;
        std::string codec;
        uint32_t sampleRate = 0;
        uint32_t channels = 0;
        uint32_t bitRate = 0;
        uint32_t bitsPerSample = 0;
        uint64_t durationUs = 0;
    };
    struct Chapter
    {
        uint64_t startUs = 0;
        uint64_t durationUs = 0;
        std::string title;
        bool hasTitle = false;
    };
    struct VideoFacts
    {
        uint32_t codec = 0;
        uint32_t bitRate = 0;
        uint32_t aspectNum = 0;
        uint32_t aspectDen = 0;
        uint32_t frameCount = 0;
        uint32_t rateNum = 0;
        uint32_t rateDen = 0;
    };

    bool open(const std::string &path);
    void close();

    const char *formatName();
    uint64_t durationUs();
    uint32_t width();
    uint32_t height();
    bool hasVideo();
    bool hasAudio();
    const char *tag(const std::string &key);
    unsigned char *grabBmp(uint64_t t, uint32_t width, uint32_t height);

    uint32_t chapterCount();
    const Chapter *chapter(uint32_t index);
    VideoFacts videoFacts();

    int audioTrackCount();
    bool selectAudioTrack(int index);
    const Track *selectedAudioTrack();
    int subtitleTrackCount();
    bool selectSubtitleTrack(int index);
    const Track *selectedSubtitleTrack();

private:
    void cacheFacts();
    void cacheTags();
    void cacheTracks();
    bool reopenForGrab();

    std::mutex m_mutex;
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<MediaSource> m_source;
    std::string m_path;
    bool m_decodedSinceOpen = false;

    std::string m_formatName;
    std::map<std::string, std::string> m_tags;
    std::vector<uint8_t> m_coverBytes;
    MMC_Blob m_cover{nullptr, 0};
    std::vector<Track> m_audio;
    std::vector<Track> m_subtitles;
    std::vector<Chapter> m_chapters;
    VideoFacts m_video;
    int m_selectedAudio = 0;
    int m_selectedSubtitle = 0;
};
