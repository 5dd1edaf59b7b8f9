#include "orderedworkers.h"
#include "testhome.h"

#include <future>

class TestOrderedWorkers : public QObject
{
    Q_OBJECT

private slots:
    void queuedFramesGoUnworkedOnceStoppedOrFailed_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("stopped with frames queued") << true;
        QTest::newRow("a step throws") << false;
    }

    // A cancelled job maps and encodes no frame it had queued; a step that runs out of
    // memory fails the job instead of ending the program.
    void queuedFramesGoUnworkedOnceStoppedOrFailed()
    {
        QFETCH(bool, stopped);
        std::promise<void> release;
        std::atomic<int> worked{0};
        OrderedWorkers workers(
            1,
            [&, released = release.get_future().share()](int, OrderedWorkers::Item &) {
                if (worked++ == 0 && stopped)
                    released.wait();
                return stopped || (throw std::bad_alloc(), false);
            },
            [](OrderedWorkers::Item &) { return true; });
        AVFrame *frame = av_frame_alloc();
        frame->format = AV_PIX_FMT_GRAY8;
        frame->width = frame->height = 2;
        QCOMPARE(av_frame_get_buffer(frame, 0), 0);
        for (int i = 0; i < 3; ++i)
            workers.submit(frame, {1, 1});
        av_frame_free(&frame);
        if (stopped) {
            QTRY_COMPARE(worked.load(), 1);
            workers.stop();
            release.set_value();
        }
        QVERIFY(!workers.finish());
        QCOMPARE(worked.load(), 1);
    }
};

GLINTORA_TEST_MAIN_CORE(TestOrderedWorkers)
#include "tst_orderedworkers.moc"
