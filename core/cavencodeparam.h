#pragma once

#include "cavencodemetainfo.h"

#include <cstdint>

// What a conversion job produces. The record owns format and extraData (malloc blocks,
// released with free); a job keeps its own deep copy, so the caller may delete its record
// right after the start returns.
class CAVEncodeParam
{
public:
    static constexpr uint32_t kNoAudioCodec = 0xFFFFFFFFu;
    static constexpr uint32_t kNoOptionUInt = 0xFFFFFFFFu;

    CAVEncodeParam();
    explicit CAVEncodeParam(const CAVEncodeParam *other); // deep copy
    ~CAVEncodeParam();

    // Implicit copies would share the owned blocks and free them twice.
    CAVEncodeParam(const CAVEncodeParam &) = delete;
    CAVEncodeParam &operator=(const CAVEncodeParam &) = delete;

    // The cleared state every builder starts from: numbers through dvdTitle, the time
    // range and the percentages zero, format released, tags reset.
    void ClearForBuild();

    // Replaces format by a malloc'd copy of text (null clears it).
    void SetFormat(const char *text);

    char *format = nullptr;
    uint32_t videoCodec = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t frameRate100 = 0;
    uint32_t frameRateNum = 0;
    uint32_t frameRateDen = 0;
    uint32_t videoBitrate = 0; // kbit/s
    uint32_t quality = 0;
    uint32_t audioCodec = 0;
    uint32_t sampleRate = 0; // 0 = 44100
    uint32_t channels = 0;   // 0 = 2
    uint32_t audioBitrate = 0; // kbit/s
    uint32_t optionFlag = 0;
    uint32_t scaleOptionOn = 1;
    uint32_t scaleOptionValue = 0xFF000000u;
    int32_t dvdTitle = 0;
    uint64_t rangeStart = 0;  // microseconds
    uint64_t rangeLength = 0; // microseconds; 0 = to the end
    CAVEncodeMetaInfo metaInfo;
    uint32_t firstPercent = 100;
    uint32_t speedPercent = 100;
    uint32_t thirdPercent = 100;
    unsigned char *extraData = nullptr;
    int32_t extraDataSize = 0;
    bool dvdSource = false;
    bool altEngine = false;
    uint32_t optionUInt = kNoOptionUInt; // frame format
    uint32_t imageKey = 0;
};
