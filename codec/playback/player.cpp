#include "playback/player.h"

#include "playback/audiospectrum.h"
#include "playback/playerframe.h"
#include "playback/playersession.h"
#include "playback/subtitlecheck.h"
#include "still/stillencoder.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

// The player whose frame callback runs on this thread, if any.
thread_local const Player *t_inCallback = nullptr;

constexpr uint32_t kLargestCaptureSide = 16384;
constexpr uint64_t kLargestCapturePixels = 64ull * 1000 * 1000;

bool encodeBmp(const AVFrame *source, int width, int height, std::vector<uint8_t> &image)
{
    SwsContext *scaler = sws_getContext(source->width, source->height, static_cast<AVPixelFormat>(source->format),
                                        width, height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    AVFrame *converted = av_frame_alloc();
    bool ok = scaler && converted;
    if (ok) {
        converted->format = AV_PIX_FMT_BGR24;
        converted->width = width;
        converted->height = height;
        ok = av_frame_get_buffer(converted, 0) >= 0
             && sws_scale(scaler, source->data, source->linesize, 0, source->height, converted->data,
                          converted->linesize) == height;
    }
    StillEncoder encoder;
    ok = ok && encoder.open(AV_CODEC_ID_BMP, width, height, AV_PIX_FMT_BGR24, 0) && encoder.encode(converted, image);
    av_frame_free(&converted);
    sws_freeContext(scaler);
    return ok;
}

} // namespace

Player::Player() = default;

Player::~Player()
{
    std::lock_guard<std::mutex> lock(m_control);
    closeLocked();
}

bool Player::inOwnCallback() const
{
    return t_inCallback == this;
}

std::shared_ptr<PlayerSession> Player::session() const
{
    std::lock_guard<std::mutex> lock(m_sessionLock);
    return m_session;
}

void Player::setDelivery(Delivery delivery)
{
    // Taking the lock waits for a callback in flight.
    std::lock_guard<std::mutex> lock(m_callbackLock);
    m_delivery = delivery;
}

bool Player::deliver(const AVFrame *frame)
{
    std::lock_guard<std::mutex> lock(m_callbackLock);
    if (m_delivery == Delivery::Closed)
        return false;
    if (m_delivery == Delivery::OneShot)
        m_delivery = Delivery::Closed;
    {
        std::lock_guard<std::mutex> frameLock(m_frameLock);
        if (!m_lastFrame)
            m_lastFrame = av_frame_alloc();
        else
            av_frame_unref(m_lastFrame);
        if (m_lastFrame)
            av_frame_ref(m_lastFrame, frame);
    }
    if (m_callback) {
        PlayerFrame view = PlayerFrame::of(frame);
        t_inCallback = this;
        m_callback(m_callbackContext, &view);
        t_inCallback = nullptr;
    }
    return true;
}

void Player::setAudioDevice(const std::string &name)
{
    std::lock_guard<std::mutex> lock(m_control);
    m_device = name;
}

bool Player::open(const std::string &path)
{
    if (inOwnCallback())
        return false;
    std::lock_guard<std::mutex> lock(m_control);
    closeLocked();
    auto opened = std::make_shared<PlayerSession>();
    if (!opened->open(path, m_device, m_volume, [this](const AVFrame *frame) { return deliver(frame); }))
        return false;
    std::lock_guard<std::mutex> sessionLock(m_sessionLock);
    m_session = std::move(opened);
    return true;
}

bool Player::close()
{
    if (inOwnCallback())
        return false;
    std::lock_guard<std::mutex> lock(m_control);
    closeLocked();
    return true;
}

void Player::closeLocked()
{
    setDelivery(Delivery::Closed);
    std::shared_ptr<PlayerSession> closing;
    {
        std::lock_guard<std::mutex> sessionLock(m_sessionLock);
        closing.swap(m_session);
    }
    // The session's threads are joined here, unless a query still holds it; then they
    // are joined when that query returns. Either way delivery is already closed.
    closing.reset();
    m_playing = false;
    {
        std::lock_guard<std::mutex> endLock(m_endLock);
        m_ended = false;
    }
    std::lock_guard<std::mutex> frameLock(m_frameLock);
    av_frame_free(&m_lastFrame);
}

void Player::setInterval(uint64_t interval)
{
    m_interval = interval;
}

void Player::setVolume(int volume)
{
    m_volume = std::clamp(volume, 0, 200);
    if (auto current = session(); current && current->output)
        current->output->setVolume(m_volume);
}

bool Player::setFrameCallback(MMC_FrameFn callback, void *context)
{
    if (inOwnCallback())
        return false;
    std::lock_guard<std::mutex> lock(m_callbackLock);
    m_callback = callback;
    m_callbackContext = context;
    return true;
}

template <class Action> bool Player::withMedia(Action action)
{
    if (inOwnCallback())
        return false;
    std::lock_guard<std::mutex> lock(m_control);
    auto current = session();
    return current && action(*current);
}

bool Player::play()
{
    return withMedia([this](PlayerSession &current) {
        setDelivery(Delivery::Open);
        m_playing = true;
        if (current.video)
            current.video->fillAhead();
        current.clock->setRunning(true);
        if (current.output)
            current.output->setPaused(false);
        if (current.video)
            current.video->setRunning(true);
        return true;
    });
}

void Player::pauseLocked(PlayerSession &current)
{
    setDelivery(Delivery::Closed);
    m_playing = false;
    if (current.video)
        current.video->setRunning(false);
    if (current.output)
        current.output->setPaused(true);
    current.clock->setRunning(false);
}

bool Player::pause()
{
    return withMedia([this](PlayerSession &current) {
        pauseLocked(current);
        return true;
    });
}

bool Player::stop()
{
    return withMedia([this](PlayerSession &current) {
        pauseLocked(current);
        if (current.video)
            current.video->seek(0, false);
        if (current.audio)
            current.audio->seek(0);
        current.clock->set(0);
        clearEnded();
        return true;
    });
}

void Player::clearEnded()
{
    std::lock_guard<std::mutex> endLock(m_endLock);
    m_ended = false;
}

bool Player::seek(uint64_t position)
{
    return withMedia([&](PlayerSession &current) {
        const auto target = static_cast<int64_t>(std::min(position, current.duration));
        const bool playing = m_playing;
        // A paused player shows the frame at the new position, and only that one. A
        // playing one holds its picture until the clock stands at the target.
        setDelivery(playing ? Delivery::Open : Delivery::OneShot);
        if (current.video) {
            current.video->setRunning(false);
            current.video->seek(target, !playing);
        }
        if (!playing)
            setDelivery(Delivery::Closed);
        if (current.audio)
            current.audio->seek(target);
        current.clock->set(target);
        if (current.video)
            current.video->setRunning(playing);
        clearEnded();
        return true;
    });
}

bool Player::step(int direction)
{
    return direction != 0 && withMedia([&](PlayerSession &current) {
        if (!current.video)
            return false;
        pauseLocked(current);
        setDelivery(Delivery::OneShot);
        const bool stepped = current.video->step(direction);
        setDelivery(Delivery::Closed);
        if (!stepped)
            return false;
        const int64_t time = current.video->currentTime();
        if (current.audio)
            current.audio->seek(time);
        current.clock->set(time);
        if (direction < 0)
            clearEnded();
        return true;
    });
}

bool Player::computeEnded(PlayerSession &current)
{
    std::lock_guard<std::mutex> endLock(m_endLock);
    if (m_ended || !m_playing)
        return m_ended;
    bool ended = true;
    if (current.video)
        ended = current.video->finished();
    if (current.audio)
        ended = ended && current.audio->finished() && current.output->queuedUs() == 0;
    else if (!current.video)
        ended = current.clock->now() >= static_cast<int64_t>(current.duration);
    m_ended = ended;
    return m_ended;
}

bool Player::refresh()
{
    std::unique_lock<std::mutex> lock(m_control, std::try_to_lock);
    if (!lock.owns_lock())
        return false;
    if (auto current = session())
        computeEnded(*current);
    return true;
}

bool Player::isEnded()
{
    auto current = session();
    return current && computeEnded(*current);
}

uint64_t Player::duration() const
{
    auto current = session();
    return current ? current->duration : 0;
}

uint64_t Player::position() const
{
    auto current = session();
    if (!current)
        return 0;
    const int64_t now = current->clock->now();
    return static_cast<uint64_t>(std::clamp<int64_t>(now, 0, static_cast<int64_t>(current->duration)));
}

bool Player::hasVideo() const
{
    auto current = session();
    return current && current->hasVideo;
}

bool Player::hasAudio() const
{
    auto current = session();
    return current && current->hasAudio;
}

uint32_t Player::videoWidth() const
{
    auto current = session();
    return current ? current->width : 0;
}

uint32_t Player::videoHeight() const
{
    auto current = session();
    return current ? current->height : 0;
}

uint32_t Player::aspectX() const
{
    auto current = session();
    return current ? current->aspectX : 0;
}

uint32_t Player::aspectY() const
{
    auto current = session();
    return current ? current->aspectY : 0;
}

void *Player::audioBlock() const
{
    auto current = session();
    if (!current || !current->audio || !m_playing)
        return nullptr;
    const AudioOutput &output = *current->output;
    std::vector<float> samples;
    int64_t heard = 0;
    if (!output.clockUs(&heard)
        || !output.heardSamples(AudioSpectrum::windowFor(m_interval, output.sampleRate()), samples))
        return nullptr;
    return AudioSpectrum::makeBlock(samples, output.sampleRate(), heard);
}

MMC_Capture *Player::capture(uint32_t width, uint32_t height) const
{
    AVFrame *frame = av_frame_alloc();
    {
        std::lock_guard<std::mutex> frameLock(m_frameLock);
        if (!frame || !m_lastFrame || av_frame_ref(frame, m_lastFrame) < 0) {
            av_frame_free(&frame);
            return nullptr;
        }
    }
    if (width == 0 || height == 0) {
        width = static_cast<uint32_t>(frame->width);
        height = static_cast<uint32_t>(frame->height);
    }
    std::vector<uint8_t> image;
    const bool fits = width <= kLargestCaptureSide && height <= kLargestCaptureSide
                      && uint64_t(width) * height <= kLargestCapturePixels;
    const bool encoded = fits && encodeBmp(frame, static_cast<int>(width), static_cast<int>(height), image);
    av_frame_free(&frame);
    if (!encoded)
        return nullptr;
    auto *record = static_cast<MMC_Capture *>(av_mallocz(sizeof(MMC_Capture)));
    auto *data = static_cast<unsigned char *>(av_malloc(image.size()));
    if (!record || !data) {
        av_free(record);
        av_free(data);
        return nullptr;
    }
    std::copy(image.begin(), image.end(), data);
    *record = {data, static_cast<unsigned>(image.size()), width, height};
    return record;
}

bool Player::selectAudioTrack(int index)
{
    return withMedia([index](PlayerSession &current) {
        return current.audio && index >= 0 && index < current.audioCount && current.audio->selectTrack(index);
    });
}

bool Player::changeSubtitles(PlayerSession &current, int track, const std::string &file)
{
    if (!current.video)
        return false;
    if (track == current.subtitleTrack && file == current.subtitleFile)
        return true; // re-applied by every menu choice: nothing to redo
    current.subtitleTrack = track;
    current.subtitleFile = file;
    // Paused, the current frame is shown again with the new subtitles.
    if (!m_playing && current.video->hasCurrent())
        setDelivery(Delivery::OneShot);
    SubtitleChoice choice;
    choice.track = track;
    choice.file = file;
    current.video->setSubtitles(choice);
    return true;
}

bool Player::selectSubtitle(int index)
{
    return withMedia([&](PlayerSession &current) {
        if (index < 0)
            return changeSubtitles(current, -1, std::string());
        return index < current.subtitleCount && SubtitleCheck::embeddedTrackShowable(current.path, index)
               && changeSubtitles(current, index, std::string());
    });
}

bool Player::loadSubtitleFile(const std::string &path)
{
    if (inOwnCallback() || path.empty())
        return false;
    std::error_code error;
    // The filter reads "name:..." as a protocol; an absolute path never is one.
    const std::string absolute = std::filesystem::absolute(path, error).string();
    if (error || !SubtitleCheck::sideFileShowable(absolute))
        return false;
    return withMedia([&](PlayerSession &current) { return changeSubtitles(current, -1, absolute); });
}

PresentationStats Player::stats() const
{
    auto current = session();
    return current && current->video ? current->video->stats() : PresentationStats();
}

void Player::simulateAudioStall(bool on)
{
    if (auto current = session(); current && current->output)
        current->output->simulateStall(on);
}
