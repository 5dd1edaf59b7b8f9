#pragma once

#include "ctrackdesc.h"
#include "ctrackpacket.h"

#include <cstdint>
#include <vector>

// One program-fed track of a converter driver.
struct TrackInfo
{
    uint32_t id;
    uint32_t type; // 1 video, 2 audio, 8 subtitle
    uint32_t handle;
};

// The codec library tracks a converter driver feeds, in the order added. Ids may repeat;
// lookups take the first match. Not thread-safe: the feeding thread owns it.
class TrackList
{
public:
    TrackList() = default;
    ~TrackList();
    TrackList(const TrackList &) = delete;
    TrackList &operator=(const TrackList &) = delete;

    // Creates and describes a library track; 0 (nothing added) for a type other than
    // 1, 2 or 8 or when the library makes none.
    uint32_t Add(uint32_t id, uint32_t type, uint32_t codec, const CTrackDesc &desc);
    // Times become microseconds; false for no packet, a time scale of 0 or an unknown id.
    bool WritePacket(uint32_t id, const CTrackPacket *packet);
    // Writes an empty packet, the end-of-stream mark, to every track.
    void WriteEndOfStream();
    void ReleaseAll();
    const TrackInfo *FirstOfType(uint32_t type) const;
    // The handle of the first track of the type, or 0.
    uint32_t HandleOfType(uint32_t type) const;

private:
    std::vector<TrackInfo> m_tracks;
};
