#include "mmc.h"
#include "qeditlistdelegate.h"
#include "qeditmodel.h"
#include "qimagechunk.h"
#include "qimageviewer.h"
#include "qimageviewerbtn.h"
#include "qimageviewerdlg.h"
#include "qprogressdlg.h"
#include "qzvbasebutton.h"
#include "qzvbaseprogress.h"
#include "qzvimageviewer.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>

namespace {

constexpr int kKey = 123456;

// A JPEG of one colour written through the codec library's image calls under kKey.
QString writeFrame(const QTemporaryDir &dir, const QString &name, const QColor &color, QSize size = {160, 120})
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    SkinFixtures::solid(size, color).save(&buffer, "JPG");
    const QString path = dir.filePath(name);
    const MMC_Handle image = MMC_ImageOpen(path.toUtf8().constData(), 1);
    MMC_ImageSetKey(image, kKey);
    MMC_ImageWriteFrame(image, bytes.constData(), uint32_t(bytes.size()));
    MMC_ImageClose(image);
    return path;
}

std::unique_ptr<QImageChunk> frameRecord(const QString &thumbnail, const QString &frame, int id, int check)
{
    auto record = std::make_unique<QImageChunk>();
    record->SetCheck(check);
    record->SetID(id);
    record->setImage(thumbnail.toStdString());
    record->setImagePath(frame.toStdString());
    return record;
}

QColor centreOf(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

// Frame records, the frame grid's model and painter, the ring, the zooming view, the
// scrollable image dialog and the frame viewer, driven with frames made here.
class TestFrameViewer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recordAndModel();
    void hoverDarkensImageArea();
    void progressRing();
    void zoomingViewShowsFittedPicture();
    void scrollableImageDialog();
    void viewerLayoutAndBox();
    void viewerReading_data();
    void viewerReading();
    void viewerFullScreen();

private:
    QTemporaryDir m_dir;
};

void TestFrameViewer::initTestCase()
{
    SkinFixtures::initToolkitTestEnvironment();
    QVERIFY(m_dir.isValid());
}

void TestFrameViewer::recordAndModel()
{
    QImageChunk fresh;
    QCOMPARE(fresh.GetCheck(), 0);
    QCOMPARE(fresh.GetImagePath(), std::string());

    std::vector<IBaseChunk *> frames;
    QEditModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setItemSize(80, 80);
    model.setDatas(&frames);
    std::vector<std::unique_ptr<QImageChunk>> owned;
    for (int id = 1; id <= 3; ++id) {
        owned.push_back(frameRecord(QStringLiteral("/t/%1_Cover.JPG").arg(id), QStringLiteral("/t/%1.JPG").arg(id), id, 2));
        frames.push_back(owned.back().get());
        model.insertRefeshLastRow();
    }
    model.loadAllData();
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 1);
    QImageChunk *second = owned[1].get();
    QCOMPARE(second->GetCheck(), 2);
    QCOMPARE(second->GetID(), 2);
    QCOMPARE(second->GetImagePath(), std::string("/t/2.JPG"));
    QCOMPARE(second->GetTitle(), std::string());
    QCOMPARE(second->getThumbnailImage(), std::string());
    const QModelIndex index = model.index(1, 0);
    QCOMPARE(model.data(index, Qt::SizeHintRole).toSize(), QSize(80, 80));
    QCOMPARE(model.data(index, Qt::DecorationRole).toString(), QStringLiteral("/t/2_Cover.JPG"));
    QCOMPARE(model.data(QModelIndex(), Qt::DecorationRole), QVariant());
}

void TestFrameViewer::hoverDarkensImageArea()
{
    const QColor red(200, 40, 40);
    const QString thumbnail = SkinFixtures::save(m_dir, QStringLiteral("thumb.png"), SkinFixtures::solid({160, 160}, red));
    std::vector<IBaseChunk *> frames;
    auto record = frameRecord(thumbnail, QString(), 1, 2);
    frames.push_back(record.get());
    QEditModel model;
    model.setDatas(&frames);
    model.loadAllData();
    QEditListDelegate delegate;
    delegate.setImageMargins(1, 1, 1, 1);
    delegate.setImageDrawType(QBaseIconListDelegate::Stretched);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 80, 80);
    auto paint = [&](int hoverRow) {
        delegate.setHoverRow(hoverRow);
        QImage image(80, 80, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        delegate.drawImage(&painter, option, model.index(0, 0));
        return image;
    };
    QImage expected(1, 1, QImage::Format_ARGB32);
    expected.fill(red);
    QPainter(&expected).fillRect(0, 0, 1, 1, QColor(32, 32, 32, 156));
    const QImage hovered = paint(0);
    const QImage plain = paint(-1);
    QVERIFY(SkinFixtures::near(hovered.pixelColor(40, 40), expected.pixelColor(0, 0)));
    QVERIFY(SkinFixtures::near(hovered.pixelColor(1, 1), expected.pixelColor(0, 0)));
    QCOMPARE(hovered.pixelColor(0, 0), plain.pixelColor(0, 0));
    QVERIFY(SkinFixtures::near(plain.pixelColor(40, 40), red));
}

void TestFrameViewer::progressRing()
{
    QProgressDlg dialog;
    QCOMPARE(dialog.size(), QSize(120, 120));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *ring = dialog.findChild<QZVBaseProgress *>();
    QVERIFY(ring);
    QCOMPARE(ring->geometry(), QRect(20, 20, 80, 80));
    for (int percent : {0, 37, 100}) {
        dialog.setValue(percent);
        QCOMPARE(ring->value(), double(percent));
    }
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QCOMPARE(ring->palette().color(group, QPalette::Highlight), QColor(53, 53, 53));
        QCOMPARE(ring->palette().color(group, QPalette::WindowText), QColor(53, 53, 53));
    }
}

void TestFrameViewer::zoomingViewShowsFittedPicture()
{
    QZVImageViewer viewer;
    viewer.resize(400, 300);
    QVERIFY(!viewer.setImage(m_dir.filePath(QStringLiteral("missing.png"))));
    viewer.zoomIN(1.25); // nothing to zoom yet
    QCOMPARE(viewer.scale(), 1.0);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QVERIFY(viewer.setImage(SkinFixtures::solid({200, 100}, Qt::blue)));
    auto *area = viewer.findChild<QScrollArea *>();
    QCOMPARE(area->geometry(), viewer.rect());
    QCOMPARE(area->verticalScrollBar()->width(), 8);
    QCOMPARE(area->horizontalScrollBar()->height(), 8);
    // 200 x 100 fitted into 400 x 300 is 400 x 200, centred: rows 50 to 249.
    const QImage shot = viewer.grab().toImage();
    QVERIFY(SkinFixtures::near(shot.pixelColor(200, 52), Qt::blue));
    QVERIFY(SkinFixtures::near(shot.pixelColor(200, 247), Qt::blue));
    QVERIFY(SkinFixtures::near(shot.pixelColor(200, 47), QColor(242, 242, 242)));
    QVERIFY(SkinFixtures::near(shot.pixelColor(200, 252), QColor(242, 242, 242)));
    QVERIFY(!viewer.setImage(QImage()));
    QVERIFY(SkinFixtures::near(viewer.grab().toImage().pixelColor(200, 150), Qt::blue));
}

void TestFrameViewer::scrollableImageDialog()
{
    QImageViewer dialog;
    QCOMPARE(dialog.size(), QSize(760, 580));
    dialog.scaleImage(1.25); // no picture yet: nothing happens
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *area = dialog.findChild<QScrollArea *>();
    QCOMPARE(area->geometry(), dialog.rect().adjusted(9, 30, -9, -58));
    auto *label = qobject_cast<QLabel *>(area->widget());
    label->setPixmap(QPixmap::fromImage(SkinFixtures::solid({101, 51}, Qt::green)));
    dialog.scaleImage(1.25);
    QCOMPARE(label->size(), QSize(qRound(101 * 1.25), qRound(51 * 1.25)));
}

void TestFrameViewer::viewerLayoutAndBox()
{
    QImageViewerDlg dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("QImageViewerDlg"));
    QCOMPARE(dialog.size(), QSize(924, 700));
    QCOMPARE(dialog.m_imageViewer->geometry(), QRect(8, 30, 908, 612));
    QCOMPARE(dialog.buttonBar()->geometry(), QRect(8, 642, 908, 50));
    QSignalSpy selected(&dialog, &QImageViewerDlg::emitSelected);
    auto ticked = frameRecord(QString(), writeFrame(m_dir, QStringLiteral("a.JPG"), Qt::red), 1, 2);
    auto unticked = frameRecord(QString(), writeFrame(m_dir, QStringLiteral("b.JPG"), Qt::blue), 2, 0);
    dialog.setImageChunkAndKey(ticked.get(), kKey);
    QVERIFY(dialog.buttonBar()->m_cbxSelected->isChecked());
    dialog.setImageChunkAndKey(unticked.get(), kKey);
    QVERIFY(!dialog.buttonBar()->m_cbxSelected->isChecked());
    QCOMPARE(selected.count(), 0);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.buttonBar()->m_cbxSelected, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0).at(0).toBool(), true);
}

void TestFrameViewer::viewerReading_data()
{
    QTest::addColumn<QString>("path");
    const QString empty = m_dir.filePath(QStringLiteral("empty.JPG"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString garbage = SkinFixtures::corruptFile(m_dir, QStringLiteral("garbage.JPG"));
    QFile huge(m_dir.filePath(QStringLiteral("huge.JPG")));
    huge.open(QIODevice::WriteOnly);
    huge.resize(64ll * 1024 * 1024 + 1);
    QTest::newRow("empty") << empty;
    QTest::newRow("not a picture") << garbage;
    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("none.JPG"));
    QTest::newRow("above the cap") << huge.fileName();
}

void TestFrameViewer::viewerReading()
{
    QFETCH(QString, path);
    QImageViewerDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto first = frameRecord(QString(), writeFrame(m_dir, QStringLiteral("red.JPG"), Qt::red), 1, 2);
    dialog.setImageChunkAndKey(first.get(), kKey);
    QVERIFY(SkinFixtures::near(centreOf(*dialog.m_imageViewer), Qt::red, 8));
    dialog.onBlowdown();
    QVERIFY(dialog.m_imageViewer->scale() < 1.0);
    auto bad = frameRecord(QString(), path, 2, 2);
    dialog.setImageChunk(bad.get());
    QVERIFY(SkinFixtures::near(centreOf(*dialog.m_imageViewer), Qt::red, 8));
    auto next = frameRecord(QString(), writeFrame(m_dir, QStringLiteral("green.JPG"), Qt::green), 3, 2);
    dialog.setImageChunk(next.get());
    QCOMPARE(dialog.m_imageViewer->scale(), 1.0);
    QVERIFY(SkinFixtures::near(centreOf(*dialog.m_imageViewer), Qt::green, 8));
}

void TestFrameViewer::viewerFullScreen()
{
    QImageViewerDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect normal = dialog.geometry();
    QImageViewerBtn *bar = dialog.buttonBar();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (bool byDoubleClick : {false, true}) {
        if (byDoubleClick)
            QTest::mouseDClick(&dialog, Qt::LeftButton, {}, QPoint(400, 300));
        else
            bar->m_btnFullScreen->click();
        QTRY_COMPARE(dialog.size(), screen.size());
        QCOMPARE(dialog.m_imageViewer->geometry(), QRect(QPoint(0, 0), screen.size()));
        QVERIFY(bar->m_btnFullScreen->isHidden());
        QVERIFY(!bar->m_btnNormalScreen->isHidden());
        for (auto *title : dialog.findChildren<QZVBaseButton *>())
            if (title->parent() == &dialog)
                QVERIFY(title->isHidden());
        const int h = dialog.height();
        QCursor::setPos(dialog.mapToGlobal(QPoint(10, h - 49)));
        QTRY_VERIFY(!bar->isHidden());
        QCursor::setPos(dialog.mapToGlobal(QPoint(10, h - 50)));
        QTRY_VERIFY(bar->isHidden());
        QCursor::setPos(dialog.mapToGlobal(QPoint(10, h - 49)));
        QTRY_VERIFY(!bar->isHidden());
        QCursor::setPos(dialog.mapToGlobal(QPoint(10, h)));
        QTRY_VERIFY(bar->isHidden());
        if (byDoubleClick)
            QTest::mouseDClick(&dialog, Qt::LeftButton, {}, QPoint(400, 300));
        else
            bar->m_btnNormalScreen->click();
        QTRY_COMPARE(dialog.geometry(), normal);
        QVERIFY(!bar->m_btnFullScreen->isHidden());
        QVERIFY(bar->m_btnNormalScreen->isHidden());
        QVERIFY(!dialog.isFullScreenMode());
    }
}

GLINTORA_TEST_MAIN(TestFrameViewer)
#include "tst_frameviewer.moc"
