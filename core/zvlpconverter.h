#pragma once

#include "cavencodeparam.h"
#include "converttypes.h"
#include "ctrackdesc.h"
#include "ctrackpacket.h"
#include "imagewriteinfo.h"
#include "qutilthread.h"
#include "tracklist.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>

// Runs one conversion job of the codec library on a worker thread of its own and reports
// through plain callbacks on that thread: progress (percent, user, 6) while the percent
// grows, then exactly one of (0, user, 1) stopped, (0, user, 5) failed or (100, user, 2)
// finished. The report is the worker's last use of the object, so the owner may delete
// it from the report's handler; the destructor stops a running job and waits for it.
class ZVLPConverter : public QUtilThread
{
public:
    ZVLPConverter();
    ~ZVLPConverter() override;

    // Movie route. Still formats ("bmp", "jpeg", "png", "tiff") hand every frame to
    // write with this job's copy of info as context; other formats write dst.
    bool StartConvert(const char *src, const char *dst, CAVEncodeParam *param, void *user,
                      ConvertProgressFunc progress, ImageWriteFunc write, ImageWriteInfo info);
    // Movie route without an image-write callback: a still format turns the first frame
    // of src into the one file dst.
    bool StartConvert(const char *src, const char *dst, CAVEncodeParam *param, void *user,
                      ConvertProgressFunc progress);

    // Track route: add tracks, feed packets, end them, then start.
    unsigned int AddTrack(unsigned int idAndType, unsigned int codec, CTrackDesc *desc);
    void AddTrack(unsigned int id, unsigned int type, unsigned int codec, CTrackDesc *desc);
    bool AddPacketToTrack(unsigned int id, CTrackPacket *packet);
    void StopWithTrack();
    bool StartWithTrack(const char *dst, CAVEncodeParam *param, void *user, ConvertProgressFunc progress,
                        ConvertTimeFunc time, ImageWriteFunc write, ImageWriteInfo info);
    // Track route into the file dst in any format, without time reports.
    bool StartWithTrack(const char *dst, CAVEncodeParam *param, void *user, ConvertProgressFunc progress,
                        ConvertTimeFunc time);

    // Cancels a running job and returns once its worker has made its last report.
    // Idempotent; a finish decided before the request still reports finished.
    void StopConvert();

    // Where the last job's file went, once it reported finished: the destination, or the
    // next free name when something took the destination meanwhile. Empty for stills
    // handed to the write callback and for a job that did not finish.
    QString WrittenPath() const { return m_writtenPath; }

    void ReleaseAllTracks();
    const TrackInfo *GetTracksInfoOfType(unsigned int type) const;

    // Why the last start was refused or the last job failed; read after its report.
    JobFailure Failure() const { return m_failure; }

    static void SetConvertConfig(uint32_t config, const CAVEncodeParam *param);
    static bool IsStillFormat(const char *format);

protected:
    void OnExecute() override;

private:
    enum class Outcome { Stopped, Failed, Finished };

    bool PrepareJob(int route, const char *dst, CAVEncodeParam *param, void *user,
                    ConvertProgressFunc progress, const ImageWriteInfo *info);
    bool OpenMovie(const char *src, ImageWriteFunc write);
    bool OpenStillFile(const char *src);
    bool OpenTracks(ImageWriteFunc write);
    bool OpenTracksFile();
    void ChooseTracks();
    bool StartJob(int openResult);
    void AbandonStart();
    void KeepFailure();
    void ReleaseConfig();
    void DisposeConverter();

    Outcome Poll();
    void ReportProgress(unsigned int &lastPercent);
    void ReportTime();
    bool LibraryWroteOutput();
    QString LibraryOutputPath();
    void FinishJob(Outcome outcome);

    uint32_t m_converter = 0;
    uint32_t m_config = 0;
    void *m_user = nullptr;
    ImageWriteInfo m_info;
    std::unique_ptr<CAVEncodeParam> m_param;
    ConvertProgressFunc m_progress = nullptr;
    ConvertTimeFunc m_time = nullptr;
    QByteArray m_src;
    QByteArray m_dst;
    QString m_writtenPath;
    TrackList m_tracks;
    uint32_t m_videoTrack = 0;
    uint32_t m_audioTrack = 0;
    uint32_t m_subtitleTrack = 0;
    int m_route = 0; // 0 movie, 1 tracks
    JobFailure m_failure;

    // Guards the stop request against the worker's final decision and the handle that
    // a stop cancels.
    std::mutex m_stopMutex;
    bool m_stopRequested = false;
    bool m_outcomeDecided = false;
    bool m_cancelAccepted = false;
};
