#pragma once

#include <cstdint>
#include <optional>

class CAVEncodeParam;

// The arithmetic of the second converter driver, kept apart so it can be checked alone.
namespace AVConvertMath {

// A chapter's place in the output, in microseconds.
struct ChapterSpan
{
    uint64_t start;
    uint64_t length;
};

// The speed chapter times are divided by: 100 with altEngine, else speedPercent, where 0
// (what the queue item's builder leaves) counts as 100.
uint32_t ChapterSpeed(const CAVEncodeParam &param);

// A source chapter [start, start + length) clipped to the trim range [trimStart, trimEnd)
// (trimEnd 0: to the end) and scaled by speed; nothing when no part of it remains.
std::optional<ChapterSpan> ClipChapter(uint64_t start, uint64_t length, uint64_t trimStart, uint64_t trimEnd,
                                       uint32_t speed);

// The share of the bar a chapter scan of elapsedMs milliseconds takes: at most 20.
float ChapterStageShare(int64_t elapsedMs);

// done of total spread over the bar above base, at most 100; nothing while total is 0.
std::optional<unsigned int> ProgressPercent(uint64_t done, uint64_t total, float base);

} // namespace AVConvertMath
