#include "qdelegatecontrol.h"
#include "qzvbasesortmodel.h"
#include "qzvbasestyledelegate.h"
#include "qzvstylebutton.h"
#include "qzvtableview.h"
#include "recordfixture.h"
#include "skinfixture.h"
#include "testhome.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolTip>

namespace {

// Counts the tool-tip texts the view asks for.
class CountingTableView : public QZVTableView
{
public:
    QString showToolTipText(const QModelIndex &index) override
    {
        ++requests;
        return QZVTableView::showToolTipText(index);
    }
    int requests = 0;
};

} // namespace

class TestTableView : public QObject
{
    Q_OBJECT

private:
    SkinFixture m_skin;
    RecordSet m_set;
    TitleTableModel m_model;
    QZVBaseSortModel m_sort;
    std::unique_ptr<CountingTableView> m_view;
    std::unique_ptr<QZVBaseStyleDelegate> m_delegate;
    std::unique_ptr<QZVStyleButton> m_button;
    std::unique_ptr<QDelegateControl> m_control;

    QPoint cellCentre(int row, int column) const
    {
        return m_view->visualRect(m_sort.index(row, column)).center();
    }

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
        for (const char *title : {"one", "two", "", "four"})
            m_set.add(title);
        m_model.setHeaderList({"name", "actions"});
        m_model.setDatas(&m_set.pointers);
        m_sort.setSourceModel(&m_model);
    }

    void init()
    {
        m_view = std::make_unique<CountingTableView>();
        m_delegate = std::make_unique<QZVBaseStyleDelegate>();
        m_button = std::make_unique<QZVStyleButton>();
        m_button->setButtonImage(m_skin.strip("button.png", QSize(160, 40), StripColours), QString(), false);
        m_control = std::make_unique<QDelegateControl>(1);
        m_control->setHoverShow(false);
        m_control->addButton(m_button.get());
        m_delegate->addButtonWidget(m_control.get());
        m_view->setModel(&m_sort);
        m_view->setItemDelegate(m_delegate.get());
        m_view->resize(300, 200);
        m_view->horizontalHeader()->resizeSection(0, 150);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_sort.setHoverRow(-1);
        m_model.setHoverRow(-1);
    }

    void cleanup()
    {
        m_view.reset();
        m_control.reset();
        m_button.reset();
        m_delegate.reset();
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    void setUpForWholeRows()
    {
        QCOMPARE(m_view->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(!m_view->showGrid());
        QVERIFY(m_view->verticalHeader()->isHidden());
        QCOMPARE(m_view->verticalHeader()->defaultSectionSize(), 27);
        QCOMPARE(m_view->contextMenuPolicy(), Qt::CustomContextMenu);
    }

    void hoverReachesModelsAndDelegate()
    {
        m_view->setSortModel(&m_sort);
        m_view->setStyleDelegate(m_delegate.get());
        moveTo(cellCentre(1, 0));
        QCOMPARE(m_sort.hoverRow(), 1);
        QCOMPARE(m_model.hoverRow(), -1);
        QCOMPARE(m_delegate->hoverRow(), 1);

        m_view->setSourceModel(&m_model);
        moveTo(cellCentre(3, 1));
        QCOMPARE(m_model.hoverRow(), 3);

        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
        leave();
        QCOMPARE(m_sort.hoverRow(), -1);
        QCOMPARE(m_model.hoverRow(), -1);
        QCOMPARE(m_delegate->hoverRow(), -1);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }

    // Without a model pointer the row is never stored, so the delegate hears every move.
    void withoutModelPointersOnlyTheDelegateHears()
    {
        m_view->setStyleDelegate(m_delegate.get());
        moveTo(cellCentre(2, 0));
        QCOMPARE(m_delegate->hoverRow(), 2);
        QCOMPARE(m_sort.hoverRow(), -1);
        m_delegate->setHoverRow(7);
        moveTo(cellCentre(2, 0) + QPoint(1, 0));
        QCOMPARE(m_delegate->hoverRow(), 2);
    }

    void toolTipShowsOncePerCell()
    {
        m_view->setSortModel(&m_sort);
        m_view->SetToolTipShowTime(200);
        m_view->SetToolTip(true);
        moveTo(cellCentre(0, 0));
        QTRY_COMPARE_WITH_TIMEOUT(m_view->requests, 1, 2000);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QString("one"));
        moveTo(cellCentre(0, 0) + QPoint(2, 0));
        QTest::qWait(400);
        QCOMPARE(m_view->requests, 1);
        QVERIFY(QToolTip::isVisible());

        moveTo(cellCentre(1, 0));
        QTRY_COMPARE_WITH_TIMEOUT(m_view->requests, 2, 2000);
        QTRY_COMPARE(QToolTip::text(), QString("two"));
    }

    void emptyTextOrSwitchedOffShowsNothing()
    {
        m_view->setSortModel(&m_sort);
        m_view->SetToolTipShowTime(100);
        m_view->SetToolTip(true);
        QToolTip::hideText();
        moveTo(cellCentre(2, 0));
        QTRY_COMPARE_WITH_TIMEOUT(m_view->requests, 1, 2000);
        QVERIFY(!QToolTip::isVisible());

        m_view->SetToolTip(false);
        moveTo(cellCentre(3, 0));
        QTest::qWait(400);
        QCOMPARE(m_view->requests, 1);
        m_view->showToolTip(3, 0);
        QCOMPARE(m_view->requests, 1);
    }

    void returnNeedsASelection()
    {
        QSignalSpy entered(m_view.get(), &QZVTableView::emitEnterSelect);
        m_view->setCurrentIndex(m_sort.index(1, 0));
        m_view->clearSelection();
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        QCOMPARE(entered.count(), 0);
        QCOMPARE(m_view->currentIndex().row(), 1);
        m_view->selectRow(2);
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        QCOMPARE(entered.count(), 1);
    }

    void tabLeavesTheCurrentCell()
    {
        QWidget window;
        auto *view = new QZVTableView(&window);
        auto *next = new QLineEdit(&window);
        next->move(0, 220);
        view->setModel(&m_sort);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        view->setFocus();
        view->setCurrentIndex(m_sort.index(0, 0));
        QTest::keyClick(view, Qt::Key_Tab);
        QCOMPARE(view->currentIndex(), m_sort.index(0, 0));
        QVERIFY(!view->hasFocus());
    }

    void doubleClickOnAButtonIsDropped()
    {
        m_view->setStyleDelegate(m_delegate.get());
        QSignalSpy doubleClicks(m_view.get(), &QAbstractItemView::doubleClicked);
        const QPoint button = m_view->visualRect(m_sort.index(0, 1)).center();
        moveTo(button);
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, button);
        QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, button);
        QCOMPARE(doubleClicks.count(), 0);
        const QPoint plain = cellCentre(0, 0);
        moveTo(plain);
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, plain);
        QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, plain);
        QCOMPARE(doubleClicks.count(), 1);
    }

    void currentChangeIsReported()
    {
        QSignalSpy current(m_view.get(), &QZVTableView::emitCurrentChanged);
        m_view->setCurrentIndex(m_sort.index(3, 0));
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.at(0).at(0).toModelIndex().row(), 3);
    }
};

GLINTORA_TEST_MAIN(TestTableView)
#include "tst_tableview.moc"
