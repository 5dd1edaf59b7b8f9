#pragma once

#include <cstdint>

// Description of one track fed by the program itself; zero means "not known" throughout.
struct CTrackDesc
{
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t videoExtra1 = 0; // handed to the library's extra video call as they are
    uint32_t videoExtra2 = 0;
    uint32_t frameRate = 0;
    uint32_t frameRateScale = 0;
    uint32_t aspectX = 0;
    uint32_t aspectY = 0;
    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint32_t reserved1 = 0;
    uint32_t esDataLength = 0;
    uint32_t reserved2 = 0;
    uint32_t reserved3 = 0;
    const unsigned char *esData = nullptr; // codec extra data, owned by the caller
};
