#include "cavconverter.h"

#include "avconvertmath.h"
#include "convertconfig.h"
#include "corelog.h"
#include "mmc.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <climits>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);
// The track mode's pause between passes, so it leaves the encoder its core.
constexpr auto kTrackPassInterval = std::chrono::milliseconds(10);

void LogLine(const QString &line)
{
    qCDebug(lcCore).noquote() << line;
}

QString ParamLine(const char *format, const CAVEncodeParam &p)
{
    return QString::asprintf(format, p.videoCodec, p.width, p.height, p.frameRate100, p.videoBitrate, p.quality,
                             p.audioCodec, p.sampleRate, p.audioBitrate, p.channels);
}

} // namespace

IAVConverter *CreateAVConverter()
{
    return new CAVConverter;
}

void DestroyAVConverter(IAVConverter *converter)
{
    if (!converter)
        return;
    auto *object = static_cast<CAVConverter *>(converter);
    object->ReleaseCovertert();
    delete object;
}

CAVConverter::CAVConverter() = default;

CAVConverter::~CAVConverter()
{
    ReleaseCovertert();
    ReleaseAllTracks();
}

void CAVConverter::ReleaseCovertert()
{
    StopConvert();
    StopMerger(true);
    WaitForWorker();
    DisposeConverter();
    ReleaseConfig();
    m_param.reset();
}

void CAVConverter::SetConvertConfig(uint32_t config, const CAVEncodeParam *param)
{
    FillConvertConfig(config, param);
}

bool CAVConverter::IsBusy()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_trackRunning || IsThreadRunning();
}

void CAVConverter::BeginJob()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = false;
    m_outcomeDecided = false;
}

bool CAVConverter::StopRequested()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stop;
}

void CAVConverter::WaitStop(std::chrono::milliseconds interval)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, interval, [this] { return m_stop; });
}

void CAVConverter::WaitForWorker()
{
    // From inside a report the worker is only finishing; it touches nothing more.
    if (!IsCallerWorker())
        WaitThreadFinished();
}

uint32_t CAVConverter::MakeConfig(const CAVEncodeParam *param)
{
    const uint32_t config = MMC_CreateEncodeConfig();
    SetConvertConfig(config, param);
    return config;
}

void CAVConverter::ReleaseConfig()
{
    if (m_config)
        MMC_ReleaseEncodeConfig(m_config);
    m_config = 0;
}

void CAVConverter::DisposeConverter()
{
    uint32_t converter = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::swap(converter, m_converter);
    }
    if (!converter)
        return;
    MMC_ConverterClose(converter);
    MMC_DestroyConverter(converter);
}

void CAVConverter::DisposeMerger()
{
    uint32_t merger = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::swap(merger, m_merger);
        m_mergerProgress = nullptr;
    }
    if (!merger)
        return;
    MMC_MergerClose(merger);
    MMC_DestroyMerger(merger);
}

bool CAVConverter::StartConvert(const char *src, const char *dst, CAVEncodeParam *param, void *user,
                                ConvertProgressFunc cb, bool chapters)
{
    if (!src || !dst || !param || IsBusy())
        return false;
    DisposeConverter(); // left over from a direct start whose open failed
    ReleaseConfig();
    m_chapterMode = chapters;
    m_mergerMode = false;
    const uint32_t converter = param->altEngine ? MMC_CreateConverterAlt(-1) : MMC_CreateConverter(-1);
    if (!converter)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_converter = converter;
    }
    m_user = user;
    m_progress = cb;
    m_config = MakeConfig(param);
    if (m_config) {
        LogLine(ParamLine("video: 0x%0x, %u*%u, %u fps, %u kbps %u\nAudio: 0x%0x, %u Hz, %u bps, %u\n", *param));
    }
    m_param = std::make_unique<CAVEncodeParam>(param);
    // The direct mode keeps the destination too: the tag step needs it.
    m_src = QByteArray(src);
    m_dst = QByteArray(dst);
    BeginJob();
    if (!chapters)
        return StartDirect();
    if (StartThread())
        return true;
    ReleaseConfig();
    m_param.reset();
    return false;
}

bool CAVConverter::StartDirect()
{
    const char *format = m_param->format;
    int result = m_param->dvdSource
        ? MMC_ConverterOpenDvd(m_converter, m_src.constData(), m_dst.constData(), format, m_config)
        : MMC_ConverterOpenFile(m_converter, m_src.constData(), m_dst.constData(), format, m_config);
    if (result == 1) {
        MMC_ConverterSetTimeRange(m_converter, m_param->rangeStart, m_param->rangeLength);
        result = MMC_ConverterStart(m_converter);
        LogLine(QStringLiteral("StartConvert------+++%1").arg(result));
    }
    ReleaseConfig();
    if (result == 1 && StartThread())
        return true;
    // The converter stays until the next start or a stop disposes of it.
    m_param.reset();
    m_src.clear();
    m_dst.clear();
    return false;
}

void CAVConverter::StopConvert()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_converter) {
        // The worker disposes of the converter before its last report: that report
        // still comes before a stop returns.
        lock.unlock();
        if (IsThreadRunning())
            WaitForWorker();
        return;
    }
    if (!m_outcomeDecided && !m_stop) {
        m_stop = true;
        // Closing the scan's own handle interrupts its read; the process-wide abort flag
        // would fail every other open of the program meanwhile.
        if (m_scanMedia)
            MMC_CloseMedia(m_scanMedia);
        else if (MMC_ConverterCancel(m_converter) == 0)
            LogLine(QStringLiteral("stop convert failed! \r"));
        m_changed.notify_all();
    }
    if (m_trackRunning) {
        if (std::this_thread::get_id() != m_trackThread)
            m_changed.wait(lock, [this] { return !m_trackRunning; });
        return;
    }
    lock.unlock();
    if (IsThreadRunning()) {
        WaitForWorker();
        return;
    }
    DisposeConverter();
    ReleaseConfig();
}

void CAVConverter::OnExecute()
{
    if (m_mergerMode) {
        FinishMerge(PollMerger());
        return;
    }
    float base = 0.0f;
    if (m_chapterMode && !RunChapterStage(base))
        return;
    FinishConversion(PollConverter(base));
}

bool CAVConverter::RunChapterStage(float &base)
{
    if (m_progress)
        m_progress(1, m_user, convertPreparing);
    QElapsedTimer clock;
    clock.start();
    SetChapter(m_config, m_param.get());
    const int result = OpenChapterJob();
    if (result != 1) {
        FinishConversion(Outcome::Failed); // a stop meanwhile makes it a stop
        return false;
    }
    base = AVConvertMath::ChapterStageShare(clock.elapsed());
    return true;
}

int CAVConverter::OpenChapterJob()
{
    int result = 0;
    if (!StopRequested())
        result = MMC_ConverterOpenFile(m_converter, m_src.constData(), m_dst.constData(), m_param->format, m_config);
    ReleaseConfig();
    if (result == 1 && !StopRequested()) {
        MMC_ConverterSetTimeRange(m_converter, m_param->rangeStart, m_param->rangeLength);
        result = MMC_ConverterStart(m_converter);
    }
    return StopRequested() ? 0 : result;
}

void CAVConverter::SetChapter(uint32_t config, const CAVEncodeParam *param)
{
    if (!param || m_src.isEmpty())
        return;
    const uint32_t media = MMC_CreateMediaInfo(-1);
    if (!media)
        return;
    bool stopped = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        stopped = m_stop;
        if (!stopped)
            m_scanMedia = media; // from now a stop closes it
    }
    if (!stopped) {
        const int opened = param->dvdSource ? MMC_OpenDvdFolder(media, m_src.constData())
                                            : MMC_OpenMediaFile(media, m_src.constData());
        if (opened && param->dvdSource)
            MMC_SelectDvdTitle(media, param->dvdTitle);
        if (opened && !StopRequested())
            AddChapters(config, media, *param);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_scanMedia = 0;
    }
    MMC_CloseMedia(media);
    MMC_DestroyMediaInfo(media);
}

void CAVConverter::AddChapters(uint32_t config, uint32_t media, const CAVEncodeParam &param)
{
    const uint32_t count = MMC_GetChapterCount(media);
    const uint32_t speed = AVConvertMath::ChapterSpeed(param);
    const uint64_t trimEnd = param.rangeLength ? param.rangeStart + param.rangeLength : 0;
    for (uint32_t i = 0; i < count && !StopRequested(); ++i) {
        const auto span = AVConvertMath::ClipChapter(MMC_GetChapterStart(media, i), MMC_GetChapterDuration(media, i),
                                                     param.rangeStart, trimEnd, speed);
        if (!span)
            continue;
        const char *title = MMC_GetChapterTitle(media, i);
        const QByteArray name = title ? QByteArray(title) : QStringLiteral("Chapter %1").arg(i + 1).toUtf8();
        MMC_ConfigAddChapter(config, span->start, span->length, name.constData());
    }
}

CAVConverter::Outcome CAVConverter::PollConverter(float base)
{
    unsigned int last = 0;
    for (;;) {
        if (MMC_ConverterIsFinished(m_converter) == 1)
            return MMC_ConverterHasFailed(m_converter) == 1 ? Outcome::Failed : Outcome::Finished;
        if (StopRequested())
            return Outcome::Stopped;
        if (MMC_ConverterHasFailed(m_converter) == 1)
            return Outcome::Failed;
        const auto percent = AVConvertMath::ProgressPercent(MMC_ConverterGetDone(m_converter),
                                                            MMC_ConverterGetTotal(m_converter), base);
        ReportProgress(m_progress, m_user, percent, last);
        WaitStop(kPollInterval);
    }
}

void CAVConverter::ReportProgress(ConvertProgressFunc cb, void *user, std::optional<unsigned int> percent,
                                  unsigned int &last)
{
    if (!cb || !percent || *percent <= last)
        return;
    last = *percent;
    cb(last, user, convertProgress);
}

void CAVConverter::ReportOutcome(ConvertProgressFunc cb, void *user, Outcome outcome)
{
    if (cb)
        cb(outcome == Outcome::Finished ? 100 : 0, user, convertState(outcome));
}

CAVConverter::Outcome CAVConverter::DecideLocked(Outcome outcome)
{
    m_outcomeDecided = true;
    return m_stop ? Outcome::Stopped : outcome;
}

QByteArray CAVConverter::LibraryOutputPath()
{
    char path[PATH_MAX];
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_converter && MMC_ConverterGetOutputPath(m_converter, path, sizeof path) ? QByteArray(path) : QByteArray();
}

void CAVConverter::FinishConversion(Outcome outcome)
{
    // The tags go into the file the job wrote, which has another name when something
    // took the destination meanwhile.
    m_dst = LibraryOutputPath();
    // Close joins the library's job, so the output is complete before its tags are written.
    DisposeConverter();
    ReleaseConfig();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        outcome = DecideLocked(outcome);
    }
    if (outcome == Outcome::Finished)
        setAudioTag();
    m_param.reset();
    m_src.clear();
    m_dst.clear();
    ConvertProgressFunc cb = nullptr;
    void *user = nullptr;
    std::swap(cb, m_progress);
    std::swap(user, m_user);
    // The receiver may destroy this object as soon as it sees the report.
    ReportOutcome(cb, user, outcome);
}

bool CAVConverter::StartMerger(const char *dst, CAVEncodeParam *param)
{
    if (!dst || !param || IsBusy())
        return false;
    DisposeMerger();
    DisposeConverter();
    const uint32_t merger = MMC_CreateMerger(-1);
    if (!merger)
        return false;
    const uint32_t config = MakeConfig(param);
    int result = MMC_MergerOpen(merger, dst, param->format, config);
    if (result == 1)
        result = MMC_MergerStart(merger);
    if (config)
        MMC_ReleaseEncodeConfig(config);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_merger = merger;
    if (result == 1)
        return true;
    m_merger = 0;
    MMC_DestroyMerger(merger);
    return false;
}

bool CAVConverter::AddMergerTask(const char *src, CAVEncodeParam *param, void *user, ConvertProgressFunc cb)
{
    if (!src || !m_merger)
        return false;
    const uint32_t config = param ? MakeConfig(param) : 0;
    const uint64_t start = param ? param->rangeStart : 0;
    const uint64_t length = param ? param->rangeLength : 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool converting = !m_mergerMode && IsThreadRunning();
    int result = 0;
    if (!converting) {
        // Under the lock: the worker decides its end under it too, so it sees this source.
        result = param && param->dvdSource ? MMC_MergerAddDvd(m_merger, src, start, length, config)
                                           : MMC_MergerAddFile(m_merger, src, start, length, config);
    }
    if (config)
        MMC_ReleaseEncodeConfig(config);
    if (result != 1)
        return false;
    m_user = user;
    m_mergerProgress = cb;
    if (m_mergerMode && IsThreadRunning() && !m_outcomeDecided)
        return true; // the running worker merges it
    lock.unlock();
    WaitForWorker(); // one that has just reported
    m_mergerMode = true;
    BeginJob();
    return StartThread();
}

CAVConverter::Outcome CAVConverter::PollMerger()
{
    unsigned int last = 0;
    for (;;) {
        ConvertProgressFunc cb = nullptr;
        void *user = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return DecideLocked(Outcome::Stopped);
            if (MMC_MergerIsFinished(m_merger) == 1)
                return DecideLocked(MMC_MergerHasFailed(m_merger) == 1 ? Outcome::Failed : Outcome::Finished);
            if (MMC_MergerHasFailed(m_merger) == 1)
                return DecideLocked(Outcome::Failed);
            cb = m_mergerProgress;
            user = m_user;
        }
        const auto percent = AVConvertMath::ProgressPercent(MMC_MergerGetDone(m_merger), MMC_MergerGetTotal(m_merger), 0.0f);
        ReportProgress(cb, user, percent, last);
        WaitStop(kPollInterval);
    }
}

void CAVConverter::FinishMerge(Outcome outcome)
{
    ConvertProgressFunc cb = nullptr;
    void *user = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::swap(cb, m_mergerProgress);
        std::swap(user, m_user);
    }
    ReportOutcome(cb, user, outcome);
}

void CAVConverter::StopMerger(bool wait)
{
    // Waiting or not, the merger is never destroyed under a worker that polls it.
    Q_UNUSED(wait);
    if (!m_merger)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_mergerMode && !m_outcomeDecided) {
            m_stop = true;
            m_changed.notify_all();
        }
    }
    if (MMC_MergerCancel(m_merger) == 0)
        LogLine(QStringLiteral("stop Merger failed! \r"));
    if (m_mergerMode && IsThreadRunning())
        WaitForWorker();
    DisposeMerger();
}

unsigned int CAVConverter::AddTrack(unsigned int id, unsigned int codec, CTrackDesc *desc)
{
    AddTrack(id, id, codec, desc);
    return id;
}

void CAVConverter::AddTrack(unsigned int id, unsigned int type, unsigned int codec, CTrackDesc *desc)
{
    if (!desc)
        return;
    {
        std::lock_guard<std::mutex> lock(m_trackMutex);
        if (!m_tracks.Add(id, type, codec, *desc))
            return;
    }
    if (type == 1) {
        LogLine(QString::asprintf("[AddTrack]: video format = 0x%0x, width = %u, height = %u, frameRate = %u, "
                                  "frameRateScale = %u,esDataLength = %u\n",
                                  codec, desc->width, desc->height, desc->frameRate, desc->frameRateScale,
                                  desc->esDataLength));
    } else {
        LogLine(QString::asprintf(type == 2 ? "[AddTrack]: audio format = 0x%0x\n" : "[AddTrack]: subtitle format = 0x%0x\n",
                                  codec));
    }
    // The track mode's converter comes with the first track, so that end-of-stream marks
    // written before the start find it.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_converter && !IsThreadRunning())
        m_converter = MMC_CreateConverter(-1);
}

bool CAVConverter::AddPacketToTrack(unsigned int id, CTrackPacket *packet)
{
    std::lock_guard<std::mutex> lock(m_trackMutex);
    return m_tracks.WritePacket(id, packet);
}

void CAVConverter::StopWithTrack()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_converter)
            return;
    }
    std::lock_guard<std::mutex> lock(m_trackMutex);
    m_tracks.WriteEndOfStream();
}

const TrackInfo *CAVConverter::GetTracksInfoOfType(unsigned int type) const
{
    std::lock_guard<std::mutex> lock(m_trackMutex);
    return m_tracks.FirstOfType(type);
}

void CAVConverter::ReleaseAllTracks()
{
    std::lock_guard<std::mutex> lock(m_trackMutex);
    m_tracks.ReleaseAll();
}

bool CAVConverter::StartWithTrack(const char *dst, CAVEncodeParam *param, void *user, ConvertValueFunc done,
                                  ConvertValueFunc time)
{
    uint32_t converter = 0;
    if (!dst || !param || !BeginTrackRun(converter))
        return false;
    const uint32_t config = MMC_CreateEncodeConfig();
    if (config) {
        MMC_ConfigSetTrackModeA(config, 1);
        MMC_ConfigSetTrackModeB(config, 0);
        MMC_ConfigSetTrackModeC(config, 0);
        LogLine(ParamLine("[Start]: video(0x%0x, %u*%u, %u fps, %u kbps %u) Audio(0x%0x, %u Hz, %u bps, %u)\n", *param));
    }
    uint32_t video = 0;
    uint32_t audio = 0;
    uint32_t subtitle = 0;
    {
        std::lock_guard<std::mutex> lock(m_trackMutex);
        video = m_tracks.HandleOfType(1);
        audio = m_tracks.HandleOfType(2);
        subtitle = m_tracks.HandleOfType(8);
    }
    const int opened = MMC_ConverterOpenTracks(converter, video, audio, subtitle, dst, param->format, config);
    if (config)
        MMC_ReleaseEncodeConfig(config);
    const bool written = opened == 1 && MMC_ConverterStart(converter) == 1 &&
                         RunTracks(converter, user, done, time);
    EndTrackRun();
    return written;
}

bool CAVConverter::BeginTrackRun(uint32_t &converter)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_converter || m_trackRunning || IsThreadRunning())
        return false;
    converter = m_converter;
    m_trackRunning = true;
    m_trackThread = std::this_thread::get_id();
    m_stop = false;
    m_outcomeDecided = false;
    return true;
}

bool CAVConverter::RunTracks(uint32_t converter, void *user, ConvertValueFunc done, ConvertValueFunc time)
{
    uint32_t clockTrack = 0;
    {
        std::lock_guard<std::mutex> lock(m_trackMutex);
        clockTrack = m_tracks.HandleOfType(1);
        clockTrack = clockTrack ? clockTrack : m_tracks.HandleOfType(2);
    }
    for (;;) {
        if (MMC_ConverterIsFinished(converter) == 1)
            return MMC_ConverterHasFailed(converter) != 1;
        if (StopRequested() || MMC_ConverterHasFailed(converter) == 1)
            return false;
        if (done)
            done(unsigned(MMC_ConverterGetDone(converter) / 1000u), user);
        if (time && clockTrack)
            time(unsigned(MMC_TrackGetTime(clockTrack) / 1000000u), user);
        WaitStop(kTrackPassInterval);
    }
}

void CAVConverter::EndTrackRun()
{
    DisposeConverter();
    ReleaseAllTracks();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_trackRunning = false;
    m_stop = false;
    m_changed.notify_all();
}
