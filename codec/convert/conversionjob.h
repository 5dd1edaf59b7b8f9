#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include "encodeconfig.h"
#include "jobprogress.h"
#include "mmc.h"
#include "orderedworkers.h"
#include "still/exifblock.h"

class FrameSource;
class FrameFilter;
struct VideoParams;
class Track;
class MovieWriter;
class SideStreams;
class ColourStatistics;
class KeptFrames;

// One conversion: a source (a media file or a fed video track), an output (a file
// through a muxer, or stills through a write callback), and the thread that runs it.
//
// Flags as the drivers poll them: total is at least 1 from a successful open; a normal
// end sets done = total, then finished; a job that fails on its own sets failed, then
// finished; a cancel sets failed and leaves finished 0. Only a normal end leaves a file
// under the output's name (see outputPath).
class ConversionJob : public JobProgress
{
public:
    struct StillTarget
    {
        MMC_ImageWriteFn callback = nullptr;
        void *context = nullptr;
    };

    explicit ConversionJob(bool ignoresConfig);
    ~ConversionJob();
    ConversionJob(const ConversionJob &) = delete;
    ConversionJob &operator=(const ConversionJob &) = delete;

    bool openFile(const std::string &src, const std::string &dst, const std::string &format,
                  const EncodeSettings &settings);
    bool openStills(const std::string &src, StillTarget target, const std::string &format,
                    const EncodeSettings &settings);
    bool openStillFile(const std::string &src, const std::string &dst, const std::string &format,
                       const EncodeSettings &settings);
    // The sound track, when given, is decoded and encoded beside the picture.
    bool openTrackFile(std::shared_ptr<Track> video, std::shared_ptr<Track> sound, const std::string &dst,
                       const std::string &format, const EncodeSettings &settings);
    // Every track's packets go into the file as they come, nothing decoded.
    bool openTrackCopy(const std::vector<std::shared_ptr<Track>> &tracks, const std::string &dst,
                       const std::string &format, const EncodeSettings &settings);
    bool openTrackStills(std::shared_ptr<Track> video, StillTarget target, const std::string &format,
                         const EncodeSettings &settings);
    bool setTimeRange(uint64_t start, uint64_t length);
    // Bytes of pictures a GIF keeps from its palette pass to map without decoding again.
    void setKeptFrameLimit(size_t bytes) { m_keptFrameLimit = bytes; }
    bool start();

    bool cancel();
    void close();
    // Where a finished job's file went: the destination, or the next free name when
    // something took the destination meanwhile. Empty until then.
    std::string outputPath();

    static bool isStillFormat(const std::string &format);

private:
    enum class Output { None, File, Stills, StillFile, TrackCopy };

    // Takes the settings and runs open, once per job; a failed open leaves no source.
    bool openOnce(const EncodeSettings &settings, const std::function<bool()> &open);
    // decoderThreads: the usual count, fewer for light content; heavyDecoderThreads, when
    // more, for heavy content.
    bool openSource(const std::string &src, bool needsPicture, int decoderThreads, int heavyDecoderThreads = 0);
    void chooseSettings(const EncodeSettings &settings);
    bool openTrackSource(std::shared_ptr<Track> video);
    bool prepareOutput(Output output, const std::string &dst, const std::string &format);
    bool createWorkingFile(const std::string &dst);
    void updateTotal();
    void run();
    bool runFile();
    bool runSound(MovieWriter &writer, SideStreams &side);
    bool runTrackCopy();
    bool runStills();
    bool runWebp();
    // Encodes frames into complete images on worker threads; deliver gets them in order.
    bool encodeStills(AVCodecID codec, bool firstOnly, const OrderedWorkers::Deliver &deliver);
    bool runGif();
    // The palette pass: counts every picture's colours, keeping what it may.
    bool countColours(int threads, const std::string &chain, int rotation, ColourStatistics &statistics,
                      KeptFrames &kept);
    // Microseconds the job should cover, 0 when unknown; the frames at the output rate.
    uint64_t expectedLengthUs() const;
    double expectedFrames() const;
    // Feeds every frame of the range through the filter; each result goes to deliver.
    bool runPass(uint64_t progressBase, const std::function<bool(FrameFilter &, const VideoParams &)> &build,
                 const std::function<bool(AVFrame *, AVRational)> &deliver);
    // With a rate change, the decoder passes over the frames that no output shows and no
    // other frame refers to: at 10 a second from a phone's 30, most of an HEVC movie's
    // B-frames. Once per job, before its first pass.
    void decodeShownFramesOnly();
    // A pass whose workers do the per-frame steps: only the rate is chosen in order.
    bool runWorkerPass(uint64_t progressBase, const std::function<bool(AVFrame *, AVRational)> &deliver);
    // The temporal part of the chain, which sees every frame in order.
    std::string rateChain() const;
    bool resizes() const;
    // The per-frame part: turning upright and resizing.
    std::string pictureChain() const;
    // The per-frame part as workers run it, each on whole frames.
    std::string workerChain() const;
    std::string videoChain() const;
    bool deliverStill(const std::vector<uint8_t> &image);
    // Notes an output fault and logs the system's reason (0: none known); false.
    bool writeFailed(int systemError);
    // ok, noting the output fault when a writer saw a system error.
    bool written(bool ok, int systemError);
    void discardOutput();

    std::mutex m_mutex;
    // Orders a job's own ending against a cancel, so exactly one of them ends it.
    std::mutex m_endMutex;
    std::thread m_worker;
    bool m_ignoresConfig;
    bool m_started = false;

    std::unique_ptr<FrameSource> m_source;
    bool m_shownFramesChosen = false;
    std::string m_sourcePath;
    bool m_withPicture = true;
    bool m_withSound = false;
    std::shared_ptr<Track> m_track;
    std::vector<std::shared_ptr<Track>> m_copiedTracks;
    std::shared_ptr<Track> m_soundTrack;
    uint64_t m_sourceDuration = 0;
    uint64_t m_rangeStart = 0;
    uint64_t m_rangeLength = 0;

    Output m_output = Output::None;
    std::string m_format;
    std::string m_destination;
    std::string m_partPath;
    std::string m_outputPath;
    int m_partDescriptor = -1;
    EncodeSettings m_settings;
    StillTarget m_target;
    // A Live Photo's frames at 10 a second and full size, or at 30 a second and 480 px
    // wide, fit; a full-size GIF at 30 a second or a longer movie decodes twice, and so
    // needs no more memory than a frame or two. So do 10-bit frames, twice the bytes:
    // kept, they took the job to 0.64 of the command line's memory.
    size_t m_keptFrameLimit = size_t(192) << 20;
    // Empty unless the settings keep EXIF and the source carries capture metadata.
    ExifBlock m_exif;
};
