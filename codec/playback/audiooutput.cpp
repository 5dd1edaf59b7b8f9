#include "playback/audiooutput.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStallTime = std::chrono::milliseconds(500);

// SDL's audio subsystem is process-wide: it is started once, and switched to the dummy
// driver only while no device of any player is open, since the switch closes them all.
std::mutex g_sdlMutex;
bool g_sdlTried = false;
bool g_sdlReady = false;
bool g_dummy = false;
int g_openDevices = 0;

bool startSdl()
{
    if (!g_sdlTried) {
        g_sdlTried = true;
        // Interrupt and terminate signals stay the program's.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        g_sdlReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    return g_sdlReady;
}

bool switchToDummy()
{
    if (g_dummy || g_openDevices > 0)
        return false;
    if (g_sdlReady)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    g_sdlReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    g_dummy = true;
    av_log(nullptr, AV_LOG_ERROR, "audio: no sound device, playing through the silent driver\n");
    return g_sdlReady;
}

SDL_AudioDeviceID openDevice(const std::string &name, const SDL_AudioSpec &wanted, SDL_AudioSpec *obtained)
{
    const int changes = SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE;
    SDL_AudioDeviceID device = 0;
    if (!name.empty())
        device = SDL_OpenAudioDevice(name.c_str(), 0, &wanted, obtained, changes);
    if (!device)
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, obtained, changes);
    return device;
}

} // namespace

AudioOutput::~AudioOutput()
{
    if (!m_device)
        return;
    SDL_CloseAudioDevice(m_device);
    std::lock_guard<std::mutex> lock(g_sdlMutex);
    --g_openDevices;
}

bool AudioOutput::open(const std::string &device, int sampleRate)
{
    SDL_AudioSpec wanted{};
    wanted.freq = std::clamp(sampleRate, 8000, 192000);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    SDL_AudioSpec obtained{};
    std::lock_guard<std::mutex> lock(g_sdlMutex);
    if (startSdl())
        m_device = openDevice(device, wanted, &obtained);
    if (!m_device && switchToDummy())
        m_device = openDevice(device, wanted, &obtained);
    if (!m_device)
        return false;
    ++g_openDevices;
    m_rate = obtained.freq;
    m_channels = obtained.channels;
    m_blockFrames = obtained.samples;
    m_history.reserve(static_cast<size_t>(m_rate));
    return true;
}

void AudioOutput::push(std::vector<int16_t> samples, int64_t ptsUs)
{
    if (!m_device || samples.empty())
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int16_t &sample : samples)
        sample = static_cast<int16_t>(std::clamp(sample * m_volume / 100, -32768, 32767));
    SDL_QueueAudio(m_device, samples.data(), static_cast<Uint32>(samples.size() * sizeof(int16_t)));
    const size_t frames = samples.size() / static_cast<size_t>(m_channels);
    m_endPts = ptsUs + static_cast<int64_t>(frames) * 1000000 / m_rate;
    m_primed = true;
    const size_t channels = static_cast<size_t>(m_channels);
    for (size_t i = 0; i < frames; ++i) {
        int sum = 0;
        for (size_t c = 0; c < channels; ++c)
            sum += samples[i * channels + c];
        m_history.push_back(static_cast<float>(sum) / (32768.0f * static_cast<float>(channels)));
    }
    // One second of history is more than any level block reads.
    const size_t keep = static_cast<size_t>(m_rate);
    if (m_history.size() > keep)
        m_history.erase(m_history.begin(), m_history.end() - static_cast<long>(keep));
}

void AudioOutput::clear(int64_t ptsUs)
{
    if (!m_device)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    SDL_ClearQueuedAudio(m_device);
    m_endPts = ptsUs;
    m_primed = false;
    m_history.clear();
    m_lastClock = -1;
}

void AudioOutput::setPaused(bool paused)
{
    if (!m_device)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_paused = paused;
    m_lastClock = -1;
    SDL_PauseAudioDevice(m_device, paused ? 1 : 0);
}

void AudioOutput::setVolume(int volume)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_volume = std::clamp(volume, 0, 200);
}

int64_t AudioOutput::queuedUs() const
{
    if (!m_device)
        return 0;
    const int64_t bytes = SDL_GetQueuedAudioSize(m_device);
    return bytes * 1000000 / (int64_t(m_rate) * m_channels * int64_t(sizeof(int16_t)));
}

int64_t AudioOutput::clockLocked() const
{
    const int64_t clock = m_endPts - queuedUs();
    const auto now = Clock::now();
    if (clock != m_lastClock || m_paused) {
        m_lastClock = clock;
        m_lastMove = now;
        return clock;
    }
    // The device takes samples a block at a time; between blocks the clock runs on,
    // at most by one block.
    const int64_t block = int64_t(m_blockFrames) * 1000000 / m_rate;
    const int64_t since = std::chrono::duration_cast<std::chrono::microseconds>(now - m_lastMove).count();
    return clock + std::min(since, block);
}

bool AudioOutput::clockUs(int64_t *pts) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_device || !m_primed)
        return false;
    *pts = clockLocked();
    return true;
}

bool AudioOutput::stalled() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_device || !m_primed || m_paused || queuedUs() == 0)
        return false;
    clockLocked();
    return Clock::now() - m_lastMove >= kStallTime;
}

bool AudioOutput::heardSamples(size_t count, std::vector<float> &samples) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_device || !m_primed)
        return false;
    const int64_t unheard = queuedUs() * m_rate / 1000000;
    if (unheard < 0 || static_cast<size_t>(unheard) + count > m_history.size())
        return false;
    const auto end = m_history.end() - unheard;
    samples.assign(end - static_cast<long>(count), end);
    return true;
}

void AudioOutput::simulateStall(bool on)
{
    if (!m_device)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    SDL_PauseAudioDevice(m_device, on || m_paused ? 1 : 0);
}
