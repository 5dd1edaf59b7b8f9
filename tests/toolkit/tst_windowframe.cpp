#include "qdialogcolseanimation.h"
#include "qzvdialog.h"
#include "qzvmainwindow.h"
#include "qzvwidget.h"
#include "skinfixtures.h"
#include "testhome.h"
#include "zvmacosinterface.h"

#include <QPointer>

using namespace SkinFixtures;

namespace {

// Counts the layout passes the window bases run.
template <typename Base>
class CountingHost : public Base
{
public:
    int layouts = 0;
    void resetControlLocation() override { ++layouts; }
};

void showFrameless(QWidget &window, const QRect &geometry)
{
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setGeometry(geometry);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

}

class TestWindowFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initToolkitTestEnvironment(); }
    void hoverBandsSetCursor_data();
    void hoverBandsSetCursor();
    void childWidgetNeverResizes();
    void dragOnlyInTopBand_data();
    void dragOnlyInTopBand();
    void edgeDragStopsAtLimits();
    void hoverWithoutButtonNeverResizes();
    void maximiseAndRestore();
    void doubleClickNeedsBothDirections();
    void backgroundImageSizesHost();
    void backgroundPaintsNineSlices_data();
    void backgroundPaintsNineSlices();
    void colourFillWithoutImage();
    void unreadableBackgroundChangesNothing();
    void titleFollowsCurrentWidth();
    void centerDlgKeepsOnScreen();
    void hostsLayOutOnShowAndResize();
    void windowPosRoundTrip();
    void collapseClosesWindow();
    void fadeClosesWindow();
    void fadeSurvivesWindowDeletion();

private:
    QTemporaryDir m_dir;
};

void TestWindowFrame::hoverBandsSetCursor_data()
{
    QTest::addColumn<QPoint>("global");
    QTest::addColumn<int>("shape");
    // Window at (100, 100), 300 x 200, margins 6, stretch width 4: bands 6..10 inside.
    QTest::newRow("outer margin") << QPoint(105, 200) << int(Qt::ArrowCursor);
    QTest::newRow("left band start") << QPoint(106, 200) << int(Qt::SplitHCursor);
    QTest::newRow("left band end") << QPoint(110, 200) << int(Qt::SplitHCursor);
    QTest::newRow("inside") << QPoint(111, 200) << int(Qt::ArrowCursor);
    QTest::newRow("right band") << QPoint(390, 200) << int(Qt::SplitHCursor);
    QTest::newRow("top band") << QPoint(250, 108) << int(Qt::SplitVCursor);
    QTest::newRow("bottom band") << QPoint(250, 290) << int(Qt::SplitVCursor);
    QTest::newRow("top-left") << QPoint(107, 107) << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom-right") << QPoint(392, 292) << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-right") << QPoint(392, 107) << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottom-left") << QPoint(107, 292) << int(Qt::SizeBDiagCursor);
}

void TestWindowFrame::hoverBandsSetCursor()
{
    QFETCH(QPoint, global);
    QFETCH(int, shape);
    QZVMainWindow window;
    window.setTransparentW(6);
    showFrameless(window, QRect(100, 100, 300, 200));
    sendGlobalMouse(window, QEvent::MouseMove, global, Qt::NoButton, Qt::NoButton);
    QCOMPARE(int(window.cursor().shape()), shape);
}

void TestWindowFrame::childWidgetNeverResizes()
{
    QZVWidget widget;
    showFrameless(widget, QRect(100, 100, 300, 200));
    sendGlobalMouse(widget, QEvent::MouseMove, QPoint(101, 200), Qt::NoButton, Qt::NoButton);
    QCOMPARE(widget.cursor().shape(), Qt::ArrowCursor);
    sendGlobalMouse(widget, QEvent::MouseButtonDblClick, QPoint(200, 200), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!widget.isMaxSize());
}

void TestWindowFrame::dragOnlyInTopBand_data()
{
    QTest::addColumn<int>("pressY");
    QTest::addColumn<bool>("moves");
    QTest::newRow("inside band") << 39 << true;
    QTest::newRow("below band") << 45 << false;
}

void TestWindowFrame::dragOnlyInTopBand()
{
    QFETCH(int, pressY);
    QFETCH(bool, moves);
    QZVDialog dialog;
    showFrameless(dialog, QRect(100, 100, 300, 200));
    const QPoint press(200, 100 + pressY);
    sendGlobalMouse(dialog, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    sendGlobalMouse(dialog, QEvent::MouseMove, press + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    sendGlobalMouse(dialog, QEvent::MouseButtonRelease, press + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(dialog.pos(), moves ? QPoint(130, 120) : QPoint(100, 100));
}

void TestWindowFrame::edgeDragStopsAtLimits()
{
    QZVMainWindow window;
    window.setMinimumSize(200, 100);
    showFrameless(window, QRect(100, 100, 300, 200));

    // Left edge: stops before the width would reach the minimum.
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(101, 200), Qt::NoButton, Qt::NoButton);
    sendGlobalMouse(window, QEvent::MouseButtonPress, QPoint(101, 200), Qt::LeftButton, Qt::LeftButton);
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(260, 200), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.geometry().left(), 100);
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(150, 200), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.geometry().left(), 149);
    QCOMPARE(window.geometry().right(), 399);
    sendGlobalMouse(window, QEvent::MouseButtonRelease, QPoint(150, 200), Qt::LeftButton, Qt::NoButton);

    // Right edge: the width stays below the screen width less 4 (800 offscreen).
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(398, 200), Qt::NoButton, Qt::NoButton);
    sendGlobalMouse(window, QEvent::MouseButtonPress, QPoint(398, 200), Qt::LeftButton, Qt::LeftButton);
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(960, 200), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.geometry().right(), 399);
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(700, 200), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.geometry().right(), 701);
    sendGlobalMouse(window, QEvent::MouseButtonRelease, QPoint(700, 200), Qt::LeftButton, Qt::NoButton);

    // Bottom edge: the height stays below the available height (600 offscreen).
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(400, 298), Qt::NoButton, Qt::NoButton);
    sendGlobalMouse(window, QEvent::MouseButtonPress, QPoint(400, 298), Qt::LeftButton, Qt::LeftButton);
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(400, 720), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.geometry().bottom(), 299);
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(400, 500), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.geometry().bottom(), 501);
}

void TestWindowFrame::hoverWithoutButtonNeverResizes()
{
    QZVMainWindow window;
    showFrameless(window, QRect(100, 100, 300, 200));
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(101, 200), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.cursor().shape(), Qt::SplitHCursor);
    // The edge state stays while resizing is switched off; a hover must not resize.
    window.setStretchPolicy(QBaseDrawWidget::StretchNone);
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(60, 200), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.geometry(), QRect(100, 100, 300, 200));
}

void TestWindowFrame::maximiseAndRestore()
{
    QZVMainWindow window;
    window.setTransparentW(6);
    showFrameless(window, QRect(100, 100, 300, 200));
    window.OnBtnMax();
    QVERIFY(window.isMaxSize());
    QCOMPARE(window.geometry(), QRect(-6, -6, 812, 612));
    // While maximised the top band does not move the window.
    sendGlobalMouse(window, QEvent::MouseButtonPress, QPoint(300, 10), Qt::LeftButton, Qt::LeftButton);
    sendGlobalMouse(window, QEvent::MouseMove, QPoint(350, 60), Qt::NoButton, Qt::LeftButton);
    sendGlobalMouse(window, QEvent::MouseButtonRelease, QPoint(350, 60), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(window.geometry(), QRect(-6, -6, 812, 612));
    window.OnBtnMax();
    QVERIFY(!window.isMaxSize());
    QCOMPARE(window.geometry(), QRect(100, 100, 300, 200));
}

void TestWindowFrame::doubleClickNeedsBothDirections()
{
    QZVMainWindow window;
    showFrameless(window, QRect(100, 100, 300, 200));
    window.setStretchPolicy(QBaseDrawWidget::StretchHorizontal);
    sendMouse(window, QEvent::MouseButtonDblClick, QPoint(50, 10), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!window.isMaxSize());
    window.setStretchPolicy(QBaseDrawWidget::StretchBoth);
    sendMouse(window, QEvent::MouseButtonDblClick, QPoint(50, 10), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(window.isMaxSize());
}

void TestWindowFrame::backgroundImageSizesHost()
{
    QZVDialog dialog;
    const QString path = save(m_dir, "bg600.png", nineRegions(nineColors(), QSize(200, 100)));
    QVERIFY(dialog.setBackgroundImage(path, false));
    QCOMPARE(dialog.size(), QSize(300, 150));
    QCOMPARE(dialog.minimumSize(), QSize(0, 0));
    // Not resizable: hovering an edge changes nothing.
    showFrameless(dialog, QRect(100, 100, 300, 150));
    sendGlobalMouse(dialog, QEvent::MouseMove, QPoint(101, 150), Qt::NoButton, Qt::NoButton);
    QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);

    QZVMainWindow window;
    QVERIFY(window.setBackgroundImage(path, true));
    QCOMPARE(window.minimumSize(), QSize(300, 150));
}

void TestWindowFrame::backgroundPaintsNineSlices_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("region");
    // Corners (100, 50) of a 600 x 300 pixel image, host enlarged to 500 x 250.
    QTest::newRow("top-left") << QPoint(50, 25) << 0;
    QTest::newRow("top edge") << QPoint(250, 25) << 1;
    QTest::newRow("top-right") << QPoint(450, 25) << 2;
    QTest::newRow("left edge") << QPoint(50, 125) << 3;
    QTest::newRow("centre") << QPoint(250, 125) << 4;
    QTest::newRow("right edge") << QPoint(450, 125) << 5;
    QTest::newRow("bottom-left") << QPoint(50, 225) << 6;
    QTest::newRow("bottom edge") << QPoint(250, 225) << 7;
    QTest::newRow("bottom-right") << QPoint(450, 225) << 8;
}

void TestWindowFrame::backgroundPaintsNineSlices()
{
    QFETCH(QPoint, point);
    QFETCH(int, region);
    QZVDialog dialog;
    QVERIFY(dialog.setBackgroundImage(nineRegions(nineColors(), QSize(200, 100)), false));
    dialog.resize(500, 250);
    QVERIFY(near(render(dialog).pixelColor(point), nineColors().at(region)));
}

void TestWindowFrame::colourFillWithoutImage()
{
    QZVWidget widget;
    widget.resize(40, 30);
    QVERIFY(near(render(widget).pixelColor(20, 15), QColor(100, 100, 100, 100), 3));
    widget.setBackgrounColor(QColor(255, 255, 0, 20));
    QVERIFY(near(render(widget).pixelColor(20, 15), QColor(255, 255, 0, 20), 13));
}

void TestWindowFrame::unreadableBackgroundChangesNothing()
{
    QZVDialog dialog;
    dialog.resize(120, 90);
    QVERIFY(!dialog.setBackgroundImage(corruptFile(m_dir, "broken.png"), true));
    QVERIFY(!dialog.setBackgroundImage(m_dir.filePath("missing.png"), true));
    QCOMPARE(dialog.size(), QSize(120, 90));
    QCOMPARE(dialog.minimumSize(), QSize(0, 0));
    QVERIFY(near(render(dialog).pixelColor(60, 45), QColor(100, 100, 100, 100), 3));
}

void TestWindowFrame::titleFollowsCurrentWidth()
{
    QZVDialog dialog;
    dialog.setBackgrounColor(Qt::transparent);
    dialog.resize(200, 80);
    dialog.setDlgTitle(QStringLiteral("Title"));
    dialog.setAlignment(Qt::AlignCenter);
    QRect ink = inkBounds(render(dialog));
    QVERIFY(ink.top() >= 0 && ink.bottom() < 20);
    QVERIFY(qAbs(ink.center().x() - 100) <= 3);
    dialog.resize(400, 80);
    ink = inkBounds(render(dialog));
    QVERIFY2(qAbs(ink.center().x() - 200) <= 3, "title centred on the new width");
}

void TestWindowFrame::centerDlgKeepsOnScreen()
{
    QZVMainWindow window;
    showFrameless(window, QRect(0, 100, 100, 300));
    QDialog dialog;
    dialog.resize(300, 100);
    window.CenterDlg(dialog);
    QCOMPARE(dialog.pos(), QPoint(50, 200));
    QWidget other;
    other.resize(20, 20);
    window.CenterDlg(&other);
    QCOMPARE(other.pos(), QPoint(40, 240));
}

void TestWindowFrame::hostsLayOutOnShowAndResize()
{
    CountingHost<QZVDialog> dialog;
    dialog.show();
    QCOMPARE(dialog.layouts >= 1, true);
    const int afterShow = dialog.layouts;
    dialog.hide();
    dialog.show();
    QVERIFY(dialog.layouts > afterShow);
    const int afterSecondShow = dialog.layouts;
    dialog.resize(dialog.width() + 10, dialog.height());
    QCOMPARE(dialog.layouts, afterSecondShow + 1);
}

void TestWindowFrame::windowPosRoundTrip()
{
    QZVMainWindow window;
    QWidget *child = new QWidget(&window);
    QCOMPARE(ZvMacosInterface::getWindowPos(nullptr), QPoint(0, 0));
    QCOMPARE(ZvMacosInterface::getWindowPos(child), QPoint(0, 0));
    showFrameless(window, QRect(100, 120, 300, 200));
    const QPoint origin = ZvMacosInterface::getWindowPos(child);
    QCOMPARE(origin, QPoint(100, 600 - 320));
    QCOMPARE(600 - origin.y() - window.height(), 120);
    QVERIFY2(!child->testAttribute(Qt::WA_NativeWindow), "the query must not make children native");
}

void TestWindowFrame::collapseClosesWindow()
{
    QWidget window;
    window.setMinimumSize(100, 150);
    showFrameless(window, QRect(40, 100, 200, 300));
    QDialogColseAnimation::startCloseGeometryAnimation(window);
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(window.geometry(), QRect(40, 250, 200, 0));
}

void TestWindowFrame::fadeClosesWindow()
{
    QWidget window;
    showFrameless(window, QRect(40, 100, 200, 300));
    QDialogColseAnimation::ColseTransparentAnimation(window);
    QVERIFY(window.isVisible());
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(window.windowOpacity(), 0.0);
}

void TestWindowFrame::fadeSurvivesWindowDeletion()
{
    QPointer<QWidget> window = new QWidget;
    showFrameless(*window, QRect(40, 100, 200, 300));
    QDialogColseAnimation::ColseTransparentAnimation(*window);
    delete window;
    // The animation notices its target is gone and ends itself.
    QTest::qWait(500);
    QVERIFY(window.isNull());
}

GLINTORA_TEST_MAIN(TestWindowFrame)
#include "tst_windowframe.moc"
