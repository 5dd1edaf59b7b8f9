#include "listfixture.h"
#include "mainwindow.h"
#include "md5.h"
#include "photoconverterinfo.h"
#include "qconverteroperate.h"
#include "qeditdlg.h"
#include "qianyutil.h"
#include "qmaindlg.h"
#include "qvideosettingxml.h"
#include "qconverterprogresswgt.h"
#include "qzvmessagedlg.h"
#include "convertedinfo.h"
#include "testhome.h"
#include "videoconvertbar.h"
#include "qzvbasesortmodel.h"
#include "qzvmenu.h"
#include "zvvideoconvertitem.h"
#include "zvcommoninterface.h"
#include "zvvideoconvertmanager.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>

#include <algorithm>
#include <memory>

using Power = ZvCommonInterface::PowerAction;

class TestListBatch : public QObject
{
    Q_OBJECT

private:
    PhotoConverterInfo m_output;
    QString m_live;
    QString m_root;
    QStringList m_power;
    int m_cases = 0;

    QString freshFolder()
    {
        const QString folder = QDir::tempPath() + QStringLiteral("/batch%1").arg(++m_cases);
        QDir().mkpath(folder);
        return folder;
    }

    void choose(const char *format)
    {
        m_output.format = QString::fromLatin1(format);
        m_output.extension = QString::fromLatin1(format);
    }

    // A pane with one row per name, wired as the main window wires it.
    std::unique_ptr<QMainDlg> paneWith(const QStringList &names, const QString &movie = QString())
    {
        const QString folder = freshFolder();
        QStringList paths;
        for (const QString &name : names) {
            paths << folder + QLatin1Char('/') + name;
            QFile::copy(movie.isEmpty() ? m_live : movie, paths.last());
        }
        auto pane = std::make_unique<QMainDlg>();
        QObject::connect(pane.get(), &QMainDlg::emitIsStartConverter, pane.get(), &QMainDlg::startConverterChange);
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        pane->addImportFile(paths);
        [&] { QTRY_COMPARE(pane->rows().size(), names.size()); }();
        return pane;
    }

    static void setAfterBatch(const QString &value)
    {
        QVideoSettingXml::GetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "0"); // makes the settings file
        QVideoSettingXml::SetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", value);
    }

    // The message a batch that failed rows ends with; its text goes to failures.
    static void expectFailures(ModalWatchdog &dog, QString &failures)
    {
        dog.expect("QZVMessageDlg", QString(), ModalWatchdog::inspectThen([&failures](QWidget *modal) {
            failures = static_cast<QZVMessageDlg *>(modal)->message();
        }, ModalWatchdog::reject()));
    }

    static QString thumbnailOf(const QString &output)
    {
        return QIAnyUtil::getAppDataPath() + "/Temp/"
               + QString::fromStdString(MD5(output.toUtf8().toStdString()).hexdigest()) + ".JPG";
    }

private slots:
    void initTestCase()
    {
        const QString media = freshFolder();
        m_live = ListFixture::movie(media, "live.mov");
        QVERIFY2(!m_live.isEmpty(), qPrintable(TestMedia::lastError()));
        QConverterOperate::g_converterInfo = &m_output;
        ZvCommonInterface::setPowerHandler(
            [this](Power action) { m_power << (action == Power::Sleep ? "sleep" : "down"); });
    }

    void cleanupTestCase()
    {
        ZvCommonInterface::setPowerHandler({});
        QConverterOperate::g_converterInfo = nullptr;
    }

    void init()
    {
        MainWindow::resetStaticsForTests();
        m_root = freshFolder() + "/out/";
        QConverterOperate::setConverterPath(m_root);
        m_power.clear();
        choose("gif");
    }

    // ok, failed, ok: two records with thumbnails, the failed row stays, one sleep.
    void okFailOk()
    {
        setAfterBatch("1");
        auto pane = paneWith({"a.mov", "b.mov", "c.mov"});
        QFile::remove(pane->rows().at(1)->getVideoPath());
        // An earlier output of the same name, deleted since, left its picture behind.
        QDir().mkpath(QFileInfo(thumbnailOf(m_root + "a.gif")).path());
        QFile stale(thumbnailOf(m_root + "a.gif"));
        QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("earlier output") > 0);
        stale.close();
        QSignalSpy finished(pane.get(), &QMainDlg::emitConvertedFinish);
        QSignalSpy converting(pane.get(), &QMainDlg::emitIsStartConverter);
        QSignalSpy ring(pane->findChild<QConverterProgressWgt *>()->m_progress, &QZVBaseProgress::valueChanged);
        QString failures;
        ModalWatchdog dog;
        expectFailures(dog, failures);
        pane->OnStartToCoverter();
        QTRY_VERIFY_WITH_TIMEOUT(!converting.isEmpty() && !converting.last().first().toBool(), 120000);
        QTRY_VERIFY(!failures.isEmpty());
        QVERIFY2(failures.endsWith("\n\nb.mov: The movie cannot be read."), qPrintable(failures));
        QCOMPARE(finished.count(), 2);

        // Each of the three rows owns a third of the ring; it is put back to 0 when hidden.
        QList<double> values;
        for (const QList<QVariant> &change : qAsConst(ring))
            values << change.first().toDouble();
        while (!values.isEmpty() && values.last() == 0)
            values.removeLast();
        QVERIFY(!values.isEmpty());
        QVERIFY(std::is_sorted(values.cbegin(), values.cend()));
        QVERIFY(values.last() >= 66 && values.last() <= 100);

        QList<convertedInfo *> records;
        QVideoSettingXml::analysisConvertedInfo(&records);
        const auto ofThisBatch = [this](const convertedInfo *record) { return record->convertedPath.startsWith(m_root); };
        QCOMPARE(std::count_if(records.cbegin(), records.cend(), ofThisBatch), 2);
        const auto a = std::find_if(records.cbegin(), records.cend(),
                                    [this](const convertedInfo *record) { return record->convertedPath == m_root + "a.gif"; });
        QVERIFY(a != records.cend());
        const convertedInfo *first = *a;
        QCOMPARE(first->title, QString("a"));
        QCOMPARE(first->format, QString("GIF"));
        QCOMPARE(first->resolution, QString("64x48"));
        QVERIFY(QDateTime::fromString(first->createTime, "yyyy.MM.dd hh:mm:ss").isValid());
        QCOMPARE(first->imgPath, thumbnailOf(m_root + "a.gif"));
        qDeleteAll(records);
        QCOMPARE(pane->rows().size(), 1);
        QCOMPARE(pane->rows().first()->getConvertState(), int(BarFailed));
        QCOMPARE(ZvVideoConvertManager::getConvertManagerObject()->GetItem(0), pane->rows().first()->videoItem());
        QVERIFY(QFileInfo::exists(m_root + "a.gif") && QFileInfo::exists(m_root + "c.gif"));
        QVERIFY(!QFileInfo::exists(m_root + "b.gif"));
        QCOMPARE(QImage(thumbnailOf(m_root + "a.gif")).size(), QSize(200, 150));
        QCOMPARE(m_power, QStringList({"sleep"}));
    }

    // Stills take the movie's name, "%1" included; a failed still job leaves nothing behind.
    void stillNamesAndCleanup()
    {
        setAfterBatch("0");
        choose("png");
        auto pane = paneWith({"clip%1.mov"});
        QDir().mkpath(m_root);
        QFile(m_root + "mine.txt").open(QIODevice::WriteOnly);
        pane->OnStartToCoverter();
        QTRY_VERIFY_WITH_TIMEOUT(pane->rows().isEmpty(), 120000);
        QVERIFY(QFileInfo::exists(m_root + "clip%1/clip%1_001.png"));
        QVERIFY(QFileInfo::exists(thumbnailOf(m_root + "clip%1/")));
        QVERIFY(m_power.isEmpty());

        auto failing = paneWith({"gone.mov"});
        QFile::remove(failing->rows().first()->getVideoPath());
        QString failures;
        ModalWatchdog dog;
        expectFailures(dog, failures);
        failing->OnStartToCoverter();
        QTRY_COMPARE_WITH_TIMEOUT(failing->rows().first()->getConvertState(), int(BarFailed), 120000);
        QTRY_VERIFY(failures.contains("gone.mov: "));
        QVERIFY(!QFileInfo::exists(m_root + "gone"));
        QVERIFY(QFileInfo::exists(m_root + "mine.txt"));
        QVERIFY(QFileInfo::exists(m_root + "clip%1"));
    }

    // A stopped animation leaves alone a file that appeared under its name meanwhile.
    void stopKeepsAFileTheJobNeverWrote()
    {
        setAfterBatch("0");
        const QString longer = ListFixture::movie(freshFolder(), "long.mov", 10.0);
        QVERIFY2(!longer.isEmpty(), qPrintable(TestMedia::lastError()));
        auto pane = paneWith({"kept.mov"}, longer);
        pane->OnStartToCoverter();
        pane->OnConverterTimer();
        VideoConvertBar *row = pane->rows().first();
        QCOMPARE(row->getConvertState(), int(BarConverting));
        QSignalSpy reported(row, &VideoConvertBar::emitConvertedFinish);
        QFile placed(row->getOutputPath());
        QVERIFY(placed.open(QIODevice::WriteOnly) && placed.write("mine") == 4);
        placed.close();
        pane->OnStopConvert();
        QTRY_COMPARE_WITH_TIMEOUT(reported.count(), 1, 120000);
        QCOMPARE(row->getConvertState(), int(BarIdle));
        QVERIFY(placed.open(QIODevice::ReadOnly) && placed.readAll() == "mine");
    }

    // Something put under the output's name while the job ran keeps it: the output lands
    // under the next free name, which the history records. Stills have no folder under
    // their name before the last one is written.
    void outputTakesTheNextFreeName_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("gif") << QByteArray("gif") << "taken.gif" << "taken(1).gif";
        QTest::newRow("stills") << QByteArray("png") << "taken/mine.txt" << "taken(1)/";
    }

    void outputTakesTheNextFreeName()
    {
        QFETCH(QByteArray, format);
        QFETCH(QString, planted);
        QFETCH(QString, recorded);
        setAfterBatch("0");
        choose(format.constData());
        const QString longer = ListFixture::movie(freshFolder(), "long.mov", 10.0);
        QVERIFY2(!longer.isEmpty(), qPrintable(TestMedia::lastError()));
        auto pane = paneWith({"taken.mov"}, longer);
        pane->OnStartToCoverter();
        pane->OnConverterTimer();
        QCOMPARE(pane->rows().first()->getConvertState(), int(BarConverting));
        const QString output = m_root + planted.section(QLatin1Char('/'), 0, 0);
        QVERIFY(!QFileInfo::exists(output));
        QDir().mkpath(QFileInfo(m_root + planted).path());
        QFile mine(m_root + planted);
        QVERIFY(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
        mine.close();
        QTRY_VERIFY_WITH_TIMEOUT(pane->rows().isEmpty(), 120000);
        QVERIFY(mine.open(QIODevice::ReadOnly) && mine.readAll() == "mine");
        QVERIFY(QFileInfo::exists(format == "gif" ? m_root + recorded : m_root + recorded + "taken_001.png"));
        QList<convertedInfo *> records;
        QVideoSettingXml::analysisConvertedInfo(&records);
        QVERIFY(std::any_of(records.cbegin(), records.cend(),
                            [&](const convertedInfo *record) { return record->convertedPath == m_root + recorded; }));
        qDeleteAll(records);
    }

    // Stills of a partly ticked item are the ticked frames, read from the frame files.
    void pickedFramesOnly()
    {
        setAfterBatch("0");
        choose("png");
        auto pane = paneWith({"pick.mov"});
        ZvVideoConvertItem *item = pane->rows().first()->videoItem();
        {
            QEditDlg picker(pane.get());
            picker.setItemInfo(item);
            picker.show();
            QTRY_VERIFY_WITH_TIMEOUT(!picker.progressDialog() && !item->frames->empty(), 60000);
            for (int row : {3, 4, 5})
                picker.clickItemCheckState(picker.sortModel()->index(row, 0), 0);
            picker.onOk();
        }
        const int frames = int(item->frames->size());
        QVERIFY(frames > 6);
        pane->OnStartToCoverter();
        QTRY_VERIFY_WITH_TIMEOUT(pane->rows().isEmpty(), 120000);
        QCOMPARE(QDir(m_root + "pick").entryList({"*.png"}, QDir::Files).size(), frames - 3);
    }

    // The row menu's Convert is a batch of that row alone, on the Convert button's road:
    // progress, the after-batch action and a history record that names the format as the
    // format popup does.
    void rowMenuConvertsThatRowAlone()
    {
        setAfterBatch("1");
        m_output.format = "jpeg";
        m_output.extension = "jpg";
        auto pane = paneWith({"a.mov", "b.mov"});
        pane->resize(600, 400);
        pane->show();
        const auto rows = pane->rows();
        QSignalSpy converting(pane.get(), &QMainDlg::emitIsStartConverter);
        QSignalSpy finished(pane.get(), &QMainDlg::emitConvertedFinish);
        QTest::mousePress(rows.at(1), Qt::RightButton);
        QTRY_VERIFY(pane->contextMenu()->isVisible());
        QVERIFY(ListFixture::chooseFromMenu(pane->contextMenu(), "Convert"));
        QTRY_VERIFY_WITH_TIMEOUT(converting.size() == 2, 120000);
        QCOMPARE(converting.first().first().toBool(), true);
        QCOMPARE(converting.last().first().toBool(), false);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(pane->rows(), QList<VideoConvertBar *>({rows.at(0)}));
        QCOMPARE(rows.at(0)->getConvertState(), int(BarIdle));
        QVERIFY(QFileInfo::exists(m_root + "b/b_001.jpg"));
        QVERIFY(!QFileInfo::exists(m_root + "a"));
        QList<convertedInfo *> records;
        QVideoSettingXml::analysisConvertedInfo(&records);
        const auto b = std::find_if(records.cbegin(), records.cend(),
                                    [this](const convertedInfo *record) { return record->convertedPath == m_root + "b/"; });
        QVERIFY(b != records.cend());
        QCOMPARE((*b)->format, QString("JPG"));
        qDeleteAll(records);
        QCOMPARE(m_power, QStringList({"sleep"}));
    }

    // An output folder that cannot be made fails every row: each is marked failed with
    // the reason, and one message names them all.
    void unmakeableOutputFolder()
    {
        setAfterBatch("0");
        const QString blocker = freshFolder() + "/file";
        QFile(blocker).open(QIODevice::WriteOnly);
        QConverterOperate::setConverterPath(blocker + "/out/");
        auto pane = paneWith({"one.mov", "two.mov"});
        pane->show();
        QString failures;
        ModalWatchdog dog;
        expectFailures(dog, failures);
        pane->OnStartToCoverter();
        QTRY_VERIFY_WITH_TIMEOUT(!failures.isEmpty(), 120000);
        GLINTORA_VERIFY_WATCHDOG(dog);
        const QString reason = "The output folder " + blocker + "/out cannot be created.";
        QCOMPARE(failures, "These items were not converted:\n\none.mov: " + reason + "\ntwo.mov: " + reason);
        for (VideoConvertBar *row : pane->rows()) {
            QCOMPARE(row->getConvertState(), int(BarFailed));
            QCOMPARE(row->toolTip(), reason);
            const QList<QLabel *> labels = row->findChildren<QLabel *>();
            QVERIFY(std::any_of(labels.cbegin(), labels.cend(), [&reason](const QLabel *mark) {
                return mark->isVisible() && mark->text() == "Failed" && mark->toolTip() == reason;
            }));
        }
    }

    void afterBatchAction_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("sleep after stop") << "1" << "stop running" << QStringList{"sleep"};
        QTest::newRow("shut down") << "2" << "finish" << QStringList{"down"};
        QTest::newRow("none for 0") << "0" << "finish" << QStringList{};
        QTest::newRow("none for -1") << "-1" << "finish" << QStringList{};
        QTest::newRow("none for text") << "abc" << "finish" << QStringList{};
        QTest::newRow("stop before the first tick") << "1" << "stop at once" << QStringList{};
        QTest::newRow("delete all") << "1" << "delete all" << QStringList{};
        QTest::newRow("teardown") << "2" << "destroy" << QStringList{};
    }

    void afterBatchAction()
    {
        QFETCH(QString, value);
        QFETCH(QString, how);
        QFETCH(QStringList, expected);
        setAfterBatch(value);
        auto pane = paneWith({"one.mov"});
        QSignalSpy converting(pane.get(), &QMainDlg::emitIsStartConverter);
        pane->OnStartToCoverter();
        VideoConvertBar *row = pane->rows().first();
        if (how == "stop at once") {
            pane->OnStopConvert();
        } else if (how != "finish") {
            QTRY_COMPARE(row->getConvertState(), int(BarConverting));
            if (how == "stop running")
                pane->OnStopConvert();
            else if (how == "delete all")
                pane->OnACtionDeleteAll();
            else
                pane.reset();
        }
        if (pane) {
            QTRY_VERIFY_WITH_TIMEOUT(!converting.isEmpty() && !converting.last().first().toBool(), 120000);
            if (how == "stop running")
                QTRY_COMPARE(row->getConvertState(), int(BarIdle));
        }
        QTest::qWait(300); // late reports would land here
        QCOMPARE(m_power, expected);
    }
};

GLINTORA_TEST_MAIN(TestListBatch)
#include "tst_listbatch.moc"
