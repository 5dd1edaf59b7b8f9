#pragma once

#include "cavencodeparam.h"
#include "converttypes.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using Report = std::pair<unsigned, convertState>;

// Collects a job's reports on whatever thread they arrive.
struct Reports
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Report> list;
    std::set<std::thread::id> threads;
    std::vector<unsigned> seconds;

    static void progress(unsigned percent, void *user, convertState state)
    {
        auto *self = static_cast<Reports *>(user);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->list.emplace_back(percent, state);
        self->threads.insert(std::this_thread::get_id());
        self->changed.notify_all();
    }

    static void time(unsigned value, void *user)
    {
        auto *self = static_cast<Reports *>(user);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->seconds.push_back(value);
    }

    static bool isTerminal(const Report &r) { return r.second != convertProgress && r.second != convertPreparing; }

    int terminalCount()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return int(std::count_if(list.begin(), list.end(), isTerminal));
    }

    // Hang guard only: a job that never reports fails the test instead of blocking it.
    bool waitTerminal()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20),
                                [this] { return std::any_of(list.begin(), list.end(), isTerminal); });
    }

    std::vector<Report> snapshot()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return list;
    }
};

// False when the call has not returned within the limit.
inline bool returnsInTime(const std::function<void()> &call,
                          std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    auto done = std::async(std::launch::async, call);
    return done.wait_for(limit) == std::future_status::ready;
}


// A parameter record with only its output format set.
inline std::unique_ptr<CAVEncodeParam> param(const char *format)
{
    auto p = std::make_unique<CAVEncodeParam>();
    p->SetFormat(format);
    return p;
}
