#include "convertconfig.h"

#include "cavencodeparam.h"
#include "mmc.h"

namespace {

constexpr uint32_t kH265 = 0x48323635u;
constexpr uint32_t kH264 = 28;
constexpr uint32_t kAac = 0x15002u;

} // namespace

void FillConvertConfig(uint32_t config, const CAVEncodeParam *p)
{
    if (!config || !p || p->altEngine)
        return;
    MMC_ConfigSetVideoCodec(config, p->videoCodec);
    MMC_ConfigSetAudioCodec(config, p->audioCodec);
    if (p->videoCodec == kH265) {
        MMC_ConfigSetCodecMode(config, 2);
        MMC_ConfigSetProfile(config, 1);
    } else if (p->videoCodec == kH264) {
        MMC_ConfigSetCodecMode(config, 2);
        MMC_ConfigSetProfile(config, 66);
    }
    if (p->audioCodec == kAac)
        MMC_ConfigSetAudioEncoderName(config, "aac");
    if (p->width && p->height)
        MMC_ConfigSetVideoSize(config, p->width, p->height);
    if (p->frameRate100)
        MMC_ConfigSetFrameRate(config, p->frameRate100, 100);
    else if (p->frameRateNum)
        MMC_ConfigSetFrameRate(config, p->frameRateNum, p->frameRateDen);
    if (p->videoBitrate)
        MMC_ConfigSetVideoBitrate(config, p->videoBitrate * 1000u);
    MMC_ConfigSetAudioChannels(config, p->channels ? p->channels : 2);
    MMC_ConfigSetSampleRate(config, p->sampleRate ? p->sampleRate : 44100);
    if (p->audioBitrate)
        MMC_ConfigSetAudioBitrate(config, p->audioBitrate * 1000u);
    MMC_ConfigSetVideoOption(config, p->quality);
    MMC_ConfigSetOptionFlag(config, p->optionFlag);
    MMC_ConfigSetBlobOption(config, "iccp_data", nullptr, 0);
    if (p->metaInfo.keepExif)
        MMC_ConfigSetBlobOption(config, "exif_data", nullptr, 0);
    if (p->scaleOptionOn)
        MMC_ConfigSetIndexedOption(config, 1, p->scaleOptionValue);
    if (p->dvdTitle >= 0)
        MMC_ConfigSetIntOption(config, p->dvdTitle);
    if (p->optionUInt != CAVEncodeParam::kNoOptionUInt)
        MMC_ConfigSetUIntOption(config, p->optionUInt);
}
