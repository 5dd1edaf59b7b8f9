#pragma once

#include <cstdint>

// What the media information reader copies out of the codec library. Texts point into
// the library and stay valid while the reader that filled them lives.
struct MediaVideoInfo
{
    uint32_t codec;
    uint32_t bitRate;
    uint32_t width;
    uint32_t height;
    uint32_t aspectX;
    uint32_t aspectY;
    uint32_t frameRate100; // frame rate times 100; 0 when unknown
    uint32_t frameCount;   // 0 when unknown
};

struct MediaAudioInfo
{
    const char *codecName;
    uint32_t sampleRate;
    uint32_t channels;
    uint32_t bitRate;
    uint64_t duration; // microseconds
    uint32_t bitsPerSample;
};

struct MediaGeneralInfo
{
    uint64_t duration; // microseconds
    const char *format;
    const char *title;
    const char *artist;
    const char *album;
    const char *genre;
    const char *year;
    const char *date;
    int32_t userValue; // the caller's own; the reader leaves it alone
    unsigned char *thumbnail; // an encoded BMP owned by the reader
};
