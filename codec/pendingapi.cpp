#include "mmc.h"

// Conversions and tracks arrive with the converter; until then every call fails.
extern "C" {

MMC_Handle MMC_CreateConverter(int)
{
    return 0;
}

MMC_Handle MMC_CreateConverterAlt(int)
{
    return 0;
}

int MMC_ConverterOpenFile(MMC_Handle, const char *, const char *, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterOpenDvd(MMC_Handle, const char *, const char *, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterOpenImage(MMC_Handle, MMC_Handle, MMC_Handle, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterOpenDvdImage(MMC_Handle, const char *, MMC_Handle, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterOpenImageFile(MMC_Handle, MMC_Handle, const char *, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterOpenTracks(MMC_Handle, MMC_Handle, MMC_Handle, MMC_Handle, const char *, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterOpenTracksImage(MMC_Handle, MMC_Handle, MMC_Handle, MMC_Handle, MMC_Handle, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterSetTimeRange(MMC_Handle, uint64_t, uint64_t)
{
    return 0;
}

int MMC_ConverterStart(MMC_Handle)
{
    return 0;
}

int MMC_ConverterIsFinished(MMC_Handle)
{
    return 0;
}

int MMC_ConverterHasFailed(MMC_Handle)
{
    return 0;
}

uint64_t MMC_ConverterGetDone(MMC_Handle)
{
    return 0;
}

uint64_t MMC_ConverterGetTotal(MMC_Handle)
{
    return 0;
}

int MMC_ConverterCancel(MMC_Handle)
{
    return 0;
}

void MMC_ConverterClose(MMC_Handle)
{
}

void MMC_DestroyConverter(MMC_Handle)
{
}

MMC_Handle MMC_CreateTrack(int)
{
    return 0;
}

int MMC_TrackSetCodec(MMC_Handle, uint32_t)
{
    return 0;
}

int MMC_TrackSetTimeBase(MMC_Handle, uint32_t, uint32_t)
{
    return 0;
}

int MMC_TrackSetSampleRate(MMC_Handle, uint32_t)
{
    return 0;
}

int MMC_TrackSetChannels(MMC_Handle, uint32_t)
{
    return 0;
}

int MMC_TrackSetExtraData(MMC_Handle, const void *, uint32_t)
{
    return 0;
}

int MMC_TrackSetVideoSize(MMC_Handle, uint32_t, uint32_t)
{
    return 0;
}

int MMC_TrackSetFrameRate(MMC_Handle, uint32_t, uint32_t)
{
    return 0;
}

int MMC_TrackSetDisplaySize(MMC_Handle, uint32_t, uint32_t)
{
    return 0;
}

int MMC_TrackSetVideoExtra(MMC_Handle, uint32_t, uint32_t)
{
    return 0;
}

int MMC_TrackWritePacket(MMC_Handle, MMC_Handle)
{
    return 0;
}

uint64_t MMC_TrackGetTime(MMC_Handle)
{
    return 0;
}

void MMC_DestroyTrack(MMC_Handle)
{
}

MMC_Handle MMC_CreatePacket(void)
{
    return 0;
}

int MMC_PacketSetPts(MMC_Handle, uint64_t)
{
    return 0;
}

int MMC_PacketSetDts(MMC_Handle, uint64_t)
{
    return 0;
}

int MMC_PacketSetDuration(MMC_Handle, uint32_t)
{
    return 0;
}

int MMC_PacketSetFlags(MMC_Handle, uint32_t)
{
    return 0;
}

int MMC_PacketSetData(MMC_Handle, const void *, uint32_t)
{
    return 0;
}

void MMC_ReleasePacket(MMC_Handle)
{
}

} // extern "C"