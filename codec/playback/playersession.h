#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "playback/audiooutput.h"
#include "playback/playeraudio.h"
#include "playback/playerclock.h"
#include "playback/playervideo.h"

// One opened media of a player, with its threads. Members are destroyed picture first,
// then sound, then the clock and the device they both read.
class PlayerSession
{
public:
    bool open(const std::string &path, const std::string &device, int volume, PlayerVideo::Presenter presenter);

    std::string path;
    bool hasVideo = false;
    bool hasAudio = false;
    uint64_t duration = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t aspectX = 0;
    uint32_t aspectY = 0;
    int subtitleTrack = -1;
    std::string subtitleFile;
    int subtitleCount = 0;
    int audioCount = 0;

    std::unique_ptr<AudioOutput> output;
    std::unique_ptr<PlayerClock> clock;
    std::unique_ptr<PlayerAudio> audio;
    std::unique_ptr<PlayerVideo> video;

private:
    bool readFacts(const MediaSource &probe);
    int firstAudioRate(const MediaSource &probe) const;
    void startSound(const std::string &device, int rate, int volume);
};
