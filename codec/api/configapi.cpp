#include <cstring>
#include <memory>

#include "api/handletable.h"
#include "encodeconfig.h"
#include "mmc.h"

namespace {

template <class Change> int updateConfig(MMC_Handle cfg, Change change)
{
    const auto config = HandleTable::get<EncodeConfig>(HandleTable::Family::EncodeConfig, cfg);
    if (!config)
        return 0;
    config->update(change);
    return 1;
}

} // namespace

extern "C" {

MMC_Handle MMC_CreateEncodeConfig(void)
{
    return HandleTable::insert(HandleTable::Family::EncodeConfig, std::make_shared<EncodeConfig>());
}

void MMC_ReleaseEncodeConfig(MMC_Handle cfg)
{
    HandleTable::take(HandleTable::Family::EncodeConfig, cfg);
}

int MMC_ConfigSetVideoCodec(MMC_Handle cfg, uint32_t codec)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.videoCodec = codec; });
}

int MMC_ConfigSetAudioCodec(MMC_Handle cfg, uint32_t codec)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.audioCodec = codec; });
}

int MMC_ConfigSetCodecMode(MMC_Handle cfg, int mode)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.codecMode = mode; });
}

int MMC_ConfigSetProfile(MMC_Handle cfg, int profile)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.profile = profile; });
}

int MMC_ConfigSetAudioEncoderName(MMC_Handle cfg, const char *name)
{
    const std::string copy = name ? name : "";
    return updateConfig(cfg, [&](EncodeSettings &s) { s.audioEncoder = copy; });
}

int MMC_ConfigSetVideoSize(MMC_Handle cfg, uint32_t width, uint32_t height)
{
    return updateConfig(cfg, [=](EncodeSettings &s) {
        s.width = width;
        s.height = height;
    });
}

int MMC_ConfigSetFrameRate(MMC_Handle cfg, uint32_t num, uint32_t den)
{
    return updateConfig(cfg, [=](EncodeSettings &s) {
        s.rateNum = num;
        s.rateDen = den;
    });
}

int MMC_ConfigSetVideoBitrate(MMC_Handle cfg, uint32_t bps)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.videoBitrate = bps; });
}

int MMC_ConfigSetAudioBitrate(MMC_Handle cfg, uint32_t bps)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.audioBitrate = bps; });
}

int MMC_ConfigSetAudioChannels(MMC_Handle cfg, uint32_t channels)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.channels = channels; });
}

int MMC_ConfigSetSampleRate(MMC_Handle cfg, uint32_t hz)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.sampleRate = hz; });
}

int MMC_ConfigSetVideoOption(MMC_Handle cfg, uint32_t quality)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.quality = quality > 100 ? 100 : quality; });
}

int MMC_ConfigSetOptionFlag(MMC_Handle cfg, uint32_t flag)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.optionFlag = flag; });
}

// "exif_data" asks for the source's own metadata in the stills; its value is ignored, as
// callers pass none. Colour profiles have no place in a movie's frames: accepted so
// callers pass.
int MMC_ConfigSetBlobOption(MMC_Handle cfg, const char *name, const void *, uint32_t)
{
    const bool exif = name && std::strcmp(name, "exif_data") == 0;
    return updateConfig(cfg, [=](EncodeSettings &s) { s.keepExif = s.keepExif || exif; });
}

int MMC_ConfigSetIndexedOption(MMC_Handle cfg, int index, uint32_t)
{
    if (index != 1)
        return updateConfig(cfg, [](EncodeSettings &) {});
    return updateConfig(cfg, [](EncodeSettings &s) { s.keepAspect = true; });
}

int MMC_ConfigSetIntOption(MMC_Handle cfg, int value)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.intOption = value; });
}

int MMC_ConfigSetUIntOption(MMC_Handle cfg, uint32_t value)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.pixelFormat = value; });
}

int MMC_ConfigAddChapter(MMC_Handle cfg, uint64_t start, uint64_t length, const char *title)
{
    const EncodeSettings::Chapter chapter{start, length, title ? title : ""};
    return updateConfig(cfg, [&](EncodeSettings &s) { s.chapters.push_back(chapter); });
}

int MMC_ConfigSetTrackModeA(MMC_Handle cfg, int mode)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.trackModes[0] = mode; });
}

int MMC_ConfigSetTrackModeB(MMC_Handle cfg, int mode)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.trackModes[1] = mode; });
}

int MMC_ConfigSetTrackModeC(MMC_Handle cfg, int mode)
{
    return updateConfig(cfg, [=](EncodeSettings &s) { s.trackModes[2] = mode; });
}

} // extern "C"
