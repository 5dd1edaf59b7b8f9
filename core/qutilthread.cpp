#include "qutilthread.h"

#include "corelog.h"

#include <condition_variable>
#include <mutex>

#include <pthread.h>

// Shared between the object and its threads, so a thread may still signal it after the
// waiting side has gone on to destroy the object.
struct QUtilThread::Latch
{
    std::mutex mutex;
    std::condition_variable done;
    int running = 0;
};

namespace {

struct ThreadStart
{
    QUtilThread *object;
    std::shared_ptr<void> latch;
};

thread_local const QUtilThread *t_executing = nullptr;

} // namespace

QUtilThread::QUtilThread()
    : m_latch(std::make_shared<Latch>())
{
}

QUtilThread::~QUtilThread() = default;

bool QUtilThread::IsThreadRunning() const
{
    std::lock_guard<std::mutex> lock(m_latch->mutex);
    return m_latch->running > 0;
}

bool QUtilThread::StartThread()
{
    {
        std::lock_guard<std::mutex> lock(m_latch->mutex);
        ++m_latch->running;
    }
    auto *start = new ThreadStart{this, m_latch};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const int rc = pthread_create(&thread, &attr, &QUtilThread::ThreadProc, start);
    pthread_attr_destroy(&attr);
    if (rc == 0)
        return true;

    qCWarning(lcCore) << "cannot create a worker thread, error" << rc;
    delete start;
    std::lock_guard<std::mutex> lock(m_latch->mutex);
    --m_latch->running;
    return false;
}

void QUtilThread::WaitThreadFinished()
{
    Q_ASSERT(!IsCallerWorker());
    if (IsCallerWorker())
        return; // waiting on ourselves would never end
    std::unique_lock<std::mutex> lock(m_latch->mutex);
    m_latch->done.wait(lock, [this] { return m_latch->running == 0; });
}

bool QUtilThread::IsCallerWorker() const
{
    return t_executing == this;
}

void *QUtilThread::ThreadProc(void *arg)
{
    if (!arg)
        return nullptr;
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart *>(arg));
    auto latch = std::static_pointer_cast<Latch>(start->latch);

    t_executing = start->object;
    start->object->OnExecute();
    t_executing = nullptr;

    // Last touch: after this the object may already be destroyed.
    std::lock_guard<std::mutex> lock(latch->mutex);
    if (--latch->running == 0)
        latch->done.notify_all();
    return nullptr;
}
