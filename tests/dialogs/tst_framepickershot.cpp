#include "modalwatchdog.h"
#include "qeditdlg.h"
#include "qzvbasesortmodel.h"
#include "screenshotfolder.h"
#include "skinfixtures.h"
#include "testhome.h"
#include "testmedia.h"
#include "zvvideoconvertitem.h"

// Saves a picture of the frame picker as the X11 platform draws it: three frames
// unticked and the mouse over a fourth. Run by scripts/screenshot.
class TestFramePickerShot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(ScreenshotFolder::prepareScreen()); }
    void shot();
};

void TestFramePickerShot::shot()
{
    QTemporaryDir media;
    const QString clip = TestMedia::encodedClip(
        media.path(), QStringLiteral("IMG_0001.MOV"),
        QStringLiteral("color=s=160x120:r=12:d=1,format=rgb24,geq=r='mod((N+1)*67,256)':g='mod((N+1)*131,256)':b='mod((N+1)*29,256)'"),
        {"-c:v", "libx264", "-pix_fmt", "yuv444p", "-qp", "0", "-f", "mp4"});
    ZvVideoConvertItem item;
    QVERIFY(item.setVideoPath(clip, 0));
    QEditDlg dialog;
    dialog.setItemInfo(&item);
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.progressDialog() && !item.frames->empty(), 60000);
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (int row : {2, 5, 9})
        dialog.clickItemCheckState(dialog.sortModel()->index(row, 0), 0);
    const QRect cell = dialog.m_listView->visualRect(dialog.sortModel()->index(6, 0));
    SkinFixtures::sendMouse(*dialog.m_listView->viewport(), QEvent::MouseMove, cell.topLeft() + QPoint(20, 20),
                            Qt::NoButton, Qt::NoButton);
    QVERIFY(ScreenshotFolder::saveFromScreen(&dialog, QStringLiteral("framepicker.png")));

    ModalWatchdog dog;
    dog.expect(QStringLiteral("QImageViewerDlg"), QString(),
               ModalWatchdog::inspectThen(
                   [](QWidget *viewer) {
                       QVERIFY(QTest::qWaitForWindowExposed(viewer));
                       QTest::qWait(200);
                       QVERIFY(ScreenshotFolder::saveFromScreen(viewer, QStringLiteral("frameviewer.png")));
                   },
                   ModalWatchdog::reject()));
    dialog.OpenImage(dialog.sortModel()->index(6, 0));
    GLINTORA_VERIFY_WATCHDOG(dog);
}

GLINTORA_TEST_MAIN(TestFramePickerShot)
#include "tst_framepickershot.moc"
