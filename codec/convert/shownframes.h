#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/passclock.h"

// Which source frames a rate change shows, worked out before any is decoded. A rate
// filter picks frames by their times alone, so stand-ins carrying the same times come
// out as the real frames would.
class ShownFrames
{
public:
    // times: every source frame's time in presentation order; clock: the pass's range.
    // The times of the frames shown, in order; empty on failure.
    static std::vector<int64_t> choose(const std::vector<int64_t> &times, PassClock clock, const std::string &rateChain);
};
