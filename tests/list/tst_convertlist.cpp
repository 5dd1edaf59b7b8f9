#include "listfixture.h"
#include "mainwindow.h"
#include "md5.h"
#include "qianyutil.h"
#include "qeditdlg.h"
#include "qimagechunk.h"
#include "qmaindlg.h"
#include "qplaydlg.h"
#include "qzvbasebutton.h"
#include "qzvmenu.h"
#include "retractlabel.h"
#include "testhome.h"
#include "videoconvertbar.h"
#include "zvcommoninterface.h"
#include "zvvideoconvertitem.h"
#include "zvvideoconvertmanager.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QThread>

#include <memory>

class TestConvertList : public QObject
{
    Q_OBJECT

private:
    QString m_media;
    QString m_live;  // 1 s Live Photo
    QString m_long;  // 12 s Live Photo
    QString m_plain; // 1 s movie without the identifier
    int m_folders = 0;

    QString freshFolder()
    {
        const QString folder = QDir::tempPath() + QStringLiteral("/case%1").arg(++m_folders);
        QDir().mkpath(folder);
        return folder;
    }

    static QString copyAs(const QString &source, const QString &folder, const QString &name)
    {
        const QString path = folder + QLatin1Char('/') + name;
        QFile::copy(source, path);
        return path;
    }

    static void import(QMainDlg &pane, const QStringList &paths)
    {
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        pane.addImportFile(paths);
        QVERIFY2(dog.failures().isEmpty(), qPrintable(dog.report())); // a quick import may end unseen
    }

    static void drop(QMainDlg &pane, const QList<QUrl> &urls)
    {
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        QMimeData data;
        data.setUrls(urls);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject &>(pane).event(&event); // no drag in progress: skip the application's drop routing
        QVERIFY2(dog.failures().isEmpty(), qPrintable(dog.report()));
    }

    static void verifyRowsMatchQueue(const QMainDlg &pane)
    {
        ZvVideoConvertManager *queue = ZvVideoConvertManager::getConvertManagerObject();
        QCOMPARE(queue->GetItemCount(), pane.rows().size());
        for (int i = 0; i < pane.rows().size(); ++i) {
            QCOMPARE(pane.rows().at(i)->videoItem(), queue->GetItem(i));
            QCOMPARE(queue->GetItem(i)->thread(), qApp->thread());
        }
    }

    static QStringList rowNames(const QMainDlg &pane)
    {
        QStringList names;
        for (VideoConvertBar *bar : pane.rows())
            names << bar->getVideoName();
        return names;
    }

private slots:
    void initTestCase()
    {
        m_media = QDir::tempPath() + QStringLiteral("/media");
        QDir().mkpath(m_media);
        m_live = ListFixture::movie(m_media, QStringLiteral("live.mov"));
        m_long = ListFixture::movie(m_media, QStringLiteral("long.mov"), 12.0);
        m_plain = ListFixture::movie(m_media, QStringLiteral("plain.mov"), 1.0, false);
        QVERIFY2(!m_live.isEmpty() && !m_long.isEmpty() && !m_plain.isEmpty(), qPrintable(TestMedia::lastError()));
    }

    void init() { MainWindow::resetStaticsForTests(); }

    void importAcceptance_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("still");
        QTest::addColumn<bool>("truncate");
        QTest::addColumn<bool>("added");
        QTest::newRow("long with .JPG") << "long" << "clip.mov" << "clip.JPG" << false << true;
        QTest::newRow("long alone") << "long" << "clip.mov" << "" << false << false;
        QTest::newRow("long with lower-case .jpg") << "long" << "clip.mov" << "clip.jpg" << false << false;
        QTest::newRow("short alone") << "live" << "clip.MOV" << "" << false << true;
        QTest::newRow("no identifier") << "plain" << "clip.mov" << "" << false << false;
        QTest::newRow("truncated") << "live" << "clip.mov" << "" << true << false;
    }

    void importAcceptance()
    {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(QString, still);
        QFETCH(bool, truncate);
        QFETCH(bool, added);
        const QString folder = freshFolder();
        const QString from = source == "long" ? m_long : source == "plain" ? m_plain : m_live;
        const QString path = copyAs(from, folder, name);
        if (!still.isEmpty())
            QFile(folder + QLatin1Char('/') + still).open(QIODevice::WriteOnly);
        if (truncate)
            QFile(path).resize(QFileInfo(path).size() / 3);
        QMainDlg pane;
        QSignalSpy shown(&pane, &QMainDlg::seedIsAddItem);
        import(pane, {path});
        QTRY_COMPARE(pane.rows().size(), added ? 1 : 0);
        QCOMPARE(shown.count(), added ? 1 : 0);
        verifyRowsMatchQueue(pane);
    }

    // Rows keep the input order; the suffix filter is a substring test of "*.mov *.mp4".
    void dropSearchesFoldersInOrder()
    {
        const QString folder = freshFolder();
        QDir().mkpath(folder + "/sub/deeper");
        copyAs(m_live, folder, "a.mo");
        copyAs(m_live, folder, "b.mpg");
        copyAs(m_live, folder + "/sub/deeper", "c.mp4");
        const QString outside = freshFolder();
        copyAs(m_live, outside, "linked.mov");
        QFile::link(outside, folder + "/link");
        QFile::link(outside + "/linked.mov", folder + "/file-link.mov");
        QMainDlg pane;
        pane.show();
        drop(pane, {QUrl::fromLocalFile(folder)});
        QTRY_COMPARE(pane.rows().size(), 2);
        QStringList names = rowNames(pane);
        names.sort();
        QCOMPARE(names, QStringList({"a.mo", "c.mp4"}));
        verifyRowsMatchQueue(pane);

        MainWindow::m_bIsConverting = true;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(folder)});
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject &>(pane).event(&event); // no drag in progress: skip the application's drop routing // a modal here would hang: nothing may start
        QCOMPARE(pane.rows().size(), 2);
    }

    // Count and bar follow the candidate's place among all candidates, rejected included.
    void progressCountsEveryCandidate()
    {
        const QString folder = freshFolder();
        QList<QUrl> urls;
        for (int i = 1; i <= 10; ++i)
            urls << QUrl::fromLocalFile(copyAs(i == 4 ? m_live : m_plain, folder, QStringLiteral("m%1.mov").arg(i)));
        QMainDlg pane;
        pane.show();
        QSignalSpy counts(&pane, &QMainDlg::importCountChanged);
        QSignalSpy bars(&pane, &QMainDlg::importBarChanged);
        drop(pane, urls);
        QTRY_COMPARE(pane.rows().size(), 1);
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts.first().first().toString(), QStringLiteral("4/10"));
        const float base = bars.first().first().toFloat();
        QVERIFY(base == 20.0f || base == 21.0f);
        QCOMPARE(bars.last().first().toFloat(), base + (100 - base) * 4 / 10);
    }

    // Cancel keeps the rows made; the next import starts clean; the pane can die mid-import.
    void cancelAndTeardown()
    {
        const QString folder = freshFolder();
        QStringList paths;
        for (int i = 0; i < 6; ++i)
            paths << copyAs(m_live, folder, QStringLiteral("c%1.mov").arg(i));
        auto owned = std::make_unique<QMainDlg>();
        QMainDlg &pane = *owned;
        ModalWatchdog dog;
        dog.expect("QLoadingDlg", QString(), [&pane](QWidget *modal) {
            QTRY_VERIFY(!pane.rows().isEmpty());
            ModalWatchdog::clickButton("m_btnCancel")(modal);
        });
        pane.addImportFile(paths);
        GLINTORA_VERIFY_WATCHDOG(dog);
        QTest::qWait(300);
        const int kept = pane.rows().size();
        QVERIFY(kept >= 1 && kept < 6);
        import(pane, {paths.first()});
        QTRY_COMPARE(pane.rows().size(), kept + 1);
        verifyRowsMatchQueue(pane);
        owned.reset(); // the queue is process-wide: one pane at a time

        auto doomed = std::make_unique<QMainDlg>();
        ModalWatchdog dying;
        dying.expect("QLoadingDlg", QString(), ModalWatchdog::pressKey(Qt::Key_Escape));
        doomed->addImportFile(paths);
        doomed.reset(); // must stop and join the thread first
        QTest::qWait(100);
    }

    void rowMouseAndRename()
    {
        const QString path = copyAs(m_live, freshFolder(), "clip.MOV");
        QMainDlg pane;
        pane.resize(600, 400);
        pane.show();
        import(pane, {path, path});
        QTRY_COMPARE(pane.rows().size(), 2);
        VideoConvertBar *bar = pane.rows().first();
        QCOMPARE(bar->height(), 72);
        QSignalSpy menu(bar, &VideoConvertBar::emitshowTreeMenu);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(bar->getMouseState(), ConvertMouseSelected);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(bar->getMouseState(), ConvertMouseNone);
        QTest::mousePress(bar, Qt::RightButton);
        QCOMPARE(bar->getMouseState(), ConvertMouseSelected);
        QCOMPARE(menu.count(), 1);
        QTRY_VERIFY(pane.contextMenu()->isVisible());
        pane.contextMenu()->hide();
        bar->setEnabled(false);
        QSignalSpy presses(bar, &VideoConvertBar::emitMousePress);
        QTest::mousePress(bar, Qt::LeftButton);
        QCOMPARE(presses.count(), 0);
        bar->repaint(); // a disabled row paints unselected
        QCOMPARE(bar->getMouseState(), ConvertMouseNone);

        const QString cache = QIAnyUtil::getAppDataPath() + "/Temp/"
                              + QString::fromStdString(MD5(path.toUtf8().toStdString()).hexdigest()) + ".JPG";
        QVERIFY(QFileInfo::exists(cache));
        ZvVideoConvertItem *item = bar->videoItem();
        item->fileName = "clip.MOV";
        for (const auto &[typed, expected] : {std::pair<QString, QString>{"holiday", "holiday.MOV"},
                                              {"   ", "holiday.MOV"}, {"holiday", "holiday.MOV"}}) {
            auto *label = bar->findChild<RetractLabel *>();
            QVERIFY(label);
            label->setText(typed);
            bar->ChangeName();
            bar->ChangeName(); // a second commit changes nothing
            QCOMPARE(item->fileName, expected);
        }
    }

    // A wide window shows a long name whole; the row's glyph buttons take a click a little off.
    void rowNameWidthAndButtonTargets()
    {
        const QString path = copyAs(m_live, freshFolder(), "a_rather_long_live_photo_name.MOV");
        QMainDlg pane;
        pane.resize(886, 400);
        pane.show();
        import(pane, {path});
        QTRY_COMPARE(pane.rows().size(), 1);
        VideoConvertBar *bar = pane.rows().first();
        auto *label = bar->findChild<RetractLabel *>();
        QTRY_COMPARE(label->text(), QString("a_rather_long_live_photo_name"));
        QVERIFY(label->width() > 80);
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(bar, &enter);
        // Only the click is of interest here, not the player the list would open.
        QObject::disconnect(bar, &VideoConvertBar::emitPlay, nullptr, nullptr);
        QSignalSpy plays(bar, &VideoConvertBar::emitPlay);
        for (QZVBaseButton *button : bar->findChildren<QZVBaseButton *>()) {
            if (button->toolTip() != QLatin1String("Play"))
                continue;
            QVERIFY(button->width() >= 24 && button->height() >= 24);
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center() + QPoint(10, 10));
        }
        QCOMPARE(plays.count(), 1);
    }

    // Shift selects from the anchor, which stays; every command keeps row i on item i.
    void selectionAndCommands()
    {
        const QString folder = freshFolder();
        QStringList paths;
        for (int i = 0; i < 6; ++i)
            paths << copyAs(m_live, folder, QStringLiteral("s%1.mov").arg(i));
        QMainDlg pane;
        pane.resize(600, 600);
        pane.show();
        import(pane, paths);
        QTRY_COMPARE(pane.rows().size(), 6);
        const auto rows = pane.rows();
        auto selected = [&pane] {
            QList<int> on;
            for (int i = 0; i < pane.rows().size(); ++i)
                if (pane.rows().at(i)->getMouseState() == ConvertMouseSelected)
                    on << i;
            return on;
        };
        QTest::mouseClick(rows.at(2), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(selected(), QList<int>({0, 1, 2}));
        QTest::mouseClick(rows.at(2), Qt::LeftButton);
        QTest::mouseClick(rows.at(5), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(selected(), QList<int>({2, 3, 4, 5}));
        QTest::mouseClick(rows.at(1), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(selected(), QList<int>({1, 2}));
        QTest::keyClick(&pane, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(selected(), QList<int>({1, 2}));

        QStringList revealed;
        ZvCommonInterface::setRevealHandler([&revealed](const QString &p) { revealed << p; });
        emit rows.at(3)->emitFile();
        ZvCommonInterface::setRevealHandler({});
        QCOMPARE(revealed, QStringList({rows.at(3)->getVideoPath()}));

        ModalWatchdog dog;
        // A frame already extracted: the picker opens without an extraction of its own.
        rows.at(4)->videoItem()->frames->push_back(new QImageChunk);
        dog.expect("QEditDlg", QString(), ModalWatchdog::inspectThen([&rows](QWidget *m) {
            QCOMPARE(static_cast<QEditDlg *>(m)->getItemInfo(), rows.at(4)->videoItem());
        }, ModalWatchdog::pressKey(Qt::Key_Escape)));
        dog.expect("QPlayDlg", QString(), [&rows](QWidget *m) {
            auto *player = static_cast<QPlayDlg *>(m);
            QCOMPARE(player->playFile(), rows.at(5)->getVideoPath());
            emit player->emitNextFile();
            QCOMPARE(player->playFile(), rows.at(0)->getVideoPath());
            emit player->emitPreFile();
            emit player->emitPreFile();
            QCOMPARE(player->playFile(), rows.at(4)->getVideoPath());
            player->reject();
        });
        emit rows.at(4)->emitEdit();
        emit rows.at(5)->emitPlay();
        GLINTORA_VERIFY_WATCHDOG(dog);

        rows.at(3)->hide(); // hidden rows are not deleted by &Delete
        pane.SearchTextChanged(QString());
        QMetaObject::invokeMethod(&pane, "OnACtionDelete");
        QCOMPARE(pane.rows().size(), 4);
        verifyRowsMatchQueue(pane);
        pane.repaint(); // a deleted row painted before its deferred deletion
        QFile::remove(pane.rows().at(1)->getVideoPath());
        pane.OnACtionClearInvalidFile();
        QCOMPARE(pane.rows().size(), 3);
        verifyRowsMatchQueue(pane);
        QSignalSpy emptied(&pane, &QMainDlg::seedIsAddItem);
        pane.OnACtionDeleteAll();
        QCOMPARE(pane.rows().size(), 0);
        QCOMPARE(ZvVideoConvertManager::getConvertManagerObject()->GetItemCount(), 0);
        QCOMPARE(emptied.count(), 1);
    }
};

GLINTORA_TEST_MAIN(TestConvertList)
#include "tst_convertlist.moc"
