#include "playback/playervideo.h"

#include "playback/playerclock.h"

#include <algorithm>

namespace {

constexpr std::chrono::microseconds kLongestWait(20000);
constexpr std::chrono::microseconds kEndPoll(10000);
// The longest stretch of dropped frames before a late one is shown anyway.
constexpr std::chrono::microseconds kLongestDropRun(100000);
// Frames decoded ahead while the shown one waits: a frame slower to decode than its
// period then eats into this reserve instead of arriving late.
constexpr size_t kFramesAhead = 4;

int64_t periodOf(AVRational rate)
{
    if (rate.num <= 0 || rate.den <= 0)
        return 40000;
    return std::clamp<int64_t>(av_rescale(1000000, rate.den, rate.num), 1000, 1000000);
}

} // namespace

PlayerVideo::PlayerVideo(PlayerClock &clock, Presenter presenter)
    : m_clock(clock)
    , m_presenter(std::move(presenter))
{
}

PlayerVideo::~PlayerVideo()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        m_cancel = true;
    }
    m_wake.notify_all();
    m_doneSignal.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    clearQueue();
    release(m_current);
    av_frame_free(&m_raw);
}

bool PlayerVideo::open(const std::string &path)
{
    m_path = path;
    m_raw = av_frame_alloc();
    if (!m_raw || !m_source.open(path, &m_cancel) || !m_source.format() || !m_source.hasVideo()
        || !m_source.openDecoder())
        return false;
    const int64_t start = m_source.format()->start_time;
    m_startTime = start == AV_NOPTS_VALUE ? 0 : start;
    m_period = periodOf(m_source.videoParams().frameRate);
    return buildGraph(SubtitleChoice());
}

bool PlayerVideo::buildGraph(const SubtitleChoice &choice)
{
    const AVCodecParameters *parameters = m_source.videoStream()->codecpar;
    return m_graph.build(m_source.videoParams(), m_source.rotation(), m_path, choice, parameters->color_space,
                         parameters->color_range);
}

void PlayerVideo::start()
{
    m_thread = std::thread(&PlayerVideo::run, this);
}

void PlayerVideo::setRunning(bool running)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = running;
    }
    m_wake.notify_all();
}

bool PlayerVideo::submit(const Command &command)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_command = command;
    const uint64_t ticket = ++m_submitted;
    m_wake.notify_all();
    m_doneSignal.wait(lock, [&] { return m_completed >= ticket || m_quit; });
    return m_completed >= ticket && m_lastResult;
}

bool PlayerVideo::seek(int64_t target, bool deliver)
{
    Command command;
    command.target = target;
    command.deliver = deliver;
    return submit(command);
}

void PlayerVideo::fillAhead()
{
    Command command;
    command.kind = Command::FillAhead;
    submit(command);
}

bool PlayerVideo::step(int direction)
{
    Command command;
    command.kind = Command::Step;
    command.direction = direction;
    return submit(command);
}

void PlayerVideo::setSubtitles(const SubtitleChoice &choice)
{
    Command command;
    command.kind = Command::Subtitles;
    command.subtitles = choice;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_subtitleCommand = command;
    }
    m_wake.notify_all();
}

PresentationStats PlayerVideo::stats() const
{
    return {m_presented.load(), m_dropped.load(), m_late.load()};
}

void PlayerVideo::run()
{
    // The first frame waits decoded, so that playing starts on time.
    Decoded first;
    if (decode(first))
        m_queue.push_back(first);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_quit) {
        if (m_command || m_subtitleCommand) {
            const bool waited = m_command.has_value();
            const Command command = waited ? *m_command : *m_subtitleCommand;
            (waited ? m_command : m_subtitleCommand).reset();
            lock.unlock();
            const bool result = execute(command);
            lock.lock();
            if (waited) {
                m_lastResult = result;
                ++m_completed;
                m_doneSignal.notify_all();
            }
            continue;
        }
        if (!m_running || m_finished) {
            m_wake.wait(lock);
            continue;
        }
        lock.unlock();
        const std::chrono::microseconds wait = playStep();
        lock.lock();
        if (wait.count() > 0)
            m_wake.wait_for(lock, wait, [&] { return m_quit || m_command || m_subtitleCommand || !m_running; });
    }
}

bool PlayerVideo::execute(const Command &command)
{
    switch (command.kind) {
    case Command::Seek: {
        Decoded found;
        if (!positionAt(command.target, found))
            return false;
        if (command.deliver)
            return presentOnce(found);
        m_queue.push_back(found);
        return true;
    }
    case Command::Step:
        return command.direction < 0 ? stepBack() : stepForward();
    case Command::FillAhead: {
        Decoded next;
        while (m_queue.size() < kFramesAhead && decode(next))
            m_queue.push_back(next);
        return true;
    }
    case Command::Subtitles: {
        if (command.subtitles == m_subtitles)
            return true;
        if (!buildGraph(command.subtitles)) {
            // The picture goes on as it was.
            buildGraph(m_subtitles);
            return false;
        }
        m_subtitles = command.subtitles;
        if (!m_hasCurrent)
            return true;
        bool running = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            running = m_running;
        }
        // Frames already filtered carry the old subtitles; take them again from the graph.
        Decoded found;
        if (!positionAt(running ? m_clock.now() : m_currentTime.load(), found))
            return false;
        if (running) {
            m_queue.push_back(found);
            return true;
        }
        return presentOnce(found);
    }
    }
    return false;
}

std::chrono::microseconds PlayerVideo::playStep()
{
    if (m_queue.empty()) {
        Decoded next;
        if (decode(next)) {
            m_queue.push_back(next);
            return {};
        }
        // The end: finished once the last frame's time has passed.
        if (!m_hasCurrent || m_clock.now() >= m_currentTime + m_period) {
            m_finished = true;
            return {};
        }
        return kEndPoll;
    }
    const int64_t now = m_clock.now();
    const int64_t due = m_queue.front().time;
    if (now < due) {
        Decoded next;
        if (m_queue.size() < kFramesAhead && decode(next)) {
            m_queue.push_back(next);
            return {};
        }
        return std::min(std::chrono::microseconds(due - now), kLongestWait);
    }
    const bool late = now > due + m_period;
    if (late) {
        Decoded next;
        if (m_queue.size() < 2 && decode(next))
            m_queue.push_back(next);
        // A newer frame is already due: this one would only delay the picture. When the
        // decoder cannot keep pace at all, a frame is still shown now and then.
        const int64_t dropLimit = std::max<int64_t>(1, kLongestDropRun.count() / m_period);
        if (m_queue.size() >= 2 && m_queue[1].time <= now && m_dropRun < dropLimit) {
            release(m_queue.front());
            m_queue.pop_front();
            ++m_dropped;
            ++m_dropRun;
            return {};
        }
    }
    Decoded front = m_queue.front();
    if (!present(front))
        return kEndPoll;
    m_queue.pop_front();
    m_dropRun = 0;
    if (late)
        ++m_late;
    return {};
}

bool PlayerVideo::present(Decoded &decoded)
{
    if (!decoded.frame)
        return false;
    // Counted before the hand-over: a caller that waited for the callback to end must
    // find the frame in the statistics.
    ++m_presented;
    if (!m_presenter(decoded.frame)) {
        --m_presented;
        return false;
    }
    if (&decoded != &m_current) {
        release(m_current);
        m_current = decoded;
        decoded = Decoded();
    }
    m_currentTime = m_current.time;
    m_hasCurrent = true;
    return true;
}

bool PlayerVideo::decode(Decoded &out)
{
    AVFrame *filtered = av_frame_alloc();
    if (!filtered)
        return false;
    for (;;) {
        const int pulled = m_graph.pull(filtered);
        if (pulled > 0) {
            const int64_t pts = filtered->pts == AV_NOPTS_VALUE ? 0 : filtered->pts;
            out.frame = filtered;
            out.time = av_rescale_q(pts, m_graph.outputTimeBase(), {1, 1000000}) - m_startTime;
            return true;
        }
        if (pulled < 0 || m_inputEnded)
            break;
        const int decoded = m_source.nextFrame(m_raw);
        if (decoded <= 0) {
            // The graph's filters hold no frames back, so it is never flushed and
            // survives seeks.
            m_inputEnded = true;
            break;
        }
        const bool pushed = m_graph.push(m_raw);
        av_frame_unref(m_raw);
        if (!pushed)
            break;
    }
    av_frame_free(&filtered);
    return false;
}

bool PlayerVideo::positionAt(int64_t target, Decoded &found)
{
    clearQueue();
    m_finished = false;
    m_inputEnded = false;
    if (!m_source.seek(static_cast<uint64_t>(std::max<int64_t>(target, 0))))
        return false;
    Decoded frame;
    while (decode(frame)) {
        if (frame.time >= target) {
            release(found);
            found = frame;
            return true;
        }
        release(found);
        found = frame;
        frame = Decoded();
    }
    // Past the end: the last frame.
    return found.frame != nullptr;
}

bool PlayerVideo::stepForward()
{
    Decoded next;
    if (m_queue.empty() && !decode(next))
        return false;
    if (next.frame)
        m_queue.push_back(next);
    Decoded front = m_queue.front();
    if (!present(front))
        return false;
    m_queue.pop_front();
    return true;
}

bool PlayerVideo::stepBack()
{
    if (!m_hasCurrent)
        return false;
    const int64_t current = m_currentTime;
    clearQueue();
    m_finished = false;
    m_inputEnded = false;
    // Half a period back lands on the key frame before the current one even when the
    // current one is a key frame.
    if (!m_source.seek(static_cast<uint64_t>(std::max<int64_t>(current - m_period / 2, 0))))
        return false;
    Decoded previous;
    Decoded frame;
    while (decode(frame)) {
        if (frame.time >= current) {
            // The current frame again: it comes next after the step.
            m_queue.push_back(frame);
            break;
        }
        release(previous);
        previous = frame;
        frame = Decoded();
    }
    if (!previous.frame) {
        // Already at the first frame: what follows it comes next, as before.
        clearQueue();
        return false;
    }
    return presentOnce(previous);
}

bool PlayerVideo::presentOnce(Decoded &decoded)
{
    const bool shown = present(decoded);
    release(decoded);
    return shown;
}

void PlayerVideo::clearQueue()
{
    for (Decoded &decoded : m_queue)
        release(decoded);
    m_queue.clear();
}

void PlayerVideo::release(Decoded &decoded)
{
    av_frame_free(&decoded.frame);
    decoded = Decoded();
}
