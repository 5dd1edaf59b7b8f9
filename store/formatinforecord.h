#pragma once

#include <string>
#include <vector>

// Everything a format dialog can offer for one output format; texts are UTF-8.
struct FormatInfoRecord
{
    bool onlyAudio = false;
    std::vector<std::string> vEncoders;
    std::vector<std::string> vResolutions;
    std::vector<std::string> vFrameRates;
    std::vector<std::string> vBitRates;
    std::vector<std::string> aEncoders;
    std::vector<std::string> aChannels;
    std::vector<std::string> aSampleRates;
    std::vector<std::string> aBitRates;
    std::string ext;
    std::string category;
    std::string formatId;
    std::string vEncoder;
    std::string vResolution;
    std::string vBitRateLow;
    std::string vBitRateHigh;
    std::string vBitRateDefault;
    std::string vFrameRateDefault;
    std::string aEncoder;
    std::string aChannel;
    std::string aBitRateLow;
    std::string aBitRateHigh;
    std::string aBitRateDefault;
    std::string aSampleRateDefault;
    bool autoChoice = false;
};
