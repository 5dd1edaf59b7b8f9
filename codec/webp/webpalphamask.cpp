#include "webp/webpalphamask.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <queue>

namespace {

constexpr uint8_t kLosslessHeader = 1; // lossless, unfiltered, levels as given
constexpr int kColourIndexing = 3;
constexpr int kPixelsPerCode = 8; // two colours take a bit a pixel
constexpr int kLiterals = 256;
constexpr int kLengthCodes = 24;
constexpr int kGreenAlphabet = kLiterals + kLengthCodes;
constexpr int kDistanceAlphabet = 40;
constexpr int kLongestCopy = 4096;
constexpr int kShortestCopy = 4; // shorter ones cost more than their literals
constexpr int kLongestCode = 15;
constexpr int kLongestLengthCode = 7;
constexpr int kCodeLengthCodes = 19;
constexpr int kCodeLengthOrder[kCodeLengthCodes] = {17, 18, 0, 1, 2, 3, 4, 5, 16, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr int kFewZeros = 17;  // 3 to 10 lengths of zero
constexpr int kManyZeros = 18; // 11 to 138
constexpr size_t kMostZeros = 138;
// Distance codes of the neighbours copied from.
constexpr int kAbove = 1;
constexpr int kLeft = 2;

// Appends to `out`, least significant bit first, as the format reads them.
class BitWriter
{
public:
    explicit BitWriter(std::vector<uint8_t> &out) : m_out(out) {}

    void put(uint32_t bits, int count)
    {
        m_pending |= uint64_t(bits) << m_count;
        for (m_count += count; m_count >= 8; m_count -= 8, m_pending >>= 8)
            m_out.push_back(uint8_t(m_pending));
    }
    void finish()
    {
        if (m_count > 0)
            put(0, 8 - m_count);
    }

private:
    std::vector<uint8_t> &m_out;
    uint64_t m_pending = 0;
    int m_count = 0;
};

// A copy's length or distance code as a prefix symbol and extra bits.
struct Prefixed
{
    int symbol;
    int extraBits;
    int extra;
};

Prefixed prefixed(int value)
{
    if (value <= 4)
        return {value - 1, 0, 0};
    const int rest = value - 1;
    int highest = 0;
    while (rest >> (highest + 1))
        ++highest;
    const int extraBits = highest - 1;
    return {2 * highest + ((rest >> extraBits) & 1), extraBits, rest & ((1 << extraBits) - 1)};
}

// A literal of bundled pixels, or a copy of `length` codes from a neighbour.
struct Token
{
    int literal;
    int length; // 0 for a literal
    int distance;
};

// A canonical prefix code, or a lone symbol, which takes no bits.
struct PrefixCode
{
    std::vector<int> lengths;
    std::vector<uint32_t> codes; // bit-reversed, to be put as they are
    int lone = -1;

    void put(BitWriter &out, int symbol) const
    {
        if (lone < 0)
            out.put(codes[size_t(symbol)], lengths[size_t(symbol)]);
    }
};

// A length of the code lengths' own alphabet, or a run of zeros with its extra value.
struct LengthRun
{
    int symbol;
    int extra;
};

// Huffman code lengths, none over `longest`: the counts are halved until the tree fits.
std::vector<int> huffmanLengths(std::vector<uint64_t> counts, int longest)
{
    std::vector<int> lengths(counts.size(), 0);
    for (;;) {
        using Node = std::pair<uint64_t, int>;
        std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
        std::vector<int> parents(counts.size(), -1);
        for (size_t symbol = 0; symbol < counts.size(); ++symbol)
            if (counts[symbol])
                queue.emplace(counts[symbol], int(symbol));
        while (queue.size() > 1) {
            const Node first = queue.top();
            queue.pop();
            const Node second = queue.top();
            queue.pop();
            parents[size_t(first.second)] = parents[size_t(second.second)] = int(parents.size());
            parents.push_back(-1);
            queue.emplace(first.first + second.first, int(parents.size()) - 1);
        }
        int deepest = 0;
        for (size_t symbol = 0; symbol < counts.size(); ++symbol) {
            int depth = 0;
            for (int node = parents[symbol]; counts[symbol] && node >= 0; node = parents[size_t(node)])
                ++depth;
            lengths[symbol] = depth;
            deepest = std::max(deepest, depth);
        }
        if (deepest <= longest)
            return lengths;
        for (uint64_t &count : counts)
            count = (count + 1) / 2;
    }
}

// A code read by its lengths must be complete: with `partnered`, a lone symbol gets a
// partner beside it.
PrefixCode prefixCode(std::vector<uint64_t> counts, int longest, bool partnered)
{
    PrefixCode code;
    const auto isUsed = [](uint64_t count) { return count > 0; };
    const auto used = std::count_if(counts.begin(), counts.end(), isUsed);
    if (used == 0)
        counts[0] = 1;
    const size_t first = size_t(std::find_if(counts.begin(), counts.end(), isUsed) - counts.begin());
    if (used <= 1 && partnered)
        counts[first == 0 ? 1 : first - 1] = 1;
    else if (used <= 1)
        code.lone = int(first);
    code.lengths = huffmanLengths(std::move(counts), longest);
    code.codes.assign(code.lengths.size(), 0);
    uint32_t next = 0;
    for (int length = 1; length <= longest; ++length, next <<= 1)
        for (size_t symbol = 0; symbol < code.lengths.size(); ++symbol)
            if (code.lengths[symbol] == length) {
                uint32_t reversed = 0;
                for (int bit = 0; bit < length; ++bit)
                    reversed |= ((next >> bit) & 1) << (length - 1 - bit);
                code.codes[symbol] = reversed;
                ++next;
            }
    return code;
}

// The code's lengths, run-length coded with a code of their own.
void putNormalCode(BitWriter &out, const PrefixCode &code)
{
    std::vector<LengthRun> runs;
    std::vector<uint64_t> counts(kCodeLengthCodes, 0);
    for (size_t symbol = 0; symbol < code.lengths.size();) {
        size_t zeros = 0;
        while (symbol + zeros < code.lengths.size() && code.lengths[symbol + zeros] == 0 && zeros < kMostZeros)
            ++zeros;
        const LengthRun run = zeros >= 11  ? LengthRun{kManyZeros, int(zeros) - 11}
                              : zeros >= 3 ? LengthRun{kFewZeros, int(zeros) - 3}
                                           : LengthRun{code.lengths[symbol], 0};
        symbol += zeros >= 3 ? zeros : 1;
        ++counts[size_t(run.symbol)];
        runs.push_back(run);
    }
    const PrefixCode lengthCode = prefixCode(counts, kLongestLengthCode, true);
    int written = kCodeLengthCodes;
    while (written > 4 && lengthCode.lengths[size_t(kCodeLengthOrder[written - 1])] == 0)
        --written;
    out.put(0, 1); // not a simple code
    out.put(uint32_t(written - 4), 4);
    for (int i = 0; i < written; ++i)
        out.put(uint32_t(lengthCode.lengths[size_t(kCodeLengthOrder[i])]), 3);
    out.put(0, 1); // lengths for the whole alphabet
    for (const LengthRun &run : runs) {
        lengthCode.put(out, run.symbol);
        if (run.symbol == kFewZeros)
            out.put(uint32_t(run.extra), 3);
        else if (run.symbol == kManyZeros)
            out.put(uint32_t(run.extra), 7);
    }
}

// Codes of one or two symbols below 256 are written as the symbols themselves.
void putCode(BitWriter &out, const PrefixCode &code)
{
    std::vector<int> symbols;
    for (size_t symbol = 0; symbol < code.lengths.size(); ++symbol)
        if (code.lengths[symbol] > 0)
            symbols.push_back(int(symbol));
    if (code.lone >= 0)
        symbols = {code.lone};
    if (symbols.size() > 2 || symbols.back() >= kLiterals) {
        putNormalCode(out, code);
        return;
    }
    out.put(1, 1);
    out.put(uint32_t(symbols.size() - 1), 1);
    const bool wide = symbols[0] > 1;
    out.put(wide ? 1 : 0, 1);
    out.put(uint32_t(symbols[0]), wide ? 8 : 1);
    if (symbols.size() == 2)
        out.put(uint32_t(symbols[1]), 8);
}

// The five codes of a picture: green with the copy lengths, red, blue and alpha, which
// alpha planes leave at zero, and distance.
void putCodes(BitWriter &out, const PrefixCode &green, const PrefixCode &distance)
{
    std::vector<uint64_t> zeros(kLiterals, 0);
    zeros[0] = 1;
    const PrefixCode zero = prefixCode(zeros, kLongestCode, false);
    putCode(out, green);
    for (int channel = 0; channel < 3; ++channel)
        putCode(out, zero);
    putCode(out, distance);
}

// The colour table: transparent, then opaque as its difference from the first.
void putColourIndexing(BitWriter &out)
{
    out.put(1, 1);
    out.put(kColourIndexing, 2);
    out.put(2 - 1, 8);
    out.put(0, 1); // no colour cache
    std::vector<uint64_t> green(kGreenAlphabet, 0);
    green[0] = green[255] = 1;
    const PrefixCode greenCode = prefixCode(green, kLongestCode, false);
    putCodes(out, greenCode, prefixCode(std::vector<uint64_t>(kDistanceAlphabet, 0), kLongestCode, false));
    greenCode.put(out, 0);
    greenCode.put(out, 255);
}

int matchLength(const std::vector<uint8_t> &codes, size_t at, size_t from)
{
    int length = 0;
    while (at + size_t(length) < codes.size() && length < kLongestCopy && codes[at + size_t(length)] == codes[from + size_t(length)])
        ++length;
    return length;
}

// Greedy: the longer copy from above or from the left, else a literal.
std::vector<Token> tokensOf(const std::vector<uint8_t> &codes, size_t rowLength)
{
    std::vector<Token> tokens;
    for (size_t at = 0; at < codes.size();) {
        const int above = at >= rowLength ? matchLength(codes, at, at - rowLength) : 0;
        const int left = at >= 1 ? matchLength(codes, at, at - 1) : 0;
        const int longest = std::max(above, left);
        if (longest >= kShortestCopy) {
            tokens.push_back({0, longest, above >= left ? kAbove : kLeft});
            at += size_t(longest);
        } else {
            tokens.push_back({codes[at], 0, 0});
            ++at;
        }
    }
    return tokens;
}

// Eight pixels to a code, a bit each, the first lowest; the last code of a row repeats
// its last pixel.
bool bundle(const uint8_t *alpha, int stride, int width, int height, size_t rowLength, std::vector<uint8_t> &codes)
{
    codes.assign(rowLength * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t *row = alpha + std::ptrdiff_t(y) * stride;
        for (size_t x = 0; x < rowLength * kPixelsPerCode; ++x) {
            const uint8_t value = row[std::min(x, size_t(width) - 1)];
            if (value != 0 && value != 255)
                return false;
            if (value)
                codes[size_t(y) * rowLength + x / kPixelsPerCode] |= uint8_t(1 << (x % kPixelsPerCode));
        }
    }
    return true;
}

} // namespace

bool WebpAlphaMask::encode(const uint8_t *alpha, int stride, int width, int height, std::vector<uint8_t> &payload)
{
    payload.clear();
    if (width <= 0 || height <= 0)
        return false;
    const size_t rowLength = size_t(width + kPixelsPerCode - 1) / kPixelsPerCode;
    std::vector<uint8_t> codes;
    if (!bundle(alpha, stride, width, height, rowLength, codes))
        return false;
    const std::vector<Token> tokens = tokensOf(codes, rowLength);
    std::vector<uint64_t> greenCounts(kGreenAlphabet, 0);
    std::vector<uint64_t> distanceCounts(kDistanceAlphabet, 0);
    for (const Token &token : tokens) {
        if (!token.length) {
            ++greenCounts[size_t(token.literal)];
            continue;
        }
        ++greenCounts[size_t(kLiterals + prefixed(token.length).symbol)];
        ++distanceCounts[size_t(prefixed(token.distance).symbol)];
    }
    const PrefixCode green = prefixCode(greenCounts, kLongestCode, true);
    const PrefixCode distance = prefixCode(distanceCounts, kLongestCode, false);

    payload.push_back(kLosslessHeader);
    BitWriter out(payload);
    putColourIndexing(out);
    out.put(0, 1); // no more transforms
    out.put(0, 1); // no colour cache
    out.put(0, 1); // one group of codes for the whole picture
    putCodes(out, green, distance);
    for (const Token &token : tokens) {
        if (!token.length) {
            green.put(out, token.literal);
            continue;
        }
        const Prefixed length = prefixed(token.length);
        green.put(out, kLiterals + length.symbol);
        out.put(uint32_t(length.extra), length.extraBits);
        distance.put(out, prefixed(token.distance).symbol);
    }
    out.finish();
    return true;
}
