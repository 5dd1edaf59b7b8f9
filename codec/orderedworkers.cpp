#include "orderedworkers.h"

#include <algorithm>

namespace {

// A step that throws (an allocation that fails) fails its frame, not the program.
template <typename Step>
bool succeeds(const Step &step) noexcept
{
    try {
        return step();
    } catch (...) {
        return false;
    }
}

} // namespace

OrderedWorkers::OrderedWorkers(int threads, Work work, Deliver deliver, bool withPrevious)
    : m_work(std::move(work)), m_deliver(std::move(deliver)), m_limit(static_cast<size_t>(std::max(1, threads) + 2)),
      m_withPrevious(withPrevious)
{
    for (int i = 0; i < std::max(1, threads); ++i)
        m_threads.emplace_back(&OrderedWorkers::workerLoop, this, i);
}

OrderedWorkers::~OrderedWorkers()
{
    stop();
    for (std::thread &thread : m_threads)
        thread.join();
    for (auto &waiting : m_waiting)
        release(waiting.second);
    for (auto &done : m_done)
        release(done.second);
    av_frame_free(&m_lastSubmitted);
}

int OrderedWorkers::defaultThreads(unsigned most)
{
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, std::max(1u, most)));
}

void OrderedWorkers::release(Item &item)
{
    av_frame_free(&item.frame);
    av_frame_free(&item.previous);
}

void OrderedWorkers::workerLoop(int worker)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        auto job = std::move(m_waiting.front());
        m_waiting.pop_front();
        lock.unlock();
        const bool ok = !m_failed && succeeds([&] { return m_work(worker, job.second); });
        lock.lock();
        if (!ok)
            m_failed = true;
        m_done.emplace(job.first, std::move(job.second));
        m_changed.notify_all();
    }
}

bool OrderedWorkers::deliverReady(std::unique_lock<std::mutex> &lock)
{
    for (auto next = m_done.find(m_nextDeliver); next != m_done.end(); next = m_done.find(m_nextDeliver)) {
        Item item = std::move(next->second);
        m_done.erase(next);
        ++m_nextDeliver;
        lock.unlock();
        const bool ok = !m_failed && succeeds([&] { return m_deliver(item); });
        release(item);
        lock.lock();
        if (!ok)
            m_failed = true;
    }
    return !m_failed;
}

bool OrderedWorkers::submit(const AVFrame *frame, AVRational timeBase)
{
    Item item;
    item.frame = av_frame_clone(frame);
    item.previous = m_lastSubmitted;
    item.timeBase = timeBase;
    m_lastSubmitted = m_withPrevious ? av_frame_clone(frame) : nullptr;
    if (!item.frame || (m_withPrevious && !m_lastSubmitted)) {
        release(item);
        return false;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    while (deliverReady(lock) && m_nextSubmit - m_nextDeliver >= m_limit)
        m_changed.wait(lock, [&] { return m_failed || m_done.count(m_nextDeliver); });
    if (m_failed) {
        release(item);
        return false;
    }
    m_waiting.emplace_back(m_nextSubmit++, std::move(item));
    m_changed.notify_all();
    return true;
}

void OrderedWorkers::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_failed = true;
    }
    m_changed.notify_all();
}

bool OrderedWorkers::finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (deliverReady(lock) && m_nextDeliver < m_nextSubmit)
        m_changed.wait(lock, [&] { return m_failed || m_done.count(m_nextDeliver); });
    return !m_failed;
}
