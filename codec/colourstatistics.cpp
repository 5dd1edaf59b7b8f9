#include "colourstatistics.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kColours = size_t(1) << 24;
constexpr size_t kMostBoxes = 255; // the last of the 256 entries stays transparent
constexpr int kTallyBits = 12;
constexpr size_t kTallies = size_t(1) << kTallyBits;
constexpr uint32_t kNoColour = 0xFFFFFFFF;

int channel(uint32_t colour, int axis)
{
    return static_cast<int>(colour >> (16 - 8 * axis) & 0xFF); // axis 0 red, 1 green, 2 blue
}

// As small as it can be: a clip has millions of colours, and they are sorted over and over.
struct Ref
{
    uint32_t colour;
    uint32_t count;
};

struct Box
{
    uint32_t colour = 0;
    int64_t variance = -1; // worked out when the box is a candidate for a split
    size_t start = 0;
    size_t len = 0;
    int sortedBy = -1;
};

void averageOf(const std::vector<Ref> &refs, Box &box)
{
    uint64_t sums[3] = {};
    uint64_t weight = 0;
    for (size_t i = box.start; i < box.start + box.len; ++i) {
        for (int axis = 0; axis < 3; ++axis)
            sums[axis] += uint64_t(channel(refs[i].colour, axis)) * refs[i].count;
        weight += refs[i].count;
    }
    const auto mean = [&](int axis) { return uint32_t((sums[axis] + weight / 2) / weight); };
    box.colour = mean(0) << 16 | mean(1) << 8 | mean(2);
    box.variance = -1;
}

int64_t varianceOf(const std::vector<Ref> &refs, const Box &box)
{
    int64_t variance = 0;
    for (size_t i = box.start; i < box.start + box.len; ++i) {
        int64_t distance = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const int64_t d = channel(refs[i].colour, axis) - channel(box.colour, axis);
            distance += d * d;
        }
        variance += distance * int64_t(refs[i].count);
    }
    return variance;
}

// The box whose colours spread most, among those that can still be cut; -1 when none.
int nextBoxToSplit(const std::vector<Ref> &refs, std::vector<Box> &boxes)
{
    if (boxes.size() >= kMostBoxes)
        return -1;
    int best = -1;
    int64_t most = -1;
    for (size_t i = 0; i < boxes.size(); ++i) {
        Box &box = boxes[i];
        if (box.len < 2)
            continue;
        if (box.variance < 0)
            box.variance = varianceOf(refs, box);
        if (box.variance > most) {
            most = box.variance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// The axis of the widest range, green first on a tie since the eye tells green apart best.
int longestAxis(const std::vector<Ref> &refs, const Box &box)
{
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    for (size_t i = box.start; i < box.start + box.len; ++i)
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], channel(refs[i].colour, axis));
            high[axis] = std::max(high[axis], channel(refs[i].colour, axis));
        }
    const int r = high[0] - low[0];
    const int g = high[1] - low[1];
    const int b = high[2] - low[2];
    if (g >= r && g >= b)
        return 1;
    return r >= b ? 0 : 2;
}

// Orders a box's colours by one channel, then by colour: a radix sort, as a clip has
// a million colours or more and the first cuts sort nearly all of them.
void sortAlong(std::vector<Ref> &refs, std::vector<Ref> &scratch, const Box &box, int axis)
{
    const auto key = [axis](const Ref &ref) { return uint32_t(channel(ref.colour, axis)) << 24 | ref.colour; };
    Ref *from = refs.data() + box.start;
    scratch.resize(std::max(scratch.size(), box.len));
    Ref *to = scratch.data();
    for (int shift = 0; shift < 32; shift += 8) {
        size_t starts[257] = {};
        for (size_t i = 0; i < box.len; ++i)
            ++starts[(key(from[i]) >> shift & 0xFF) + 1];
        for (int digit = 0; digit < 256; ++digit)
            starts[digit + 1] += starts[digit];
        for (size_t i = 0; i < box.len; ++i)
            to[starts[key(from[i]) >> shift & 0xFF]++] = from[i];
        std::swap(from, to);
    }
    // Four passes: the sorted colours are back where they started.
}

// Cuts the box at the median of its weight along its longest axis; each side keeps a colour.
void split(std::vector<Ref> &refs, std::vector<Ref> &scratch, std::vector<Box> &boxes, size_t index)
{
    Box &box = boxes[index];
    const int axis = longestAxis(refs, box);
    if (box.sortedBy != axis) {
        sortAlong(refs, scratch, box, axis);
        box.sortedBy = axis;
    }
    uint64_t weight = 0;
    for (size_t i = box.start; i < box.start + box.len; ++i)
        weight += refs[i].count;
    const uint64_t median = (weight + 1) / 2;
    uint64_t below = 0;
    size_t cut = box.start;
    for (; cut < box.start + box.len - 2; ++cut) {
        below += refs[cut].count;
        if (below > median)
            break;
    }
    Box upper;
    upper.start = cut + 1;
    upper.len = box.start + box.len - upper.start;
    upper.sortedBy = box.sortedBy;
    box.len -= upper.len;
    averageOf(refs, box);
    averageOf(refs, upper);
    boxes.push_back(upper);
}

std::vector<Ref> usedColours(const HugePageArray<std::atomic<uint32_t>> &counts)
{
    size_t used = 0;
    for (size_t colour = 0; colour < kColours; ++colour)
        used += counts[colour].load(std::memory_order_relaxed) != 0;
    std::vector<Ref> refs;
    refs.reserve(used);
    for (size_t colour = 0; colour < kColours; ++colour)
        if (const uint32_t count = counts[colour].load(std::memory_order_relaxed))
            refs.push_back({uint32_t(colour), count});
    return refs;
}

} // namespace

ColourStatistics::ColourStatistics() : m_counts(std::make_unique<HugePageArray<std::atomic<uint32_t>>>(kColours, 0u))
{
}

ColourStatistics::~ColourStatistics() = default;

bool ColourStatistics::add(const AVFrame *bgra)
{
    if (!bgra || bgra->format != AV_PIX_FMT_BGRA || !m_counts)
        return false;
    // Runs of one colour are tallied here first: every thread adding to the same shared
    // counter one pixel at a time would keep handing its cache line back and forth.
    struct Tally
    {
        uint32_t colour = kNoColour;
        uint32_t count = 0;
    };
    std::array<Tally, kTallies> tallies{};
    const auto flush = [this](const Tally &tally) {
        if (tally.count)
            (*m_counts)[tally.colour].fetch_add(tally.count, std::memory_order_relaxed);
    };
    for (int y = 0; y < bgra->height; ++y) {
        const uint8_t *pixel = bgra->data[0] + static_cast<ptrdiff_t>(y) * bgra->linesize[0];
        for (int x = 0; x < bgra->width; ++x, pixel += 4) {
            const uint32_t colour = uint32_t(pixel[2]) << 16 | uint32_t(pixel[1]) << 8 | pixel[0];
            Tally &tally = tallies[(colour * 0x9E3779B1u) >> (32 - kTallyBits)];
            if (tally.colour != colour) {
                flush(tally);
                tally = Tally{colour, 0};
            }
            ++tally.count;
        }
    }
    for (const Tally &tally : tallies)
        flush(tally);
    m_pixels.fetch_add(uint64_t(bgra->width) * uint64_t(bgra->height), std::memory_order_relaxed);
    return true;
}

bool ColourStatistics::makePalette(AVFrame *palette)
{
    if (m_pixels.load() == 0 || !m_counts)
        return false;
    std::vector<Ref> refs = usedColours(*m_counts);
    // The counters are done with: the cut needs their memory for sorting.
    m_counts.reset();
    std::vector<Box> boxes;
    boxes.reserve(kMostBoxes);
    boxes.push_back(Box{0, -1, 0, refs.size(), -1});
    averageOf(refs, boxes.front());
    std::vector<Ref> scratch;
    for (int next = boxes.front().len > 1 ? 0 : -1; next >= 0; next = nextBoxToSplit(refs, boxes))
        split(refs, scratch, boxes, size_t(next));

    av_frame_unref(palette);
    palette->format = AV_PIX_FMT_BGRA;
    palette->width = 16;
    palette->height = 16;
    if (av_frame_get_buffer(palette, 0) < 0)
        return false;
    for (int i = 0; i < 256; ++i) {
        uint8_t *entry = palette->data[0] + (i / 16) * palette->linesize[0] + (i % 16) * 4;
        const bool used = size_t(i) < boxes.size();
        const uint32_t colour = used ? boxes[size_t(i)].colour : 0;
        entry[0] = uint8_t(colour);
        entry[1] = uint8_t(colour >> 8);
        entry[2] = uint8_t(colour >> 16);
        entry[3] = used ? 0xFF : 0; // unused entries and the last slot are transparent
    }
    return true;
}
