#pragma once

#include <string>

// Fixed tables between the catalogue's short codec and container names and the
// codec library's identifiers.
class ZVAVCodecAnalysis
{
public:
    static unsigned int codecIDOfFourcc(std::string name);
    static std::string formatOfFourCC(std::string extension);
    static std::string formatOfCodecID(unsigned int codecId, std::string &extension);
    static std::string formatForFormatName(std::string probedName, std::string brand);
    static void GetVideoFrameRate(unsigned int rate, unsigned int &numerator, unsigned int &denominator);
};
