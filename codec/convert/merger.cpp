#include "convert/merger.h"

#include <algorithm>
#include <unistd.h>

#include "convert/moviewriter.h"
#include "convert/sidestreams.h"
#include "framefilter.h"
#include "source/mediasource.h"
#include "workingfile.h"

namespace {

constexpr AVRational kMicroseconds{1, 1000000};

int evenBelow(int value)
{
    return std::max(2, value & ~1);
}

} // namespace

Merger::~Merger()
{
    close();
}

bool Merger::open(const std::string &dst, const std::string &format, const EncodeSettings &settings)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_opened || m_closed || dst.empty())
        return false;
    auto writer = std::make_unique<MovieWriter>();
    if (!writer->prepare(format, settings))
        return false;
    // Made now, so an unwritable destination fails here rather than mid-merge; written
    // under a name of its own, so a merge that does not complete leaves nothing at dst.
    WorkingFile::removeStale(dst);
    m_partPath = WorkingFile::create(dst, m_descriptor);
    if (m_partPath.empty())
        return false;
    m_writer = std::move(writer);
    m_destination = dst;
    m_format = format;
    m_settings = settings;
    m_opened = true;
    return true;
}

bool Merger::start()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_opened || m_closed || m_worker.joinable() || m_cancel.load())
        return false;
    m_worker = std::thread(&Merger::run, this);
    return true;
}

bool Merger::addFile(const std::string &src, uint64_t start, uint64_t length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_opened || m_closed || m_cancel.load() || m_failed.load())
        return false;
    MediaSource probe;
    if (src.empty() || !probe.open(src, &m_cancel))
        return false;
    const bool hasPicture = probe.hasVideo() && !probe.isAnimatedWebp();
    const bool hasSound = probe.audioStreamCount() > 0;
    if (!m_fed) {
        m_withPicture = m_writer->wantsVideo() && hasPicture;
        m_withSound = m_writer->wantsAudio() && hasSound;
        if (!m_withPicture && !m_withSound)
            return false;
        m_width = evenBelow(m_settings.width ? static_cast<int>(m_settings.width) : probe.displayWidth());
        m_height = evenBelow(m_settings.height ? static_cast<int>(m_settings.height) : probe.displayHeight());
        const AVRational rate = hasPicture ? probe.videoStream()->avg_frame_rate : AVRational{0, 1};
        if (m_settings.rateNum && m_settings.rateDen) {
            m_rateNum = static_cast<int>(m_settings.rateNum);
            m_rateDen = static_cast<int>(m_settings.rateDen);
        } else if (rate.num > 0 && rate.den > 0) {
            m_rateNum = rate.num;
            m_rateDen = rate.den;
        }
    } else if ((m_withPicture && !hasPicture) || (m_withSound && !hasSound)) {
        return false; // refused now rather than failing halfway
    }
    const uint64_t duration = probe.durationUs();
    const uint64_t available = duration > start ? duration - start : 0;
    const uint64_t taken = length ? std::min(length, available) : available;
    m_queue.push_back({src, start, taken});
    m_total.store(std::max<uint64_t>(1, m_total.load() + taken));
    m_fed = true;
    m_finished.store(false);
    m_queued.notify_all();
    return true;
}

void Merger::run()
{
    bool writerOpen = false;
    for (;;) {
        Source source;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_queued.wait(lock, [this] { return m_stopWorker || m_cancel.load() || !m_queue.empty(); });
            if (m_cancel.load() || m_queue.empty())
                return;
            source = m_queue.front();
        }
        if (!writerOpen)
            writerOpen = m_writer->open(m_descriptor, m_withPicture, m_withSound);
        const bool merged = writerOpen && mergeOne(source);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.pop_front();
        if (m_cancel.load())
            return;
        if (!merged) {
            m_failed.store(true);
            m_finished.store(true);
            return;
        }
        if (m_queue.empty())
            m_finished.store(true);
    }
}

std::string Merger::pictureChain(int rotation) const
{
    std::string chain = FrameFilter::rotationChain(rotation);
    const std::string size = std::to_string(m_width) + ":" + std::to_string(m_height);
    chain += (chain.empty() ? "" : ",") + std::string("scale=") + size
             + ":force_original_aspect_ratio=decrease:force_divisible_by=2,pad=" + size
             + ":(ow-iw)/2:(oh-ih)/2,setsar=1,fps=" + std::to_string(m_rateNum) + "/" + std::to_string(m_rateDen);
    return chain;
}

bool Merger::mergeOne(const Source &source)
{
    SideStreams side;
    if (m_withSound
        && (!m_writer->padAudioTo(static_cast<int64_t>(m_offset))
            || !side.open(source.path, &m_cancel, *m_writer, source.start, source.length, false)))
        return false;
    uint64_t pictureEnd = 0;
    if (m_withPicture) {
        MediaSource pictures;
        if (!pictures.open(source.path, &m_cancel) || !pictures.openDecoder()
            || (source.start && !pictures.seek(source.start)))
            return false;
        FramePtr frame(av_frame_alloc());
        FramePtr filtered(av_frame_alloc());
        FrameFilter filter;
        bool built = false;
        const int64_t frameUs = av_rescale(1000000, m_rateDen, m_rateNum);
        const auto drain = [&]() {
            while (filter.pull(filtered.get()) > 0) {
                const int64_t t = av_rescale_q(filtered->pts, filter.outputTimeBase(), kMicroseconds);
                filtered->pts = t + static_cast<int64_t>(m_offset);
                const bool written = m_writer->write(filtered.get(), kMicroseconds) && side.advanceTo(t);
                av_frame_unref(filtered.get());
                if (!written)
                    return false;
                pictureEnd = static_cast<uint64_t>(t + frameUs);
                m_done.store(std::min(m_total.load() - 1, m_offset + static_cast<uint64_t>(t)));
            }
            return true;
        };
        const uint64_t end = source.start + source.length;
        const AVRational sourceRate = pictures.videoStream()->avg_frame_rate;
        const int64_t sourceFrameUs = sourceRate.num > 0 && sourceRate.den > 0 ? av_rescale(1000000, sourceRate.den, sourceRate.num) : frameUs;
        int64_t inputEnd = 0;
        while (frame && filtered && !m_cancel.load()) {
            const int got = pictures.nextFrame(frame.get());
            if (got < 0)
                return false;
            const int64_t time = got ? std::max<int64_t>(0, pictures.frameTimeUs(frame.get())) : 0;
            if (got == 0 || static_cast<uint64_t>(time) >= end)
                break;
            if (static_cast<uint64_t>(time) < source.start)
                continue;
            frame->pts = time - static_cast<int64_t>(source.start);
            inputEnd = frame->pts + sourceFrameUs;
            if (!built) {
                VideoParams params = pictures.videoParams();
                params.width = frame->width;
                params.height = frame->height;
                params.format = AVPixelFormat(frame->format);
                params.timeBase = kMicroseconds;
                built = filter.build(params, pictureChain(pictures.rotation()), m_writer->pixelFormat());
                if (!built)
                    return false;
            }
            if (!filter.push(frame.get()) || !drain())
                return false;
        }
        if (m_cancel.load() || !built || !filter.close(inputEnd) || !drain())
            return false;
    } else {
        constexpr int64_t kStep = 500000;
        for (int64_t until = kStep; !m_cancel.load() && !side.atEnd(); until += kStep) {
            if (!side.advanceTo(until))
                return false;
            m_done.store(std::min(m_total.load() - 1, m_offset + side.position()));
        }
    }
    if (m_cancel.load() || (m_withSound && !side.finish(false)))
        return false;
    m_offset += std::max(pictureEnd, side.position());
    m_done.store(std::min(m_total.load(), m_offset));
    return true;
}

bool Merger::cancel()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const bool drained = m_fed && m_finished.load();
        if (!m_opened || m_closed || m_failed.load() || drained)
            return false;
        m_cancel.store(true);
    }
    m_queued.notify_all();
    if (m_worker.joinable())
        m_worker.join();
    m_failed.store(true);
    return true;
}

void Merger::stopWorker()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopWorker = true;
    }
    m_queued.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void Merger::close()
{
    std::lock_guard<std::mutex> closing(m_closeMutex);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed || !m_opened) {
            m_closed = true;
            return;
        }
    }
    const bool drained = m_fed && m_finished.load() && !m_failed.load();
    if (!drained)
        cancel();
    stopWorker();
    const bool complete = drained && (!m_withSound || m_writer->writeAudio(nullptr)) && m_writer->finish();
    m_writer.reset();
    const std::string named = complete ? WorkingFile::commit(m_partPath, m_descriptor, m_destination) : std::string();
    if (named.empty()) {
        if (WorkingFile::isAt(m_partPath, m_descriptor))
            ::unlink(m_partPath.c_str());
        m_failed.store(true);
    }
    ::close(m_descriptor);
    m_descriptor = -1;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_outputPath = named;
    m_closed = true;
}

std::string Merger::outputPath()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outputPath;
}
