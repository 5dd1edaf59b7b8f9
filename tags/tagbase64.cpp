#include "tagbase64.h"

#include <cstdint>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

int Base64Encode(const unsigned char *source, int sourceLength, char *output, int capacity)
{
    if ((!source && sourceLength > 0) || !output || sourceLength < 0)
        return -1;
    const int usable = capacity / 4 * 4;
    const int64_t needed = (int64_t(sourceLength) + 2) / 3 * 4;
    if (usable < 4 || needed >= usable)
        return -1;
    int out = 0;
    for (int i = 0; i < sourceLength; i += 3) {
        const int rest = sourceLength - i;
        const uint32_t group = uint32_t(source[i]) << 16 | (rest > 1 ? uint32_t(source[i + 1]) << 8 : 0)
            | (rest > 2 ? source[i + 2] : 0);
        output[out++] = kAlphabet[(group >> 18) & 63];
        output[out++] = kAlphabet[(group >> 12) & 63];
        output[out++] = rest > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        output[out++] = rest > 2 ? kAlphabet[group & 63] : '=';
    }
    return out;
}

int Base64Decode(const char *source, int sourceLength, unsigned char *output, int capacity)
{
    if (!source || !output || capacity < 1 || sourceLength < 0)
        return -1;
    uint32_t bits = 0;
    int bitCount = 0;
    int out = 0;
    for (int i = 0; i < sourceLength && source[i] != '='; ++i) {
        if (source[i] == '\r' || source[i] == '\n')
            continue;
        const int sextet = SextetOf(source[i]);
        if (sextet < 0)
            return -1;
        bits = (bits << 6 | uint32_t(sextet)) & 0xFFFFFF;
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            if (out + 1 >= capacity)
                return -1;
            output[out++] = static_cast<unsigned char>(bits >> bitCount);
        }
    }
    return out;
}
