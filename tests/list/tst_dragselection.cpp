#include "qscrollareaframeselection.h"
#include "testhome.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>

class TestDragSelection : public QObject
{
    Q_OBJECT

private:
    static void moveTo(QWidget *target, QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
    }

private slots:
    void spansFollowTheMouse()
    {
        QScrollAreaFrameSelection area;
        area.resize(200, 200);
        area.show();
        QSignalSpy spans(&area, &QScrollAreaFrameSelection::emitSelectPtChange);
        QTest::mousePress(area.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QTest::mouseRelease(area.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QCOMPARE(spans.size(), 1);

        QTest::mousePress(area.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        moveTo(area.viewport(), QPoint(50, 50));
        spans.clear();
        moveTo(area.viewport(), QPoint(120, 50)); // sideways: the span's end row is unchanged
        QCOMPARE(spans.size(), 0);
        moveTo(area.viewport(), QPoint(120, 90));
        QCOMPARE(spans.size(), 1);
        QCOMPARE(spans.first().at(1).toPoint(), QPoint(120, 90));
    }

    void heldAboveTheEdgeScrollsUpInSteps()
    {
        QScrollAreaFrameSelection area;
        auto *content = new QWidget;
        content->setMinimumSize(180, 2000);
        area.setWidget(content);
        area.resize(200, 200);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QScrollBar *bar = area.verticalScrollBar();
        bar->setValue(500);
        auto *timer = area.findChild<QTimer *>();
        QVERIFY(timer);

        QTest::mousePress(area.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        moveTo(area.viewport(), QPoint(50, -10));
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 100);
        // Ticks are delivered by hand so that the count does not depend on the machine's load.
        QSignalSpy spans(&area, &QScrollAreaFrameSelection::emitSelectPtChange);
        area.mouseChangeSliderTimer();
        area.mouseChangeSliderTimer();
        QCOMPARE(bar->value(), 460);
        QCOMPARE(spans.size(), 2);
        QCOMPARE(spans.last().at(1).toPoint().y(), 460);

        moveTo(area.viewport(), QPoint(50, 100));
        QVERIFY(!timer->isActive());
        moveTo(area.viewport(), QPoint(50, 195));
        QVERIFY(timer->isActive());
        area.mouseChangeSliderTimer();
        QCOMPARE(bar->value(), 480);
        QTest::mouseRelease(area.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 195));
        QVERIFY(!timer->isActive());
    }
};

GLINTORA_TEST_MAIN(TestDragSelection)
#include "tst_dragselection.moc"
