#include "gif/colourstatistics.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <vector>

#include "orderedworkers.h"
#include "sidebyside.h"

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

// Small: a clip has millions of colours, and they are sorted over and over.
struct Ref
{
    uint32_t colour;
    uint64_t count;
};

struct Box
{
    uint32_t colour = 0; // the rounded mean
    int64_t variance = 0;
    uint64_t weight = 0;
    size_t start = 0;
    size_t len = 0;
    int longestAxis = 1;
};

// The box's mean colour, the spread of its colours around it and the axis of its widest
// range, all from sums taken in one pass. Green is first on a tie, as the eye tells
// green apart best.
void describe(const std::vector<Ref> &refs, Box &box)
{
    uint64_t sums[3] = {};
    uint64_t squares[3] = {};
    uint64_t weight = 0;
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    for (size_t i = box.start; i < box.start + box.len; ++i) {
        const uint64_t count = refs[i].count;
        weight += count;
        for (int axis = 0; axis < 3; ++axis) {
            const int value = channel(refs[i].colour, axis);
            sums[axis] += uint64_t(value) * count;
            squares[axis] += uint64_t(value * value) * count;
            low[axis] = std::min(low[axis], value);
            high[axis] = std::max(high[axis], value);
        }
    }
    box.weight = weight;
    box.colour = 0;
    box.variance = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const int64_t mean = int64_t((sums[axis] + weight / 2) / weight);
        box.colour = box.colour << 8 | uint32_t(mean);
        // The sum of count * (value - mean)^2, expanded.
        box.variance += int64_t(squares[axis]) - 2 * mean * int64_t(sums[axis]) + mean * mean * int64_t(weight);
    }
    const int r = high[0] - low[0];
    const int g = high[1] - low[1];
    const int b = high[2] - low[2];
    box.longestAxis = (g >= r && g >= b) ? 1 : (r >= b ? 0 : 2);
}

// The box whose colours spread most, among those that can still be cut; -1 when none.
int nextBoxToSplit(const std::vector<Box> &boxes)
{
    if (boxes.size() >= kMostBoxes)
        return -1;
    int best = -1;
    int64_t most = -1;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].len >= 2 && boxes[i].variance > most) {
            most = boxes[i].variance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// The order a box's colours are cut in: by one channel, then by the other two. Colours
// are unique, so no two share a key.
uint32_t keyAlong(uint32_t colour, int axis)
{
    const int second = axis == 0 ? 1 : 0;
    const int third = axis == 2 ? 1 : 2;
    return uint32_t(channel(colour, axis)) << 16 | uint32_t(channel(colour, second)) << 8
           | uint32_t(channel(colour, third));
}

// Cuts the box at the median of its weight along its longest axis; each side keeps a
// colour. The cut falls where it would in the box sorted by keyAlong, but only the
// colours of the one channel value the median falls in are sorted: a clip has a million
// colours or more, and sorting all of a box's for each cut took most of the palette's time.
void split(std::vector<Ref> &refs, std::vector<Ref> &scratch, std::vector<Box> &boxes, size_t index)
{
    Box &box = boxes[index];
    const int axis = box.longestAxis;
    Ref *const begin = refs.data() + box.start;
    Ref *const end = begin + box.len;
    std::array<uint64_t, 256> weights{};
    std::array<size_t, 256> colours{};
    for (const Ref *ref = begin; ref != end; ++ref) {
        const auto value = size_t(channel(ref->colour, axis));
        weights[value] += ref->count;
        ++colours[value];
    }
    // The lower side ends with the first colour in key order whose running weight passes
    // the median: find the channel value it has, then the colour among that value's.
    const uint64_t median = (box.weight + 1) / 2;
    uint64_t below = 0;
    size_t lowerCount = 0;
    int value = 0;
    for (; below + weights[size_t(value)] <= median; ++value) {
        below += weights[size_t(value)];
        lowerCount += colours[size_t(value)];
    }
    scratch.clear();
    std::copy_if(begin, end, std::back_inserter(scratch), [&](const Ref &ref) { return channel(ref.colour, axis) == value; });
    std::sort(scratch.begin(), scratch.end(),
              [axis](const Ref &a, const Ref &b) { return keyAlong(a.colour, axis) < keyAlong(b.colour, axis); });
    size_t last = 0;
    for (below += scratch[0].count; below <= median; below += scratch[++last].count) {
    }
    lowerCount += last + 1;
    uint32_t limit = keyAlong(scratch[last].colour, axis) + 1; // keys under it go below
    if (lowerCount == box.len) { // the upper side keeps at least the last colour
        --lowerCount;
        --limit;
    }
    std::partition(begin, end, [&](const Ref &ref) { return keyAlong(ref.colour, axis) < limit; });
    Box upper;
    upper.start = box.start + lowerCount;
    upper.len = box.len - lowerCount;
    box.len = lowerCount;
    describe(refs, box);
    describe(refs, upper);
    boxes.push_back(upper);
}

// The colours counted, in colour order. Sixteen million counters are read twice, each
// part of them on a core of its own.
std::vector<Ref> usedColours(const HugePageArray<std::atomic<uint32_t>> &counts)
{
    const int parts = OrderedWorkers::defaultThreads(8);
    const size_t step = (kColours + size_t(parts) - 1) / size_t(parts);
    const auto countAt = [&](size_t colour) { return counts[colour].load(std::memory_order_relaxed); };
    std::vector<size_t> starts(size_t(parts) + 1, 0);
    runSideBySide(parts, [&](int part) {
        const size_t begin = size_t(part) * step;
        size_t used = 0;
        for (size_t colour = begin; colour < std::min(kColours, begin + step); ++colour)
            used += countAt(colour) != 0;
        starts[size_t(part) + 1] = used;
    });
    for (int part = 0; part < parts; ++part)
        starts[size_t(part) + 1] += starts[size_t(part)];
    std::vector<Ref> refs(starts.back());
    runSideBySide(parts, [&](int part) {
        const size_t begin = size_t(part) * step;
        Ref *next = refs.data() + starts[size_t(part)];
        for (size_t colour = begin; colour < std::min(kColours, begin + step); ++colour)
            if (const uint64_t count = countAt(colour))
                *next++ = {uint32_t(colour), count};
    });
    return refs;
}

} // namespace

ColourStatistics::ColourStatistics()
    : m_counts(std::make_unique<HugePageArray<std::atomic<uint32_t>>>(kColours, uint32_t(0)))
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
            addPixels(tally.colour, tally.count);
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
    return true;
}

void ColourStatistics::addPixels(uint32_t colour, uint64_t pixels)
{
    constexpr uint32_t most = UINT32_MAX;
    const auto added = static_cast<uint32_t>(std::min<uint64_t>(pixels, most));
    std::atomic<uint32_t> &count = (*m_counts)[colour];
    // The thread whose addition wraps the count puts it back at the top; what others
    // add meanwhile is lost to a count that is full anyway.
    if (count.fetch_add(added, std::memory_order_relaxed) > most - added)
        count.store(most, std::memory_order_relaxed);
}

bool ColourStatistics::makePalette(AVFrame *palette)
{
    if (!m_counts)
        return false;
    std::vector<Ref> refs = usedColours(*m_counts);
    // The counters are done with: the cut needs their memory for sorting.
    m_counts.reset();
    if (refs.empty())
        return false;
    std::vector<Box> boxes;
    boxes.reserve(kMostBoxes);
    Box whole;
    whole.len = refs.size();
    describe(refs, whole);
    boxes.push_back(whole);
    std::vector<Ref> scratch;
    for (int next = whole.len > 1 ? 0 : -1; next >= 0; next = nextBoxToSplit(boxes))
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
