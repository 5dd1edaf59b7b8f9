#pragma once

#include <atomic>
#include <cstdint>

// The flags a driver polls from another thread while a job runs: finished and failed as
// the drivers' hand-shake reads them, and progress in µs.
class JobProgress
{
public:
    bool isFinished() const { return m_finished.load(); }
    bool hasFailed() const { return m_failed.load(); }
    uint64_t done() const { return m_done.load(); }
    uint64_t total() const { return m_total.load(); }

protected:
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_failed{false};
    std::atomic<uint64_t> m_done{0};
    std::atomic<uint64_t> m_total{0};
};
