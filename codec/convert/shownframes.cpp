#include "convert/shownframes.h"

#include <cstring>

#include "framefilter.h"

namespace {

// Each stand-in carries its frame's number in its pixels, which a rate filter passes on.
constexpr int kStandInWidth = sizeof(uint32_t);

bool makeStandIn(AVFrame *frame, uint32_t number, int64_t time)
{
    av_frame_unref(frame);
    frame->format = AV_PIX_FMT_GRAY8;
    frame->width = kStandInWidth;
    frame->height = 1;
    if (av_frame_get_buffer(frame, 0) < 0)
        return false;
    std::memcpy(frame->data[0], &number, sizeof number);
    frame->pts = time;
    return true;
}

} // namespace

std::vector<int64_t> ShownFrames::choose(const std::vector<int64_t> &times, PassClock clock,
                                         const std::string &rateChain)
{
    VideoParams params;
    params.width = kStandInWidth;
    params.height = 1;
    params.format = AV_PIX_FMT_GRAY8;
    params.timeBase = {1, 1000000};
    FrameFilter filter(1);
    FramePtr standIn(av_frame_alloc());
    FramePtr shown(av_frame_alloc());
    if (!standIn || !shown || !filter.build(params, rateChain, AV_PIX_FMT_GRAY8))
        return {};
    std::vector<int64_t> chosen;
    const auto collect = [&]() {
        while (filter.pull(shown.get()) > 0) {
            uint32_t number = 0;
            std::memcpy(&number, shown->data[0], sizeof number);
            av_frame_unref(shown.get());
            // A frame shown for several output frames counts once.
            if (chosen.empty() || chosen.back() != times[number])
                chosen.push_back(times[number]);
        }
    };
    for (size_t i = 0; i < times.size(); ++i) {
        int64_t passTime = 0;
        const PassClock::Place place = clock.place(times[i], passTime);
        if (place == PassClock::Place::After)
            break;
        if (place == PassClock::Place::Before)
            continue;
        if (!makeStandIn(standIn.get(), static_cast<uint32_t>(i), passTime) || !filter.push(standIn.get()))
            return {};
        collect();
    }
    if (!filter.close(clock.endTime()))
        return {};
    collect();
    return chosen;
}
