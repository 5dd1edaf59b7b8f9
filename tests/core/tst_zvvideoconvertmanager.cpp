#include "testhome.h"
#include "zvvideoconvertitem.h"
#include "zvvideoconvertmanager.h"

#include <QPointer>

#include <atomic>
#include <thread>

namespace {

ZvVideoConvertManager *queue()
{
    return ZvVideoConvertManager::getConvertManagerObject(nullptr);
}

// Fails with the first position whose item disagrees about its index.
bool indexesMatchPositions()
{
    for (int i = 0; i < queue()->GetItemCount(); ++i) {
        if (queue()->GetItem(i)->Index() != i) {
            qWarning() << "item at" << i << "says" << queue()->GetItem(i)->Index();
            return false;
        }
    }
    return true;
}

QList<ZvVideoConvertItem *> fill(int count)
{
    QList<ZvVideoConvertItem *> items;
    for (int i = 0; i < count; ++i) {
        items << new ZvVideoConvertItem;
        queue()->addConverItem(items.last(), -1);
    }
    return items;
}

} // namespace

class TestConvertManager : public QObject
{
    Q_OBJECT

private slots:
    void init() { queue()->ClearItems(); }

    void oneProcessWideQueue()
    {
        QCOMPARE(ZvVideoConvertManager::getConvertManagerObject(this), queue());
    }

    void outOfRangePositionsAppend_data()
    {
        QTest::addColumn<int>("pos");
        QTest::newRow("-1") << -1;
        QTest::newRow("count") << 3;
        QTest::newRow("far past") << 100;
    }

    void outOfRangePositionsAppend()
    {
        QFETCH(int, pos);
        fill(3);
        auto *item = new ZvVideoConvertItem;
        QCOMPARE(queue()->addConverItem(item, pos), 3);
        QCOMPARE(queue()->GetItem(3), item);
        QCOMPARE(item->Index(), 3);
    }

    void everyOperationKeepsIndexesAtPositions()
    {
        const QList<ZvVideoConvertItem *> items = fill(3);
        auto *first = new ZvVideoConvertItem;
        QCOMPARE(queue()->addConverItem(first, 0), 0);
        QCOMPARE(queue()->GetItem(0), first);
        QVERIFY(indexesMatchPositions());

        queue()->swapItem(0, 3);
        QCOMPARE(queue()->GetItem(3), first);
        QVERIFY(indexesMatchPositions());

        queue()->RemoveOne(items.at(0));
        QCOMPARE(queue()->GetItemIndex(items.at(0)), -1);
        QVERIFY(indexesMatchPositions());
        delete items.at(0);

        QPointer<ZvVideoConvertItem> deleted = queue()->GetItem(1);
        queue()->DeleteItemAt(1);
        QVERIFY(deleted.isNull());
        QCOMPARE(queue()->GetItemCount(), 2);
        QVERIFY(indexesMatchPositions());
    }

    void outOfRangeLookupsChangeNothing()
    {
        fill(2);
        queue()->DeleteItemAt(2);
        queue()->DeleteItemAt(-1);
        queue()->swapItem(0, 5);
        ZvVideoConvertItem stranger;
        queue()->RemoveOne(&stranger);
        QCOMPARE(queue()->GetItemCount(), 2);
        QVERIFY(!queue()->GetItem(2));
        QVERIFY(!queue()->GetItem(-1));
        QVERIFY(!queue()->IsValid(2));
        QCOMPARE(queue()->GetItemIndex(&stranger), -1);
        QCOMPARE(queue()->addConverItem(nullptr, 0), -1);
        QVERIFY(indexesMatchPositions());
    }

    void clearDeletesEveryItemWithItsFrames()
    {
        QList<QPointer<ZvVideoConvertItem>> watched;
        for (ZvVideoConvertItem *item : fill(3))
            watched << item;
        queue()->ClearItems();
        QCOMPARE(queue()->GetItemCount(), 0);
        for (const auto &item : watched)
            QVERIFY(item.isNull());
    }

    void addsOnAWorkerWhileTheGuiDeletes()
    {
        fill(10);
        std::atomic<bool> adding{true};
        std::thread worker([&adding] {
            for (int i = 0; i < 500; ++i) {
                auto *item = new ZvVideoConvertItem; // made here, as the file-adding thread does
                queue()->addConverItem(item, i % 3 == 0 ? 0 : -1);
            }
            adding = false;
        });
        int deleted = 0;
        // Ten are always left, so a deleter that keeps up with the adder leaves a row to check.
        while (adding || deleted < 200) {
            if (queue()->GetItemCount() > 10) {
                queue()->DeleteItemAt(0);
                ++deleted;
            }
        }
        worker.join();
        QCOMPARE(queue()->GetItemCount(), 510 - deleted);
        QVERIFY(indexesMatchPositions());
        QVERIFY(queue()->GetItem(0)->thread() == thread());
    }
};

GLINTORA_TEST_MAIN_CORE(TestConvertManager)
#include "tst_zvvideoconvertmanager.moc"
