#include "historyfixture.h"
#include "qcheckheaderview.h"
#include "qconverteroperate.h"
#include "qhistorychunk.h"
#include "qoutputdeleter.h"
#include "qzvtableview.h"
#include "testhome.h"
#include "testmedia.h"
#include "urlrecorder.h"
#include "zvhistorythumbnail.h"

#include <QAbstractItemModelTester>
#include <QDesktopServices>
#include <QStandardPaths>

using namespace HistoryFixture;

namespace {

QStringList g_warnings;
QtMessageHandler g_previousHandler = nullptr;

// Qt's complaints about the traps of this dialog fail the test.
void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg
        && QRegularExpression("layout|header|scroll|connect|QSortFilterProxyModel|model", QRegularExpression::CaseInsensitiveOption)
               .match(text).hasMatch())
        g_warnings << text;
    g_previousHandler(type, context, text);
}

} // namespace

class TestHistoryDialog : public QObject
{
    Q_OBJECT

private:
    QString m_root;
    QStringList m_revealed;
    UrlRecorder m_urls;
    PhotoConverterInfo m_output;

    static QString gif(const QString &path, QSize size = {640, 360})
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        const bool made = TestMedia::runFfmpeg({"-f", "lavfi", "-i", QString("color=c=red:s=%1x%2:d=0.2").arg(size.width()).arg(size.height()), path});
        return made ? path : QString();
    }

    // Four shown entries and one whose output is gone.
    QStringList fiveEntries()
    {
        const QStringList paths{gif(m_root + "clipA.gif"), file(m_root + "clipB.webp"), file(m_root + "other.gif"),
                                m_root + "shot/", m_root + "gone.gif"};
        QDir().mkpath(m_root + "shot");
        QImage(400, 300, QImage::Format_RGB32).save(m_root + "shot/shot_001.png");
        save(paths[0], "clipA", "GIF", "2021.03.01 10:00:00");
        save(paths[1], "clipB", "WEBP", "2020.01.01 10:00:00");
        save(paths[2], "other", "GIF", "2021.03.05 10:00:00");
        save(paths[3], "shot", "PNG", "2019.05.05 10:00:00");
        save(paths[4], "gone");
        return paths;
    }

private slots:
    void initTestCase()
    {
        g_previousHandler = qInstallMessageHandler(recordWarnings);
        ZvCommonInterface::setRevealHandler([this](const QString &path) { m_revealed << path; });
        QDesktopServices::setUrlHandler("file", &m_urls, "open");
        QConverterOperate::g_converterInfo = &m_output;
        m_root = QIAnyUtil::getDocumentPath() + "/Converted/";
        QConverterOperate::setConverterPath(m_root);
    }

    void init()
    {
        QFile::remove(QIAnyUtil::getAppDataPath() + "/History.xml");
        QDir(QIAnyUtil::getAppDataPath() + "/Temp").removeRecursively();
        QDir(m_root).removeRecursively();
        QDir().mkpath(m_root);
        m_revealed.clear();
        m_output.format = "jpeg";
        g_warnings.clear();
    }

    void cleanup()
    {
        QOutputDeleter::setRemover({});
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join('\n')));
        QVERIFY(m_urls.urls.isEmpty());
    }

    void modelServesItsRoles()
    {
        auto *full = new QHistoryChunk;
        full->SetTitle("clip");
        full->SetResolution("640x360");
        full->SetFormat("GIF");
        full->SetCreateTime("2021.03.01 10:00:00");
        full->setImage("/missing/thumbnail.JPG");
        std::vector<IBaseChunk *> records{full, new QHistoryChunk};
        QHistoryModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setHeaderList({"Name", "Resolution", "Format", "Created Time", ""});
        model.setItemSize(98, 113);
        model.setDatas(&records);

        const QStringList texts{"clip", "640x360", "GIF", "2021.03.01 10:00:00"};
        for (int column = 0; column < 4; ++column) {
            QCOMPARE(model.index(0, column).data().toString(), texts[column]);
            QCOMPARE(model.index(1, column).data().toString(), QString());
        }
        QVERIFY(!model.index(0, 4).data().isValid());
        QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).isValid());
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.setIsIcon(true);
        QCOMPARE(changed.count() + reset.count(), 0);
        QCOMPARE(model.index(0, 0).data(Qt::DecorationRole).toString(), QString("/missing/thumbnail.JPG"));
        QVERIFY(!model.index(0, 1).data(Qt::DecorationRole).isValid());
        const QFont font = model.index(0, 2).data(Qt::FontRole).value<QFont>();
        QCOMPARE(font.family(), QString("Tahoma"));
        QCOMPARE(font.pixelSize(), 12);
        QCOMPARE(font.weight(), 50);
        QVERIFY(!model.index(0, 0).data(Qt::BackgroundRole).isValid());
        QVERIFY(!model.index(0, 0).data(Qt::CheckStateRole).isValid());
        QCOMPARE(model.index(1, 3).data(Qt::SizeHintRole).toSize(), QSize(98, 113));
        QCOMPARE(model.index(0, 1).data(Qt::UserRole).value<void *>(), static_cast<void *>(full));

        model.refreshData(1, 2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex(), model.index(1, 2));
        QCOMPARE(changed.first().at(1).toModelIndex(), model.index(1, 2));
        model.removeRecords({full});
        QCOMPARE(model.rowCount(), 1);
        delete full;
        qDeleteAll(records);
    }

    void constructionLaysOutTheDialog()
    {
        save(file(m_root + "b.gif"), "b");
        save(file(m_root + "a.gif"), "a");
        QConvertedDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.objectName(), QString("QConvertedDlg"));
        QCOMPARE(dialog.size(), QSize(548, 600));
        QCOMPARE(dialog.m_tableView->geometry(), QRect(8, 30, 532, 512));
        QCOMPARE(dialog.m_listView->geometry(), QRect(22, 30, 518, 512));
        QVERIFY(dialog.m_tableView->isVisible() && !dialog.m_listView->isVisible());
        QCOMPARE(dialog.m_btnDeleteAll->geometry(), QRect(445, 555, 80, 24));
        QCOMPARE(dialog.m_btnTable->x(), 23);
        QCOMPARE(dialog.m_btnIconList->x(), dialog.m_btnTable->geometry().right());
        QCOMPARE(dialog.m_editSearch->geometry(), QRect(dialog.m_btnIconList->geometry().right() + 15, 554, 125, 25));

        QCheckHeaderView *header = dialog.header();
        QCOMPARE(dialog.m_tableView->horizontalHeader(), header);
        QCOMPARE(header->height(), 23);
        QVERIFY(!header->getCheckVisable());
        const QStringList titles{"Name", "Resolution", "Format", "Created Time", ""};
        const int widths[] = {140, 95, 70, 140};
        for (int column = 0; column < 5; ++column)
            QCOMPARE(dialog.sortModel()->headerData(column, Qt::Horizontal).toString(), titles[column]);
        for (int column = 0; column < 4; ++column)
            QCOMPARE(header->sectionSize(column), widths[column]);
        QVERIFY(header->stretchLastSection());
        QCOMPARE(dialog.sortModel()->index(0, 0).data().toString(), QString("a"));
        QCOMPARE(dialog.m_tableView->currentIndex().row(), 0);
    }

    void loadingHidesGoneOutputsAndMakesThumbnails()
    {
        const QStringList paths = fiveEntries();
        QVERIFY(!paths[0].isEmpty());
        const QString kept = file(ZVHistoryThumbnail::pathFor(paths[2]), "old thumbnail");
        const QDateTime stamp = QFileInfo(kept).lastModified();
        {
            QConvertedDlg dialog;
            QCOMPARE(rows(dialog), 4);
        }
        QCOMPARE(storedPaths().size(), 5);
        QCOMPARE(QImage(ZVHistoryThumbnail::pathFor(paths[0])).size(), QSize(200, 112));
        QVERIFY(!QFile::exists(ZVHistoryThumbnail::pathFor(paths[1]))); // not a picture
        QFile old(kept);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old thumbnail"));
        QCOMPARE(QFileInfo(kept).lastModified(), stamp);
        QCOMPARE(QImage(ZVHistoryThumbnail::pathFor(paths[3])).size(), QSize(200, 150));
    }

    void emptyHistoryShowsThePicture()
    {
        save(m_root + "gone.gif", "gone");
        QConvertedDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.m_tableView->isVisible() && !dialog.m_listView->isVisible());
        const QImage picture(QIAnyUtil::getResourcePath() + "/image/Converted/bg_noFile.png");
        const QImage shot = dialog.grab().toImage();
        const QPoint origin((548 - picture.width() / 2) / 2, (600 - picture.height() / 2) / 2);
        const QPoint inside(picture.width() / 4, picture.height() / 4);
        QCOMPARE(shot.pixelColor(origin + inside), picture.pixelColor(inside * 2));
        ModalWatchdog dog;
        dialog.onDeleteAll();
        dialog.OnBtnThumbnail();
        QVERIFY(!dialog.m_tableView->isVisible() && !dialog.m_listView->isVisible());
        QCOMPARE(storedPaths().size(), 1);
        GLINTORA_VERIFY_WATCHDOG(dog);
    }

    void viewsShareSelectionSortAndFilter()
    {
        fiveEntries();
        QConvertedDlg dialog;
        dialog.show();
        dialog.m_tableView->selectRow(1);
        dialog.m_btnIconList->click();
        QVERIFY(dialog.m_listView->isVisible() && !dialog.m_tableView->isVisible());
        QVERIFY(dialog.m_btnIconList->isChecked() && !dialog.m_btnIconList->isEnabled());
        QVERIFY(!dialog.m_btnTable->isChecked() && dialog.m_btnTable->isEnabled());
        QCOMPARE(dialog.m_listView->selectionModel(), dialog.m_tableView->selectionModel());
        QCOMPARE(dialog.m_listView->selectionModel()->selectedRows().value(0).row(), 1);

        const QList<QPair<QString, int>> searches{{"GIF", 2}, {"gif", 2}, {"^clip", 2}, {"2021\\.03", 2}, {"", 4}};
        for (const auto &search : searches) {
            dialog.m_editSearch->setText(search.first);
            QCOMPARE(rows(dialog), search.second);
        }
        dialog.m_editSearch->setText("^clip");
        dialog.m_btnTable->click();
        QCOMPARE(rows(dialog), 2);
        QCOMPARE(dialog.sortModel()->index(1, 0).data().toString(), QString("clipB"));
    }

    void menusFollowThePressAndRevealOnce()
    {
        const QStringList paths = fiveEntries();
        QConvertedDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QZVTableView *table = dialog.m_tableView;
        rightClick(table, centreOf(table, 0));
        QVERIFY(dialog.menu()->isVisible());
        QCOMPARE(dialog.menu()->pos(), table->viewport()->mapToGlobal(centreOf(table, 0)));
        QCOMPARE(dialog.menu()->actions().size(), 2);
        QVERIFY(action(dialog, "&Delete")->isEnabled());
        dialog.menu()->hide();
        rightClick(table, QPoint(50, table->viewport()->height() - 5));
        QVERIFY(!action(dialog, "&Delete")->isEnabled() && action(dialog, "Delete All")->isEnabled());
        dialog.menu()->hide();

        dialog.OnBtnThumbnail();
        rightClick(dialog.m_listView, centreOf(dialog.m_listView, 1));
        QVERIFY(action(dialog, "&Delete")->isEnabled() && action(dialog, "Find File")->isEnabled());
        action(dialog, "Find File")->trigger();
        dialog.menu()->hide();
        rightClick(dialog.m_listView, QPoint(400, 400));
        QVERIFY(!action(dialog, "&Delete")->isEnabled() && !action(dialog, "Find File")->isEnabled());
        dialog.menu()->hide();
        dialog.OpenFile(dialog.sortModel()->index(3, 4));
        QCOMPARE(m_revealed, QStringList({paths[1], paths[3]}));
    }

    void deletionFollowsTheAnswer()
    {
        const QStringList paths = fiveEntries();
        QVERIFY(!paths[0].isEmpty());
        QConvertedDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QString home = QDir::homePath();
        QMap<QString, QString> before = snapshot(home);
        answered("m_btnCancel", [&] { dialog.DeleteItemFile(dialog.sortModel()->index(0, 4)); });
        QCOMPARE(snapshot(home), before);
        QCOMPARE(rows(dialog), 4);

        // "Move files" from the grid's row button: only that entry's own thumbnail goes.
        dialog.OnBtnThumbnail();
        answered("m_btnMove", [&] { dialog.deleteItem(dialog.sortModel()->index(0, 0)); }); // clipA
        QCOMPARE(changed(before, snapshot(home)), QStringList{ZVHistoryThumbnail::pathFor(paths[0])});
        QCOMPARE(rows(dialog), 3);
        QVERIFY(!storedPaths().contains(paths[0]));

        // "&Delete" from the table's menu on three rows selected in the grid.
        dialog.m_listView->selectAll();
        dialog.OnBtnList();
        before = snapshot(home);
        rightClick(dialog.m_tableView, centreOf(dialog.m_tableView, 0));
        answered("m_btnDelete", [&] { action(dialog, "&Delete")->trigger(); });
        QStringList gone{paths[1], paths[2], m_root + "shot", m_root + "shot/shot_001.png",
                         ZVHistoryThumbnail::pathFor(paths[3])}; // the two plain files had none
        for (QString &path : gone)
            path = QDir::cleanPath(path);
        gone.sort();
        QCOMPARE(changed(before, snapshot(home)), gone);
        QVERIFY(QFileInfo(m_root).isDir() && QFileInfo(QIAnyUtil::getDocumentPath()).isDir());
        QCOMPARE(storedPaths(), QStringList{paths[4]});
        QVERIFY(!dialog.m_tableView->isVisible() && !dialog.m_listView->isVisible());
    }

    void deleteAllReachesRowsHiddenBySearch()
    {
        const QStringList paths = fiveEntries();
        QConvertedDlg dialog;
        dialog.m_editSearch->setText("clipA");
        QCOMPARE(rows(dialog), 1);
        answered("m_btnDelete", [&] { dialog.m_btnDeleteAll->click(); });
        for (const QString &path : paths)
            QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
        QVERIFY(storedPaths().isEmpty());
        QVERIFY(QDir(QIAnyUtil::getAppDataPath() + "/Temp").isEmpty());
        QVERIFY(QFileInfo(m_root).isDir());
    }

    // Entries a hand-edited history may hold: nothing but the recorded outputs' own files
    // may go, and every refused entry stays and is named.
    void guardKeepsWhatIsNotAnOutput()
    {
        const QString home = QDir::homePath();
        const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString data = QIAnyUtil::getAppDataPath();
        file(home + "/full/a.gif");
        file(home + "/full/full_001.png");
        QVERIFY(QFile::link(home + "/full", m_root + "link"));
        const QString series = m_root + "mixed(2)";
        const QStringList stills{file(series + "/mixed(2)_002.jpg"), file(series + "/mixed_001.png")};
        file(series + "/notes.txt");
        file(series + "/.hidden");
        file(series + "/sub/mixed_003.png");
        QVERIFY(QFile::link(file(home + "/outside.png"), series + "/mixed_004.png"));
        file(m_root + "folder.gif/inside.txt");
        const QStringList guarded{"/", home, docs, m_root, QDir::cleanPath(m_root), QFileInfo(QDir::cleanPath(m_root)).path(),
                                  data, data + "/History.xml", file(m_root + "../Converted/dots.gif"),
                                  m_root + "link", series + "/", file(m_root + "notes.txt"), m_root + "folder.gif"};
        for (const QString &path : guarded)
            save(path, "guarded");
        save("relative/normal.gif", "relative");
        const QString normal = file(m_root + "normal.gif");
        save(normal, "normal");

        QConvertedDlg dialog;
        QCOMPARE(rows(dialog), guarded.size() + 1);
        QMap<QString, QString> before = snapshot(home);
        for (int row = 0; row < guarded.size() + 1; ++row) {
            if (dialog.sortModel()->index(row, 0).data().toString() == "normal")
                continue;
            QString message;
            answered("m_btnDelete", [&] { dialog.DeleteItemFile(dialog.sortModel()->index(row, 4)); }, &message);
            QVERIFY(message.startsWith("These outputs were not deleted and stay in the history:\n"));
        }
        QCOMPARE(changed(before, snapshot(home)), stills);

        // A selection of every row: the refused ones are named at most ten at a time.
        before = snapshot(home);
        dialog.m_tableView->selectAll();
        QString message;
        answered("m_btnDelete", [&] { dialog.ActDeleteFile(); }, &message);
        QCOMPARE(changed(before, snapshot(home)), QStringList{normal});
        QCOMPARE(message.split('\n').size(), 12);
        QCOMPARE(message.split('\n').last(), QString("..."));
        QCOMPARE(rows(dialog), guarded.size());

        before = snapshot(home);
        answered("m_btnDelete", [&] { dialog.ActDeleteAll(); }, &message);
        QCOMPARE(snapshot(home), before);
        QCOMPARE(rows(dialog), guarded.size());
        QStringList stored = storedPaths();
        QStringList kept = guarded;
        stored.sort();
        kept.sort();
        QCOMPARE(stored, kept); // the relative entry's output does not exist: the store dropped it
    }

    void failedRemovalKeepsItsEntry()
    {
        const QString stuck = file(m_root + "stuck.gif");
        const QString loose = file(m_root + "loose.gif");
        save(stuck, "stuck");
        save(loose, "loose");
        QOutputDeleter::setRemover([stuck](const QString &path, bool folder) {
            return path != stuck && (folder ? QDir().rmdir(path) : QFile::remove(path));
        });
        QConvertedDlg dialog;
        dialog.m_tableView->selectAll();
        QString message;
        answered("m_btnDelete", [&] { dialog.ActDeleteFile(); }, &message);
        QCOMPARE(message.section('\n', 1), stuck);
        QCOMPARE(storedPaths(), QStringList{stuck});
        QCOMPARE(rows(dialog), 1);
        QVERIFY(!QFile::exists(loose));
    }

    // A press remembered before a deletion must not enable the row actions afterwards.
    void deletionForgetsThePress_data()
    {
        QTest::addColumn<bool>("all");
        QTest::newRow("row button") << false;
        QTest::newRow("Delete All") << true;
    }

    void deletionForgetsThePress()
    {
        QFETCH(bool, all);
        save(file(m_root + "only.gif"), "only");
        QConvertedDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.OnBtnThumbnail();
        QWidget *viewport = dialog.m_listView->viewport();
        const QPoint at = centreOf(dialog.m_listView, 0);
        QCursor::setPos(viewport->mapToGlobal(at));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        answered("m_btnDelete", [&] {
            if (all)
                dialog.ActDeleteAll();
            else
                dialog.deleteItem(dialog.sortModel()->index(0, 0));
        });
        dialog.OnBtnThumbnail();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
        QVERIFY(!action(dialog, "&Delete")->isEnabled() && !action(dialog, "Find File")->isEnabled());
        action(dialog, "Find File")->trigger();
        QVERIFY(m_revealed.isEmpty());
        dialog.menu()->hide();
    }
};

GLINTORA_TEST_MAIN(TestHistoryDialog)
#include "tst_historydialog.moc"
