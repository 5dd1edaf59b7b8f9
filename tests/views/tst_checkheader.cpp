#include "qcheckheaderview.h"
#include "recordfixture.h"
#include "skinfixture.h"
#include "testhome.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QTableView>

namespace {

const QColor Background(40, 40, 40), Pressed(200, 100, 0), Separator(255, 255, 255);
const QColor ArrowTop(250, 0, 0), ArrowBottom(0, 0, 250);

} // namespace

class TestCheckHeader : public QObject
{
    Q_OBJECT

private:
    SkinFixture m_skin;
    RecordSet m_set;
    TitleTableModel m_model;
    std::unique_ptr<QTableView> m_table;
    QCheckHeaderView *m_header = nullptr;

    QCheckBox *checkBox() const { return m_header->findChild<QCheckBox *>(); }
    QImage grabHeader() const { return m_header->grab().toImage(); }
    QRect section(int logical) const
    {
        return QRect(m_header->sectionViewportPosition(logical), 0, m_header->sectionSize(logical),
                     m_header->height());
    }

    void moveTo(QPoint pos)
    {
        QMouseEvent move(QEvent::MouseMove, pos, m_header->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(m_header->viewport(), &move);
    }

    void showTable()
    {
        m_table->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_table.get()));
    }

private slots:
    void initTestCase()
    {
        m_set.add("a");
        m_model.setHeaderList({"Name", "Size", "Created Time"});
        m_model.setDatas(&m_set.pointers);
    }

    void init()
    {
        m_table = std::make_unique<QTableView>();
        m_header = new QCheckHeaderView(Qt::Horizontal, m_table.get());
        m_table->setHorizontalHeader(m_header);
        m_table->setModel(&m_model);
        m_table->resize(400, 200);
        m_header->resizeSection(0, 120);
        m_header->resizeSection(1, 120);
    }

    void cleanup() { m_table.reset(); }

    void imagesThatDoNotLoadLeaveTheSlotEmpty()
    {
        const int height = m_header->height();
        QVERIFY(!m_header->setBackgroundImage(m_skin.path("missing.png")));
        QVERIFY(!m_header->setBackgroundImage(m_skin.text("header.txt", "no picture")));
        QVERIFY(!m_header->setOrderFlagsImage(m_skin.path("missing.png")));
        QCOMPARE(m_header->height(), height);
        QVERIFY(m_header->setBackgroundImage(m_skin.solid("header.png", QSize(20, 30), Background)));
        QCOMPARE(m_header->height(), 30);
    }

    void withoutBackgroundTheBasePaintsAndTheBoxStays()
    {
        m_header->setSlipImage(m_skin.solid("slip.png", QSize(2, 20), Separator));
        m_header->setCheckPos(30, 2);
        showTable();
        QCOMPARE(checkBox()->pos(), QPoint(0, 0));
        QVERIFY(grabHeader().pixelColor(section(0).right(), 10) != Separator);
    }

    void backgroundSeparatorAndBox()
    {
        m_header->setBackgroundImage(m_skin.solid("header.png", QSize(20, 30), Background));
        m_header->setSlipImage(m_skin.solid("slip.png", QSize(2, 20), Separator));
        m_header->setCheckPos(30, 2);
        m_header->setCheckInColumn(1);
        showTable();
        const QImage image = grabHeader();
        QCOMPARE(image.pixelColor(section(0).right(), 15), Separator);
        QCOMPARE(image.pixelColor(section(0).right() - 1, 15), Separator);
        QCOMPARE(image.pixelColor(section(0).right() - 2, 15), Background);
        QCOMPARE(image.pixelColor(section(0).right(), 2), Background);
        QCOMPARE(checkBox()->pos(), QPoint(section(1).left() + 30, 2));
    }

    // A column without a title (the row buttons) must not read as an empty header column.
    void separatorsOnlyBetweenTitles()
    {
        TitleTableModel model;
        model.setHeaderList({"Name", "Size", ""});
        model.setDatas(&m_set.pointers);
        m_table->setModel(&model);
        m_header->setBackgroundImage(m_skin.solid("header.png", QSize(20, 30), Background));
        m_header->setSlipImage(m_skin.solid("slip.png", QSize(2, 20), Separator));
        showTable();
        const QImage image = grabHeader();
        QCOMPARE(image.pixelColor(section(0).right(), 15), Separator);
        QCOMPARE(image.pixelColor(section(1).right(), 15), Background);
        QCOMPARE(image.pixelColor(section(2).right(), 15), Background);
    }

    void titlesStartWhereCellTextStarts()
    {
        // The title and the cell begin with the same letter; header and cell fonts may still
        // place it a pixel or two apart.
        TitleTableModel model;
        model.setHeaderList({"a", "Size"});
        model.setDatas(&m_set.pointers);
        m_table->setModel(&model);
        m_header->setBackgroundImage(m_skin.solid("header.png", QSize(20, 30), Background));
        m_header->setTextColor(Qt::white);
        showTable();
        const auto firstInk = [](const QImage &image, int top, int bottom, const QColor &ground) {
            for (int x = 0; x < image.width(); ++x)
                for (int y = top; y < bottom; ++y)
                    if (image.pixelColor(x, y) != ground)
                        return x;
            return -1;
        };
        const QImage header = grabHeader();
        const QImage cells = m_table->viewport()->grab().toImage();
        const QRect cell = m_table->visualRect(model.index(0, 0));
        const int title = firstInk(header, 0, header.height(), Background);
        const int text = firstInk(cells.copy(cell), 0, cell.height(), cells.pixelColor(cell.topLeft()));
        QVERIFY2(qAbs(title - text) <= 2, qPrintable(QString("%1 against %2").arg(title).arg(text)));
    }

    void pressedBackgroundOnlyWhilePressed()
    {
        m_header->setBackgroundImage(m_skin.solid("header.png", QSize(20, 30), Background));
        showTable();
        const QPoint inSecond = section(1).center();
        QTest::mousePress(m_header->viewport(), Qt::LeftButton, Qt::NoModifier, inSecond);
        QCOMPARE(grabHeader().pixelColor(section(1).left() + 3, 3), Background);
        QTest::mouseRelease(m_header->viewport(), Qt::LeftButton, Qt::NoModifier, inSecond);

        m_header->setSelBackgroundImage(m_skin.solid("pressed.png", QSize(20, 30), Pressed));
        QTest::mousePress(m_header->viewport(), Qt::LeftButton, Qt::NoModifier, inSecond);
        QImage pressed = grabHeader();
        QCOMPARE(pressed.pixelColor(section(1).left() + 3, 3), Pressed);
        QCOMPARE(pressed.pixelColor(section(0).left() + 3, 3), Background);
        QTest::mouseRelease(m_header->viewport(), Qt::LeftButton, Qt::NoModifier, inSecond);
        QCOMPARE(grabHeader().pixelColor(section(1).left() + 3, 3), Background);
    }

    void arrowFollowsTheSortOrder_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QColor>("top");
        QTest::newRow("ascending") << int(Qt::AscendingOrder) << ArrowTop;
        QTest::newRow("descending") << int(Qt::DescendingOrder) << ArrowBottom;
    }

    void arrowFollowsTheSortOrder()
    {
        QFETCH(int, order);
        QFETCH(QColor, top);
        m_header->setBackgroundImage(m_skin.solid("header.png", QSize(20, 30), Background));
        QVERIFY(m_header->setOrderFlagsImage(m_skin.topBottom("arrow.png", QSize(16, 16), ArrowTop, ArrowBottom)));
        m_header->setSortIndicatorShown(true);
        m_header->setSortIndicator(0, Qt::SortOrder(order));
        showTable();
        // An 8 x 8 arrow whose right edge is 3 short of the section's: x from right - 11.
        const QRect arrow(section(0).right() - 3 - 8, 11, 8, 8);
        const QImage image = grabHeader();
        QCOMPARE(image.pixelColor(arrow.left() + 4, arrow.top() + 1), top);
        QCOMPARE(image.pixelColor(arrow.left() + 4, arrow.bottom() - 1), top == ArrowTop ? ArrowBottom : ArrowTop);
        QCOMPARE(image.pixelColor(section(1).right() - 7, 15), Background);
    }

    void clickOnAPartialBoxChecksIt()
    {
        showTable();
        QSignalSpy changes(m_header, &QCheckHeaderView::checkChange);
        m_header->setCheckState(Qt::PartiallyChecked);
        m_header->OnClickCheckBox();
        QCOMPARE(m_header->getCheckState(), Qt::Checked);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toBool(), true);
        QTest::mouseClick(checkBox(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.at(1).at(0).toBool(), m_header->getCheckState() == Qt::Checked);
    }

    void modelStatesSetTheBox_data()
    {
        QTest::addColumn<bool>("tristate");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << true << 0 << int(Qt::Unchecked);
        QTest::newRow("some, tri-state") << true << 1 << int(Qt::PartiallyChecked);
        QTest::newRow("some, two states") << false << 1 << int(Qt::Unchecked);
        QTest::newRow("all") << false << 2 << int(Qt::Checked);
    }

    void modelStatesSetTheBox()
    {
        QFETCH(bool, tristate);
        QFETCH(int, state);
        QFETCH(int, expected);
        QSignalSpy changes(m_header, &QCheckHeaderView::checkChange);
        m_header->setCheckState(Qt::Checked);
        m_header->setTristate(tristate);
        m_header->OnStateChanged(state);
        QCOMPARE(int(m_header->getCheckState()), expected);
        QCOMPARE(changes.count(), 0);
    }

    void unsortableColumnIsNotClickable()
    {
        m_header->setSortEnable(1, false);
        m_header->setSortEnable(1, false);
        QVERIFY(!m_header->sortEnable(1));
        showTable();
        moveTo(section(1).center());
        QVERIFY(!m_header->sectionsClickable());
        moveTo(section(0).center());
        QVERIFY(m_header->sectionsClickable());
        m_header->setSortEnable(1, true);
        moveTo(section(1).center());
        QVERIFY(m_header->sectionsClickable());
    }

    void checkBoxCanBeHidden()
    {
        showTable();
        QVERIFY(m_header->getCheckVisable());
        m_header->setCheckVisable(false);
        QVERIFY(!m_header->getCheckVisable());
        QVERIFY(!checkBox()->isVisible());
    }
};

GLINTORA_TEST_MAIN(TestCheckHeader)
#include "tst_checkheader.moc"
