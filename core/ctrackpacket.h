#pragma once

#include <cstdint>

// One encoded frame of a program-fed track; times are in units of timescale.
struct CTrackPacket
{
    uint64_t pts = 0;
    uint64_t dts = 0;
    uint32_t duration = 0;
    uint32_t reserved = 0;
    uint32_t timescale = 0;
    uint32_t flags = 0; // 1 = key frame
    uint32_t size = 0;
    const unsigned char *data = nullptr; // owned by the caller, read only during the call
};
