#include <memory>

#include "api/handletable.h"
#include "mmc.h"
#include "playback/player.h"
#include "playback/playerstats.h"

extern "C" {
#include <libavutil/mem.h>
}

namespace {

std::shared_ptr<Player> player(MMC_Handle h)
{
    return HandleTable::get<Player>(HandleTable::Family::Player, h);
}

template <class Result, class Call> Result with(MMC_Handle h, Result none, Call call)
{
    const auto object = player(h);
    return object ? call(*object) : none;
}

int yes(bool value)
{
    return value ? 1 : 0;
}

} // namespace

extern "C" {

MMC_Handle MMC_CreatePlayer(int)
{
    return HandleTable::insert(HandleTable::Family::Player, std::make_shared<Player>());
}

void MMC_DestroyPlayer(MMC_Handle h)
{
    const auto object = player(h);
    // From inside its own frame callback the player cannot wait for that callback.
    if (!object || !object->close())
        return;
    HandleTable::remove<Player>(HandleTable::Family::Player, h);
}

int MMC_PlayerSetAudioDevice(MMC_Handle h, const char *name)
{
    return with(h, 0, [&](Player &p) {
        p.setAudioDevice(name ? name : "");
        return 1;
    });
}

int MMC_PlayerOpen(MMC_Handle h, const char *path, uint32_t, uint32_t, int, int)
{
    return with(h, 0, [&](Player &p) { return yes(path && p.open(path)); });
}

void MMC_PlayerClose(MMC_Handle h)
{
    with(h, false, [](Player &p) { return p.close(); });
}

int MMC_PlayerSetInterval(MMC_Handle h, uint64_t interval)
{
    return with(h, 0, [&](Player &p) {
        p.setInterval(interval);
        return 1;
    });
}

int MMC_PlayerSetVolume(MMC_Handle h, int volume)
{
    return with(h, 0, [&](Player &p) {
        p.setVolume(volume);
        return 1;
    });
}

int MMC_PlayerSetFrameCallback(MMC_Handle h, MMC_FrameFn callback, void *ctx)
{
    return with(h, 0, [&](Player &p) { return yes(p.setFrameCallback(callback, ctx)); });
}

int MMC_PlayerPlay(MMC_Handle h)
{
    return with(h, 0, [](Player &p) { return yes(p.play()); });
}

int MMC_PlayerPause(MMC_Handle h)
{
    return with(h, 0, [](Player &p) { return yes(p.pause()); });
}

int MMC_PlayerStop(MMC_Handle h)
{
    return with(h, 0, [](Player &p) { return yes(p.stop()); });
}

int MMC_PlayerIsEnded(MMC_Handle h)
{
    return with(h, 0, [](Player &p) { return yes(p.isEnded()); });
}

int MMC_PlayerSeek(MMC_Handle h, uint64_t position)
{
    return with(h, 0, [&](Player &p) { return yes(p.seek(position)); });
}

int MMC_PlayerStepFrame(MMC_Handle h, int direction)
{
    return with(h, 0, [&](Player &p) { return yes(p.step(direction)); });
}

uint64_t MMC_PlayerGetDuration(MMC_Handle h)
{
    return with(h, uint64_t(0), [](Player &p) { return p.duration(); });
}

uint64_t MMC_PlayerGetPosition(MMC_Handle h)
{
    return with(h, uint64_t(0), [](Player &p) { return p.position(); });
}

int MMC_PlayerHasVideo(MMC_Handle h)
{
    return with(h, 0, [](Player &p) { return yes(p.hasVideo()); });
}

int MMC_PlayerHasAudio(MMC_Handle h)
{
    return with(h, 0, [](Player &p) { return yes(p.hasAudio()); });
}

uint32_t MMC_PlayerGetVideoWidth(MMC_Handle h)
{
    return with(h, 0u, [](Player &p) { return p.videoWidth(); });
}

uint32_t MMC_PlayerGetVideoHeight(MMC_Handle h)
{
    return with(h, 0u, [](Player &p) { return p.videoHeight(); });
}

uint32_t MMC_PlayerGetAspectX(MMC_Handle h)
{
    return with(h, 0u, [](Player &p) { return p.aspectX(); });
}

uint32_t MMC_PlayerGetAspectY(MMC_Handle h)
{
    return with(h, 0u, [](Player &p) { return p.aspectY(); });
}

int MMC_PlayerRefresh(MMC_Handle h)
{
    return with(h, 0, [](Player &p) { return yes(p.refresh()); });
}

void *MMC_PlayerGetAudioData(MMC_Handle h, int)
{
    return with(h, static_cast<void *>(nullptr), [](Player &p) { return p.audioBlock(); });
}

void MMC_PlayerReleaseAudioData(MMC_Handle, void *block)
{
    av_free(block);
}

void *MMC_PlayerCaptureFrame(MMC_Handle h, uint32_t width, uint32_t height, int)
{
    return with(h, static_cast<void *>(nullptr), [&](Player &p) { return static_cast<void *>(p.capture(width, height)); });
}

void MMC_PlayerReleaseCapture(MMC_Handle, void *capture)
{
    if (!capture)
        return;
    av_free(static_cast<MMC_Capture *>(capture)->data);
    av_free(capture);
}

int MMC_PlayerSelectAudioTrack(MMC_Handle h, int index)
{
    return with(h, 0, [&](Player &p) { return yes(p.selectAudioTrack(index)); });
}

int MMC_PlayerSelectSubtitle(MMC_Handle h, int index)
{
    return with(h, 0, [&](Player &p) { return yes(p.selectSubtitle(index)); });
}

int MMC_PlayerLoadSubtitleFile(MMC_Handle h, const char *path)
{
    return with(h, 0, [&](Player &p) { return yes(path && p.loadSubtitleFile(path)); });
}

int mmcPlayerStatistics(MMC_Handle h, uint64_t *presented, uint64_t *dropped, uint64_t *late)
{
    return with(h, 0, [&](Player &p) {
        const PresentationStats stats = p.stats();
        if (presented)
            *presented = stats.presented;
        if (dropped)
            *dropped = stats.dropped;
        if (late)
            *late = stats.late;
        return 1;
    });
}

int mmcPlayerStallAudio(MMC_Handle h, int on)
{
    return with(h, 0, [&](Player &p) {
        p.simulateAudioStall(on != 0);
        return 1;
    });
}

} // extern "C"
