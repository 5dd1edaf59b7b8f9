#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

#include "source/framesource.h"

// The pictures a palette pass has seen, held so that mapping them needs no second decode,
// up to a number of bytes: a longer movie lets them all go, and decodes again instead.
class KeptFrames
{
public:
    // expectedFrames: how many the pass should see, to give up at once on a movie too
    // long to keep; 0 when unknown.
    KeptFrames(size_t limitBytes, double expectedFrames);

    // False once the frames went over the limit (or would): the pass need keep no more.
    // Safe to read from any thread.
    bool keeping() const { return m_keeping.load(std::memory_order_relaxed); }
    // Takes the frame's reference, in the order the pass delivers them.
    void keep(AVFrame *frame, AVRational timeBase);
    // Hands every frame kept to use in order, each let go once used; true when all were.
    bool replay(const std::function<bool(AVFrame *, AVRational)> &use);

private:
    void giveUp();

    struct Kept
    {
        FramePtr frame;
        AVRational timeBase;
    };
    const size_t m_limit;
    const double m_expected;
    size_t m_bytes = 0;
    std::vector<Kept> m_frames;
    std::atomic<bool> m_keeping{true};
};
