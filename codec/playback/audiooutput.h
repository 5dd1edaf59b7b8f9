#pragma once

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// One SDL sound device fed through SDL's own queue, so no callback of ours ever waits
// for the decoder. It keeps the audio clock (the time of the sample being heard) and a
// short history of mono samples for the level display.
class AudioOutput
{
public:
    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput &) = delete;
    AudioOutput &operator=(const AudioOutput &) = delete;

    // Opens the named device (empty: the default); without any device, SDL's dummy
    // driver takes over for the rest of the process.
    bool open(const std::string &device, int sampleRate);
    int sampleRate() const { return m_rate; }
    int channels() const { return m_channels; }

    // Interleaved signed 16-bit samples at sampleRate() x channels(); pts of the first one.
    void push(std::vector<int16_t> samples, int64_t ptsUs);
    // Drops every queued sample; the clock then stands at ptsUs.
    void clear(int64_t ptsUs);
    void setPaused(bool paused);
    void setVolume(int volume);
    int64_t queuedUs() const;

    // The time of the sample being heard; false while nothing was queued since clear().
    bool clockUs(int64_t *pts) const;
    // True when the device has consumed nothing for a while although samples wait.
    bool stalled() const;
    // The most recent count mono samples already heard, scaled to -1..1.
    bool heardSamples(size_t count, std::vector<float> &samples) const;

    // Test hook: a device that stops consuming, as an unplugged headset does.
    void simulateStall(bool on);

private:
    int64_t clockLocked() const;

    SDL_AudioDeviceID m_device = 0;
    int m_rate = 0;
    int m_channels = 0;
    int m_blockFrames = 0;
    int m_volume = 100;
    mutable std::mutex m_mutex;
    bool m_paused = true;
    bool m_primed = false;
    int64_t m_endPts = 0;
    std::vector<float> m_history;
    // What the clock read when it last moved, and when that was.
    mutable int64_t m_lastClock = -1;
    mutable std::chrono::steady_clock::time_point m_lastMove;
};
