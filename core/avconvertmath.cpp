#include "avconvertmath.h"

#include "cavencodeparam.h"

#include <algorithm>

namespace AVConvertMath {

uint32_t ChapterSpeed(const CAVEncodeParam &param)
{
    if (param.altEngine || param.speedPercent == 0)
        return 100;
    return param.speedPercent;
}

std::optional<ChapterSpan> ClipChapter(uint64_t start, uint64_t length, uint64_t trimStart, uint64_t trimEnd,
                                       uint32_t speed)
{
    const uint64_t end = start + length;
    ChapterSpan span{0, 0};
    if (start < trimStart) {
        if (end < trimStart)
            return std::nullopt;
        span.length = (trimEnd ? std::min(end, trimEnd) : end) - trimStart;
    } else if (!trimEnd) {
        span = ChapterSpan{start - trimStart, length};
    } else {
        if (trimEnd < start)
            return std::nullopt;
        span = ChapterSpan{start - trimStart, std::min(end, trimEnd) - start};
    }
    if (span.length == 0 || speed == 0)
        return std::nullopt;
    return ChapterSpan{span.start * 100u / speed, span.length * 100u / speed};
}

float ChapterStageShare(int64_t elapsedMs)
{
    return std::min(float(std::max<int64_t>(elapsedMs, 0)) / 4000.0f, 20.0f);
}

std::optional<unsigned int> ProgressPercent(uint64_t done, uint64_t total, float base)
{
    if (total == 0)
        return std::nullopt;
    const float percent = float(done) * (100.0f - base) / float(total) + base;
    return percent >= 100.0f ? 100u : unsigned(std::max(percent, 0.0f));
}

} // namespace AVConvertMath
