#include "qzvbasesortmodel.h"
#include "recordfixture.h"
#include "testhome.h"

#include <QAbstractItemModelTester>
#include <QBrush>

namespace {

QStringList visibleTitles(const QAbstractItemModel &model)
{
    QStringList titles;
    for (int row = 0; row < model.rowCount(); ++row)
        titles << model.index(row, 0).data().toString();
    return titles;
}

} // namespace

class TestSortModel : public QObject
{
    Q_OBJECT

private:
    // Built afresh for every test; members are destroyed in reverse, the tester first.
    struct Fixture
    {
        Fixture()
        {
            for (const char *title : {"delta", "Alpha", "charlie", "bravo", "echo"})
                set.add(title);
            source.setHeaderList({"title"});
            source.setDatas(&set.pointers);
            proxy.setSourceModel(&source);
        }
        RecordSet set;
        TitleTableModel source;
        QZVBaseSortModel proxy;
        QAbstractItemModelTester tester{&proxy};
    };
    std::unique_ptr<Fixture> m_fixture;

    IBaseChunk *record(int row) { return m_fixture->set.pointers[static_cast<size_t>(row)]; }

private slots:
    void initTestCase() { qRegisterMetaType<Qt::SortOrder>(); }
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }

    void sortsByTextCaseSensitively()
    {
        QSignalSpy sorted(&m_fixture->proxy, &QZVBaseSortModel::emitSort);
        QStringList seenAtSignal;
        connect(&m_fixture->proxy, &QZVBaseSortModel::emitSort, this, [&] { seenAtSignal = visibleTitles(m_fixture->proxy); });
        m_fixture->proxy.sort(0, Qt::AscendingOrder);
        const QStringList ascending{"Alpha", "bravo", "charlie", "delta", "echo"};
        QCOMPARE(visibleTitles(m_fixture->proxy), ascending);
        QCOMPARE(seenAtSignal, ascending);
        QCOMPARE(sorted.count(), 1);
        QCOMPARE(sorted.at(0).at(1).value<Qt::SortOrder>(), Qt::AscendingOrder);
    }

    void coloursFollowTheProxyRow()
    {
        const QColor even(10, 10, 10), odd(20, 20, 20);
        m_fixture->proxy.setItemBgColor(even, odd);
        m_fixture->proxy.sort(0, Qt::DescendingOrder);
        for (int row = 0; row < m_fixture->proxy.rowCount(); ++row)
            QCOMPARE(m_fixture->proxy.index(row, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
                     row % 2 ? odd : even);
        record(0)->setIsDeleted(true);
        const QColor deleted(1, 2, 3);
        m_fixture->proxy.setItemDeleteTextColor(deleted);
        QCOMPARE(m_fixture->proxy.index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(), deleted);
    }

    void emptyFilterMatchesThePlainProxy_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("sensitivity");
        QTest::newRow("none") << QString() << int(Qt::CaseSensitive);
        QTest::newRow("insensitive") << "A" << int(Qt::CaseInsensitive);
        QTest::newRow("sensitive") << "a" << int(Qt::CaseSensitive);
        QTest::newRow("anchored") << "^[bc]" << int(Qt::CaseSensitive);
    }

    void emptyFilterMatchesThePlainProxy()
    {
        QFETCH(QString, pattern);
        QFETCH(int, sensitivity);
        const QRegExp regExp(pattern, Qt::CaseSensitivity(sensitivity));
        QSortFilterProxyModel plain;
        plain.setSourceModel(&m_fixture->source);
        plain.setFilterRegExp(regExp);
        m_fixture->proxy.setFilterRegExp(regExp);
        QCOMPARE(visibleTitles(m_fixture->proxy), visibleTitles(plain));
    }

    void filterIdIsASubstringTest_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("idSet");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("exact") << "7" << "7" << true;
        QTest::newRow("inside another id") << "7" << "3;17;" << true;
        QTest::newRow("absent") << "8" << "3;17;" << false;
        QTest::newRow("case") << "a" << "A" << false;
        QTest::newRow("empty id") << "" << "3;17;" << false;
    }

    void filterIdIsASubstringTest()
    {
        QFETCH(QString, id);
        QFETCH(QString, idSet);
        QFETCH(bool, hidden);
        record(0)->SetFilterId(id.toStdString());
        m_fixture->proxy.setFilterIdSet(idSet);
        QCOMPARE(!visibleTitles(m_fixture->proxy).contains("delta"), hidden);
        QCOMPARE(m_fixture->proxy.rowCount(), hidden ? 4 : 5);
    }

    void deleteModesStillApplyTheExpression()
    {
        record(0)->setIsDeleted(true);
        record(2)->setIsDeleted(true);
        m_fixture->proxy.sort(0);
        m_fixture->proxy.setDeleteFilter(QZVBaseSortModel::OnlyDeleted);
        QCOMPARE(visibleTitles(m_fixture->proxy), (QStringList{"charlie", "delta"}));
        m_fixture->proxy.setDeleteFilter(QZVBaseSortModel::HideDeleted);
        QCOMPARE(visibleTitles(m_fixture->proxy), (QStringList{"Alpha", "bravo", "echo"}));
        m_fixture->proxy.setFilterRegExp(QRegExp("o"));
        QCOMPARE(visibleTitles(m_fixture->proxy), (QStringList{"bravo", "echo"}));
    }

    void repeatedSettersResetOnce()
    {
        QSignalSpy resets(&m_fixture->proxy, &QAbstractItemModel::modelReset);
        m_fixture->proxy.setFilterIdSet("1");
        m_fixture->proxy.setFilterIdSet("1");
        m_fixture->proxy.setDeleteFilter(QZVBaseSortModel::HideDeleted);
        m_fixture->proxy.setDeleteFilter(QZVBaseSortModel::HideDeleted);
        QCOMPARE(resets.count(), 2);
    }

    void checkAllTouchesVisibleRowsOnly()
    {
        m_fixture->proxy.setFilterRegExp(QRegExp("^[ab]", Qt::CaseInsensitive));
        QSignalSpy aggregate(&m_fixture->proxy, &QZVBaseSortModel::itemCheckChange);
        QSignalSpy sourceChanged(&m_fixture->source, &QAbstractItemModel::dataChanged);
        m_fixture->proxy.setAllItemCheck(true);
        QCOMPARE(aggregate.count(), 0);
        QCOMPARE(sourceChanged.count(), 0);
        QCOMPARE(record(1)->GetCheck(), 2);
        QCOMPARE(record(3)->GetCheck(), 2);
        QCOMPARE(record(0)->GetCheck(), 0);
        QCOMPARE(record(2)->GetCheck(), 0);
        QCOMPARE(m_fixture->proxy.getItemChangeState(), 2);

        m_fixture->proxy.itemCheckStateChanged(m_fixture->proxy.index(0, 0), 0);
        QCOMPARE(aggregate.count(), 1);
        QCOMPARE(aggregate.at(0).at(0).toInt(), 1);
        QVERIFY(!m_fixture->proxy.setData(m_fixture->proxy.index(0, 1), 2, Qt::CheckStateRole));
    }

    void noVisibleRowsMeansNoAggregate()
    {
        QSignalSpy aggregate(&m_fixture->proxy, &QZVBaseSortModel::itemCheckChange);
        m_fixture->proxy.setFilterRegExp(QRegExp("nothing matches"));
        QCOMPARE(m_fixture->proxy.rowCount(), 0);
        QCOMPARE(m_fixture->proxy.getItemChangeState(), 0);
        QCOMPARE(aggregate.count(), 0);
    }

    void followsADynamicSource()
    {
        RecordSet many;
        many.addMany(250);
        TitleDynamicModel source;
        source.setHeaderList({"title"});
        source.setDatas(&many.pointers);
        QZVBaseSortModel proxy;
        proxy.setSourceModel(&source);
        QCOMPARE(proxy.rowCount(), 0);
        QVERIFY(proxy.canFetchMore(QModelIndex()));
        proxy.fetchMore(QModelIndex());
        QCOMPARE(proxy.rowCount(), 100);
        QAbstractItemModelTester tester(&proxy);
        source.loadAllData();
        many.add("appended");
        source.insertRefeshLastRow();
        QCOMPARE(proxy.rowCount(), 251);
        source.refresh();
        QCOMPARE(proxy.rowCount(), 251);
    }
};

GLINTORA_TEST_MAIN(TestSortModel)
#include "tst_sortmodel.moc"
