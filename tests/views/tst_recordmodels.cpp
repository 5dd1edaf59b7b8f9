#include "qzvdynamicmodel.h"
#include "recordfixture.h"
#include "recordroles.h"
#include "testhome.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QFont>

Q_DECLARE_METATYPE(Qt::Orientation)

class TestRecordModels : public QObject
{
    Q_OBJECT

private:
    static QColor brushColor(const QModelIndex &index, int role)
    {
        return index.data(role).value<QBrush>().color();
    }

private slots:
    void withoutRecordsTheModelIsEmpty()
    {
        QBaseDetailsModel model;
        QSignalSpy aggregate(&model, &QBaseDetailsModel::itemCheckChange);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.index(0, 0).isValid());
        QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
        model.OnItemStateChange();
        model.insertRefeshLastRow();
        QCOMPARE(aggregate.count(), 0);
    }

    void recordRoles()
    {
        RecordSet set;
        set.add("a", 1);
        IBaseChunk *second = set.add("b", 0);
        second->setIsDeleted(true);
        second->setColumnEnable(1, false);
        QBaseDetailsModel model;
        model.setHeaderList({"check", "name"});
        model.setDatas(&set.pointers);
        QAbstractItemModelTester tester(&model);

        const QModelIndex partial = model.index(0, 0);
        QCOMPARE(partial.data(Qt::CheckStateRole).toInt(), 2);
        QVERIFY(!model.index(0, 1).data(Qt::CheckStateRole).isValid());
        QCOMPARE(model.index(1, 0).data(Qt::CheckStateRole).toInt(), 0);
        QCOMPARE(partial.data(RecordRoles::Record).value<void *>(), static_cast<void *>(set.pointers[0]));
        QVERIFY(!partial.data(RecordRoles::Deleted).toBool());
        QVERIFY(model.index(1, 0).data(RecordRoles::Deleted).toBool());
        QVERIFY(model.index(1, 0).data(Qt::EditRole).toBool());
        QVERIFY(!model.index(1, 1).data(Qt::EditRole).toBool());
        QCOMPARE(partial.data(Qt::FontRole).value<QFont>().pixelSize(), 12);
        QVERIFY(!partial.data(Qt::DisplayRole).isValid());
        QVERIFY(model.flags(partial) & Qt::ItemIsUserCheckable);
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable));
        QVERIFY(!(model.flags(partial) & Qt::ItemIsEditable));
    }

    void headerData_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 0 << Qt::Horizontal << "check";
        QTest::newRow("last") << 1 << Qt::Horizontal << "name";
        QTest::newRow("past the end") << 2 << Qt::Horizontal << QString();
        QTest::newRow("negative") << -1 << Qt::Horizontal << QString();
        QTest::newRow("vertical") << 0 << Qt::Vertical << QString();
    }

    void headerData()
    {
        QFETCH(int, section);
        QFETCH(Qt::Orientation, orientation);
        QFETCH(QString, text);
        QBaseDetailsModel model;
        model.setHeaderList({"check", "name"});
        const QVariant header = model.headerData(section, orientation);
        QCOMPARE(header.isValid(), !text.isEmpty());
        QCOMPARE(header.toString(), text);
    }

    void rowColours()
    {
        RecordSet set;
        set.addMany(4);
        set.pointers[2]->setIsDeleted(true);
        QBaseDetailsModel model;
        model.setHeaderList({"a"});
        model.setDatas(&set.pointers);
        const QColor evenBg(1, 0, 0), oddBg(2, 0, 0), oddText(3, 0, 0), evenText(4, 0, 0);
        const QColor hoverBg(5, 0, 0), hoverText(6, 0, 0), deletedText(7, 0, 0);
        model.setItemBgColor(evenBg, oddBg);
        model.setItemTextColor(oddText, evenText);
        model.setHoverBgColor(hoverBg, hoverText);
        model.setItemDeleteTextColor(deletedText);
        model.setHoverRow(2);

        QCOMPARE(brushColor(model.index(0, 0), Qt::BackgroundRole), evenBg);
        QCOMPARE(brushColor(model.index(1, 0), Qt::BackgroundRole), oddBg);
        QCOMPARE(brushColor(model.index(0, 0), Qt::ForegroundRole), evenText);
        QCOMPARE(brushColor(model.index(1, 0), Qt::ForegroundRole), oddText);
        // A deleted record on the hover row: deleted text on the hover background.
        QCOMPARE(brushColor(model.index(2, 0), Qt::BackgroundRole), hoverBg);
        QCOMPARE(brushColor(model.index(2, 0), Qt::ForegroundRole), deletedText);
        model.setHoverRow(3);
        QCOMPARE(brushColor(model.index(3, 0), Qt::ForegroundRole), hoverText);
    }

    void checkAggregate_data()
    {
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<int>("aggregate");
        QTest::newRow("empty vector") << QList<int>() << 2;
        QTest::newRow("none") << QList<int>{0, 0} << 0;
        QTest::newRow("some") << QList<int>{0, 2} << 1;
        QTest::newRow("partial counts as checked") << QList<int>{1, 2} << 2;
    }

    void checkAggregate()
    {
        QFETCH(QList<int>, states);
        QFETCH(int, aggregate);
        RecordSet set;
        for (int state : states)
            set.add(QString(), state);
        QBaseDetailsModel model;
        model.setDatas(&set.pointers);
        QSignalSpy spy(&model, &QBaseDetailsModel::itemCheckChange);
        model.refreshCheckState();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), aggregate);
    }

    void setDataWritesTheCheckColumnOnly()
    {
        RecordSet set;
        set.add("a");
        set.add("b");
        QBaseDetailsModel model;
        model.setHeaderList({"a", "b"});
        model.setCheckInColumn(1);
        model.setDatas(&set.pointers);
        QAbstractItemModelTester tester(&model);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy aggregate(&model, &QBaseDetailsModel::itemCheckChange);

        QVERIFY(model.setData(model.index(0, 1), 2, Qt::UserRole));
        QCOMPARE(set.pointers[0]->GetCheck(), 2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(aggregate.count(), 0);

        QVERIFY(model.setData(model.index(1, 1), 1, Qt::CheckStateRole));
        QCOMPARE(set.pointers[1]->GetCheck(), 1);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(aggregate.count(), 1);
        QCOMPARE(aggregate.at(0).at(0).toInt(), 2);

        QVERIFY(!model.setData(model.index(0, 0), 0, Qt::CheckStateRole));
        QVERIFY(!model.setData(model.index(0, 1), 0, Qt::EditRole));
        QCOMPARE(set.pointers[0]->GetCheck(), 2);

        model.OnStateChanged(false);
        QCOMPARE(set.pointers[0]->GetCheck(), 0);
        QCOMPARE(set.pointers[1]->GetCheck(), 0);
    }

    void appendedRowsKeepViewAndModelInStep()
    {
        RecordSet set;
        set.addMany(2);
        TitleTableModel model;
        model.setHeaderList({"a"});
        model.setDatas(&set.pointers);
        QAbstractItemModelTester tester(&model);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        set.add("new");
        model.insertRefeshLastRow();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 2);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(2, 0).data().toString(), QString("new"));
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
        QVERIFY(!model.index(0, 0, model.index(0, 0)).isValid());
    }

    void dynamicModelFetchesInBatches()
    {
        RecordSet set;
        set.addMany(250);
        TitleDynamicModel model;
        model.setHeaderList({"a"});
        model.setDatas(&set.pointers);
        QSignalSpy populated(&model, &QZvDynamicModel::numberPopulated);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.index(0, 0).isValid());

        for (int expected : {100, 200, 250}) {
            model.fetchMore(QModelIndex());
            QCOMPARE(model.rowCount(), expected);
        }
        QCOMPARE(populated.count(), 3);
        QCOMPARE(populated.at(0).at(0).toInt(), 100);
        QCOMPARE(populated.at(1).at(0).toInt(), 100);
        QCOMPARE(populated.at(2).at(0).toInt(), 50);
        QVERIFY(!model.canFetchMore(QModelIndex()));
        model.fetchMore(QModelIndex());
        QCOMPARE(model.rowCount(), 250);
        QCOMPARE(populated.count(), 3);
        QVERIFY(!model.canFetchMore(model.index(0, 0)));

        model.refresh();
        QCOMPARE(model.rowCount(), 250);
        model.resetCount();
        QCOMPARE(model.rowCount(), 0);
        model.loadAllData();
        QCOMPARE(model.rowCount(), 250);
        QCOMPARE(model.index(249, 0).data().toString(), QString("249"));
    }

    // Rows beyond the exposed ones are not handed out, so views, proxies and the model agree.
    void dynamicAppendFollowsTheExposedRows()
    {
        RecordSet set;
        set.addMany(150);
        TitleDynamicModel model;
        model.setHeaderList({"a"});
        model.setDatas(&set.pointers);
        model.fetchMore(QModelIndex());
        QVERIFY(!model.index(100, 0).isValid());

        set.add("late");
        model.insertRefeshLastRow();
        QCOMPARE(model.rowCount(), 100);
        model.loadAllData();
        QCOMPARE(model.rowCount(), 151);

        set.add("next");
        model.insertRefeshLastRow();
        QCOMPARE(model.rowCount(), 152);
        QCOMPARE(model.index(151, 0).data().toString(), QString("next"));
    }

    // The model tester fetches by itself whenever the model changes, also from inside the
    // handlers of an insertion; the model must not let such a fetch nest.
    void dynamicModelKeepsQtsContract()
    {
        RecordSet set;
        set.addMany(230);
        TitleDynamicModel model;
        model.setHeaderList({"a", "b"});
        QAbstractItemModelTester tester(&model);
        model.setDatas(&set.pointers);
        model.refresh();
        model.resetCount();
        model.fetchMore(QModelIndex());
        set.add("late");
        model.insertRefeshLastRow();
        model.loadAllData();
        QCOMPARE(model.rowCount(), 231);
        set.add("last");
        model.insertRefeshLastRow();
        QCOMPARE(model.rowCount(), 232);
        model.setDatas(nullptr);
        QCOMPARE(model.rowCount(), 0);
    }

    // Run under the address sanitizer: a model reset after the owner shrank the vector
    // must not reach records that are gone.
    void shrunkVectorIsNotReadPastItsEnd()
    {
        RecordSet set;
        set.addMany(120);
        TitleDynamicModel model;
        model.setHeaderList({"a"});
        model.setDatas(&set.pointers);
        QAbstractItemModelTester tester(&model);
        model.loadAllData();
        set.pointers.resize(10);
        model.refresh();
        QCOMPARE(model.rowCount(), 10);
        QVERIFY(!model.index(10, 0).isValid());
        set.pointers.clear();
        model.refresh();
        QCOMPARE(model.rowCount(), 0);
        model.insertRefeshLastRow();
        QCOMPARE(model.rowCount(), 0);
    }
};

GLINTORA_TEST_MAIN(TestRecordModels)
#include "tst_recordmodels.moc"
