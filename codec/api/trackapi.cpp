#include <memory>
#include <mutex>

#include "api/handletable.h"
#include "mmc.h"
#include "source/track.h"

namespace {

// A packet under construction; copied into a track when written.
struct Packet
{
    std::mutex mutex;
    PacketData data;
};

std::shared_ptr<Track> track(MMC_Handle h)
{
    return HandleTable::get<Track>(HandleTable::Family::Track, h);
}

template <class Change> int describeTrack(MMC_Handle h, Change change)
{
    const auto target = track(h);
    if (!target)
        return 0;
    target->describe(change);
    return 1;
}

template <class Change> int updatePacket(MMC_Handle h, Change change)
{
    const auto packet = HandleTable::get<Packet>(HandleTable::Family::Packet, h);
    if (!packet)
        return 0;
    std::lock_guard<std::mutex> lock(packet->mutex);
    change(packet->data);
    return 1;
}

} // namespace

extern "C" {

MMC_Handle MMC_CreateTrack(int type)
{
    if (type != MMC_TRACK_VIDEO && type != MMC_TRACK_AUDIO && type != MMC_TRACK_SUBTITLE)
        return 0;
    return HandleTable::insert(HandleTable::Family::Track, std::make_shared<Track>(type));
}

int MMC_TrackSetCodec(MMC_Handle h, uint32_t codec)
{
    return describeTrack(h, [=](Track::Description &d) { d.codec = codec; });
}

// Packets arrive in microseconds whatever the track's own clock.
int MMC_TrackSetTimeBase(MMC_Handle h, uint32_t, uint32_t)
{
    return describeTrack(h, [](Track::Description &) {});
}

int MMC_TrackSetSampleRate(MMC_Handle h, uint32_t hz)
{
    return describeTrack(h, [=](Track::Description &d) { d.sampleRate = hz; });
}

int MMC_TrackSetChannels(MMC_Handle h, uint32_t channels)
{
    return describeTrack(h, [=](Track::Description &d) { d.channels = channels; });
}

int MMC_TrackSetExtraData(MMC_Handle h, const void *data, uint32_t size)
{
    const auto *bytes = static_cast<const uint8_t *>(data);
    const std::vector<uint8_t> copy = bytes ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
    return describeTrack(h, [&](Track::Description &d) { d.extraData = copy; });
}

int MMC_TrackSetVideoSize(MMC_Handle h, uint32_t width, uint32_t height)
{
    return describeTrack(h, [=](Track::Description &d) {
        d.width = width;
        d.height = height;
    });
}

int MMC_TrackSetFrameRate(MMC_Handle h, uint32_t num, uint32_t den)
{
    return describeTrack(h, [=](Track::Description &d) {
        d.rateNum = num;
        d.rateDen = den;
    });
}

// The pictures' own size governs; a display size changes nothing we output.
int MMC_TrackSetDisplaySize(MMC_Handle h, uint32_t, uint32_t)
{
    return describeTrack(h, [](Track::Description &) {});
}

int MMC_TrackSetVideoExtra(MMC_Handle h, uint32_t, uint32_t)
{
    return describeTrack(h, [](Track::Description &) {});
}

int MMC_TrackWritePacket(MMC_Handle h, MMC_Handle packet)
{
    const auto target = track(h);
    const auto source = HandleTable::get<Packet>(HandleTable::Family::Packet, packet);
    if (!target || !source)
        return 0;
    PacketData copy;
    {
        std::lock_guard<std::mutex> lock(source->mutex);
        copy = source->data;
    }
    return target->write(copy) ? 1 : 0;
}

uint64_t MMC_TrackGetTime(MMC_Handle h)
{
    const auto target = track(h);
    return target ? target->lastTakenPts() : 0;
}

void MMC_DestroyTrack(MMC_Handle h)
{
    if (const auto target = HandleTable::remove<Track>(HandleTable::Family::Track, h))
        target->wake();
}

MMC_Handle MMC_CreatePacket(void)
{
    return HandleTable::insert(HandleTable::Family::Packet, std::make_shared<Packet>());
}

int MMC_PacketSetPts(MMC_Handle h, uint64_t pts)
{
    return updatePacket(h, [=](PacketData &p) { p.pts = pts; });
}

int MMC_PacketSetDts(MMC_Handle h, uint64_t dts)
{
    return updatePacket(h, [=](PacketData &p) { p.dts = dts; });
}

int MMC_PacketSetDuration(MMC_Handle h, uint32_t duration)
{
    return updatePacket(h, [=](PacketData &p) { p.duration = duration; });
}

int MMC_PacketSetFlags(MMC_Handle h, uint32_t flags)
{
    return updatePacket(h, [=](PacketData &p) { p.flags = flags; });
}

int MMC_PacketSetData(MMC_Handle h, const void *data, uint32_t size)
{
    const auto *bytes = static_cast<const uint8_t *>(data);
    const bool end = !bytes || size == 0;
    std::vector<uint8_t> copy = end ? std::vector<uint8_t>() : std::vector<uint8_t>(bytes, bytes + size);
    return updatePacket(h, [&](PacketData &p) {
        p.bytes = std::move(copy);
        p.endOfStream = end;
    });
}

void MMC_ReleasePacket(MMC_Handle h)
{
    HandleTable::take(HandleTable::Family::Packet, h);
}

} // extern "C"
