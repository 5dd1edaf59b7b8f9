#include "playback/playerclock.h"

#include "playback/audiooutput.h"

#include <algorithm>

PlayerClock::PlayerClock(const AudioOutput *audio)
    : m_audio(audio)
    , m_useAudio(audio != nullptr)
{
}

int64_t PlayerClock::steadyLocked() const
{
    if (!m_running)
        return m_anchor;
    return m_anchor
           + std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - m_anchorTime).count();
}

void PlayerClock::handOver(int64_t position)
{
    m_useAudio = false;
    m_anchor = position;
    m_anchorTime = Steady::now();
}

int64_t PlayerClock::now()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_useAudio)
        return steadyLocked();
    int64_t heard = 0;
    if (!m_audio->clockUs(&heard))
        return m_lastHeard; // nothing queued since a seek or a track switch
    // Never backwards between two seeks: block-wise consumption and rounding jitter.
    heard = std::max(heard, m_lastHeard);
    m_lastHeard = heard;
    if (m_audioFinished && m_audio->queuedUs() == 0) {
        handOver(heard);
        return heard;
    }
    if (m_audio->stalled()) {
        // A device that stopped consuming must not freeze the picture.
        m_stalledForMedia = true;
        handOver(heard);
        return heard;
    }
    return heard;
}

void PlayerClock::set(int64_t position)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_useAudio = m_audio && !m_stalledForMedia;
    m_audioFinished = false;
    m_lastHeard = position;
    m_anchor = position;
    m_anchorTime = Steady::now();
}

void PlayerClock::setRunning(bool running)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (running == m_running)
        return;
    m_anchor = steadyLocked();
    m_anchorTime = Steady::now();
    m_running = running;
}

void PlayerClock::setAudioFinished()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_audioFinished = true;
}

bool PlayerClock::followsAudio()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_useAudio;
}
