#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

// One encoded packet as callers build it; times in microseconds.
struct PacketData
{
    uint64_t pts = 0;
    uint64_t dts = 0;
    uint32_t duration = 0;
    uint32_t flags = 0;
    std::vector<uint8_t> bytes;
    bool endOfStream = true;
};

// A stream of packets fed by the program. Packets are taken before any converter
// exists; a converter then reads them, waiting while the feeder is behind.
class Track
{
public:
    struct Description
    {
        int type = 0;
        uint32_t codec = 0;
        uint32_t width = 0;
        uint32_t height = 0;
        uint32_t rateNum = 0;
        uint32_t rateDen = 0;
        uint32_t sampleRate = 0;
        uint32_t channels = 0;
        std::vector<uint8_t> extraData;
    };

    explicit Track(int type);
    // What a decoder or muxer needs to know of the packets; null for an unknown codec.
    static AVCodecParameters *codecParameters(const Description &track);

    Description description();
    template <class Change> void describe(Change change)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        change(m_description);
    }

    bool write(const PacketData &packet);
    // Waits for the next packet; false at the end of the stream or when cancel is set.
    bool take(PacketData &packet, const std::atomic<bool> &cancel);
    // Wakes every reader so it can see a cancel.
    void wake();
    // Expected length: known once the end is queued, else what has arrived so far.
    uint64_t expectedDurationUs();
    uint64_t lastTakenPts() const { return m_lastTaken.load(); }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    Description m_description;
    std::deque<PacketData> m_queue;
    bool m_ended = false;
    uint64_t m_lastPts = 0;
    uint64_t m_lastDelta = 0;
    std::atomic<uint64_t> m_lastTaken{0};
};
