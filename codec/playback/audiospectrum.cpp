#include "playback/audiospectrum.h"

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/tx.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr size_t kHeader = 44;
constexpr size_t kSmallestWindow = 256;
constexpr size_t kLargestWindow = 8192;

void putU32(uint8_t *block, size_t offset, uint32_t value)
{
    std::memcpy(block + offset, &value, sizeof value);
}

} // namespace

namespace AudioSpectrum {

size_t windowFor(uint64_t intervalUs, int sampleRate)
{
    const uint64_t wanted = intervalUs * static_cast<uint64_t>(std::max(sampleRate, 1)) / 1000000;
    size_t window = kSmallestWindow;
    while (window < wanted && window < kLargestWindow)
        window *= 2;
    return window;
}

void *makeBlock(const std::vector<float> &samples, int sampleRate, int64_t ptsUs)
{
    const size_t window = samples.size();
    const size_t bins = window / 2;
    AVTXContext *transform = nullptr;
    av_tx_fn run = nullptr;
    float scale = 1.0f;
    if (bins == 0 || av_tx_init(&transform, &run, AV_TX_FLOAT_RDFT, 0, static_cast<int>(window), &scale, 0) < 0)
        return nullptr;
    // The transform's vector code wants aligned buffers.
    auto *input = static_cast<float *>(av_malloc(window * sizeof(float)));
    auto *output = static_cast<AVComplexFloat *>(av_malloc((bins + 1) * sizeof(AVComplexFloat)));
    auto *block = static_cast<uint8_t *>(av_mallocz(kHeader + bins * sizeof(uint16_t)));
    if (!input || !output || !block) {
        av_free(input);
        av_free(output);
        av_free(block);
        av_tx_uninit(&transform);
        return nullptr;
    }
    for (size_t i = 0; i < window; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(window));
        input[i] = samples[i] * static_cast<float>(hann);
    }
    run(transform, output, input, sizeof(float));
    av_tx_uninit(&transform);
    av_free(input);

    const uint64_t pts = static_cast<uint64_t>(std::max<int64_t>(ptsUs, 0));
    std::memcpy(block, &pts, sizeof pts);
    putU32(block, 8, static_cast<uint32_t>(sampleRate));
    putU32(block, 12, 1);
    putU32(block, 16, 16);
    putU32(block, 20, static_cast<uint32_t>(bins));
    putU32(block, 24, static_cast<uint32_t>(sampleRate) * 2);
    putU32(block, 40, static_cast<uint32_t>(bins * sizeof(uint16_t)));
    // A full-scale sine gives an amplitude of 1 over the Hann window's gain of N / 2.
    const double toAmplitude = 2.0 / static_cast<double>(bins);
    for (size_t i = 0; i < bins; ++i) {
        const double amplitude = std::hypot(output[i].re, output[i].im) * toAmplitude;
        const double decibels = 20.0 * std::log10(std::max(amplitude, 1e-9));
        const double level = std::clamp((decibels + 80.0) / 80.0, 0.0, 1.0);
        const auto value = static_cast<uint16_t>(std::lround(level * 65535.0));
        std::memcpy(block + kHeader + i * sizeof(uint16_t), &value, sizeof value);
    }
    av_free(output);
    return block;
}

} // namespace AudioSpectrum
