#include "zvavcodecanalysis.h"

#include <map>

unsigned int ZVAVCodecAnalysis::codecIDOfFourcc(std::string name)
{
    // Ids in the codec library's numbering; H265, Xvid and DIVX are FourCC values.
    static const std::map<std::string, unsigned int> kCodecs = {
        {"AC3", 0x15003},   {"in24", 0x1000D}, {"mp43", 17},         {"wma3", 0x15026},
        {"wma2", 0x15008},  {"wma1", 0x15007}, {"MP3", 0x15001},     {"VP8", 141},
        {"VP9", 169},       {"AAC", 0x15002},  {"MJPG", 8},          {"MP4V", 13},
        {"OGG", 0x15005},   {"WMV1", 18},      {"WMV2", 19},         {"VBIS", 0x15005},
        {"mpg1", 1},        {"HMP2", 2},       {"mp2v", 2},          {"alac", 0x15010},
        {"mp1v", 1},        {"H263", 5},       {"H264", 28},         {"H265", 0x48323635},
        {"Xvid", 0x44495658}, {"DIVX", 0x30355844}, {"MP2A", 0x15000}, {"PCM", 0x10000},
        {"APE", 0x10000},   {"caf", 0x11000},  {"DV60", 25},         {"flac", 0x1500C},
        {"AMRN", 0x12000},  {"flv1", 22},      {"fmp3", 0x1100D},    {"DV50", 25},
        {"WMV3", 72},       {"vc-1", 71},      {"pcmb", 0x10001},    {"OGV", 31},
    };
    const auto found = kCodecs.find(name);
    return found == kCodecs.end() ? 0 : found->second;
}

std::string ZVAVCodecAnalysis::formatOfFourCC(std::string extension)
{
    static const std::map<std::string, std::string> kFormats = {
        {"m4v", "mp4"},      {"WebM", "webm"}, {"wmv", "asf"}, {"trp", "mpegts"}, {"mkv", "matroska"},
        {"wma", "asf"},      {"mpg", "mpeg"},  {"mka", "matroska"}, {"ts", "mpegts"}, {"aac", "adts"},
        {"m4a", "mp4"},      {"m4b", "mp4"},   {"DivX", "avi"}, {"m4r", "mp4"}, {"ogv", "ogg"},
        {"alac", "mov"},
    };
    const auto found = kFormats.find(extension);
    return found == kFormats.end() ? extension : found->second;
}

std::string ZVAVCodecAnalysis::formatOfCodecID(unsigned int codecId, std::string &extension)
{
    switch (codecId) {
    case 0x15002:
        extension = "m4a";
        return "mp4";
    case 0x1502A:
        extension = "asf";
        return "asf";
    default:
        extension = "mp3";
        return "mp3";
    }
}

std::string ZVAVCodecAnalysis::formatForFormatName(std::string probedName, std::string brand)
{
    if (probedName == "mov,mp4,m4a,3gp,3g2,mj2") {
        if (brand == "qt  ")
            return "mov";
        if (brand == "f4v ")
            return "f4v";
        if (brand.compare(0, 3, "3gp") == 0)
            return "3gp";
        if (brand.compare(0, 3, "3g2") == 0)
            return "3g2";
        return "mp4";
    }
    if (probedName == "matroska,webm")
        return brand == "matroska" || brand == "webm" ? brand : "mp4";
    return probedName;
}

void ZVAVCodecAnalysis::GetVideoFrameRate(unsigned int rate, unsigned int &numerator, unsigned int &denominator)
{
    switch (rate) {
    case 23:
        numerator = 24000;
        denominator = 1001;
        break;
    case 29:
        numerator = 30000;
        denominator = 1001;
        break;
    case 59:
        numerator = 60000;
        denominator = 1001;
        break;
    default:
        numerator = rate;
        denominator = 1;
    }
}
