#include "qutilthread.h"
#include "testhome.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

// Writes into its own members right up to the end of OnExecute, so a destruction that
// overlapped the thread would show up under the sanitizers.
class CountingThread : public QUtilThread
{
public:
    explicit CountingThread(std::atomic<int> *done)
        : m_done(done)
    {
    }
    ~CountingThread() override { WaitThreadFinished(); }

    bool Start() { return StartThread(); }

protected:
    void OnExecute() override
    {
        // Several starts of one object run side by side, so the shared state is locked.
        std::lock_guard<std::mutex> lock(m_mutex);
        for (int i = 0; i < 100; ++i)
            m_values.push_back(i);
        m_done->fetch_add(1);
    }

private:
    std::atomic<int> *m_done;
    std::mutex m_mutex;
    std::vector<int> m_values;
};

// Holds its thread until released, to watch the running state.
class GatedThread : public QUtilThread
{
public:
    ~GatedThread() override
    {
        Release();
        WaitThreadFinished();
    }

    bool Start() { return StartThread(); }
    void Release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_gate.notify_all();
    }
    bool ranOnWorker() const { return m_ranOnWorker; }

protected:
    void OnExecute() override
    {
        m_ranOnWorker = IsCallerWorker();
        std::unique_lock<std::mutex> lock(m_mutex);
        m_gate.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_gate;
    bool m_open = false;
    std::atomic<bool> m_ranOnWorker{false};
};

} // namespace

class TestUtilThread : public QObject
{
    Q_OBJECT

private slots:
    void deleteRightAfterExecuteReturns()
    {
        std::atomic<int> done{0};
        for (int i = 0; i < 1000; ++i) {
            auto *thread = new CountingThread(&done);
            QVERIFY(thread->Start());
            delete thread;
        }
        QCOMPARE(done.load(), 1000);
    }

    void waitCoversEveryStartedThread()
    {
        std::atomic<int> done{0};
        {
            CountingThread thread(&done);
            QVERIFY(thread.Start());
            QVERIFY(thread.Start());
            QVERIFY(thread.Start());
        }
        QCOMPARE(done.load(), 3);
    }

    void runningStateFollowsTheThread()
    {
        GatedThread thread;
        QVERIFY(!thread.IsThreadRunning());
        QVERIFY(thread.Start());
        QVERIFY(thread.IsThreadRunning());
        QVERIFY(!thread.IsCallerWorker());
        thread.Release();
        // The destructor waits; here the state must settle once released.
        while (thread.IsThreadRunning())
            QThread::yieldCurrentThread();
        QVERIFY(thread.ranOnWorker());
    }
};

GLINTORA_TEST_MAIN_CORE(TestUtilThread)
#include "tst_qutilthread.moc"
