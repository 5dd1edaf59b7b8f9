#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The player's audio block: a magnitude spectrum of the sound just heard.
// Layout: u64 pts @0, u32 sample rate @8, u32 channels (1) @12, u32 bits per value (16)
// @16, u32 value count N @20, u32 2 x sample rate @24, reserved to 40, u32 byte count
// 2N @40, then N u16 values from 44; bin i lies at i x rate / 2N Hz.
namespace AudioSpectrum {

// The window length (2N) for blocks fetched every intervalUs.
size_t windowFor(uint64_t intervalUs, int sampleRate);
// samples: 2N mono values in -1..1, N a power of two up to 4096. Free with av_free.
void *makeBlock(const std::vector<float> &samples, int sampleRate, int64_t ptsUs);

} // namespace AudioSpectrum
