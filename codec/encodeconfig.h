#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// What a caller asks of an output. Converters copy it when they open, so callers may
// release it at once.
struct EncodeSettings
{
    struct Chapter
    {
        uint64_t startUs = 0;
        uint64_t lengthUs = 0;
        std::string title;
    };

    uint32_t videoCodec = 0;
    uint32_t audioCodec = 0;
    int codecMode = 0;
    int profile = 0;
    std::string audioEncoder;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rateNum = 0;
    uint32_t rateDen = 0;
    uint32_t videoBitrate = 0;
    uint32_t audioBitrate = 0;
    uint32_t channels = 2;
    uint32_t sampleRate = 44100;
    uint32_t quality = 0;
    uint32_t optionFlag = 0;
    bool keepAspect = false;
    // Stills carry the source movie's capture metadata as EXIF.
    bool keepExif = false;
    int intOption = 0;
    uint32_t pixelFormat = UINT32_MAX;
    std::vector<Chapter> chapters;
    int trackModes[3] = {0, 0, 0};

    bool wantsAudio() const { return audioCodec != 0 && audioCodec != UINT32_MAX; }
};

class EncodeConfig
{
public:
    EncodeSettings snapshot();
    template <class Change> void update(Change change)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        change(m_settings);
    }

private:
    std::mutex m_mutex;
    EncodeSettings m_settings;
};
