#include "cellgeometry.h"
#include "qdelegatecontrol.h"
#include "qdelegatestylewidget.h"
#include "qzvstylebutton.h"
#include "skinfixture.h"
#include "testhome.h"

#include <QStyleOptionButton>

Q_DECLARE_METATYPE(Qt::Alignment)

namespace {

QColor drawnFrameColour(QZVStyleButton &button, QStyle::State state, bool selected = false)
{
    button.SetBgSelected(selected);
    QStyleOptionButton option;
    option.rect = QRect(0, 0, 40, 40);
    option.state = state;
    QImage canvas = blankCanvas(QSize(40, 40));
    QPainter painter(&canvas);
    button.style()->drawControl(QStyle::CE_PushButton, &option, &painter, &button);
    painter.end();
    return canvas.pixelColor(20, 20);
}

} // namespace

class TestCellControls : public QObject
{
    Q_OBJECT

private:
    SkinFixture m_skin;

private slots:
    void buttonLayout_data()
    {
        QTest::addColumn<Qt::Alignment>("alignment");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("centred") << Qt::Alignment(Qt::AlignHCenter | Qt::AlignVCenter) << 70 << 100;
        QTest::newRow("vertical centre alone centres too") << Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter) << 70
                                                           << 100;
        QTest::newRow("right") << Qt::Alignment(Qt::AlignRight) << 140 << 170;
        QTest::newRow("left") << Qt::Alignment(Qt::AlignLeft) << 0 << 30;
    }

    void buttonLayout()
    {
        QFETCH(Qt::Alignment, alignment);
        QFETCH(int, first);
        QFETCH(int, second);
        const QRect cell(10, 100, 200, 40);
        const QList<QRect> rects = CellGeometry::controlRects(cell, {QSize(20, 10), QSize(30, 20)}, 50, 10, alignment);
        QCOMPARE(rects.size(), 2);
        QCOMPARE(rects.at(0), QRect(10 + first, 115, 20, 10));
        QCOMPARE(rects.at(1), QRect(10 + second, 110, 30, 20));
    }

    void controlGroupUsesTheStoredWidthSum()
    {
        QZVStyleButton first, second;
        first.resize(20, 10);
        second.resize(30, 20);
        QDelegateControl control(2);
        control.setDrawSpacing(10);
        QVERIFY(control.addButton(&first));
        QVERIFY(control.addButton(&second));
        QVERIFY(!control.addButton(nullptr));
        QCOMPARE(control.allWidgetWidth(), 50);
        second.setShow(false);
        QCOMPARE(control.layout(QRect(0, 0, 200, 40)).at(1).left(), 100);

        first.resize(40, 10);
        QCOMPARE(control.allWidgetWidth(), 50);
        control.refreshAllWidgetWidth();
        QCOMPARE(control.allWidgetWidth(), 70);
        QCOMPARE(control.widgetFromIndex(1), &second);
        QCOMPARE(control.widgetFromIndex(2), nullptr);
        QCOMPARE(control.widgetFromIndex(-1), nullptr);
    }

    void checkboxPlacement_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<QRect>("hit");
        QTest::addColumn<QRect>("text");
        // Cell (10, 20, 200 x 30), box 16 x 12, margins 1, 2, 3, 4, spacing 5.
        QTest::newRow("automatic") << QPoint(-1, -1) << QRect(15, 29, 16, 12) << QRect(14, 27, 20, 18)
                                   << QRect(36, 20, 169, 30);
        QTest::newRow("default") << QPoint(5, -1) << QRect(15, 29, 16, 12) << QRect(14, 27, 20, 18)
                                 << QRect(36, 20, 169, 30);
        QTest::newRow("fixed") << QPoint(0, 2) << QRect(10, 22, 16, 12) << QRect(9, 20, 20, 18)
                               << QRect(31, 20, 174, 30);
    }

    void checkboxPlacement()
    {
        QFETCH(QPoint, position);
        QFETCH(QRect, box);
        QFETCH(QRect, hit);
        QFETCH(QRect, text);
        const QRect cell(10, 20, 200, 30);
        const QRect b = CellGeometry::checkboxRect(cell, position, QSize(16, 12));
        QCOMPARE(b, box);
        QCOMPARE(CellGeometry::checkboxHitRect(b, QMargins(1, 2, 3, 4)), hit);
        const QPoint offset = CellGeometry::checkboxOffset(cell, position, QSize(16, 12));
        QCOMPARE(CellGeometry::checkTextRect(cell, offset.x(), 16, 5), text);
    }

    void imageFitting_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("logical");
        QTest::addColumn<QRect>("source");
        QTest::newRow("wide image, square area") << QRect(0, 0, 80, 80) << QSize(100, 50) << QRect(25, 0, 50, 50);
        QTest::newRow("wide area") << QRect(5, 5, 160, 40) << QSize(100, 50) << QRect(0, 12, 100, 25);
        QTest::newRow("same ratio") << QRect(0, 0, 50, 25) << QSize(100, 50) << QRect(0, 0, 100, 50);
        QTest::newRow("no width") << QRect(0, 0, 0, 80) << QSize(100, 50) << QRect();
        QTest::newRow("negative height") << QRect(0, 0, 80, -4) << QSize(100, 50) << QRect();
    }

    void imageFitting()
    {
        QFETCH(QRect, area);
        QFETCH(QSize, logical);
        QFETCH(QRect, source);
        QCOMPARE(CellGeometry::centreCropSource(area, logical), source);
    }

    void centredCopy()
    {
        QCOMPARE(CellGeometry::centredRect(QRect(10, 10, 80, 80), QSize(80, 40)), QRect(10, 30, 80, 40));
    }

    void stripSizesTheButton()
    {
        QZVStyleButton button;
        QVERIFY(button.setButtonImage(m_skin.strip("strip76.png", QSize(76, 36), StripColours), QString(), false));
        QCOMPARE(button.size(), QSize(9, 18));
    }

    void rejectedStripsChangeNothing_data()
    {
        QTest::addColumn<QString>("normal");
        QTest::newRow("missing") << m_skin.path("missing.png");
        QTest::newRow("not an image") << m_skin.text("strip.txt", "not a picture");
    }

    void rejectedStripsChangeNothing()
    {
        QFETCH(QString, normal);
        QZVStyleButton button;
        QVERIFY(button.setButtonImage(m_skin.strip("strip.png", QSize(160, 40), StripColours), QString(), false));
        QVERIFY(!button.setButtonImage(normal, QString(), false));
        QCOMPARE(button.size(), QSize(20, 20));
        QCOMPARE(drawnFrameColour(button, QStyle::State_Enabled), StripColours[0]);
    }

    void stateFrames_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("frame");
        QTest::newRow("normal") << int(QStyle::State_Enabled) << 0;
        QTest::newRow("hover") << int(QStyle::State_Enabled | QStyle::State_MouseOver) << 1;
        QTest::newRow("pressed") << int(QStyle::State_Enabled | QStyle::State_Sunken) << 2;
        QTest::newRow("disabled") << int(QStyle::State_None) << 3;
        QTest::newRow("hover wins over disabled") << int(QStyle::State_MouseOver) << 1;
    }

    void stateFrames()
    {
        QFETCH(int, state);
        QFETCH(int, frame);
        QZVStyleButton button;
        QVERIFY(button.setButtonImage(m_skin.strip("strip.png", QSize(160, 40), StripColours), QString(), true));
        QCOMPARE(drawnFrameColour(button, QStyle::State(state)), StripColours[frame]);
    }

    void selectedRowsUseTheSelectedStrip()
    {
        const QList<QColor> selectedColours{QColor(250, 250, 0), QColor(0, 250, 250), QColor(250, 0, 250),
                                            QColor(10, 10, 10)};
        QZVStyleButton button;
        QVERIFY(button.setButtonImage(m_skin.strip("normal.png", QSize(160, 40), StripColours),
                                      m_skin.strip("selected.png", QSize(160, 40), selectedColours), false));
        QCOMPARE(drawnFrameColour(button, QStyle::State_Enabled, true), selectedColours[0]);
        QCOMPARE(drawnFrameColour(button, QStyle::State_Enabled, false), StripColours[0]);

        QZVStyleButton fallback;
        QVERIFY(fallback.setButtonImage(m_skin.path("normal.png"), m_skin.path("no-such-file.png"), false));
        QCOMPARE(drawnFrameColour(fallback, QStyle::State_Enabled, true), StripColours[0]);
        QZVStyleButton broken;
        QVERIFY(broken.setButtonImage(m_skin.path("normal.png"), m_skin.text("selected.txt", "x"), false));
        QCOMPARE(drawnFrameColour(broken, QStyle::State_Enabled, true), StripColours[0]);
    }

    void buttonWithoutStripUsesTheBaseStyle()
    {
        QZVStyleButton button;
        const QColor colour = drawnFrameColour(button, QStyle::State_Enabled);
        QVERIFY(!StripColours.contains(colour));
    }

    void clickReportsTheIndex()
    {
        QZVStyleButton button;
        QSignalSpy clicked(&button, &QZVStyleButton::emitClickIndex);
        button.clickWidgt(QModelIndex());
        QCOMPARE(clicked.count(), 1);
    }
};

GLINTORA_TEST_MAIN(TestCellControls)
#include "tst_cellcontrols.moc"
