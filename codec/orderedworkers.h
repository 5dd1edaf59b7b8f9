#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <deque>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

// Runs one step of a pipeline on several threads while results leave in the order the
// frames came in. Each worker keeps its own state (a filter graph, an encoder), so a
// step whose frames do not depend on each other scales with the cores. Results are
// delivered on the thread that submits. A step that throws fails its frame.
class OrderedWorkers
{
public:
    struct Item
    {
        AVFrame *frame = nullptr;   // in: the frame; out: a replacement frame, or untouched
        AVFrame *previous = nullptr; // in: the frame submitted before it, for workers that ask
        AVRational timeBase{1, 1};
        std::vector<uint8_t> bytes; // out: encoded data, when the step encodes
    };
    using Work = std::function<bool(int worker, Item &item)>;
    using Deliver = std::function<bool(Item &item)>;

    // withPrevious: each item also holds the frame submitted before it (none for the
    // first), for a step whose work depends on it.
    OrderedWorkers(int threads, Work work, Deliver deliver, bool withPrevious = false);
    ~OrderedWorkers();
    OrderedWorkers(const OrderedWorkers &) = delete;
    OrderedWorkers &operator=(const OrderedWorkers &) = delete;

    // One per core, at most `most`.
    static int defaultThreads(unsigned most);

    // Copies the frame's reference; may block while too many frames are in flight.
    bool submit(const AVFrame *frame, AVRational timeBase);
    // Waits for every frame and delivers the rest.
    bool finish();
    // Frames still waiting are dropped unworked, nothing more is delivered and finish()
    // fails; steps under way end first. The destructor stops.
    void stop();

private:
    void workerLoop(int worker);
    bool deliverReady(std::unique_lock<std::mutex> &lock);
    static void release(Item &item);

    Work m_work;
    Deliver m_deliver;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<uint64_t, Item>> m_waiting;
    std::map<uint64_t, Item> m_done;
    std::vector<std::thread> m_threads;
    uint64_t m_nextSubmit = 0;
    uint64_t m_nextDeliver = 0;
    size_t m_limit;
    const bool m_withPrevious;
    AVFrame *m_lastSubmitted = nullptr; // for the next item; only the submitting thread uses it
    // Also read outside the lock, to skip work once a frame has failed.
    std::atomic<bool> m_failed{false};
    bool m_stopping = false;
};
