#include "fakemmc.h"

#include <QMutex>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

struct FakeFrame
{
    int format, width, height;
    unsigned char **planes;
    const int *strides;
};

FakeMmc::Script g_script;
QMutex g_mutex;
QStringList g_calls;
MMC_FrameFn g_callback = nullptr;
void *g_context = nullptr;
std::atomic<int> g_refreshes{0}, g_liveBlocks{0};
int g_audioTrack = 0, g_subtitleTrack = 0;

int Log(const QString &line, int result = 1)
{
    QMutexLocker lock(&g_mutex);
    g_calls.append(line);
    return result;
}

const char *Field(const std::vector<FakeMmc::Track> &tracks, int index, std::string FakeMmc::Track::*field)
{
    return index >= 0 && size_t(index) < tracks.size() ? (tracks[size_t(index)].*field).c_str() : nullptr;
}

FakeFrame *Frame(void *frame)
{
    return static_cast<FakeFrame *>(frame);
}

} // namespace

namespace FakeMmc {

Script &script() { return g_script; }
void note(const QString &line) { Log(line); }
int refreshes() { return g_refreshes; }
int liveAudioBlocks() { return g_liveBlocks; }

void reset()
{
    g_script = Script();
    QMutexLocker lock(&g_mutex);
    g_calls.clear();
    g_callback = nullptr;
}

QStringList calls()
{
    QMutexLocker lock(&g_mutex);
    return g_calls;
}

int sendFrame(int format, int width, int height, unsigned char **planes, const int *strides)
{
    QMutexLocker lock(&g_mutex);
    const MMC_FrameFn callback = g_callback;
    void *const context = g_context;
    lock.unlock();
    int result = -1;
    FakeFrame frame{format, width, height, planes, strides};
    std::thread([&] { result = callback ? callback(context, &frame) : -1; }).join();
    return result;
}

} // namespace FakeMmc

extern "C" {

MMC_Handle MMC_CreatePlayer(int) { return Log("CreatePlayer", int(g_script.player)); }
void MMC_DestroyPlayer(MMC_Handle) { Log("DestroyPlayer"); }
int MMC_PlayerSetAudioDevice(MMC_Handle, const char *name) { return Log(QString("SetAudioDevice %1").arg(name)); }
int MMC_PlayerOpen(MMC_Handle, const char *path, uint32_t, uint32_t, int, int)
{
    return Log(QString("Open %1").arg(path), g_script.openOk);
}
void MMC_PlayerClose(MMC_Handle) { Log("Close"); }
int MMC_PlayerSetInterval(MMC_Handle, uint64_t interval) { return Log(QString("SetInterval %1").arg(interval)); }
int MMC_PlayerSetVolume(MMC_Handle, int volume) { return Log(QString("SetVolume %1").arg(volume)); }
int MMC_PlayerSetFrameCallback(MMC_Handle, MMC_FrameFn callback, void *context)
{
    QMutexLocker lock(&g_mutex);
    g_callback = callback;
    g_context = context;
    g_calls.append("SetFrameCallback");
    return 1;
}
int MMC_PlayerPlay(MMC_Handle) { return Log("Play", g_script.playOk); }
int MMC_PlayerPause(MMC_Handle) { return Log("Pause"); }
int MMC_PlayerStop(MMC_Handle) { return Log("Stop"); }
int MMC_PlayerIsEnded(MMC_Handle) { return g_script.ended; }
int MMC_PlayerSeek(MMC_Handle, uint64_t position) { return Log(QString("Seek %1").arg(position)); }
int MMC_PlayerStepFrame(MMC_Handle, int direction) { return Log(QString("StepFrame %1").arg(direction)); }
uint64_t MMC_PlayerGetDuration(MMC_Handle) { return g_script.duration; }
uint64_t MMC_PlayerGetPosition(MMC_Handle) { return g_script.position; }
int MMC_PlayerHasVideo(MMC_Handle) { return g_script.hasVideo; }
int MMC_PlayerHasAudio(MMC_Handle) { return g_script.hasAudio; }
uint32_t MMC_PlayerGetVideoWidth(MMC_Handle) { return g_script.width; }
uint32_t MMC_PlayerGetVideoHeight(MMC_Handle) { return g_script.height; }
uint32_t MMC_PlayerGetAspectX(MMC_Handle) { return g_script.aspectX; }
uint32_t MMC_PlayerGetAspectY(MMC_Handle) { return g_script.aspectY; }
int MMC_PlayerRefresh(MMC_Handle) { return ++g_refreshes; }

// A block as the library lays it out: twice the sample rate (44100) at byte 24.
void *MMC_PlayerGetAudioData(MMC_Handle, int)
{
    Log("GetAudioData");
    auto *block = static_cast<unsigned char *>(std::calloc(1, 44 + 64));
    const uint32_t doubledRate = 88200;
    std::memcpy(block + 24, &doubledRate, 4);
    ++g_liveBlocks;
    return block;
}
void MMC_PlayerReleaseAudioData(MMC_Handle, void *block)
{
    g_liveBlocks -= block ? 1 : 0;
    std::free(block);
}
void *MMC_PlayerCaptureFrame(MMC_Handle, uint32_t width, uint32_t height, int)
{
    Log(QString("Capture %1x%2").arg(width).arg(height));
    if (g_script.capture.isEmpty())
        return nullptr;
    const auto size = unsigned(g_script.capture.size());
    auto *capture = new MMC_Capture{new unsigned char[size], size, width, height};
    std::memcpy(capture->data, g_script.capture.constData(), size);
    return capture;
}
void MMC_PlayerReleaseCapture(MMC_Handle, void *capture)
{
    Log("ReleaseCapture");
    delete[] static_cast<MMC_Capture *>(capture)->data;
    delete static_cast<MMC_Capture *>(capture);
}
int MMC_PlayerSelectAudioTrack(MMC_Handle, int index) { return Log(QString("SelectAudioTrack %1").arg(index)); }
int MMC_PlayerSelectSubtitle(MMC_Handle, int index) { return Log(QString("SelectSubtitle %1").arg(index)); }
int MMC_PlayerLoadSubtitleFile(MMC_Handle, const char *path) { return Log(QString("LoadSubtitleFile %1").arg(path)); }

int MMC_FrameGetPixelFormat(void *frame) { return Frame(frame)->format; }
int MMC_FrameGetWidth(void *frame) { return Frame(frame)->width; }
int MMC_FrameGetHeight(void *frame) { return Frame(frame)->height; }
unsigned char *MMC_FrameGetPlane(void *frame, int plane) { return Frame(frame)->planes[plane]; }
int MMC_FrameGetStride(void *frame, int plane) { return Frame(frame)->strides[plane]; }

MMC_Handle MMC_CreateMediaInfo(int) { return Log("CreateMediaInfo", 9); }
int MMC_OpenMediaFile(MMC_Handle, const char *) { return Log("OpenMediaFile", g_script.mediaOpenOk); }
void MMC_CloseMedia(MMC_Handle) { Log("CloseMedia"); }
void MMC_DestroyMediaInfo(MMC_Handle) { Log("DestroyMediaInfo"); }
int MMC_GetAudioTrackCount(MMC_Handle) { return int(g_script.audio.size()); }
int MMC_SelectAudioTrack(MMC_Handle, int index) { return g_audioTrack = index, 1; }
const char *MMC_GetAudioTrackLanguage(MMC_Handle) { return Field(g_script.audio, g_audioTrack, &FakeMmc::Track::language); }
const char *MMC_GetAudioTrackTitle(MMC_Handle) { return Field(g_script.audio, g_audioTrack, &FakeMmc::Track::title); }
const char *MMC_GetAudioCodecName(MMC_Handle) { return Field(g_script.audio, g_audioTrack, &FakeMmc::Track::codec); }
int MMC_GetSubtitleTrackCount(MMC_Handle) { return int(g_script.subtitles.size()); }
int MMC_SelectSubtitleTrack(MMC_Handle, int index) { return g_subtitleTrack = index, 1; }
const char *MMC_GetSubtitleTrackLanguage(MMC_Handle)
{
    return Field(g_script.subtitles, g_subtitleTrack, &FakeMmc::Track::language);
}
const char *MMC_GetSubtitleTrackTitle(MMC_Handle) { return Field(g_script.subtitles, g_subtitleTrack, &FakeMmc::Track::title); }
const char *MMC_GetSubtitleCodecName(MMC_Handle) { return Field(g_script.subtitles, g_subtitleTrack, &FakeMmc::Track::codec); }

} // extern "C"
