#include "zvlpconverter.h"

#include "convertconfig.h"
#include "corelog.h"
#include "mmc.h"

#include <QFile>

#include <chrono>
#include <climits>
#include <cstring>
#include <thread>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

bool IsOpened(int result)
{
    return result == 1;
}

} // namespace

ZVLPConverter::ZVLPConverter() = default;

ZVLPConverter::~ZVLPConverter()
{
    StopConvert();
    WaitThreadFinished();
    ReleaseAllTracks();
    DisposeConverter();
    ReleaseConfig();
}

bool ZVLPConverter::IsStillFormat(const char *format)
{
    if (!format)
        return false;
    for (const char *still : {"bmp", "jpeg", "png", "tiff"}) {
        if (std::strcmp(format, still) == 0)
            return true;
    }
    return false;
}

void ZVLPConverter::SetConvertConfig(uint32_t config, const CAVEncodeParam *param)
{
    FillConvertConfig(config, param);
}

bool ZVLPConverter::PrepareJob(int route, const char *dst, CAVEncodeParam *param, void *user,
                               ConvertProgressFunc progress, const ImageWriteInfo *info)
{
    if (IsThreadRunning()) {
        qCWarning(lcCore) << "a converter runs one job only";
        return false;
    }
    DisposeConverter();
    m_route = route;
    m_user = user;
    m_progress = progress;
    m_time = nullptr;
    m_src.clear();
    if (info) {
        m_info = *info;
        m_info.user = user;
    }
    m_dst = QByteArray(dst);
    m_writtenPath.clear();
    m_failure = JobFailure();
    m_info.systemError = 0;
    m_stopRequested = m_outcomeDecided = m_cancelAccepted = false;

    m_converter = param->altEngine ? MMC_CreateConverterAlt(-1) : MMC_CreateConverter(-1);
    if (!m_converter) {
        qCWarning(lcCore) << "the codec library made no converter";
        return false;
    }
    m_param = std::make_unique<CAVEncodeParam>(param);
    m_config = MMC_CreateEncodeConfig();
    SetConvertConfig(m_config, m_param.get());
    return true;
}

bool ZVLPConverter::StartConvert(const char *src, const char *dst, CAVEncodeParam *param, void *user,
                                 ConvertProgressFunc progress, ImageWriteFunc write, ImageWriteInfo info)
{
    if (!src || !param)
        return false;
    const bool still = IsStillFormat(param->format);
    if (still ? !write : !dst)
        return false;
    if (!PrepareJob(0, dst, param, user, progress, &info))
        return false;
    m_src = QByteArray(src);
    return StartJob(OpenMovie(src, write) ? 1 : 0);
}

bool ZVLPConverter::StartConvert(const char *src, const char *dst, CAVEncodeParam *param, void *user,
                                 ConvertProgressFunc progress)
{
    if (!src || !dst || !param)
        return false;
    if (!PrepareJob(0, dst, param, user, progress, nullptr))
        return false;
    m_src = QByteArray(src);
    const bool opened = IsStillFormat(m_param->format) ? OpenStillFile(src) : OpenMovie(src, nullptr);
    return StartJob(opened ? 1 : 0);
}

bool ZVLPConverter::OpenMovie(const char *src, ImageWriteFunc write)
{
    const char *format = m_param->format;
    if (!IsStillFormat(format)) {
        const int opened = m_param->dvdSource
            ? MMC_ConverterOpenDvd(m_converter, src, m_dst.constData(), format, m_config)
            : MMC_ConverterOpenFile(m_converter, src, m_dst.constData(), format, m_config);
        if (!opened)
            return false;
        MMC_ConverterSetTimeRange(m_converter, m_param->rangeStart, m_param->rangeLength);
        return true;
    }
    const uint32_t writer = MMC_ImageCreateWriter(-1);
    if (!writer)
        return false;
    MMC_ImageSetWriteCallback(writer, write, &m_info);
    int opened = 0;
    if (m_param->dvdSource) {
        opened = MMC_ConverterOpenDvdImage(m_converter, src, writer, format, m_config);
    } else if (const uint32_t image = MMC_ImageOpen(src, 0)) {
        opened = MMC_ConverterOpenImage(m_converter, image, writer, format, m_config);
        MMC_ImageClose(image);
    }
    MMC_ImageClose(writer);
    return opened != 0;
}

bool ZVLPConverter::OpenStillFile(const char *src)
{
    const uint32_t image = MMC_ImageOpen(src, 0);
    if (!image)
        return false;
    MMC_ImageSetKey(image, int(m_param->imageKey));
    const int opened = MMC_ConverterOpenImageFile(m_converter, image, m_dst.constData(), m_param->format, m_config);
    MMC_ImageClose(image);
    return opened != 0;
}

bool ZVLPConverter::StartJob(int openResult)
{
    ReleaseConfig();
    if (!openResult || !IsOpened(MMC_ConverterStart(m_converter)) || !StartThread()) {
        AbandonStart();
        return false;
    }
    return true;
}

void ZVLPConverter::AbandonStart()
{
    qCDebug(lcCore) << "conversion did not start";
    KeepFailure();
    DisposeConverter();
    ReleaseConfig();
    m_param.reset();
    m_src.clear();
    m_dst.clear();
}

void ZVLPConverter::KeepFailure()
{
    int systemError = 0;
    const int fault = m_converter ? MMC_ConverterGetFault(m_converter, &systemError) : MMC_FAULT_NONE;
    m_failure.side = fault == MMC_FAULT_SOURCE ? JobFailure::Source
                     : fault == MMC_FAULT_OUTPUT ? JobFailure::Output
                                                 : JobFailure::Unknown;
    // Stills are stored by the write callback, which alone knows the system's reason.
    m_failure.systemError = systemError ? systemError : m_info.systemError;
    if (m_failure.side != JobFailure::Unknown)
        qCWarning(lcCore) << "conversion of" << m_src << "failed:"
                          << (m_failure.side == JobFailure::Source ? "the source cannot be read" : "the output cannot be written")
                          << (m_failure.systemError ? qt_error_string(m_failure.systemError) : QString());
}

void ZVLPConverter::ReleaseConfig()
{
    if (m_config)
        MMC_ReleaseEncodeConfig(m_config);
    m_config = 0;
}

void ZVLPConverter::DisposeConverter()
{
    std::lock_guard<std::mutex> lock(m_stopMutex);
    if (!m_converter)
        return;
    MMC_ConverterClose(m_converter);
    MMC_DestroyConverter(m_converter);
    m_converter = 0;
}

unsigned int ZVLPConverter::AddTrack(unsigned int idAndType, unsigned int codec, CTrackDesc *desc)
{
    AddTrack(idAndType, idAndType, codec, desc);
    return idAndType;
}

void ZVLPConverter::AddTrack(unsigned int id, unsigned int type, unsigned int codec, CTrackDesc *desc)
{
    if (!desc)
        return;
    const uint32_t track = m_tracks.Add(id, type, codec, *desc);
    if (!track) {
        qCWarning(lcCore) << "no track added of type" << type;
        return;
    }
    if (type == 1)
        MMC_TrackSetVideoExtra(track, desc->videoExtra1, desc->videoExtra2);
}

bool ZVLPConverter::AddPacketToTrack(unsigned int id, CTrackPacket *packet)
{
    return m_tracks.WritePacket(id, packet);
}

void ZVLPConverter::StopWithTrack()
{
    m_tracks.WriteEndOfStream();
}

bool ZVLPConverter::StartWithTrack(const char *dst, CAVEncodeParam *param, void *user, ConvertProgressFunc progress,
                                   ConvertTimeFunc time, ImageWriteFunc write, ImageWriteInfo info)
{
    if (!param)
        return false;
    const bool still = IsStillFormat(param->format);
    if (still ? !write : !dst)
        return false;
    if (!PrepareJob(1, dst, param, user, progress, &info))
        return false;
    m_time = time;
    ChooseTracks();
    return StartJob(OpenTracks(write) ? 1 : 0);
}

bool ZVLPConverter::StartWithTrack(const char *dst, CAVEncodeParam *param, void *user, ConvertProgressFunc progress,
                                   ConvertTimeFunc)
{
    // This form reports no time and always writes one file, whatever the format.
    if (!param || !dst || !PrepareJob(1, dst, param, user, progress, nullptr))
        return false;
    ChooseTracks();
    return StartJob(OpenTracksFile() ? 1 : 0);
}

void ZVLPConverter::ChooseTracks()
{
    m_videoTrack = m_tracks.HandleOfType(1);
    m_audioTrack = m_tracks.HandleOfType(2);
    m_subtitleTrack = m_tracks.HandleOfType(8);
}

bool ZVLPConverter::OpenTracksFile()
{
    return IsOpened(MMC_ConverterOpenTracks(m_converter, m_videoTrack, m_audioTrack, m_subtitleTrack,
                                            m_dst.constData(), m_param->format, m_config));
}

bool ZVLPConverter::OpenTracks(ImageWriteFunc write)
{
    const char *format = m_param->format;
    if (!IsStillFormat(format))
        return OpenTracksFile();
    const uint32_t writer = MMC_ImageCreateWriter(-1);
    if (!writer)
        return false;
    MMC_ImageSetWriteCallback(writer, write, &m_info);
    const int opened = MMC_ConverterOpenTracksImage(m_converter, m_videoTrack, m_audioTrack, m_subtitleTrack,
                                                    writer, format, m_config);
    MMC_ImageClose(writer);
    return IsOpened(opened);
}

void ZVLPConverter::ReleaseAllTracks()
{
    m_tracks.ReleaseAll();
    m_videoTrack = m_audioTrack = m_subtitleTrack = 0;
}

const TrackInfo *ZVLPConverter::GetTracksInfoOfType(unsigned int type) const
{
    return m_tracks.FirstOfType(type);
}

void ZVLPConverter::StopConvert()
{
    if (!IsThreadRunning()) {
        DisposeConverter(); // left over from a start that failed
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_stopMutex);
        if (!m_outcomeDecided) {
            m_stopRequested = true;
            m_cancelAccepted = m_converter && MMC_ConverterCancel(m_converter) == 1;
        }
    }
    WaitThreadFinished();
}

void ZVLPConverter::OnExecute()
{
    FinishJob(Poll());
}

ZVLPConverter::Outcome ZVLPConverter::Poll()
{
    unsigned int lastPercent = 0;
    for (;;) {
        if (MMC_ConverterIsFinished(m_converter) == 1)
            return MMC_ConverterHasFailed(m_converter) == 1 ? Outcome::Failed : Outcome::Finished;
        {
            std::lock_guard<std::mutex> lock(m_stopMutex);
            if (m_stopRequested)
                return Outcome::Stopped;
        }
        if (MMC_ConverterHasFailed(m_converter) == 1)
            return Outcome::Failed;
        ReportProgress(lastPercent);
        ReportTime();
        std::this_thread::sleep_for(kPollInterval);
    }
}

void ZVLPConverter::ReportProgress(unsigned int &lastPercent)
{
    if (!m_progress)
        return;
    const uint64_t total = MMC_ConverterGetTotal(m_converter);
    if (total == 0)
        return; // nothing to measure against yet
    const float share = float(MMC_ConverterGetDone(m_converter)) * 100.0f / float(total);
    const unsigned int percent = share >= 100.0f ? 100u : unsigned(share);
    if (percent <= lastPercent)
        return;
    lastPercent = percent;
    m_progress(percent, m_user, convertProgress);
}

void ZVLPConverter::ReportTime()
{
    if (m_route != 1 || !m_time)
        return;
    const uint32_t track = m_videoTrack ? m_videoTrack : m_audioTrack;
    if (track)
        m_time(unsigned(MMC_TrackGetTime(track) / 1000000u), m_user);
}

bool ZVLPConverter::LibraryWroteOutput()
{
    std::lock_guard<std::mutex> lock(m_stopMutex);
    // A job that took a cancel, or did not end well, left nothing under the destination name.
    return !m_cancelAccepted && m_converter && MMC_ConverterIsFinished(m_converter) == 1
           && MMC_ConverterHasFailed(m_converter) != 1;
}

QString ZVLPConverter::LibraryOutputPath()
{
    char path[PATH_MAX];
    std::lock_guard<std::mutex> lock(m_stopMutex);
    return m_converter && MMC_ConverterGetOutputPath(m_converter, path, sizeof path) ? QString::fromUtf8(path)
                                                                                      : QString();
}

void ZVLPConverter::FinishJob(Outcome outcome)
{
    // The library names the file it wrote: the destination was taken meanwhile when that
    // is another name.
    const QString written = LibraryWroteOutput() ? LibraryOutputPath() : QString();
    if (outcome == Outcome::Failed)
        KeepFailure();
    // Close joins the library's job, so no image-write callback can follow.
    DisposeConverter();
    ReleaseAllTracks();
    {
        std::lock_guard<std::mutex> lock(m_stopMutex);
        if (m_stopRequested)
            outcome = Outcome::Stopped;
        m_outcomeDecided = true;
    }
    // A file the stop came too late for is ours to take back; whatever else lies at the
    // destination is not. Stills handed to the write callback belong to its owner.
    if (outcome != Outcome::Finished && !written.isEmpty())
        QFile::remove(written);
    m_writtenPath = outcome == Outcome::Finished ? written : QString();
    m_param.reset();
    m_src.clear();
    m_dst.clear();

    ConvertProgressFunc progress = m_progress;
    void *user = m_user;
    m_progress = nullptr;
    m_time = nullptr;
    m_user = nullptr;
    if (!progress)
        return;
    // The owner may delete this object as soon as it sees the report: touch nothing after.
    switch (outcome) {
    case Outcome::Stopped:
        progress(0, user, convertStopped);
        break;
    case Outcome::Failed:
        progress(0, user, convertFailed);
        break;
    case Outcome::Finished:
        progress(100, user, convertFinished);
        break;
    }
}
