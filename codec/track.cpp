#include "track.h"

#include <algorithm>

namespace {
// Frame length assumed when the packets tell nothing better (25 frames a second).
constexpr uint64_t kDefaultFrameUs = 40000;
} // namespace

Track::Track(int type)
{
    m_description.type = type;
}

Track::Description Track::description()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_description;
}

bool Track::write(const PacketData &packet)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_ended)
            return false;
        if (packet.endOfStream) {
            m_ended = true;
        } else {
            if (!m_queue.empty() || m_lastPts > 0)
                m_lastDelta = packet.pts > m_lastPts ? packet.pts - m_lastPts : m_lastDelta;
            m_lastPts = std::max(m_lastPts, packet.pts);
            m_queue.push_back(packet);
        }
    }
    m_arrived.notify_all();
    return true;
}

bool Track::take(PacketData &packet, const std::atomic<bool> &cancel)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_arrived.wait(lock, [&] { return cancel.load() || !m_queue.empty() || m_ended; });
    if (cancel.load() || m_queue.empty())
        return false;
    packet = std::move(m_queue.front());
    m_queue.pop_front();
    m_lastTaken.store(packet.pts);
    return true;
}

void Track::wake()
{
    // Taking the lock orders the wake after a reader's check of its cancel flag.
    { std::lock_guard<std::mutex> lock(m_mutex); }
    m_arrived.notify_all();
}

uint64_t Track::expectedDurationUs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastPts + (m_lastDelta ? m_lastDelta : kDefaultFrameUs);
}
