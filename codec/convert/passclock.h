#pragma once

#include <cstdint>

// Source frame times as a pass over a time range sees them: frames before the range are
// left out, the pass ends at its end, and times count in µs from its start. Also where
// the last frame ends, which a rate filter needs to keep that frame for its whole length.
class PassClock
{
public:
    enum class Place { Before, Inside, After };

    // length 0: up to the end of the source.
    PassClock(uint64_t start, uint64_t length) : m_start(start), m_length(length) {}

    // For a frame Inside, passTime receives its time in the pass.
    Place place(int64_t sourceTimeUs, int64_t &passTime);
    int64_t endTime() const;

private:
    uint64_t m_start;
    uint64_t m_length;
    int64_t m_last = -1;
    int64_t m_spacing = 1;
};
