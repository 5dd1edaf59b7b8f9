#include "orderedworkers.h"
#include "testhome.h"

#include <condition_variable>

namespace {

enum class Fault { Stopped, WorkThrows, DeliveryThrows };

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestOrderedWorkers : public QObject
{
    Q_OBJECT

private slots:
    void stoppedOrThrowingStepsFailQuietly_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("stopped with frames queued") << Fault::Stopped;
        QTest::newRow("work throws") << Fault::WorkThrows;
        QTest::newRow("delivery throws") << Fault::DeliveryThrows;
    }

    // A cancelled job's queued frames are never worked on, and a step that runs out of
    // memory fails the job instead of ending the program.
    void stoppedOrThrowingStepsFailQuietly()
    {
        QFETCH(Fault, fault);
        std::mutex mutex;
        std::condition_variable changed;
        bool firstStarted = false;
        bool firstReleased = fault != Fault::Stopped;
        std::atomic<int> worked{0};
        auto workers = std::make_unique<OrderedWorkers>(
            1,
            [&](int, OrderedWorkers::Item &item) {
                ++worked;
                std::unique_lock<std::mutex> lock(mutex);
                firstStarted = true;
                changed.notify_all();
                changed.wait(lock, [&] { return firstReleased; });
                if (fault == Fault::WorkThrows && item.frame->pts == 1)
                    throw std::bad_alloc();
                return true;
            },
            [&](OrderedWorkers::Item &) {
                if (fault == Fault::DeliveryThrows)
                    throw std::bad_alloc();
                return true;
            });
        AVFrame *frame = av_frame_alloc();
        frame->format = AV_PIX_FMT_GRAY8;
        frame->width = frame->height = 2;
        QCOMPARE(av_frame_get_buffer(frame, 0), 0);
        bool submitted = true;
        for (int64_t pts = 0; pts < 3; ++pts) {
            frame->pts = pts;
            submitted = workers->submit(frame, {1, 1}) && submitted;
        }
        av_frame_free(&frame);
        QVERIFY(submitted || fault != Fault::Stopped);
        if (fault == Fault::Stopped) {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return firstStarted; });
            workers->stop();
            firstReleased = true;
            changed.notify_all();
        }
        QVERIFY(!workers->finish());
        workers.reset();
        if (fault == Fault::Stopped)
            QCOMPARE(worked.load(), 1);
    }
};

GLINTORA_TEST_MAIN_CORE(TestOrderedWorkers)
#include "tst_orderedworkers.moc"
