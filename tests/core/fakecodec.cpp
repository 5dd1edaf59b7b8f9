#include "fakecodec.h"

#include <QBuffer>
#include <QImage>
#include <QSet>
#include <QThread>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

struct State
{
    std::mutex mutex;
    FakeCodec::Script script;
    QStringList calls;
    std::vector<FakeCodec::Packet> packets;
    QSet<MMC_Handle> live;
    MMC_Handle next = 1;
    size_t pollIndex = 0;
    size_t currentPoll = 0;
    int grabs = 0;
    bool cancelled = false;
    QByteArray destination; // of the last file a converter opened
    int cancels = 0;
    QMap<MMC_Handle, FakeCodec::Packet> building;
    MMC_Blob cover{nullptr, 0};
    QSet<MMC_Handle> closedMedia;
    std::condition_variable mediaClosed;
    QSet<Qt::HANDLE> mergerPollers;
};

State &state()
{
    static State s;
    return s;
}

void log(const QString &call)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().calls << call;
}

MMC_Handle create(const QString &what)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    const MMC_Handle h = state().next++;
    state().live.insert(h);
    state().calls << QStringLiteral("%1 -> %2").arg(what).arg(h);
    return h;
}

void destroy(MMC_Handle h, const QString &what)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().calls << QStringLiteral("%1 %2").arg(what).arg(h);
    state().live.remove(h);
}

FakeCodec::Poll currentPoll()
{
    // caller holds the mutex
    State &s = state();
    FakeCodec::Poll poll = s.script.polls.at(qMin(s.currentPoll, s.script.polls.size() - 1));
    if (s.cancelled) {
        if (s.script.cancelReport == FakeCodec::CancelReport::Failed)
            poll.failed = 1, poll.finished = 0;
        else
            poll.finished = 1, poll.failed = 0;
    }
    return poll;
}

int logged(const QString &call, int result)
{
    log(call);
    return result;
}

} // namespace

namespace FakeCodec {

void reset(const Script &script)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    State &s = state();
    s.script = script;
    s.calls.clear();
    s.packets.clear();
    s.live.clear();
    s.pollIndex = 0;
    s.currentPoll = 0;
    s.grabs = 0;
    s.cancelled = false;
    s.destination.clear();
    s.cancels = 0;
    s.building.clear();
    s.closedMedia.clear();
    s.mergerPollers.clear();
}

Script &script()
{
    return state().script;
}

QStringList calls()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().calls;
}

QStringList callsStartingWith(const QString &prefix)
{
    QStringList found;
    for (const QString &call : calls()) {
        if (call.startsWith(prefix))
            found << call;
    }
    return found;
}

std::vector<Packet> packets()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().packets;
}

int liveHandles()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().live.size() + state().grabs;
}

int cancelCount()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().cancels;
}

int mergerPollerThreads()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().mergerPollers.size();
}

} // namespace FakeCodec

namespace {

const FakeCodec::Chapter *chapterAt(uint32_t index)
{
    const auto &chapters = state().script.chapters;
    return index < chapters.size() ? &chapters[index] : nullptr;
}

void keepDestination(const char *dst)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().destination = dst;
}

} // namespace

extern "C" {

int MMC_SetConvertingMode(int mode) { return logged(QStringLiteral("SetConvertingMode %1").arg(mode), 1); }

MMC_Handle MMC_CreateMediaInfo(int) { return create(QStringLiteral("CreateMediaInfo")); }
int MMC_OpenMediaFile(MMC_Handle h, const char *path)
{
    log(QStringLiteral("OpenMediaFile %1").arg(QString::fromUtf8(path)));
    std::unique_lock<std::mutex> lock(state().mutex);
    if (!state().script.scanBlocks)
        return state().script.mediaOpenResult;
    state().mediaClosed.wait(lock, [h] { return state().closedMedia.contains(h); });
    return 0;
}
int MMC_SelectDvdTitle(MMC_Handle, int title) { return logged(QStringLiteral("SelectDvdTitle %1").arg(title), 0); }
uint32_t MMC_GetChapterCount(MMC_Handle) { return uint32_t(state().script.chapters.size()); }
uint64_t MMC_GetChapterStart(MMC_Handle, uint32_t i) { return chapterAt(i) ? chapterAt(i)->start : 0; }
uint64_t MMC_GetChapterDuration(MMC_Handle, uint32_t i) { return chapterAt(i) ? chapterAt(i)->length : 0; }
const char *MMC_GetChapterTitle(MMC_Handle, uint32_t i)
{
    return chapterAt(i) && !chapterAt(i)->title.isNull() ? chapterAt(i)->title.constData() : nullptr;
}
int MMC_OpenDvdFolder(MMC_Handle, const char *) { return logged(QStringLiteral("OpenDvdFolder"), 0); }
const char *MMC_GetFormatName(MMC_Handle)
{
    const QByteArray &name = state().script.formatName;
    return name.isNull() ? nullptr : name.constData();
}
uint64_t MMC_GetMediaDuration(MMC_Handle) { return state().script.duration; }
uint32_t MMC_GetVideoWidth(MMC_Handle) { return state().script.width; }
uint32_t MMC_GetVideoHeight(MMC_Handle) { return state().script.height; }
int MMC_MediaHasVideo(MMC_Handle) { return state().script.width > 0 ? 1 : 0; }
int MMC_MediaHasAudio(MMC_Handle) { return 0; }
const char *MMC_GetMediaTag(MMC_Handle, const char *key)
{
    State &s = state();
    const auto found = s.script.tags.constFind(QByteArray(key));
    if (found == s.script.tags.constEnd())
        return nullptr;
    if (qstrcmp(key, "cover_image") == 0) {
        s.cover = MMC_Blob{reinterpret_cast<const unsigned char *>(found->constData()), unsigned(found->size())};
        return reinterpret_cast<const char *>(&s.cover);
    }
    return found->constData();
}
unsigned char *MMC_GrabFrameImage(MMC_Handle, uint64_t t, int format, uint32_t w, uint32_t h, int mode)
{
    log(QStringLiteral("GrabFrameImage %1 %2 %3x%4 %5").arg(t).arg(format).arg(w).arg(h).arg(mode));
    const FakeCodec::Script &sc = state().script;
    const QSize size = (w && h) ? QSize(int(w), int(h)) : QSize(int(sc.width), int(sc.height));
    if (size.isEmpty())
        return nullptr;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    auto *bytes = static_cast<unsigned char *>(std::malloc(size_t(bmp.size())));
    std::memcpy(bytes, bmp.constData(), size_t(bmp.size()));
    std::lock_guard<std::mutex> lock(state().mutex);
    ++state().grabs;
    return bytes;
}
void MMC_FreeFrameImage(MMC_Handle, unsigned char *image)
{
    if (!image)
        return;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        --state().grabs;
    }
    std::free(image);
}
void MMC_CloseMedia(MMC_Handle h)
{
    log(QStringLiteral("CloseMedia %1").arg(h));
    std::lock_guard<std::mutex> lock(state().mutex);
    state().closedMedia.insert(h);
    state().mediaClosed.notify_all();
}
void MMC_DestroyMediaInfo(MMC_Handle h) { destroy(h, QStringLiteral("DestroyMediaInfo")); }

MMC_Handle MMC_CreateEncodeConfig(void) { return create(QStringLiteral("CreateEncodeConfig")); }
void MMC_ReleaseEncodeConfig(MMC_Handle cfg) { destroy(cfg, QStringLiteral("ReleaseEncodeConfig")); }
int MMC_ConfigSetVideoCodec(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config VideoCodec %1").arg(v), 1); }
int MMC_ConfigSetAudioCodec(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config AudioCodec %1").arg(v), 1); }
int MMC_ConfigSetCodecMode(MMC_Handle, int v) { return logged(QStringLiteral("Config CodecMode %1").arg(v), 1); }
int MMC_ConfigSetProfile(MMC_Handle, int v) { return logged(QStringLiteral("Config Profile %1").arg(v), 1); }
int MMC_ConfigSetAudioEncoderName(MMC_Handle, const char *v)
{
    return logged(QStringLiteral("Config AudioEncoderName %1").arg(QString::fromUtf8(v)), 1);
}
int MMC_ConfigSetVideoSize(MMC_Handle, uint32_t w, uint32_t h)
{
    return logged(QStringLiteral("Config VideoSize %1 %2").arg(w).arg(h), 1);
}
int MMC_ConfigSetFrameRate(MMC_Handle, uint32_t n, uint32_t d)
{
    return logged(QStringLiteral("Config FrameRate %1 %2").arg(n).arg(d), 1);
}
int MMC_ConfigSetVideoBitrate(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config VideoBitrate %1").arg(v), 1); }
int MMC_ConfigSetAudioBitrate(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config AudioBitrate %1").arg(v), 1); }
int MMC_ConfigSetAudioChannels(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config AudioChannels %1").arg(v), 1); }
int MMC_ConfigSetSampleRate(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config SampleRate %1").arg(v), 1); }
int MMC_ConfigSetVideoOption(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config VideoOption %1").arg(v), 1); }
int MMC_ConfigSetOptionFlag(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config OptionFlag %1").arg(v), 1); }
int MMC_ConfigSetBlobOption(MMC_Handle, const char *name, const void *data, uint32_t size)
{
    return logged(QStringLiteral("Config BlobOption %1 %2 %3").arg(QString::fromUtf8(name)).arg(data ? "data" : "null").arg(size), 1);
}
int MMC_ConfigSetIndexedOption(MMC_Handle, int i, uint32_t v)
{
    return logged(QStringLiteral("Config IndexedOption %1 0x%2").arg(i).arg(v, 0, 16), 1);
}
int MMC_ConfigSetIntOption(MMC_Handle, int v) { return logged(QStringLiteral("Config IntOption %1").arg(v), 1); }
int MMC_ConfigSetUIntOption(MMC_Handle, uint32_t v) { return logged(QStringLiteral("Config UIntOption %1").arg(v), 1); }
int MMC_ConfigAddChapter(MMC_Handle, uint64_t start, uint64_t length, const char *title)
{
    return logged(QStringLiteral("Config Chapter %1 %2 %3").arg(start).arg(length).arg(QString::fromUtf8(title)), 1);
}
int MMC_ConfigSetTrackModeA(MMC_Handle, int v) { return logged(QStringLiteral("Config TrackModeA %1").arg(v), 1); }
int MMC_ConfigSetTrackModeB(MMC_Handle, int v) { return logged(QStringLiteral("Config TrackModeB %1").arg(v), 1); }
int MMC_ConfigSetTrackModeC(MMC_Handle, int v) { return logged(QStringLiteral("Config TrackModeC %1").arg(v), 1); }

MMC_Handle MMC_CreateConverter(int)
{
    return state().script.createConverterFails ? 0 : create(QStringLiteral("CreateConverter"));
}
MMC_Handle MMC_CreateConverterAlt(int)
{
    return state().script.createConverterFails ? 0 : create(QStringLiteral("CreateConverterAlt"));
}
int MMC_ConverterOpenFile(MMC_Handle, const char *src, const char *dst, const char *format, MMC_Handle)
{
    keepDestination(dst);
    return logged(QStringLiteral("ConverterOpenFile %1 %2 %3").arg(src, dst, format), state().script.openResult);
}
int MMC_ConverterOpenDvd(MMC_Handle, const char *, const char *, const char *, MMC_Handle)
{
    return logged(QStringLiteral("ConverterOpenDvd"), 0);
}
int MMC_ConverterOpenImage(MMC_Handle, MMC_Handle image, MMC_Handle writer, const char *format, MMC_Handle)
{
    return logged(QStringLiteral("ConverterOpenImage %1 %2 %3").arg(image).arg(writer).arg(format),
                  state().script.openResult);
}
int MMC_ConverterOpenDvdImage(MMC_Handle, const char *, MMC_Handle, const char *, MMC_Handle)
{
    return logged(QStringLiteral("ConverterOpenDvdImage"), 0);
}
int MMC_ConverterOpenImageFile(MMC_Handle, MMC_Handle image, const char *dst, const char *format, MMC_Handle)
{
    keepDestination(dst);
    return logged(QStringLiteral("ConverterOpenImageFile %1 %2 %3").arg(image).arg(dst, format), state().script.openResult);
}
int MMC_ConverterOpenTracks(MMC_Handle, MMC_Handle v, MMC_Handle a, MMC_Handle s, const char *dst, const char *format,
                            MMC_Handle)
{
    keepDestination(dst);
    return logged(QStringLiteral("ConverterOpenTracks %1 %2 %3 %4 %5").arg(v).arg(a).arg(s).arg(dst, format),
                  state().script.openResult);
}
int MMC_ConverterOpenTracksImage(MMC_Handle, MMC_Handle v, MMC_Handle a, MMC_Handle s, MMC_Handle writer,
                                 const char *format, MMC_Handle)
{
    return logged(QStringLiteral("ConverterOpenTracksImage %1 %2 %3 %4 %5").arg(v).arg(a).arg(s).arg(writer).arg(format),
                  state().script.openResult);
}
int MMC_ConverterSetTimeRange(MMC_Handle, uint64_t start, uint64_t length)
{
    return logged(QStringLiteral("ConverterSetTimeRange %1 %2").arg(start).arg(length), 1);
}
int MMC_ConverterStart(MMC_Handle) { return logged(QStringLiteral("ConverterStart"), state().script.startResult); }
int MMC_ConverterIsFinished(MMC_Handle)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().currentPoll = state().pollIndex++;
    return currentPoll().finished;
}
int MMC_ConverterHasFailed(MMC_Handle)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return currentPoll().failed; // the entry the pass's IsFinished call chose
}
uint64_t MMC_ConverterGetDone(MMC_Handle)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return currentPoll().done;
}
uint64_t MMC_ConverterGetTotal(MMC_Handle)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return currentPoll().total;
}
// A finished job's file is where it was opened.
uint32_t MMC_ConverterGetOutputPath(MMC_Handle, char *path, uint32_t size)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    const QByteArray &written = state().destination;
    if (written.isEmpty() || uint32_t(written.size()) >= size)
        return 0;
    std::memcpy(path, written.constData(), size_t(written.size()) + 1);
    return uint32_t(written.size());
}
int MMC_ConverterGetFault(MMC_Handle, int *systemError)
{
    if (systemError)
        *systemError = 0;
    return MMC_FAULT_NONE;
}
int MMC_ConverterCancel(MMC_Handle)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().cancelled = true;
    ++state().cancels;
    return 1;
}
void MMC_ConverterClose(MMC_Handle h) { log(QStringLiteral("ConverterClose %1").arg(h)); }
void MMC_DestroyConverter(MMC_Handle h) { destroy(h, QStringLiteral("DestroyConverter")); }

MMC_Handle MMC_ImageCreateWriter(int) { return create(QStringLiteral("ImageCreateWriter")); }
int MMC_ImageSetWriteCallback(MMC_Handle writer, MMC_ImageWriteFn callback, void *ctx)
{
    return logged(QStringLiteral("ImageSetWriteCallback %1 %2 %3").arg(writer).arg(callback ? "fn" : "null").arg(ctx ? "ctx" : "null"), 1);
}
MMC_Handle MMC_ImageOpen(const char *path, int mode)
{
    return create(QStringLiteral("ImageOpen %1 %2").arg(QString::fromUtf8(path)).arg(mode));
}
int MMC_ImageSetKey(MMC_Handle image, int key) { return logged(QStringLiteral("ImageSetKey %1 %2").arg(image).arg(key), 1); }
void MMC_ImageClose(MMC_Handle image) { destroy(image, QStringLiteral("ImageClose")); }

MMC_Handle MMC_CreateTrack(int type) { return create(QStringLiteral("CreateTrack %1").arg(type)); }
int MMC_TrackSetCodec(MMC_Handle t, uint32_t c) { return logged(QStringLiteral("Track %1 Codec %2").arg(t).arg(c), 1); }
int MMC_TrackSetTimeBase(MMC_Handle t, uint32_t n, uint32_t d)
{
    return logged(QStringLiteral("Track %1 TimeBase %2 %3").arg(t).arg(n).arg(d), 1);
}
int MMC_TrackSetSampleRate(MMC_Handle t, uint32_t v) { return logged(QStringLiteral("Track %1 SampleRate %2").arg(t).arg(v), 1); }
int MMC_TrackSetChannels(MMC_Handle t, uint32_t v) { return logged(QStringLiteral("Track %1 Channels %2").arg(t).arg(v), 1); }
int MMC_TrackSetExtraData(MMC_Handle t, const void *, uint32_t size)
{
    return logged(QStringLiteral("Track %1 ExtraData %2").arg(t).arg(size), 1);
}
int MMC_TrackSetVideoSize(MMC_Handle t, uint32_t w, uint32_t h)
{
    return logged(QStringLiteral("Track %1 VideoSize %2 %3").arg(t).arg(w).arg(h), 1);
}
int MMC_TrackSetFrameRate(MMC_Handle t, uint32_t n, uint32_t d)
{
    return logged(QStringLiteral("Track %1 FrameRate %2 %3").arg(t).arg(n).arg(d), 1);
}
int MMC_TrackSetDisplaySize(MMC_Handle t, uint32_t w, uint32_t h)
{
    return logged(QStringLiteral("Track %1 DisplaySize %2 %3").arg(t).arg(w).arg(h), 1);
}
int MMC_TrackSetVideoExtra(MMC_Handle t, uint32_t a, uint32_t b)
{
    return logged(QStringLiteral("Track %1 VideoExtra %2 %3").arg(t).arg(a).arg(b), 1);
}
int MMC_TrackWritePacket(MMC_Handle track, MMC_Handle packet)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    FakeCodec::Packet written = state().building.value(packet);
    written.track = track;
    state().packets.push_back(written);
    return 1;
}
uint64_t MMC_TrackGetTime(MMC_Handle) { return state().script.trackTime; }
void MMC_DestroyTrack(MMC_Handle t) { destroy(t, QStringLiteral("DestroyTrack")); }

MMC_Handle MMC_CreatePacket(void)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    const MMC_Handle h = state().next++;
    state().live.insert(h);
    state().building.insert(h, FakeCodec::Packet{0, 0, 0, 0, 0, 0});
    return h;
}
int MMC_PacketSetPts(MMC_Handle p, uint64_t v) { std::lock_guard<std::mutex> l(state().mutex); state().building[p].pts = v; return 1; }
int MMC_PacketSetDts(MMC_Handle p, uint64_t v) { std::lock_guard<std::mutex> l(state().mutex); state().building[p].dts = v; return 1; }
int MMC_PacketSetDuration(MMC_Handle p, uint32_t v) { std::lock_guard<std::mutex> l(state().mutex); state().building[p].duration = v; return 1; }
int MMC_PacketSetFlags(MMC_Handle p, uint32_t v) { std::lock_guard<std::mutex> l(state().mutex); state().building[p].flags = v; return 1; }
int MMC_PacketSetData(MMC_Handle p, const void *, uint32_t size)
{
    std::lock_guard<std::mutex> l(state().mutex);
    state().building[p].size = size;
    return 1;
}
void MMC_ReleasePacket(MMC_Handle p)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().building.remove(p);
    state().live.remove(p);
}

// The merger plays back the same scripted polls as the converter.
MMC_Handle MMC_CreateMerger(int) { return create(QStringLiteral("CreateMerger")); }
int MMC_MergerOpen(MMC_Handle, const char *dst, const char *format, MMC_Handle)
{
    return logged(QStringLiteral("MergerOpen %1 %2").arg(dst, format), state().script.mergerOpenResult);
}
int MMC_MergerStart(MMC_Handle) { return logged(QStringLiteral("MergerStart"), 1); }
int MMC_MergerAddFile(MMC_Handle, const char *src, uint64_t start, uint64_t length, MMC_Handle)
{
    return logged(QStringLiteral("MergerAddFile %1 %2 %3").arg(src).arg(start).arg(length), state().script.mergerAddResult);
}
int MMC_MergerAddDvd(MMC_Handle, const char *, uint64_t, uint64_t, MMC_Handle) { return logged(QStringLiteral("MergerAddDvd"), 0); }
int MMC_MergerIsFinished(MMC_Handle h)
{
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        state().mergerPollers.insert(QThread::currentThreadId());
    }
    return MMC_ConverterIsFinished(h);
}
int MMC_MergerHasFailed(MMC_Handle h) { return MMC_ConverterHasFailed(h); }
uint64_t MMC_MergerGetDone(MMC_Handle h) { return MMC_ConverterGetDone(h); }
uint64_t MMC_MergerGetTotal(MMC_Handle h) { return MMC_ConverterGetTotal(h); }
int MMC_MergerCancel(MMC_Handle h) { return MMC_ConverterCancel(h); }
void MMC_MergerClose(MMC_Handle h) { log(QStringLiteral("MergerClose %1").arg(h)); }
void MMC_DestroyMerger(MMC_Handle h) { destroy(h, QStringLiteral("DestroyMerger")); }

} // extern "C"
