#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

class AudioOutput;

// The master clock of one media: the audio clock while sound plays, else a steady
// clock. When the sound ends first or the device stops consuming, the steady clock
// takes over from the audio clock's last reading for the rest of the media.
class PlayerClock
{
public:
    explicit PlayerClock(const AudioOutput *audio);

    int64_t now();
    void set(int64_t position);
    void setRunning(bool running);
    // The sound has run out (the audio clock will not move again until the next set).
    void setAudioFinished();
    bool followsAudio();

private:
    using Steady = std::chrono::steady_clock;
    int64_t steadyLocked() const;
    void handOver(int64_t position);

    const AudioOutput *m_audio;
    std::mutex m_mutex;
    bool m_running = false;
    bool m_useAudio;
    bool m_audioFinished = false;
    bool m_stalledForMedia = false;
    int64_t m_anchor = 0;
    int64_t m_lastHeard = 0;
    Steady::time_point m_anchorTime = Steady::now();
};
