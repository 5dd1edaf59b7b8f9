#include "qdelegatecontrol.h"
#include "qzvbasestyledelegate.h"
#include "qzvstylebutton.h"
#include "recordfixture.h"
#include "skinfixture.h"
#include "testhome.h"

#include <QMouseEvent>

namespace {

const QRect Cell(0, 0, 200, 30);

QStyleOptionViewItem cellOption(QStyle::State state = QStyle::State_Enabled)
{
    QStyleOptionViewItem option;
    option.rect = Cell;
    option.state = state;
    option.font = QApplication::font();
    option.palette = QApplication::palette();
    return option;
}

QMouseEvent mouse(QEvent::Type type, QPoint pos)
{
    return QMouseEvent(type, pos, pos, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
}

} // namespace

class TestStyleDelegate : public QObject
{
    Q_OBJECT

private:
    SkinFixture m_skin;
    RecordSet m_set;
    TitleTableModel m_model;
    QZVBaseStyleDelegate *m_delegate = nullptr;
    QZVStyleButton *m_open = nullptr;
    QZVStyleButton *m_remove = nullptr;
    QDelegateControl *m_control = nullptr;

    QModelIndex cell(int row, int column) { return m_model.index(row, column); }

    bool send(QEvent::Type type, QPoint pos, const QModelIndex &index)
    {
        QMouseEvent event = mouse(type, pos);
        return m_delegate->editorEvent(&event, &m_model, cellOption(), index);
    }

    QImage paint(const QModelIndex &index, QStyle::State state)
    {
        QImage canvas = blankCanvas(Cell.size());
        QPainter painter(&canvas);
        m_delegate->paint(&painter, cellOption(state), index);
        return canvas;
    }

private slots:
    void initTestCase()
    {
        for (int i = 0; i < 3; ++i)
            m_set.add(QString("row %1").arg(i), i);
        m_model.setHeaderList({"name", "actions"});
        m_model.setDatas(&m_set.pointers);
    }

    void init()
    {
        m_delegate = new QZVBaseStyleDelegate;
        m_delegate->setCheckInColumn(0);
        m_delegate->setCheckboxImage(m_skin.solid("off.png", QSize(20, 20), Qt::red),
                                     m_skin.solid("some.png", QSize(20, 20), Qt::green),
                                     m_skin.solid("on.png", QSize(20, 20), Qt::blue));
        m_open = new QZVStyleButton;
        m_remove = new QZVStyleButton;
        m_open->setButtonImage(m_skin.strip("open.png", QSize(160, 40), StripColours), QString(), false);
        m_remove->setButtonImage(m_skin.strip("open.png", QSize(160, 40), StripColours), QString(), false);
        m_control = new QDelegateControl(1);
        m_control->setDrawSpacing(10);
        m_control->setHoverShow(false);
        m_control->addButton(m_open);
        m_control->addButton(m_remove);
        QVERIFY(m_delegate->addButtonWidget(m_control));
        QVERIFY(!m_delegate->addButtonWidget(nullptr));
        for (IBaseChunk *record : m_set.pointers)
            record->setColumnEnable(1, true);
    }

    void cleanup()
    {
        delete m_delegate;
        delete m_control;
        delete m_open;
        delete m_remove;
    }

    void checkImagesSizeTheBox()
    {
        QCOMPARE(m_delegate->checkboxWidth(), 10);
        QCOMPARE(m_delegate->checkboxHeight(), 10);
        QCOMPARE(m_delegate->checkedImage()->devicePixelRatio(), 2.0);
        m_delegate->setCheckboxImage(QString(), QString(), m_skin.path("none.png"));
        QCOMPARE(m_delegate->unCheckedImage(), nullptr);
        QCOMPARE(m_delegate->checkboxWidth(), 0);
    }

    void pressOnTheCheckboxRequestsTheOtherState_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("requested");
        QTest::newRow("unchecked") << 0 << 2;
        QTest::newRow("partial") << 1 << 2;
        QTest::newRow("checked") << 2 << 0;
    }

    void pressOnTheCheckboxRequestsTheOtherState()
    {
        QFETCH(int, row);
        QFETCH(int, requested);
        QSignalSpy requests(m_delegate, &QZVBaseStyleDelegate::emitCheckStateChange);
        // The box is 10 x 10 at (5, 10); the margin widens the hit area to x = 3.
        m_delegate->setCheckboxOffest(2);
        QVERIFY(send(QEvent::MouseButtonPress, QPoint(3, 15), cell(row, 0)));
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.at(0).at(0).toModelIndex(), cell(row, 0));
        QCOMPARE(requests.at(0).at(1).toInt(), requested);
        QCOMPARE(m_set.pointers[size_t(row)]->GetCheck(), row);
        QVERIFY(send(QEvent::MouseButtonRelease, QPoint(150, 15), cell(row, 0)));
        QVERIFY(!send(QEvent::MouseButtonPress, QPoint(40, 15), cell(row, 0)));
        QCOMPARE(requests.count(), 1);
    }

    // A view never writes a record: Qt's own toggling of checkable cells stays off.
    void checkableCellIsNotToggledByKeys()
    {
        m_delegate->setCheckboxEnable(false);
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        QVERIFY(!m_delegate->editorEvent(&space, &m_model, cellOption(), cell(0, 0)));
        QMouseEvent release = mouse(QEvent::MouseButtonRelease, QPoint(10, 15));
        QVERIFY(!m_delegate->editorEvent(&release, &m_model, cellOption(), cell(0, 0)));
        QCOMPARE(m_set.pointers[0]->GetCheck(), 0);
    }

    void buttonsReportClicks()
    {
        // Buttons of 20 x 20 with spacing 10, centred in 200: x = 75 and 105.
        QSignalSpy opened(m_open, &QZVStyleButton::emitClickIndex);
        QSignalSpy removed(m_remove, &QZVStyleButton::emitClickIndex);
        QSignalSpy delegateClicks(m_delegate, &QZVBaseStyleDelegate::clickWidgt);
        QVERIFY(send(QEvent::MouseButtonPress, QPoint(85, 15), cell(0, 1)));
        QCOMPARE(m_open->getBtnState(), 2);
        QVERIFY(m_delegate->mouseInCtrlRect());
        QVERIFY(send(QEvent::MouseButtonRelease, QPoint(85, 15), cell(0, 1)));
        QCOMPARE(m_open->getBtnState(), 1);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toModelIndex(), cell(0, 1));
        QCOMPARE(removed.count(), 0);
        QCOMPARE(delegateClicks.count(), 1);

        QVERIFY(!send(QEvent::MouseMove, QPoint(100, 15), cell(0, 1)));
        QVERIFY(!m_delegate->mouseInCtrlRect());
        QCOMPARE(m_open->getBtnState(), 0);
    }

    void disabledColumnClicksOnlyTheDelegate()
    {
        m_set.pointers[0]->setColumnEnable(1, false);
        QSignalSpy opened(m_open, &QZVStyleButton::emitClickIndex);
        QSignalSpy delegateClicks(m_delegate, &QZVBaseStyleDelegate::clickWidgt);
        QVERIFY(send(QEvent::MouseButtonRelease, QPoint(85, 15), cell(0, 1)));
        QCOMPARE(opened.count(), 0);
        QCOMPARE(delegateClicks.count(), 1);
    }

    void hiddenButtonKeepsItsSlot()
    {
        m_open->setShow(false);
        QSignalSpy delegateClicks(m_delegate, &QZVBaseStyleDelegate::clickWidgt);
        QVERIFY(!send(QEvent::MouseButtonRelease, QPoint(85, 15), cell(0, 1)));
        QVERIFY(send(QEvent::MouseButtonRelease, QPoint(115, 15), cell(0, 1)));
        QCOMPARE(delegateClicks.count(), 1);
        m_open->setShow(true);
    }

    void nonMouseEventsHitNothing()
    {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QVERIFY(!m_delegate->editorEvent(&key, &m_model, cellOption(), cell(0, 1)));
        QVERIFY(!m_delegate->mouseInCtrlRect());
    }

    void paintsSelectionLineAndCheckImage_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QColor>("checkColour");
        QTest::newRow("unchecked") << 0 << QColor(Qt::red);
        QTest::newRow("partial") << 1 << QColor(Qt::green);
        QTest::newRow("checked") << 2 << QColor(Qt::blue);
    }

    void paintsSelectionLineAndCheckImage()
    {
        QFETCH(int, row);
        QFETCH(QColor, checkColour);
        const QColor selected(10, 120, 30), line(1, 2, 3);
        m_delegate->setSelectedBackgroundColor(selected);
        m_delegate->setBottomLineColor(line);
        const QImage image = paint(cell(row, 0), QStyle::State_Enabled | QStyle::State_Selected);
        QCOMPARE(image.pixelColor(10, 15), checkColour);
        QCOMPARE(image.pixelColor(190, 3), selected);
        QCOMPARE(image.pixelColor(100, 29), line);
    }

    void unselectedCheckCellTakesTheRowBackground()
    {
        const QColor even(40, 50, 60);
        m_model.setItemBgColor(even, even);
        const QImage image = paint(cell(0, 0), QStyle::State_Enabled);
        QCOMPARE(image.pixelColor(190, 3), even);
    }

    void buttonsDrawnOnlyWhereAllowed()
    {
        const QImage shown = paint(cell(0, 1), QStyle::State_Enabled);
        QCOMPARE(shown.pixelColor(85, 15), StripColours[0]);
        m_set.pointers[0]->setColumnEnable(1, false);
        QCOMPARE(paint(cell(0, 1), QStyle::State_Enabled).pixelColor(85, 15), StripColours[3]);
        m_control->setHoverShow(true);
        m_delegate->setHoverRow(1);
        QVERIFY(paint(cell(0, 1), QStyle::State_Enabled).pixelColor(85, 15) != StripColours[3]);
    }

    void leavingRestoresOneOverrideCursor()
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
        m_delegate->setHoverRow(-1);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        m_delegate->setHoverRow(-1);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

GLINTORA_TEST_MAIN(TestStyleDelegate)
#include "tst_styledelegate.moc"
