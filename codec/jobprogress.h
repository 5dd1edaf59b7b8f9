#pragma once

#include <atomic>
#include <cstdint>

// The flags a driver polls from another thread while a job runs: finished and failed as
// the drivers' hand-shake reads them, progress in µs, and why the job failed.
class JobProgress
{
public:
    bool isFinished() const { return m_finished.load(); }
    bool hasFailed() const { return m_failed.load(); }
    uint64_t done() const { return m_done.load(); }
    uint64_t total() const { return m_total.load(); }
    // An MMC_FAULT_* value; systemError gets the errno of the call that failed, or 0.
    int fault(int &systemError) const
    {
        systemError = m_systemError.load();
        return m_fault.load();
    }

protected:
    // The first fault is the cause; what fails after it only follows from it.
    void noteFault(int fault, int systemError)
    {
        int none = 0;
        if (m_fault.compare_exchange_strong(none, fault))
            m_systemError.store(systemError);
    }

    std::atomic<int> m_fault{0};
    std::atomic<int> m_systemError{0};
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_failed{false};
    std::atomic<uint64_t> m_done{0};
    std::atomic<uint64_t> m_total{0};
};
