#include "mmc.h"
#include "modalwatchdog.h"
#include "qeditdlg.h"
#include "qianyutil.h"
#include "qimagechunk.h"
#include "qimageviewerbtn.h"
#include "qimageviewerdlg.h"
#include "qzvmessagedlg.h"
#include "qzvbasesortmodel.h"
#include "skinfixtures.h"
#include "testhome.h"
#include "testmedia.h"
#include "zvvideoconvertitem.h"

#include <QDir>
#include <QTimer>
#include <QSignalSpy>

namespace {

// Frame k of every generated movie is a solid colour of its own.
QColor frameColor(int k)
{
    return QColor((k * 67) % 256, (k * 131) % 256, (k * 29) % 256);
}

QString movie(const QString &folder, const QString &name, QSize size, int frames)
{
    const QString colours = QStringLiteral("color=s=%1x%2:r=%3:d=1,format=rgb24,geq=r='mod((N+1)*67,256)':g='mod((N+1)*131,256)':b='mod((N+1)*29,256)'")
                                .arg(size.width()).arg(size.height()).arg(frames);
    return TestMedia::encodedClip(folder, name, colours,
                                  {"-c:v", "libx264", "-pix_fmt", "yuv444p", "-qp", "0", "-f", "mp4"});
}

QString frameFolder(const QString &name)
{
    return QIAnyUtil::getAppDataPath() + QStringLiteral("/TemporaryData/") + name;
}

QByteArray readThroughLibrary(const QString &path, int key)
{
    const MMC_Handle image = MMC_ImageOpen(path.toUtf8().constData(), 0);
    MMC_ImageSetKey(image, key);
    QByteArray bytes(int(MMC_ImageGetEncodedSize(image)), Qt::Uninitialized);
    MMC_ImageReadEncoded(image, bytes.data(), uint64_t(bytes.size()));
    MMC_ImageClose(image);
    return bytes;
}

QImageChunk *frameAt(ZvVideoConvertItem &item, int i)
{
    return static_cast<QImageChunk *>(item.frames->at(size_t(i)));
}

QList<int> ticks(ZvVideoConvertItem &item)
{
    QList<int> result;
    for (IBaseChunk *frame : *item.frames)
        result << frame->GetCheck();
    return result;
}

} // namespace

// The frame picker with the real converter: extraction, names, ticks, viewer, failures.
class TestFramePicker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstOpeningExtractsEveryFrame();
    void namesAndThumbnails_data();
    void namesAndThumbnails();
    void ticksKeptOrPutBack_data();
    void ticksKeptOrPutBack();
    void selectAllIsNeverPartial();
    void viewerNavigationAndBox();
    void movieGoneBeforeFirstOpening();
    void closedDuringExtraction_data();
    void closedDuringExtraction();
    void ringStaysUntilExtractionEnds();
    void framesThatCannotBeWritten();

private:
    // Shows the picker for item and waits until its extraction, if any, has ended.
    void openAndSettle(QEditDlg &dialog, ZvVideoConvertItem &item);
    // 300 frames: an extraction that lasts long enough to act on its ring.
    QString longClip();

    QTemporaryDir m_media;
    QString m_clip;
    QString m_longClip;
    ZvVideoConvertItem m_item;
};

void TestFramePicker::initTestCase()
{
    SkinFixtures::initToolkitTestEnvironment();
    m_clip = movie(m_media.path(), QStringLiteral("IMG_0001.MOV"), {160, 120}, 12);
    QVERIFY2(!m_clip.isEmpty(), qPrintable(TestMedia::lastError()));
    QVERIFY(m_item.setVideoPath(m_clip, 0));
}

void TestFramePicker::openAndSettle(QEditDlg &dialog, ZvVideoConvertItem &item)
{
    dialog.setItemInfo(&item);
    dialog.show();
    // The ring runs its own modal loop from a queued call; it ends with the extraction.
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.progressDialog(), 60000);
    QCoreApplication::processEvents();
}

void TestFramePicker::firstOpeningExtractsEveryFrame()
{
    {
        QEditDlg dialog;
        openAndSettle(dialog, m_item);
        QVERIFY(dialog.m_chkSelectAll->isEnabled());
        QCOMPARE(dialog.m_chkSelectAll->checkState(), Qt::Checked);
        QCOMPARE(dialog.sortModel()->rowCount(), 12);
    }
    const QString folder = frameFolder(QStringLiteral("IMG_0001_000"));
    QCOMPARE(int(m_item.frames->size()), 12);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 24);
    for (int k = 1; k <= 12; ++k) {
        QImageChunk *frame = frameAt(m_item, k - 1);
        const QString name = QStringLiteral("%1/IMG_0001_%2").arg(folder, QString::number(k).rightJustified(3, '0'));
        QCOMPARE(frame->GetID(), k);
        QCOMPARE(frame->GetCheck(), 2);
        QCOMPARE(QString::fromStdString(frame->GetImagePath()), name + ".JPG");
        QCOMPARE(QString::fromStdString(frame->GetImage()), name + "_Cover.JPG");
        QFile file(name + ".JPG");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = readThroughLibrary(file.fileName(), m_item.id);
        QCOMPARE(bytes, file.readAll());
        const QImage picture = QImage::fromData(bytes);
        QCOMPARE(picture.size(), QSize(160, 120));
        QVERIFY2(SkinFixtures::near(picture.pixelColor(80, 60), frameColor(k), 8), qPrintable(QString::number(k)));
        QCOMPARE(QImage(name + "_Cover.JPG").size(), QSize(160, 120));
    }
    // A second opening extracts nothing.
    QEditDlg again;
    openAndSettle(again, m_item);
    QCOMPARE(int(m_item.frames->size()), 12);
    QVERIFY(!QFileInfo::exists(frameFolder(QStringLiteral("IMG_0001_001"))));
}

void TestFramePicker::namesAndThumbnails_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("thumbnail");
    QTest::newRow("same name") << "IMG_0001.MOV" << QSize(400, 300) << "IMG_0001_001" << "IMG_0001_001" << QSize(266, 200);
    QTest::newRow("two dots") << "a.b.MOV" << QSize(640, 360) << "a_000" << "a.b_001" << QSize(355, 200);
    QTest::newRow("percent") << "clip%1.MOV" << QSize(360, 640) << "clip%1_000" << "clip%1_001" << QSize(200, 355);
}

void TestFramePicker::namesAndThumbnails()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(QSize, thumbnail);
    QTemporaryDir dir;
    ZvVideoConvertItem item;
    QVERIFY(item.setVideoPath(movie(dir.path(), name, size, 1), 0));
    QEditDlg dialog;
    openAndSettle(dialog, item);
    QCOMPARE(int(item.frames->size()), 1);
    const QString path = frameFolder(folder) + "/" + file;
    QCOMPARE(QString::fromStdString(frameAt(item, 0)->GetImagePath()), path + ".JPG");
    QVERIFY(QFileInfo::exists(path + ".JPG"));
    QCOMPARE(QImage(path + "_Cover.JPG").size(), thumbnail);
}

void TestFramePicker::ticksKeptOrPutBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("restored");
    QTest::newRow("Cancel") << "m_btnCancel" << true;
    QTest::newRow("title close") << "m_btnTitleClose" << true;
    QTest::newRow("Escape") << "" << true;
    QTest::newRow("OK") << "m_btnOK" << false;
}

void TestFramePicker::ticksKeptOrPutBack()
{
    QFETCH(QString, how);
    QFETCH(bool, restored);
    for (IBaseChunk *frame : *m_item.frames)
        frame->SetCheck(2);
    QEditDlg dialog;
    openAndSettle(dialog, m_item);
    for (int row : {3, 4, 5})
        dialog.clickItemCheckState(dialog.sortModel()->index(row, 0), 0);
    QCOMPARE(dialog.m_chkSelectAll->checkState(), Qt::Unchecked);
    if (how.isEmpty())
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        dialog.findChild<QAbstractButton *>(how)->click();
    QVERIFY(!dialog.isVisible());
    QList<int> expected;
    for (int row = 0; row < 12; ++row)
        expected << (restored || row < 3 || row > 5 ? 2 : 0);
    QCOMPARE(ticks(m_item), expected);
    m_item.prepareDatas();
    QCOMPARE(int(m_item.selectedFrames.size()), restored ? 12 : 9);
}

void TestFramePicker::selectAllIsNeverPartial()
{
    QEditDlg dialog;
    openAndSettle(dialog, m_item);
    QCheckBox *all = dialog.m_chkSelectAll;
    for (int row = 0; row < 12; ++row)
        dialog.clickItemCheckState(dialog.sortModel()->index(row, 0), 0);
    QCOMPARE(all->checkState(), Qt::Unchecked);
    for (int row = 0; row < 12; ++row)
        dialog.clickItemCheckState(dialog.sortModel()->index(row, 0), 2);
    QCOMPARE(all->checkState(), Qt::Checked);
    dialog.clickItemCheckState(dialog.sortModel()->index(7, 0), 0);
    QCOMPARE(all->checkState(), Qt::Unchecked);
    all->click();
    QCOMPARE(all->checkState(), Qt::Checked);
    QCOMPARE(ticks(m_item), QList<int>() << 2 << 2 << 2 << 2 << 2 << 2 << 2 << 2 << 2 << 2 << 2 << 2);
    dialog.onOk();
}

void TestFramePicker::viewerNavigationAndBox()
{
    QEditDlg dialog;
    openAndSettle(dialog, m_item);
    dialog.clickItemCheckState(dialog.sortModel()->index(0, 0), 0);
    auto currentRow = [&dialog] { return dialog.m_listView->currentIndex().row(); };
    ModalWatchdog dog;
    dog.expect("QImageViewerDlg", QString(), [&](QWidget *modal) {
        auto *viewer = static_cast<QImageViewerDlg *>(modal);
        QCOMPARE(currentRow(), 11);
        QSignalSpy selected(viewer, &QImageViewerDlg::emitSelected);
        emit viewer->emitNext();
        QCOMPARE(currentRow(), 0);
        QVERIFY(!viewer->buttonBar()->m_cbxSelected->isChecked());
        QCOMPARE(selected.count(), 0);
        viewer->buttonBar()->m_cbxSelected->click();
        QCOMPARE(frameAt(m_item, 0)->GetCheck(), 2);
        emit viewer->emitPrevious();
        QCOMPARE(currentRow(), 11);
        emit viewer->emitPrevious();
        QCOMPARE(currentRow(), 10);
        viewer->buttonBar()->m_cbxSelected->click();
        QCOMPARE(frameAt(m_item, 10)->GetCheck(), 0);
        viewer->close();
    });
    const QModelIndex last = dialog.sortModel()->index(11, 0);
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.m_listView->scrollTo(last);
    // Off the cell's centre, where its open button sits.
    const QPoint spot = dialog.m_listView->visualRect(last).topLeft() + QPoint(12, 12);
    QCOMPARE(dialog.m_listView->indexAt(spot), last);
    QTest::mouseClick(dialog.m_listView->viewport(), Qt::LeftButton, {}, spot);
    QTest::mouseDClick(dialog.m_listView->viewport(), Qt::LeftButton, {}, spot);
    GLINTORA_VERIFY_WATCHDOG(dog);
    QVERIFY(!dialog.openViewer());
    dialog.onClose();
}

void TestFramePicker::movieGoneBeforeFirstOpening()
{
    QTemporaryDir dir;
    const QString path = movie(dir.path(), QStringLiteral("gone.MOV"), {160, 120}, 2);
    ZvVideoConvertItem item;
    QVERIFY(item.setVideoPath(path, 0));
    QVERIFY(QFile::rename(path, path + ".away"));
    {
        // An empty picker says why it is empty.
        QString said;
        ModalWatchdog dog;
        dog.expect("QZVMessageDlg", QString(), ModalWatchdog::inspectThen([&said](QWidget *modal) {
            said = static_cast<QZVMessageDlg *>(modal)->message();
        }, ModalWatchdog::reject()));
        QEditDlg dialog;
        openAndSettle(dialog, item);
        QTRY_COMPARE(said, QStringLiteral("This movie cannot be read: no frame could be taken from it."));
        GLINTORA_VERIFY_WATCHDOG(dog);
        QVERIFY(item.frames->empty());
        QVERIFY(!dialog.m_chkSelectAll->isEnabled());
    }
    QVERIFY(QFile::rename(path + ".away", path));
    QEditDlg dialog;
    openAndSettle(dialog, item);
    QCOMPARE(int(item.frames->size()), 2);
    QCOMPARE(QString::fromStdString(frameAt(item, 0)->GetImagePath()),
             frameFolder(QStringLiteral("gone_001/gone_001.JPG")));
}

void TestFramePicker::closedDuringExtraction_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Cancel") << "m_btnCancel";
    QTest::newRow("OK") << "m_btnOK";
    QTest::newRow("destroyed") << "";
}

void TestFramePicker::closedDuringExtraction()
{
    QFETCH(QString, button);
    ZvVideoConvertItem item;
    QVERIFY(item.setVideoPath(longClip(), 0));
    int kept = 0;
    {
        auto dialog = std::make_unique<QEditDlg>();
        ModalWatchdog dog;
        // The ring refuses to be dismissed; only a teardown ends its run early like this.
        dog.expect("QProgressDlg", QString(), ModalWatchdog::doneWith(QDialog::Rejected));
        dialog->setItemInfo(&item);
        dialog->show();
        QTRY_COMPARE_WITH_TIMEOUT(dog.pendingSteps(), 0, 60000);
        GLINTORA_VERIFY_WATCHDOG(dog);
        QTRY_VERIFY_WITH_TIMEOUT(item.frames->size() >= 3, 60000);
        dialog->m_listView->scrollToBottom();
        QTest::mouseMove(dialog->m_listView->viewport(), QPoint(20, 20));
        if (!button.isEmpty())
            dialog->findChild<QAbstractButton *>(button)->click();
        dialog.reset();
        kept = int(item.frames->size());
    }
    QVERIFY(kept >= 3);
    for (int i = 0; i < kept; ++i) {
        QCOMPARE(frameAt(item, i)->GetID(), i + 1);
        QVERIFY(QFileInfo::exists(QString::fromStdString(frameAt(item, i)->GetImagePath())));
    }
    QEditDlg later;
    openAndSettle(later, item);
    QCOMPARE(int(item.frames->size()), kept);
    QCOMPARE(later.sortModel()->rowCount(), kept);
}

QString TestFramePicker::longClip()
{
    if (m_longClip.isEmpty())
        m_longClip = movie(m_media.path(), QStringLiteral("long.MOV"), {640, 480}, 300);
    return m_longClip;
}

// Escape and the window manager's close leave the extraction ring up: the item gets
// every frame, never a part that later openings would take for the whole.
void TestFramePicker::ringStaysUntilExtractionEnds()
{
    ZvVideoConvertItem item;
    QVERIFY(item.setVideoPath(longClip(), 0));
    QEditDlg dialog;
    ModalWatchdog dog;
    bool stayed = false;
    dog.expect("QProgressDlg", QString(), [&stayed](QWidget *ring) {
        QTest::keyClick(ring, Qt::Key_Escape);
        ring->close();
        stayed = ring->isVisible();
    });
    dog.expectSelfClosing("QProgressDlg");
    openAndSettle(dialog, item);
    GLINTORA_VERIFY_WATCHDOG(dog);
    QVERIFY(stayed);
    QCOMPARE(int(item.frames->size()), 300);
}

// A frame file name longer than a file system allows: every frame write fails, the job
// fails, and the user is told once.
void TestFramePicker::framesThatCannotBeWritten()
{
    QTemporaryDir dir;
    const QString name = QStringLiteral("x.") + QString(248, QLatin1Char('n')) + QStringLiteral(".MOV");
    ZvVideoConvertItem item;
    QVERIFY(item.setVideoPath(movie(dir.path(), name, {160, 120}, 3), 0));
    QStringList messages;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&messages] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QZVMessageDlg *>(modal)) {
            messages << box->message();
            box->reject();
        }
    });
    answer.start(10);
    {
        QEditDlg dialog;
        openAndSettle(dialog, item);
        QTRY_VERIFY(!messages.isEmpty());
        QVERIFY(messages.contains(QStringLiteral("Not every frame of this movie could be extracted.")));
        QVERIFY(item.frames->empty());
        QVERIFY(!dialog.m_chkSelectAll->isEnabled());
    }
    QEditDlg again;
    openAndSettle(again, item);
    QVERIFY(QFileInfo::exists(frameFolder(QStringLiteral("x_001"))));
}

GLINTORA_TEST_MAIN(TestFramePicker)
#include "tst_framepicker.moc"
