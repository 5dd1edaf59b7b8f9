#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "playback/playervideograph.h"
#include "source/mediasource.h"

class PlayerClock;

// Counters of one media's presentation, for tests and the benchmark.
struct PresentationStats
{
    uint64_t presented = 0;
    uint64_t dropped = 0;
    uint64_t late = 0;
};

// The picture of one media on one thread: it decodes, runs the video graph and hands
// each frame to the presenter at its time on the master clock. Seeks, steps and
// subtitle changes are carried out on that thread too, in the order they come.
class PlayerVideo
{
public:
    // Returns false when the frame was not delivered (delivery is closed).
    using Presenter = std::function<bool(const AVFrame *)>;

    PlayerVideo(PlayerClock &clock, Presenter presenter);
    ~PlayerVideo();
    PlayerVideo(const PlayerVideo &) = delete;
    PlayerVideo &operator=(const PlayerVideo &) = delete;

    bool open(const std::string &path);
    const MediaSource &source() const { return m_source; }
    void start();

    void setRunning(bool running);
    // Returns once the frames that playing starts with are decoded: the decoder's first
    // frames come slowly, and a clock already running would drop them.
    void fillAhead();
    // Positions at target: the first frame at or after it, else the last frame. With
    // deliver, that frame is presented at once; otherwise playing starts from it.
    bool seek(int64_t target, bool deliver);
    // Presents the next (+1) or the previous (-1) frame; false at either end.
    bool step(int direction);
    // Rebuilt on this thread: an embedded track demuxes the whole file. When not running,
    // the current frame is presented again with the new subtitles.
    void setSubtitles(const SubtitleChoice &choice);

    // The last frame has been presented and its time has passed.
    bool finished() const { return m_finished; }
    bool hasCurrent() const { return m_hasCurrent; }
    int64_t currentTime() const { return m_currentTime; }
    int64_t framePeriod() const { return m_period; }
    PresentationStats stats() const;

private:
    struct Decoded
    {
        AVFrame *frame = nullptr;
        int64_t time = 0;
    };
    struct Command
    {
        enum Kind { Seek, Step, Subtitles, FillAhead } kind = Seek;
        int64_t target = 0;
        bool deliver = false;
        int direction = 0;
        SubtitleChoice subtitles;
    };

    void run();
    bool execute(const Command &command);
    bool submit(const Command &command);
    // How long to wait before the next step of playing.
    std::chrono::microseconds playStep();
    bool decode(Decoded &out);
    bool buildGraph(const SubtitleChoice &choice);
    bool positionAt(int64_t target, Decoded &found);
    bool stepBack();
    bool stepForward();
    // A presented frame becomes the current one and decoded is emptied.
    bool present(Decoded &decoded);
    // Presents, and frees the frame when it was not taken.
    bool presentOnce(Decoded &decoded);
    void clearQueue();
    static void release(Decoded &decoded);

    PlayerClock &m_clock;
    Presenter m_presenter;
    MediaSource m_source;
    PlayerVideoGraph m_graph;
    std::string m_path;
    SubtitleChoice m_subtitles;
    int64_t m_startTime = 0;
    int64_t m_period = 40000;
    AVFrame *m_raw = nullptr;
    std::deque<Decoded> m_queue;
    Decoded m_current;
    bool m_inputEnded = false;
    int64_t m_dropRun = 0;

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_doneSignal;
    std::optional<Command> m_command;
    std::optional<Command> m_subtitleCommand;
    uint64_t m_submitted = 0;
    uint64_t m_completed = 0;
    bool m_lastResult = false;
    bool m_running = false;
    bool m_quit = false;
    std::atomic<bool> m_cancel{false};

    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_hasCurrent{false};
    std::atomic<int64_t> m_currentTime{0};
    std::atomic<uint64_t> m_presented{0};
    std::atomic<uint64_t> m_dropped{0};
    std::atomic<uint64_t> m_late{0};
};
