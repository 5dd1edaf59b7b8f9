#include "iconmodel.h"
#include "qbaseiconlistdelegate.h"
#include "qzvbasesortmodel.h"
#include "qzvdynamicmodel.h"
#include "qzvlistview.h"
#include "recordfixture.h"
#include "skinfixture.h"
#include "testhome.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

class TestListView : public QObject
{
    Q_OBJECT

private:
    SkinFixture m_skin;
    RecordSet m_set;
    IconModel<QBaseDetailsModel> m_model;
    QZVBaseSortModel m_sort;
    std::unique_ptr<QZVListView> m_view;
    std::unique_ptr<QBaseIconListDelegate> m_delegate;

    QPoint cellCentre(int row) const { return m_view->visualRect(m_sort.index(row, 0)).center(); }

    void moveTo(QPoint pos)
    {
        QMouseEvent move(QEvent::MouseMove, pos, m_view->viewport()->mapToGlobal(pos), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_view->viewport(), &move);
    }

    void leave()
    {
        QEvent leaveEvent(QEvent::Leave);
        QApplication::sendEvent(m_view.get(), &leaveEvent);
    }

private slots:
    void initTestCase()
    {
        for (int i = 0; i < 6; ++i)
            m_set.add(i == 2 ? QString() : QString("cell %1").arg(i));
        m_model.setHeaderList({"cell"});
        m_model.setItemSize(60, 60);
        m_model.setDatas(&m_set.pointers);
        m_sort.setSourceModel(&m_model);
    }

    void init()
    {
        m_view = std::make_unique<QZVListView>();
        m_delegate = std::make_unique<QBaseIconListDelegate>();
        m_delegate->setCheckboxImage(QString(), QString(), m_skin.solid("on.png", QSize(20, 20), Qt::blue));
        m_view->setModel(&m_sort);
        m_view->setItemDelegate(m_delegate.get());
        m_view->resize(200, 200);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_sort.setHoverRow(-1);
        m_model.setHoverRow(-1);
    }

    void cleanup()
    {
        m_view.reset();
        m_delegate.reset();
    }

    void hoverWithAndWithoutModelPointers()
    {
        m_view->setStyleDelegate(m_delegate.get());
        moveTo(cellCentre(1));
        QCOMPARE(m_delegate->hoverRow(), 1);
        QCOMPARE(m_sort.hoverRow(), -1);
        m_delegate->setHoverRow(9);
        moveTo(cellCentre(1) + QPoint(1, 1));
        QCOMPARE(m_delegate->hoverRow(), 1);

        m_view->setSortModel(&m_sort);
        m_view->setSourceModel(&m_model);
        moveTo(cellCentre(4));
        QCOMPARE(m_sort.hoverRow(), 4);
        QCOMPARE(m_model.hoverRow(), 4);
        QCOMPARE(m_delegate->hoverRow(), 4);
        leave();
        QCOMPARE(m_sort.hoverRow(), -1);
        QCOMPARE(m_model.hoverRow(), -1);
        QCOMPARE(m_delegate->hoverRow(), -1);
    }

    void toolTipShowsTheCellText()
    {
        m_view->setSortModel(&m_sort);
        m_view->SetToolTipShowTime(150);
        m_view->SetToolTip(true);
        moveTo(cellCentre(3));
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
        QCOMPARE(QToolTip::text(), QString("cell 3"));
    }

    void toolTipsOffShowNothing()
    {
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        m_view->setSortModel(&m_sort);
        m_view->showToolTip(3, 0);
        QVERIFY(!QToolTip::isVisible());
        m_view->SetToolTip(true);
        m_view->showToolTip(2, 0);
        QVERIFY(!QToolTip::isVisible());
    }

    void keysBecomeSignals()
    {
        QSignalSpy entered(m_view.get(), &QZVListView::emitEnterSelect);
        QSignalSpy backspace(m_view.get(), &QZVListView::emitKeyBackspace);
        m_view->setCurrentIndex(m_sort.index(1, 0));
        m_view->clearSelection();
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        QCOMPARE(entered.count(), 0);
        QCOMPARE(m_view->currentIndex().row(), 1);
        QTest::keyClick(m_view.get(), Qt::Key_Backspace);
        QCOMPARE(backspace.count(), 1);
        m_view->selectionModel()->select(m_sort.index(2, 0), QItemSelectionModel::Select);
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        QCOMPARE(entered.count(), 1);
    }

    void tabMovesTheFocusOn()
    {
        QWidget window;
        auto *view = new QZVListView(&window);
        auto *next = new QLineEdit(&window);
        next->move(0, 220);
        view->setModel(&m_sort);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        view->setFocus();
        view->setCurrentIndex(m_sort.index(0, 0));
        QTest::keyClick(view, Qt::Key_Tab);
        QCOMPARE(view->currentIndex(), m_sort.index(0, 0));
        QVERIFY(next->hasFocus());
    }

    void doubleClickOnTheCheckboxIsDropped()
    {
        m_view->setStyleDelegate(m_delegate.get());
        QSignalSpy doubleClicks(m_view.get(), &QAbstractItemView::doubleClicked);
        QSignalSpy requests(m_delegate.get(), &QBaseIconListDelegate::emitCheckStateChange);
        const QRect cell = m_view->visualRect(m_sort.index(0, 0));
        const QPoint box(cell.left() + 8, cell.center().y());
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, box);
        QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, box);
        QCOMPARE(requests.count(), 1);
        QCOMPARE(doubleClicks.count(), 0);

        const QPoint plain(cell.right() - 5, cell.bottom() - 5);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, plain);
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, plain);
        QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, plain);
        QCOMPARE(doubleClicks.count(), 1);
    }

    void replacedScrollBarStillFetches()
    {
        RecordSet many;
        many.addMany(250);
        IconModel<QZvDynamicModel> model;
        model.setHeaderList({"cell"});
        model.setItemSize(50, 50);
        model.setDatas(&many.pointers);
        QZVListView view;
        view.setModel(&model);
        auto *bar = new QScrollBar(Qt::Vertical);
        view.setVerticalScrollBar(bar);
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_COMPARE(model.rowCount(), 100);
        QTRY_VERIFY(bar->maximum() > 0);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QTRY_COMPARE(model.rowCount(), 200);
    }

    void currentChangeIsReported()
    {
        QSignalSpy current(m_view.get(), &QZVListView::emitCurrentChanged);
        m_view->setCurrentIndex(m_sort.index(5, 0));
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.at(0).at(0).toModelIndex().row(), 5);
    }
};

GLINTORA_TEST_MAIN(TestListView)
#include "tst_listview.moc"
