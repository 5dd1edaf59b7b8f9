#pragma once

#include "iavconverter.h"
#include "qutilthread.h"
#include "tracklist.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

// The second converter driver: a direct or chapter-copying file conversion and a merge of
// several sources, each on one worker thread, and a track mode on the caller's thread.
// Every started job makes exactly one terminal report, after its clean-up and as the
// worker's last use of the object, so the receiver may destroy the object from it.
class CAVConverter : public IAVConverter, public QUtilThread
{
public:
    CAVConverter();
    ~CAVConverter() override;

    bool StartConvert(const char *src, const char *dst, CAVEncodeParam *param, void *user, ConvertProgressFunc cb,
                      bool chapters) override;
    void StopConvert() override;
    bool StartMerger(const char *dst, CAVEncodeParam *param) override;
    bool AddMergerTask(const char *src, CAVEncodeParam *param, void *user, ConvertProgressFunc cb) override;
    void StopMerger(bool wait) override;
    bool StartWithTrack(const char *dst, CAVEncodeParam *param, void *user, ConvertValueFunc done,
                        ConvertValueFunc time) override;
    unsigned int AddTrack(unsigned int id, unsigned int codec, CTrackDesc *desc) override;
    void AddTrack(unsigned int id, unsigned int type, unsigned int codec, CTrackDesc *desc) override;
    bool AddPacketToTrack(unsigned int id, CTrackPacket *packet) override;
    void StopWithTrack() override;

    // Stops what runs, then frees the converter, the merger, the configuration and the
    // parameter copy.
    void ReleaseCovertert();
    static void SetConvertConfig(uint32_t config, const CAVEncodeParam *param);
    // Adds the source's chapters, clipped and scaled, to config; runs on the worker.
    void SetChapter(uint32_t config, const CAVEncodeParam *param);
    const TrackInfo *GetTracksInfoOfType(unsigned int type) const;
    void ReleaseAllTracks();

protected:
    void OnExecute() override;

private:
    // A job's end, valued as the state it is reported with.
    enum class Outcome { Stopped = convertStopped, Failed = convertFailed, Finished = convertFinished };

    bool IsBusy();
    void BeginJob();
    bool StopRequested();
    void WaitStop(std::chrono::milliseconds interval);
    void WaitForWorker();
    static uint32_t MakeConfig(const CAVEncodeParam *param);
    void ReleaseConfig();
    void DisposeConverter();
    void DisposeMerger();
    bool StartDirect();
    bool RunChapterStage(float &base);
    int OpenChapterJob();
    void AddChapters(uint32_t config, uint32_t media, const CAVEncodeParam &param);
    Outcome PollConverter(float base);
    Outcome PollMerger();
    static void ReportProgress(ConvertProgressFunc cb, void *user, std::optional<unsigned int> percent,
                               unsigned int &last);
    static void ReportOutcome(ConvertProgressFunc cb, void *user, Outcome outcome);
    Outcome DecideLocked(Outcome outcome);
    QByteArray LibraryOutputPath();
    void FinishConversion(Outcome outcome);
    void FinishMerge(Outcome outcome);
    bool BeginTrackRun(uint32_t &converter);
    bool RunTracks(uint32_t converter, void *user, ConvertValueFunc done, ConvertValueFunc time);
    void EndTrackRun();

    uint32_t m_converter = 0;
    uint32_t m_merger = 0;
    void *m_user = nullptr;
    bool m_mergerMode = false;
    bool m_chapterMode = false;
    uint32_t m_config = 0;
    ConvertProgressFunc m_mergerProgress = nullptr;
    ConvertProgressFunc m_progress = nullptr;
    TrackList m_tracks;
    // The feeding thread and the track mode's thread share the tracks.
    mutable std::mutex m_trackMutex;

    // Guards the stop request against the worker's final decision, and the handles a
    // stopping thread cancels or closes: the converter, the merger, the chapter scan's
    // media and the merge's latest receiver.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    bool m_outcomeDecided = false;
    uint32_t m_scanMedia = 0;
    bool m_trackRunning = false;
    std::thread::id m_trackThread;
};
