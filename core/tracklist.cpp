#include "tracklist.h"

#include "mmc.h"

#include <algorithm>

TrackList::~TrackList()
{
    ReleaseAll();
}

uint32_t TrackList::Add(uint32_t id, uint32_t type, uint32_t codec, const CTrackDesc &desc)
{
    if (type != 1 && type != 2 && type != 8)
        return 0;
    const uint32_t track = MMC_CreateTrack(int(type));
    if (!track)
        return 0;
    MMC_TrackSetCodec(track, codec);
    if (type == 8) {
        MMC_TrackSetTimeBase(track, 1000, 1);
    } else if (type == 2) {
        MMC_TrackSetSampleRate(track, desc.sampleRate);
        MMC_TrackSetChannels(track, desc.channels);
        MMC_TrackSetExtraData(track, desc.esData, desc.esDataLength);
    } else {
        MMC_TrackSetVideoSize(track, desc.width, desc.height);
        MMC_TrackSetFrameRate(track, desc.frameRate, desc.frameRateScale);
        MMC_TrackSetDisplaySize(track, desc.aspectX * desc.width, desc.aspectY * desc.height);
        MMC_TrackSetExtraData(track, desc.esData, desc.esDataLength);
    }
    m_tracks.push_back(TrackInfo{id, type, track});
    return track;
}

bool TrackList::WritePacket(uint32_t id, const CTrackPacket *packet)
{
    if (!packet || packet->timescale == 0)
        return false;
    auto found = std::find_if(m_tracks.begin(), m_tracks.end(), [id](const TrackInfo &t) { return t.id == id; });
    if (found == m_tracks.end())
        return false;
    const uint64_t scale = packet->timescale;
    const uint32_t library = MMC_CreatePacket();
    if (!library)
        return false;
    MMC_PacketSetPts(library, packet->pts * 1000000u / scale);
    MMC_PacketSetDts(library, packet->dts * 1000000u / scale);
    MMC_PacketSetDuration(library, uint32_t(uint64_t(packet->duration) * 1000000u / scale));
    MMC_PacketSetFlags(library, packet->flags);
    MMC_PacketSetData(library, packet->data, packet->size);
    const int written = MMC_TrackWritePacket(found->handle, library);
    MMC_ReleasePacket(library);
    return written != 0;
}

void TrackList::WriteEndOfStream()
{
    for (const TrackInfo &track : m_tracks) {
        const uint32_t endOfStream = MMC_CreatePacket();
        if (!endOfStream)
            continue;
        MMC_PacketSetData(endOfStream, nullptr, 0);
        MMC_TrackWritePacket(track.handle, endOfStream);
        MMC_ReleasePacket(endOfStream);
    }
}

void TrackList::ReleaseAll()
{
    for (const TrackInfo &track : m_tracks)
        MMC_DestroyTrack(track.handle);
    m_tracks.clear();
}

const TrackInfo *TrackList::FirstOfType(uint32_t type) const
{
    for (const TrackInfo &track : m_tracks) {
        if (track.type == type)
            return &track;
    }
    return nullptr;
}

uint32_t TrackList::HandleOfType(uint32_t type) const
{
    const TrackInfo *track = FirstOfType(type);
    return track ? track->handle : 0;
}
