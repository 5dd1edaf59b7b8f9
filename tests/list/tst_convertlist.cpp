#include "filemanagerreveal.h"
#include "folderlauncher.h"
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
#include "urlrecorder.h"
#include "videoconvertbar.h"
#include "zvcommoninterface.h"
#include "zvvideoconvertitem.h"
#include "zvvideoconvertmanager.h"

#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QThread>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // Returns the refusal message the import ended with, empty when it refused nothing.
    static QString import(QMainDlg &pane, const QStringList &paths)
    {
        QString refusals;
        ModalWatchdog dog;
        ListFixture::expectImport(dog, refusals);
        pane.addImportFile(paths);
        [&] { QVERIFY2(dog.failures().isEmpty(), qPrintable(dog.report())); }(); // a quick import may end unseen
        return refusals;
    }

    static void drop(QMainDlg &pane, const QList<QUrl> &urls)
    {
        QString refusals;
        ModalWatchdog dog;
        ListFixture::expectImport(dog, refusals);
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
        // Why a refused movie was refused, as the message after the import says.
        QTest::addColumn<QString>("refusal");
        const QString notLive = QStringLiteral("Not a Live Photo (1):\n    clip.mov");
        const QString unreadable = QStringLiteral("Cannot be read (1):\n    clip.mov");
        QTest::newRow("long with .JPG") << "long" << "clip.mov" << "clip.JPG" << false << true << "";
        QTest::newRow("long alone") << "long" << "clip.mov" << "" << false << false << notLive;
        QTest::newRow("long with lower-case .jpg") << "long" << "clip.mov" << "clip.jpg" << false << false << notLive;
        QTest::newRow("short alone") << "live" << "clip.MOV" << "" << false << true << "";
        QTest::newRow("no identifier") << "plain" << "clip.mov" << "" << false << false << notLive;
        QTest::newRow("truncated") << "live" << "clip.mov" << "" << true << false << unreadable;
        QTest::newRow("empty") << "empty" << "clip.mov" << "" << false << false << unreadable;
        QTest::newRow("random bytes") << "random" << "clip.mov" << "" << false << false << unreadable;
        QTest::newRow("a folder") << "folder" << "clip.mov" << "" << false << false << unreadable;
    }

    void importAcceptance()
    {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(QString, still);
        QFETCH(bool, truncate);
        QFETCH(bool, added);
        QFETCH(QString, refusal);
        const QString folder = freshFolder();
        const QString from = source == "long" ? m_long : source == "plain" ? m_plain : m_live;
        const QString path = source == "folder" ? folder + QLatin1Char('/') + name : copyAs(from, folder, name);
        if (source == "folder")
            QDir().mkpath(path);
        if (source == "empty" || source == "random") {
            QFile made(path);
            QVERIFY(made.open(QIODevice::WriteOnly));
            for (int i = 0; source == "random" && i < 4096; ++i)
                made.putChar(char(i * 7919 % 251)); // no container's signature
        }
        if (!still.isEmpty())
            QFile(folder + QLatin1Char('/') + still).open(QIODevice::WriteOnly);
        if (truncate)
            QFile(path).resize(QFileInfo(path).size() / 3);
        QMainDlg pane;
        QSignalSpy shown(&pane, &QMainDlg::seedIsAddItem);
        const QString refused = import(pane, {path});
        QVERIFY2(refusal.isEmpty() ? refused.isEmpty() : refused.endsWith(refusal), qPrintable(refused));
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
        {
            ModalWatchdog dog; // gone before the next import, which it would refuse
            dog.expect("QLoadingDlg", QString(), [&pane](QWidget *modal) {
                QTRY_VERIFY(!pane.rows().isEmpty());
                ModalWatchdog::clickButton("m_btnCancel")(modal);
            });
            pane.addImportFile(paths);
            GLINTORA_VERIFY_WATCHDOG(dog);
        }
        QTRY_VERIFY(!pane.IsThreadRunning());
        QCoreApplication::sendPostedEvents(); // what the cancelled walk sent before it ended
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

    // A walk stuck in a file that does not answer (a pipe nobody writes) is dismissed; the
    // next import opens at once and starts when the stuck walk has let go.
    void dismissedImportNeverBlocks()
    {
        const QString folder = freshFolder();
        const QString stuck = folder + QStringLiteral("/stuck.mov");
        QVERIFY(mkfifo(QFile::encodeName(stuck).constData(), 0600) == 0);
        const QString later = copyAs(m_live, folder, QStringLiteral("later.mov"));
        QMainDlg pane;
        ModalWatchdog dog;
        dog.expect("QLoadingDlg", QString(), ModalWatchdog::pressKey(Qt::Key_Escape));
        dog.expect("QLoadingDlg", QString(), [&stuck, &pane](QWidget *modal) {
            // Lets the stuck walk go on; one stopped before the pipe never opens it.
            QTRY_VERIFY([&] {
                const int writer = ::open(QFile::encodeName(stuck).constData(), O_WRONLY | O_NONBLOCK);
                if (writer >= 0)
                    ::close(writer);
                return writer >= 0 || !pane.IsThreadRunning();
            }());
            const QPointer<QWidget> waiting(modal);
            QTRY_VERIFY(!waiting || !waiting->isVisible());
        });
        pane.addImportFile({stuck, copyAs(m_live, folder, QStringLiteral("skipped.mov"))});
        pane.addImportFile({later});
        GLINTORA_VERIFY_WATCHDOG(dog);
        QTRY_COMPARE(rowNames(pane), QStringList({"later.mov"}));
        verifyRowsMatchQueue(pane);
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

    // A wide window shows a long name whole, the default width a name that fits before the
    // first column; the row's glyph buttons take a click a little off.
    void rowNameWidthAndButtonTargets()
    {
        const QString folder = freshFolder();
        QMainDlg pane;
        pane.resize(886, 400);
        pane.show();
        import(pane, {copyAs(m_live, folder, "a_rather_long_live_photo_name.MOV"),
                      copyAs(m_live, folder, "h264-landscape.MOV")});
        QTRY_COMPARE(pane.rows().size(), 2);
        VideoConvertBar *bar = pane.rows().first();
        auto *label = bar->findChild<RetractLabel *>();
        QTRY_COMPARE(label->text(), QString("a_rather_long_live_photo_name"));
        QVERIFY(label->width() > 80);
        pane.resize(520, 400);
        QTRY_COMPARE(pane.rows().last()->findChild<RetractLabel *>()->text(), QString("h264-landscape"));
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

    // Whatever was clicked or selected before, the row menu acts on the row it opened on.
    void rowMenuActsOnTheRowUnderTheCursor_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Open File") << "Open File";
        QTest::newRow("Rename") << "Rename";
    }

    void rowMenuActsOnTheRowUnderTheCursor()
    {
        QFETCH(QString, command);
        const QString folder = freshFolder();
        QMainDlg pane;
        pane.resize(600, 400);
        pane.show();
        import(pane, {copyAs(m_live, folder, "m0.mov"), copyAs(m_live, folder, "m1.mov")});
        QTRY_COMPARE(pane.rows().size(), 2);
        const auto rows = pane.rows();
        QTest::mouseClick(rows.at(0), Qt::LeftButton);
        pane.SelectAllItem();
        QStringList revealed;
        ZvCommonInterface::setRevealHandler([&revealed](const QString &p) { revealed << p; });
        ModalWatchdog dog; // Rename must open no dialog
        QTest::mousePress(rows.at(1), Qt::RightButton);
        QTRY_VERIFY(pane.contextMenu()->isVisible());
        QVERIFY(ListFixture::chooseFromMenu(pane.contextMenu(), command));
        ZvCommonInterface::setRevealHandler({});
        GLINTORA_VERIFY_WATCHDOG(dog);
        auto editing = [](VideoConvertBar *row) {
            auto *editor = row->findChild<QLineEdit *>();
            return editor && editor->isVisible();
        };
        if (command == "Open File") {
            QCOMPARE(revealed, QStringList({rows.at(1)->getVideoPath()}));
        } else {
            QVERIFY(editing(rows.at(1)));
            QVERIFY(!editing(rows.at(0)));
        }
    }

    // No file manager service and nothing that opens a folder, as on a minimal desktop:
    // Open File must not stay silent.
    void openFileSaysWhenNoFileManagerAnswers()
    {
        QMainDlg pane;
        pane.show();
        import(pane, {copyAs(m_live, freshFolder(), "m0.mov")});
        QTRY_COMPARE(pane.rows().size(), 1);
        FileManagerReveal::Install(QDBusConnection::sessionBus(), FolderLauncher::open); // the test's bus is cut off
        UrlRecorder refusing;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &refusing, "noSuchSlot");
        QString said;
        ModalWatchdog dog;
        dog.expect("QZVMessageDlg", QString(), ModalWatchdog::inspectThen([&said](QWidget *modal) {
            said = static_cast<QZVMessageDlg *>(modal)->message();
        }, ModalWatchdog::reject()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("noSuchSlot"));
        QTest::mousePress(pane.rows().first(), Qt::RightButton);
        QTRY_VERIFY(pane.contextMenu()->isVisible());
        QVERIFY(ListFixture::chooseFromMenu(pane.contextMenu(), "Open File"));
        ZvCommonInterface::setRevealHandler({});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        GLINTORA_VERIFY_WATCHDOG(dog);
        QVERIFY2(said.startsWith("No file manager could open the folder"), qPrintable(said));
    }

    // The keys work wherever the focus is in the list's window: Ctrl+A selects every row,
    // Delete removes the selected ones, as the menu's "&Delete" does.
    void selectAllAndDeleteKeys()
    {
        const QString folder = freshFolder();
        QWidget window;
        window.setFocusPolicy(Qt::StrongFocus);
        auto *pane = new QMainDlg(&window);
        pane->resize(600, 400);
        window.resize(600, 400);
        window.show();
        import(*pane, {copyAs(m_live, folder, "k0.mov"), copyAs(m_live, folder, "k1.mov"),
                       copyAs(m_live, folder, "k2.mov")});
        QTRY_COMPARE(pane->rows().size(), 3);
        window.activateWindow(); // back from the import's dialog
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.setFocus();
        VideoConvertBar *second = pane->rows().at(1);
        QCursor::setPos(second->mapToGlobal(second->rect().center())); // a press starts a drag selection there
        QTest::mouseClick(second, Qt::LeftButton);
        QTest::keyClick(&window, Qt::Key_Delete);
        QCOMPARE(rowNames(*pane), QStringList({"k0.mov", "k2.mov"}));
        QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier);
        for (VideoConvertBar *row : pane->rows())
            QCOMPARE(row->getMouseState(), ConvertMouseSelected);
        QTest::keyClick(&window, Qt::Key_Delete);
        QVERIFY(pane->rows().isEmpty());
        verifyRowsMatchQueue(*pane);
    }

    // The add-file dialog opens where the user last took files from, else in Pictures, else
    // at home; never in the process's working folder.
    void addFileDialogFolder_data()
    {
        QTest::addColumn<QString>("stored"); // the last folder used; "." when none
        QTest::addColumn<bool>("pictures");  // whether the Pictures folder exists
        QTest::addColumn<QString>("expected");
        QTest::newRow("last used") << "last" << true << "last";
        QTest::newRow("never used") << "." << true << "pictures";
        QTest::newRow("last used is gone") << "/gone/away" << true << "pictures";
        QTest::newRow("no Pictures folder") << "." << false << "home";
    }

    void addFileDialogFolder()
    {
        QFETCH(QString, stored);
        QFETCH(bool, pictures);
        QFETCH(QString, expected);
        const QString last = freshFolder();
        const QString picturesFolder = QDir::homePath() + "/Pictures";
        if (pictures)
            QVERIFY(QDir().mkpath(picturesFolder));
        else
            QVERIFY(QDir(picturesFolder).removeRecursively());
        const QMap<QString, QString> folders{{"last", last}, {"pictures", picturesFolder}, {"home", QDir::homePath()}};
        MainWindow::open_path = folders.value(stored, stored);
        QString opened;
        ModalWatchdog dog;
        dog.expect("QFileDialog", QString(), ModalWatchdog::inspectThen([&opened](QWidget *modal) {
            opened = static_cast<QFileDialog *>(modal)->directory().canonicalPath();
        }, ModalWatchdog::reject()));
        QMainDlg pane;
        pane.OnACtionImport();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QCOMPARE(opened, QDir(folders.value(expected)).canonicalPath());
    }
};

GLINTORA_TEST_MAIN(TestConvertList)
#include "tst_convertlist.moc"
