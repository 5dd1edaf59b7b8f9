#pragma once

#include <memory>

// Small worker-thread base: a start runs OnExecute once on a new detached POSIX thread.
// The base never joins; instead every thread signals a completion latch as the very last
// thing it does, so a derived destructor can wait until no thread touches the object.
class QUtilThread
{
public:
    QUtilThread();
    virtual ~QUtilThread();

    QUtilThread(const QUtilThread &) = delete;
    QUtilThread &operator=(const QUtilThread &) = delete;

    // True while a thread started by this object has not returned from OnExecute.
    bool IsThreadRunning() const;
    // True when the calling thread is one this object started.
    bool IsCallerWorker() const;

protected:
    virtual void OnExecute() = 0;

    // Runs OnExecute on a new thread, detaching the previous one. False when no thread
    // could be created (nothing runs then).
    bool StartThread();

    // Blocks until every thread started by this object has returned. Derived classes call
    // it first thing in their destructor. Must not be called from the worker itself.
    void WaitThreadFinished();

private:
    struct Latch;
    static void *ThreadProc(void *arg);

    std::shared_ptr<Latch> m_latch;
};
