#include "qianyutil.h"
#include "qzvbasebutton.h"
#include "qzvdialogex.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QPointer>
#include <QSignalSpy>

using namespace SkinFixtures;

namespace {

QString titleImage(const char *name)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(name);
}

class CountingDialog : public QZVDialogEx
{
public:
    void resetControlLocation() override { ++layouts; }
    int layouts = 0;
};

QList<QZVBaseButton *> titleButtons(QWidget &dialog, const QString &name)
{
    return dialog.findChildren<QZVBaseButton *>(name);
}

}

// The frame shared by the modal dialogs: title buttons, fixed size, layout hook.
class TestDialogFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void secondCloseButtonReplacesFirst();
    void hiddenTitleButtonStaysHidden();
    void titleButtonsPlaceAndState_data();
    void titleButtonsPlaceAndState();
    void restoreButtonIsNeverMade();
    void layoutRunsOncePerShowAndResize();
    void edgeDragDoesNotResize();
};

void TestDialogFrame::initTestCase()
{
    initToolkitTestEnvironment();
}

void TestDialogFrame::secondCloseButtonReplacesFirst()
{
    QZVDialogEx dialog;
    dialog.addCloseBtn(titleImage("/image/btn_close.png"), true);
    QPointer<QZVBaseButton> first = titleButtons(dialog, "m_btnTitleClose").value(0);
    QVERIFY(first);
    int firstClicks = 0;
    connect(first, &QAbstractButton::clicked, [&firstClicks] { ++firstClicks; });

    dialog.addCloseBtn(titleImage("/image/btn_close.png"), true);
    QVERIFY(!first);
    const QList<QZVBaseButton *> buttons = titleButtons(dialog, "m_btnTitleClose");
    QCOMPARE(buttons.size(), 1);
    QSignalSpy clicked(buttons.first(), &QAbstractButton::clicked);
    buttons.first()->click();
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(firstClicks, 0);
}

void TestDialogFrame::hiddenTitleButtonStaysHidden()
{
    QZVDialogEx dialog;
    dialog.addCloseBtn(titleImage("/image/btn_close.png"), false);
    dialog.addMinBtn(titleImage("/image/btn_min.png"), true);
    dialog.resize(200, 100);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!titleButtons(dialog, "m_btnTitleClose").first()->isVisible());
    QVERIFY(titleButtons(dialog, "m_btnTitleMin").first()->isVisible());
}

void TestDialogFrame::titleButtonsPlaceAndState_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("close") << "m_btnTitleClose" << QPoint(16, 13) << true << "Close";
    QTest::newRow("minimise") << "m_btnTitleMin" << QPoint(36, 13) << false << "";
    QTest::newRow("maximise") << "m_btnTitleMax" << QPoint(56, 13) << false << "";
}

void TestDialogFrame::titleButtonsPlaceAndState()
{
    QFETCH(QString, name);
    QFETCH(QPoint, position);
    QFETCH(bool, enabled);
    QFETCH(QString, toolTip);
    QZVDialogEx dialog;
    dialog.addCloseBtn(titleImage("/image/btn_close.png"), true);
    dialog.addMinBtn(titleImage("/image/btn_min.png"), true);
    dialog.addMaxBtn(titleImage("/image/btn_max.png"), true);
    QZVBaseButton *button = titleButtons(dialog, name).value(0);
    QVERIFY(button);
    QCOMPARE(button->pos(), position);
    // Sized from one frame of the 14 x 14 title strips.
    QCOMPARE(button->size(), QSize(14, 14));
    QCOMPARE(button->isEnabled(), enabled);
    QCOMPARE(button->toolTip(), toolTip);
}

void TestDialogFrame::restoreButtonIsNeverMade()
{
    QZVDialogEx dialog;
    dialog.addRestoreBtn(titleImage("/image/btn_restore.png"), true);
    QVERIFY(dialog.findChildren<QZVBaseButton *>().isEmpty());
}

void TestDialogFrame::layoutRunsOncePerShowAndResize()
{
    CountingDialog dialog;
    dialog.resize(200, 100);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    int before = dialog.layouts;
    dialog.resize(240, 120);
    QCOMPARE(dialog.layouts, before + 1);
    dialog.hide();
    before = dialog.layouts;
    dialog.show();
    QCOMPARE(dialog.layouts, before + 1);
}

void TestDialogFrame::edgeDragDoesNotResize()
{
    QZVDialogEx dialog;
    dialog.setWindowFlags(Qt::FramelessWindowHint);
    dialog.setGeometry(100, 100, 300, 200);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint rightEdge(399, 200);
    sendGlobalMouse(dialog, QEvent::MouseMove, rightEdge, Qt::NoButton, Qt::NoButton);
    QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);
    sendGlobalMouse(dialog, QEvent::MouseButtonPress, rightEdge, Qt::LeftButton, Qt::LeftButton);
    sendGlobalMouse(dialog, QEvent::MouseMove, rightEdge + QPoint(40, 0), Qt::NoButton, Qt::LeftButton);
    sendGlobalMouse(dialog, QEvent::MouseButtonRelease, rightEdge + QPoint(40, 0), Qt::LeftButton,
                    Qt::NoButton);
    QCOMPARE(dialog.size(), QSize(300, 200));
}

GLINTORA_TEST_MAIN(TestDialogFrame)
#include "tst_dialogframe.moc"
