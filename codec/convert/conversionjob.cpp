#include "convert/conversionjob.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "codecids.h"
#include "convert/moviewriter.h"
#include "convert/passclock.h"
#include "convert/shownframes.h"
#include "convert/sidestreams.h"
#include "framefilter.h"
#include "gif/bgrabands.h"
#include "gif/colourstatistics.h"
#include "gif/gifframeencoder.h"
#include "gif/keptframes.h"
#include "gif/palettemapper.h"
#include "orderedworkers.h"
#include "source/mediasource.h"
#include "source/track.h"
#include "source/trackframesource.h"
#include "still/stillencoder.h"
#include "webp/webpanimationwriter.h"
#include "webp/webpcanvastracker.h"
#include "webp/webpframeencoder.h"
#include "workingfile.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
}

namespace {

constexpr AVRational kMicroseconds{1, 1000000};

AVCodecID stillCodec(const std::string &format)
{
    if (format == "jpeg")
        return AV_CODEC_ID_MJPEG;
    if (format == "png")
        return AV_CODEC_ID_PNG;
    if (format == "bmp")
        return AV_CODEC_ID_BMP;
    if (format == "tiff")
        return AV_CODEC_ID_TIFF;
    return AV_CODEC_ID_NONE;
}

// Still encoders are quick, so decoding sets the pace: it gets every core.
int stillDecoderThreads()
{
    return OrderedWorkers::defaultThreads(16);
}

// Four encoders set an animated WebP's pace; three decoding threads keep up with them
// while the decoding thread also converts each frame and decides what it repaints (two
// made an H.264 source 1.7 times slower). More would only hold more full-size frames.
// A GIF's palette pass waits on the decoder, which decodes every frame where the counters
// see a third of them at 10 a second: six threads made it a sixth quicker than four.
int fileDecoderThreads(const std::string &format)
{
    return format == "webp" ? 3 : format == "gif" ? 6 : 4;
}

// Heavy content, over a bit a pixel as in low light under strong noise, takes longer to
// decode than small pictures take to map: eight threads instead of six made its 480 px
// GIFs a tenth quicker, where at full size mapping sets the pace and they gained nothing.
// 0: as usual.
int heavyFileDecoderThreads(const std::string &format, bool resizes)
{
    return format == "gif" && resizes ? OrderedWorkers::defaultThreads(8) : 0;
}

// Light content, a still or flat scene coded in a few hundredths of a bit a pixel,
// decodes quickly on few threads, and each further one holds pictures of its own that
// are cleared before use: three instead of eight made its stills a sixth quicker, and
// three instead of six its GIFs a tenth. Heavy content gets `heavy` threads when more.
int decoderThreadsFor(const MediaSource &source, int usual, int heavy)
{
    constexpr double kLightBitsPerPixel = 0.05;
    constexpr double kHeavyBitsPerPixel = 1.0;
    constexpr int kLightThreads = 3;
    const AVStream *stream = source.videoStream();
    if (!stream || stream->codecpar->bit_rate <= 0 || stream->avg_frame_rate.num <= 0
        || stream->avg_frame_rate.den <= 0)
        return usual;
    const double pixelsPerSecond =
        double(stream->codecpar->width) * stream->codecpar->height * av_q2d(stream->avg_frame_rate);
    const double bitsPerPixel = stream->codecpar->bit_rate / pixelsPerSecond;
    if (bitsPerPixel < kLightBitsPerPixel)
        return std::min(usual, kLightThreads);
    return bitsPerPixel > kHeavyBitsPerPixel ? std::max(usual, heavy) : usual;
}

// libwebp's own.
constexpr int kDefaultWebpQuality = 75;
// WebP's lossy pictures are YUV 4:2:0 with BT.601 colours in the video range, coded as
// given. They pass through RGB first, as on libwebp's own route from RGB: colours outside
// what RGB can show, and chroma finer than its conversion keeps, never show once decoded,
// yet a noisy source's took twice the bytes at the same quality. The source's matrix is
// read on the way in. Chroma interpolated linearly and averaged back over its area gave
// the most quality per byte of the scaler's choices; accurate rounding, as the fast one
// is two levels off on saturated colours.
constexpr char kWebpColours[] = "scale=flags=bilinear+full_chroma_int+accurate_rnd,format=gbrp|gbrap,"
                                "scale=out_color_matrix=bt601:out_range=tv:flags=area+accurate_rnd";

std::string chained(const std::string &first, const std::string &second)
{
    return first.empty() ? second : second.empty() ? first : first + "," + second;
}

bool mayBeTranslucent(AVPixelFormat format)
{
    const AVPixFmtDescriptor *descriptor = av_pix_fmt_desc_get(format);
    return !descriptor || (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA);
}

bool isFolder(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// systemError gets the errno of a failed write.
bool writeWholeFile(int descriptor, const std::vector<uint8_t> &bytes, int &systemError)
{
    FILE *file = WorkingFile::openForWriting(descriptor);
    if (!file) {
        systemError = errno;
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!written)
        systemError = errno;
    if (std::fclose(file) != 0 && written) {
        systemError = errno;
        written = false;
    }
    return written;
}

// A job frees hundreds of megabytes of pictures; glibc keeps what it can of them for
// the process unless asked to hand them back.
void returnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// A worker's own filter, made for the first frame it sees, turns the item's frame
// upright, resizes and converts it in place: these steps take each frame on its own,
// so they run side by side rather than in the decoding thread.
bool convertPicture(std::unique_ptr<FrameFilter> &converter, const std::string &chain, AVPixelFormat format,
                    OrderedWorkers::Item &item)
{
    if (!converter) {
        converter = std::make_unique<FrameFilter>();
        if (!converter->build(FrameFilter::paramsOf(item.frame, item.timeBase), chain, format))
            return false;
    }
    if (!converter->transform(item.frame))
        return false;
    item.timeBase = converter->outputTimeBase();
    return true;
}

} // namespace

ConversionJob::ConversionJob(bool ignoresConfig) : m_ignoresConfig(ignoresConfig) {}

ConversionJob::~ConversionJob()
{
    close();
}

std::string ConversionJob::outputPath()
{
    std::lock_guard<std::mutex> lock(m_endMutex);
    return m_outputPath;
}

bool ConversionJob::isStillFormat(const std::string &format)
{
    return stillCodec(format) != AV_CODEC_ID_NONE;
}

bool ConversionJob::openSource(const std::string &src, bool needsPicture, int decoderThreads, int heavyDecoderThreads)
{
    auto source = std::make_unique<MediaSource>();
    if (src.empty() || !source->open(src, &m_cancel)
        || (needsPicture
            && (!source->hasVideo()
                || !source->openDecoder(decoderThreadsFor(*source, decoderThreads, heavyDecoderThreads))))) {
        noteFault(MMC_FAULT_SOURCE, 0);
        return false;
    }
    m_sourceDuration = source->durationUs();
    if (m_settings.keepExif && source->format())
        m_exif = ExifBlock(CaptureMetadata::fromTags(source->format()->metadata));
    m_sourcePath = src;
    m_source = std::move(source);
    return true;
}

bool ConversionJob::openTrackSource(std::shared_ptr<Track> video)
{
    if (!video || video->description().type != MMC_TRACK_VIDEO)
        return false;
    auto source = std::make_unique<TrackFrameSource>(video, m_cancel);
    if (!source->open())
        return false;
    m_track = std::move(video);
    m_source = std::move(source);
    return true;
}

void ConversionJob::chooseSettings(const EncodeSettings &settings)
{
    m_settings = settings;
    if (!m_ignoresConfig)
        return;
    // Which streams the output holds is no matter of encoding.
    m_settings = EncodeSettings();
    m_settings.videoCodec = settings.videoCodec;
    m_settings.audioCodec = settings.audioCodec;
}

bool ConversionJob::prepareOutput(Output output, const std::string &dst, const std::string &format)
{
    m_format = format;
    if (output == Output::File) {
        MovieWriter writer;
        if (!writer.prepare(format, m_settings))
            return false;
        m_withPicture = writer.wantsVideo();
        m_withSound = writer.wantsAudio()
                      && (m_soundTrack || (!m_sourcePath.empty() && SideStreams::hasAudio(m_sourcePath, &m_cancel)));
        if (!m_withPicture && !m_withSound)
            return false;
    } else if (!isStillFormat(format)) {
        return false;
    }
    if ((output == Output::File || output == Output::StillFile) && !createWorkingFile(dst))
        return false;
    m_output = output;
    updateTotal();
    return true;
}

bool ConversionJob::createWorkingFile(const std::string &dst)
{
    if (dst.empty())
        return false;
    m_destination = dst;
    // Found only at the final rename, a folder would cost the whole conversion.
    if (isFolder(dst))
        return writeFailed(EISDIR);
    // Written under a working name of its own, so a cancelled or failed job never leaves
    // a broken file where the user expects a finished one, nor touches a file it did not make.
    WorkingFile::removeStale(dst);
    m_partPath = WorkingFile::create(dst, m_partDescriptor);
    return !m_partPath.empty() || writeFailed(errno);
}

bool ConversionJob::openOnce(const EncodeSettings &settings, const std::function<bool()> &open)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_output != Output::None || m_started)
        return false;
    chooseSettings(settings);
    if (open())
        return true;
    m_source.reset();
    m_track.reset();
    m_soundTrack.reset();
    return false;
}

bool ConversionJob::openFile(const std::string &src, const std::string &dst, const std::string &format,
                             const EncodeSettings &settings)
{
    return openOnce(settings, [&] {
        MovieWriter writer;
        const bool needsPicture = !writer.prepare(format, m_settings) || writer.wantsVideo();
        return openSource(src, needsPicture, fileDecoderThreads(format), heavyFileDecoderThreads(format, resizes()))
               && prepareOutput(Output::File, dst, format);
    });
}

bool ConversionJob::openStills(const std::string &src, StillTarget target, const std::string &format,
                               const EncodeSettings &settings)
{
    return target.callback && openOnce(settings, [&] {
        m_target = target;
        return openSource(src, true, stillDecoderThreads()) && prepareOutput(Output::Stills, std::string(), format);
    });
}

bool ConversionJob::openStillFile(const std::string &src, const std::string &dst, const std::string &format,
                                  const EncodeSettings &settings)
{
    return openOnce(settings, [&] {
        return openSource(src, true, stillDecoderThreads()) && prepareOutput(Output::StillFile, dst, format);
    });
}

bool ConversionJob::openTrackFile(std::shared_ptr<Track> video, std::shared_ptr<Track> sound, const std::string &dst,
                                  const std::string &format, const EncodeSettings &settings)
{
    return openOnce(settings, [&] {
        m_soundTrack = sound && sound->description().type == MMC_TRACK_AUDIO ? std::move(sound) : nullptr;
        return openTrackSource(std::move(video)) && prepareOutput(Output::File, dst, format);
    });
}

bool ConversionJob::openTrackCopy(const std::vector<std::shared_ptr<Track>> &tracks, const std::string &dst,
                                  const std::string &format, const EncodeSettings &settings)
{
    return !tracks.empty() && openOnce(settings, [&] {
        MovieWriter writer;
        if (!writer.prepareCopy(format, m_settings) || !createWorkingFile(dst))
            return false;
        m_format = format;
        m_copiedTracks = tracks;
        m_track = tracks.front();
        m_output = Output::TrackCopy;
        updateTotal();
        return true;
    });
}

bool ConversionJob::openTrackStills(std::shared_ptr<Track> video, StillTarget target, const std::string &format,
                                    const EncodeSettings &settings)
{
    return target.callback && openOnce(settings, [&] {
        m_target = target;
        return openTrackSource(std::move(video)) && prepareOutput(Output::Stills, std::string(), format);
    });
}

bool ConversionJob::setTimeRange(uint64_t start, uint64_t length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_output == Output::None || m_started)
        return false;
    m_rangeStart = start;
    m_rangeLength = length;
    m_total.store(0); // the range sets the total afresh, also when it shortens the job
    updateTotal();
    return true;
}

uint64_t ConversionJob::expectedLengthUs() const
{
    const uint64_t known = m_track ? m_track->expectedDurationUs() : m_sourceDuration;
    const uint64_t length = known > m_rangeStart ? known - m_rangeStart : 0;
    return m_rangeLength && (length == 0 || m_rangeLength < length) ? m_rangeLength : length;
}

double ConversionJob::expectedFrames() const
{
    AVRational rate{static_cast<int>(m_settings.rateNum), static_cast<int>(m_settings.rateDen)};
    if (rate.num <= 0 || rate.den <= 0)
        rate = m_source->videoParams().frameRate;
    return rate.num > 0 && rate.den > 0 ? expectedLengthUs() / 1e6 * av_q2d(rate) : 0.0;
}

void ConversionJob::updateTotal()
{
    const uint64_t length = expectedLengthUs();
    const bool twoPasses = m_output == Output::File && m_format == "gif";
    const uint64_t total = std::max<uint64_t>(1, twoPasses ? 2 * length : length);
    // Progress only grows: a track that turns out shorter keeps the larger total.
    uint64_t current = m_total.load();
    while (total > current && !m_total.compare_exchange_weak(current, total)) {
    }
}

bool ConversionJob::start()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_output == Output::None || m_started || m_cancel.load())
        return false;
    m_started = true;
    m_worker = std::thread(&ConversionJob::run, this);
    return true;
}

void ConversionJob::run()
{
    bool ok = false;
    try {
        if (m_output == Output::File)
            ok = m_format == "gif" ? runGif() : m_format == "webp" ? runWebp() : runFile();
        else if (m_output == Output::TrackCopy)
            ok = runTrackCopy();
        else
            ok = runStills();
    } catch (const std::exception &) {
        // A table or picture that cannot be allocated fails the job, not the program.
    }
    std::lock_guard<std::mutex> lock(m_endMutex);
    if (m_cancel.load())
        return; // the cancel owns the ending
    // Named only while its name still leads to what the job wrote.
    if (ok && !m_partPath.empty()) {
        m_outputPath = WorkingFile::commit(m_partPath, m_partDescriptor, m_destination);
        ok = !m_outputPath.empty();
        if (!ok)
            writeFailed(errno);
    }
    if (ok) {
        m_partPath.clear(); // under the output's name now: only its descriptor is left
        m_done.store(m_total.load());
    } else {
        m_failed.store(true);
    }
    discardOutput();
    m_finished.store(true);
}

std::string ConversionJob::rateChain() const
{
    if (m_settings.rateNum > 0 && m_settings.rateDen > 0)
        return "fps=" + std::to_string(m_settings.rateNum) + "/" + std::to_string(m_settings.rateDen);
    return "";
}

bool ConversionJob::resizes() const
{
    return m_settings.width > 0 && m_settings.height > 0;
}

std::string ConversionJob::pictureChain() const
{
    std::string chain = FrameFilter::rotationChain(m_source->rotation());
    if (resizes()) {
        const std::string size = std::to_string(m_settings.width) + ":" + std::to_string(m_settings.height);
        chain += std::string(chain.empty() ? "" : ",") + "scale=" + size
                 + (m_settings.keepAspect ? ":force_original_aspect_ratio=decrease" : "") + ":flags=lanczos";
    }
    return chain;
}

std::string ConversionJob::workerChain() const
{
    // A resize converts in the same step, interpolating chroma at full size.
    const std::string chain = pictureChain();
    return resizes() ? chain : FrameFilter::convertingAfter(chain);
}

std::string ConversionJob::videoChain() const
{
    // Choosing frames by time before turning them gives the same frames, and the
    // worker passes split the chain there.
    return chained(rateChain(), pictureChain());
}

bool ConversionJob::runWorkerPass(uint64_t progressBase, const std::function<bool(AVFrame *, AVRational)> &deliver)
{
    return runPass(
        progressBase,
        [this](FrameFilter &filter, const VideoParams &params) { return filter.build(params, rateChain(), params.format); },
        deliver);
}

bool ConversionJob::runPass(uint64_t progressBase,
                            const std::function<bool(FrameFilter &, const VideoParams &)> &build,
                            const std::function<bool(AVFrame *, AVRational)> &deliver)
{
    FramePtr frame(av_frame_alloc());
    FramePtr filtered(av_frame_alloc());
    if (!frame || !filtered)
        return false;
    FrameFilter filter;
    bool built = false;
    const auto drain = [&]() {
        int pulled = 0;
        while ((pulled = filter.pull(filtered.get())) > 0) {
            const bool delivered = deliver(filtered.get(), filter.outputTimeBase());
            av_frame_unref(filtered.get());
            if (!delivered)
                return false;
        }
        return true;
    };
    decodeShownFramesOnly();
    PassClock clock(m_rangeStart, m_rangeLength);
    for (;;) {
        const int got = m_source->nextFrame(frame.get());
        if (got < 0 || m_cancel.load())
            return false;
        if (got == 0)
            break;
        const PassClock::Place place = clock.place(m_source->frameTimeUs(frame.get()), frame->pts);
        if (place == PassClock::Place::Before)
            continue;
        if (place == PassClock::Place::After)
            break;
        if (!built) {
            VideoParams params = m_source->videoParams();
            params.width = frame->width;
            params.height = frame->height;
            params.format = AVPixelFormat(frame->format);
            params.timeBase = kMicroseconds;
            built = build(filter, params);
            if (!built)
                return false;
        }
        if (!filter.push(frame.get()) || !drain())
            return false;
        if (m_track)
            updateTotal();
        m_done.store(std::min(m_total.load() - 1, progressBase + static_cast<uint64_t>(frame->pts)));
    }
    return built && filter.close(clock.endTime()) && drain();
}

void ConversionJob::decodeShownFramesOnly()
{
    auto *file = dynamic_cast<MediaSource *>(m_source.get());
    if (m_shownFramesChosen || !file || rateChain().empty())
        return;
    m_shownFramesChosen = true;
    const std::vector<int64_t> times = file->packetFrameTimes();
    if (!times.empty())
        file->decodeOnly(ShownFrames::choose(times, PassClock(m_rangeStart, m_rangeLength), rateChain()));
}

bool ConversionJob::runFile()
{
    MovieWriter writer;
    SideStreams side;
    if (!writer.prepare(m_format, m_settings) || !writer.open(m_partDescriptor, m_withPicture, m_withSound))
        return false;
    if (m_soundTrack ? !side.openTrack(m_soundTrack, &m_cancel, writer)
                     : !m_sourcePath.empty() && !side.open(m_sourcePath, &m_cancel, writer, m_rangeStart, m_rangeLength, true))
        return false;
    if (!m_withPicture)
        return runSound(writer, side);
    const std::string chain = videoChain();
    const bool passed = runPass(
        0, [&](FrameFilter &filter, const VideoParams &params) { return filter.build(params, chain, writer.pixelFormat()); },
        [&](AVFrame *frame, AVRational timeBase) {
            // The sound follows each picture, so the muxer never holds much of either.
            return writer.write(frame, timeBase) && side.advanceTo(av_rescale_q(frame->pts, timeBase, kMicroseconds));
        });
    return written(passed && !m_cancel.load() && side.finish(true) && writer.finish(), writer.systemError());
}

bool ConversionJob::runSound(MovieWriter &writer, SideStreams &side)
{
    constexpr int64_t kStep = 500000;
    for (int64_t until = kStep; !m_cancel.load() && !side.atEnd(); until += kStep) {
        if (!side.advanceTo(until))
            return false;
        m_done.store(std::min(m_total.load() - 1, side.position()));
    }
    return written(!m_cancel.load() && side.finish(true) && writer.finish(), writer.systemError());
}

namespace {

// One GIF worker's state: its resize, its reader of bands and the picture it maps.
struct GifWorker
{
    std::unique_ptr<FrameFilter> picture;
    BgraBands bands;
    PaletteMapper::Picture mapping;
};

} // namespace

bool ConversionJob::countColours(int threads, const std::string &chain, int rotation, ColourStatistics &statistics,
                                 KeptFrames &kept)
{
    // Counting colours is as slow as mapping them, so workers count whole frames side by side.
    std::vector<GifWorker> counters(static_cast<size_t>(threads));
    OrderedWorkers counting(
        threads,
        [&](int index, OrderedWorkers::Item &item) {
            GifWorker &worker = counters[static_cast<size_t>(index)];
            const bool counted =
                (chain.empty() || convertPicture(worker.picture, chain, AV_PIX_FMT_BGRA, item))
                && worker.bands.read(item.frame, item.timeBase, rotation, [&](const AVFrame *band) { return statistics.add(band); });
            if (!kept.keeping())
                av_frame_unref(item.frame);
            return counted;
        },
        [&kept](OrderedWorkers::Item &item) {
            kept.keep(item.frame, item.timeBase);
            return true;
        });
    const bool measured =
        runWorkerPass(0, [&](AVFrame *frame, AVRational timeBase) { return counting.submit(frame, timeBase); });
    return measured && counting.finish();
}

bool ConversionJob::runGif()
{
    // The palette comes from the whole clip, counted in a pass of its own. That pass keeps
    // the pictures it counted, up to a limit, so a movie as short as a Live Photo is
    // decoded once; a longer one is decoded again for mapping, and then no graph ever
    // holds more than a frame or two however long the movie is.
    FramePtr palette(av_frame_alloc());
    const int threads = OrderedWorkers::defaultThreads(8);
    // A resize comes first and ends in small BGRA pictures, which are what is kept;
    // without one, workers turn and convert their pictures a band at a time.
    const std::string chain = resizes() ? pictureChain() : std::string();
    const int rotation = resizes() ? 0 : m_source->rotation();
    auto statistics = std::make_unique<ColourStatistics>();
    KeptFrames kept(m_keptFrameLimit, expectedFrames());
    if (!palette || !countColours(threads, chain, rotation, *statistics, kept))
        return false;

    // The palette is cut and indexed while mapping starts (and the second pass decodes);
    // mappers wait for it before their first frame. The counters go as soon as the cut is done.
    PaletteMapper mapper;
    const std::shared_future<bool> paletteReady = std::async(std::launch::async, [&] {
        const bool made = statistics->makePalette(palette.get()) && mapper.setPalette(palette.get());
        statistics.reset();
        return made;
    });
    const bool decodeAgain = !kept.keeping();
    MovieWriter writer;
    if ((decodeAgain && !m_source->rewind()) || !writer.prepare(m_format, m_settings)
        || !writer.open(m_partDescriptor, true, false))
        return false;
    // Each frame maps on its own, so workers map whole frames side by side. A GIF frame
    // depends only on its pixels and those of the frame before, so frames encode side by
    // side too. Fewer mappers than cores leave room for the encoders and hold fewer frames.
    OrderedWorkers encoding(
        std::max(1, threads / 2),
        [](int, OrderedWorkers::Item &item) { return GifFrameEncoder::encode(item.frame, item.previous, item.bytes); },
        [&writer](OrderedWorkers::Item &item) {
            return writer.stamp(item.frame, item.timeBase) && writer.writeStampedPicture(item.bytes);
        },
        true); // with the frame before each
    const bool quarterTurn = BgraBands::swapsSides(rotation);
    // Kept pictures went through the resize already.
    const std::string mappingChain = decodeAgain ? chain : std::string();
    const int mapperCount = std::max(1, threads - 2);
    std::vector<GifWorker> mappers(static_cast<size_t>(mapperCount));
    OrderedWorkers mapping(
        mapperCount,
        [&](int index, OrderedWorkers::Item &item) {
            GifWorker &worker = mappers[static_cast<size_t>(index)];
            FramePtr mapped(av_frame_alloc());
            if (!paletteReady.get() || !mapped
                || !(mappingChain.empty() || convertPicture(worker.picture, mappingChain, AV_PIX_FMT_BGRA, item))
                || !mapper.start(worker.mapping, quarterTurn ? item.frame->height : item.frame->width,
                                 quarterTurn ? item.frame->width : item.frame->height, item.frame, mapped.get())
                || !worker.bands.read(item.frame, item.timeBase, rotation,
                                      [&](const AVFrame *band) { return mapper.addRows(worker.mapping, band); })
                || !mapper.finish(worker.mapping))
                return false;
            av_frame_free(&item.frame);
            item.frame = mapped.release();
            return true;
        },
        [&](OrderedWorkers::Item &item) { return encoding.submit(item.frame, item.timeBase); });
    const uint64_t half = m_total.load() / 2;
    const bool passed = decodeAgain
                            ? runWorkerPass(half, [&](AVFrame *frame, AVRational timeBase) { return mapping.submit(frame, timeBase); })
                            : kept.replay([&](AVFrame *frame, AVRational timeBase) {
                                  const auto time = static_cast<uint64_t>(std::max<int64_t>(0, av_rescale_q(frame->pts, timeBase, kMicroseconds)));
                                  m_done.store(std::min(m_total.load() - 1, half + time));
                                  return !m_cancel.load() && mapping.submit(frame, timeBase);
                              });
    return written(passed && mapping.finish() && encoding.finish() && writer.finish(), writer.systemError());
}

bool ConversionJob::runTrackCopy()
{
    MovieWriter writer;
    if (!writer.prepareCopy(m_format, m_settings) || !writer.open(m_partDescriptor, true, false))
        return false;
    struct Lane
    {
        std::shared_ptr<Track> track;
        int stream = -1;
        PacketData head;
        bool hasHead = false;
        bool ended = false;
    };
    std::vector<Lane> lanes;
    for (const std::shared_ptr<Track> &track : m_copiedTracks) {
        Lane lane;
        lane.track = track;
        lane.stream = writer.addTrackStream(track->description(), kMicroseconds);
        if (lane.stream < 0)
            return false;
        lanes.push_back(std::move(lane));
    }
    AVPacket *packet = av_packet_alloc();
    bool ok = packet != nullptr;
    // The muxer wants the streams in time order: each round writes the earliest of the
    // tracks' next packets, waiting for a feeder that is behind.
    while (ok && !m_cancel.load()) {
        Lane *earliest = nullptr;
        for (Lane &lane : lanes) {
            if (!lane.hasHead && !lane.ended) {
                lane.hasHead = lane.track->take(lane.head, m_cancel);
                lane.ended = !lane.hasHead;
            }
            if (lane.hasHead && (!earliest || lane.head.dts < earliest->head.dts))
                earliest = &lane;
        }
        if (!earliest)
            break;
        earliest->hasHead = false;
        const PacketData &data = earliest->head;
        ok = av_new_packet(packet, static_cast<int>(data.bytes.size())) >= 0;
        if (!ok)
            break;
        std::copy(data.bytes.begin(), data.bytes.end(), packet->data);
        packet->pts = static_cast<int64_t>(data.pts);
        packet->dts = static_cast<int64_t>(data.dts);
        packet->duration = data.duration;
        packet->flags = (data.flags & 1) ? AV_PKT_FLAG_KEY : 0;
        ok = writer.writePacket(packet, kMicroseconds, earliest->stream);
        av_packet_unref(packet);
        updateTotal();
        m_done.store(std::min(m_total.load() - 1, data.pts));
    }
    av_packet_free(&packet);
    return written(ok && !m_cancel.load() && writer.finish(), writer.systemError());
}

bool ConversionJob::deliverStill(const std::vector<uint8_t> &image)
{
    const auto size = static_cast<unsigned>(image.size());
    // A short count means the still was not stored (full disk, unwritable folder); the
    // callback's owner knows the system's reason.
    return m_target.callback(m_target.context, image.data(), size) >= size || writeFailed(0);
}

bool ConversionJob::encodeStills(AVCodecID codec, bool firstOnly, const OrderedWorkers::Deliver &deliver)
{
    const AVPixelFormat format =
        StillEncoder::inputFormat(codec, CodecIds::pixelFormatToAv(m_settings.pixelFormat));
    const int quality = static_cast<int>(m_settings.quality);
    // Stills do not depend on each other: each worker converts and encodes whole frames.
    struct Worker
    {
        std::unique_ptr<FrameFilter> converter;
        StillEncoder encoder;
        bool opened = false;
    };
    // The encoders set the pace, not the decoder: its frame threads mostly wait for
    // them. So workers take every core but the one of the decoding thread, which also
    // filters; four left the decoder waiting on flat and smooth pictures.
    const int threads = firstOnly ? 1 : std::max(1, OrderedWorkers::defaultThreads(16) - 1);
    std::vector<Worker> workers(static_cast<size_t>(threads));
    const std::string chain = workerChain();
    bool submitted = false;
    OrderedWorkers encoding(
        threads,
        [&](int index, OrderedWorkers::Item &item) {
            Worker &worker = workers[static_cast<size_t>(index)];
            const int64_t pts = item.frame->pts;
            bool encoded = convertPicture(worker.converter, chain, format, item);
            if (encoded && !worker.opened)
                encoded = worker.opened =
                    worker.encoder.open(codec, item.frame->width, item.frame->height, format, quality);
            encoded = encoded && worker.encoder.encode(item.frame, item.bytes);
            // Only the time is kept; an encoded still may wait a while for its turn.
            av_frame_unref(item.frame);
            item.frame->pts = pts;
            return encoded;
        },
        deliver);
    const bool passed = runWorkerPass(
        0, [&](AVFrame *frame, AVRational timeBase) {
            if (firstOnly && submitted)
                return true;
            submitted = true;
            return encoding.submit(frame, timeBase);
        });
    return passed && encoding.finish() && submitted;
}

bool ConversionJob::runStills()
{
    const bool single = m_output == Output::StillFile;
    const AVCodecID codec = stillCodec(m_format);
    return encodeStills(codec, single, [&](OrderedWorkers::Item &item) {
        if (!m_exif.embed(codec, item.bytes))
            return false;
        int systemError = 0;
        return single ? written(writeWholeFile(m_partDescriptor, item.bytes, systemError), systemError)
                      : deliverStill(item.bytes);
    });
}

bool ConversionJob::runWebp()
{
    WebpAnimationWriter animation;
    if (!animation.open(m_partDescriptor))
        return false;
    if (!m_exif.empty())
        animation.setExif(m_exif.tiff());
    const int quality = m_settings.quality ? static_cast<int>(m_settings.quality) : kDefaultWebpQuality;
    // What each frame repaints is decided in order, against what the frames before it
    // left on the canvas; then the repainted areas encode side by side and go to the file
    // in order. The decoding thread's graph turns and converts on slice threads: workers
    // of its own would hold more full-size pictures.
    std::unique_ptr<WebpCanvasTracker> canvas;
    std::deque<WebpAnimationWriter::Placement> placements; // decided, waiting for their stills
    OrderedWorkers encoding(
        OrderedWorkers::defaultThreads(4),
        [quality](int, OrderedWorkers::Item &item) {
            const int64_t pts = item.frame->pts;
            const bool encoded = WebpFrameEncoder::encode(item.frame, quality, item.bytes);
            // Only the time is kept; an encoded still may wait a while for its turn.
            av_frame_unref(item.frame);
            item.frame->pts = pts;
            return encoded;
        },
        [&](OrderedWorkers::Item &item) {
            const WebpAnimationWriter::Placement placement = placements.front();
            placements.pop_front();
            return animation.add(std::move(item.bytes), av_rescale_q(item.frame->pts, item.timeBase, {1, 1000}),
                                 placement);
        });
    const std::string chain = chained(videoChain(), kWebpColours);
    const bool passed = runPass(
        0,
        [&](FrameFilter &filter, const VideoParams &params) {
            const bool translucent = mayBeTranslucent(params.format);
            canvas = std::make_unique<WebpCanvasTracker>(quality, translucent);
            return filter.build(params, chain, translucent ? AV_PIX_FMT_YUVA420P : AV_PIX_FMT_YUV420P);
        },
        [&](AVFrame *frame, AVRational timeBase) {
            placements.emplace_back();
            return canvas->place(frame, placements.back()) && encoding.submit(frame, timeBase);
        });
    return written(passed && encoding.finish() && animation.finish(), animation.systemError());
}

bool ConversionJob::writeFailed(int systemError)
{
    if (systemError)
        av_log(nullptr, AV_LOG_ERROR, "converter: writing %s failed: %s\n",
               m_destination.empty() ? "the stills" : m_destination.c_str(), std::strerror(systemError));
    noteFault(MMC_FAULT_OUTPUT, systemError);
    return false;
}

bool ConversionJob::written(bool ok, int systemError)
{
    if (!ok && systemError)
        writeFailed(systemError);
    return ok;
}

void ConversionJob::discardOutput()
{
    if (!m_partPath.empty() && WorkingFile::isAt(m_partPath, m_partDescriptor))
        ::unlink(m_partPath.c_str());
    m_partPath.clear();
    if (m_partDescriptor >= 0)
        ::close(m_partDescriptor);
    m_partDescriptor = -1;
}

bool ConversionJob::cancel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    {
        std::lock_guard<std::mutex> end(m_endMutex);
        if (m_output == Output::None || m_finished.load() || m_cancel.load())
            return false;
        m_cancel.store(true);
    }
    if (m_track)
        m_track->wake();
    for (const std::shared_ptr<Track> &track : m_copiedTracks)
        track->wake();
    if (m_soundTrack)
        m_soundTrack->wake();
    if (m_worker.joinable())
        m_worker.join();
    discardOutput();
    m_failed.store(true);
    return true;
}

void ConversionJob::close()
{
    cancel();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_worker.joinable())
        m_worker.join();
    discardOutput();
    const bool ran = m_started && m_source;
    m_source.reset();
    m_track.reset();
    m_copiedTracks.clear();
    m_soundTrack.reset();
    if (ran)
        returnFreedMemory();
}
