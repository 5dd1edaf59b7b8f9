#include "convertedinfo.h"
#include "modalwatchdog.h"
#include "qcheckheaderview.h"
#include "qconverteddlg.h"
#include "qconverteroperate.h"
#include "qhistoryfile.h"
#include "qianyutil.h"
#include "qoutputdeleter.h"
#include "qoutputidentity.h"
#include "qvideosettingxml.h"
#include "qzvbasesortmodel.h"
#include "qzvmenu.h"
#include "qzvmessagedlg.h"
#include "testhome.h"
#include "testmedia.h"
#include "zvcommoninterface.h"
#include "zvhistorythumbnail.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QStandardPaths>

#include <functional>

namespace {

QStringList g_warnings;
QtMessageHandler g_previousHandler = nullptr;

// Qt's complaints about layouts, headers, scroll bars, models and connections fail the test.
void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg
        && text.contains(QRegularExpression("layout|header|scroll|connect|model", QRegularExpression::CaseInsensitiveOption)))
        g_warnings << text;
    g_previousHandler(type, context, text);
}

void save(const QString &path, const QString &title, const QString &format = "GIF", const QString &created = "")
{
    convertedInfo info;
    info.convertedPath = path;
    info.title = title;
    info.format = format;
    info.createTime = created;
    // As a finished job records it; an entry naming the history file sees it as saved so far.
    QHistoryFile::instance().flush();
    info.identity = QOutputIdentity::of(path);
    QVideoSettingXml::SaveConvertedInfo(&info);
}

// What an earlier version recorded: a digest of the name, size, time and first 4096 bytes.
QString olderIdentity(const QString &path)
{
    const QFileInfo info(path);
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(info.fileName().toUtf8());
    hash.addData(QByteArray::number(info.size()) + ' ' + QByteArray::number(info.lastModified().toMSecsSinceEpoch()));
    hash.addData(in.read(4096));
    return hash.result().toHex();
}

// One byte past the first 4096 changed, the size and modification time kept, as a copy
// that keeps times or a restore from a backup leaves it.
void changePastTheHead(const QString &path)
{
    const QDateTime modified = QFileInfo(path).lastModified();
    QFile out(path);
    out.open(QIODevice::ReadWrite);
    out.seek(5000);
    out.write("b");
    out.flush();
    out.setFileTime(modified, QFileDevice::FileModificationTime);
}

QStringList storedPaths()
{
    QStringList paths;
    QList<convertedInfo *> entries;
    QVideoSettingXml::analysisConvertedInfo(&entries);
    for (convertedInfo *entry : qAsConst(entries)) {
        paths << entry->convertedPath;
        delete entry;
    }
    paths.sort();
    return paths;
}

QString file(const QString &path, const QByteArray &bytes = "bytes")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() ? path : QString();
}

// The tree below root as lstat sees it (kind, size, link target), without the history file,
// which is checked through the store.
QMap<QString, QString> snapshot(const QString &root)
{
    QMap<QString, QString> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (info.fileName() != "History.xml")
            tree.insert(info.filePath(), QString("%1 %2 %3").arg(info.isDir()).arg(info.size()).arg(info.symLinkTarget()));
    }
    return tree;
}

QStringList changed(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList paths = before.keys() + after.keys();
    paths.removeDuplicates();
    paths.erase(std::remove_if(paths.begin(), paths.end(), [&](const QString &path) { return before.value(path) == after.value(path); }), paths.end());
    paths.sort();
    return paths;
}

// The cursor placed, a right press, then the context-menu request the platform sends.
void rightClick(QAbstractItemView *view, QPoint at)
{
    const QPoint global = view->viewport()->mapToGlobal(at);
    QCursor::setPos(global);
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, global);
    QApplication::sendEvent(view->viewport(), &event);
    QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, at);
}

// Runs a deletion with the question answered by that button; with a message wanted, the
// one message box that must follow is recorded and closed.
void answered(const QString &button, const std::function<void()> &run, QString *message = nullptr)
{
    ModalWatchdog dog;
    dog.expect("AskMessageDlg", "AskMessageDlg", ModalWatchdog::clickButton(button));
    if (message) {
        dog.expect("QZVMessageDlg", "", ModalWatchdog::inspectThen([message](QWidget *box) {
            *message = static_cast<QZVMessageDlg *>(box)->message();
        }, ModalWatchdog::clickButton("m_btnOk")));
    }
    run();
    GLINTORA_VERIFY_WATCHDOG(dog);
}

} // namespace

class TestHistoryDialog : public QObject
{
    Q_OBJECT

private:
    QString m_root;
    QStringList m_revealed;
    PhotoConverterInfo m_output;

    static int rows(QConvertedDlg &dialog) { return dialog.sortModel()->rowCount(); }

    static QAction *action(QConvertedDlg &dialog, const QString &text)
    {
        const QList<QAction *> actions = dialog.menu()->actions();
        auto found = std::find_if(actions.begin(), actions.end(), [&text](QAction *a) { return a->text() == text; });
        return found == actions.end() ? nullptr : *found;
    }

    static QPoint centre(QAbstractItemView *view, int row) { return view->visualRect(view->model()->index(row, 0)).center(); }

    // Three files, a series folder, and an entry whose output is gone.
    QStringList fiveEntries()
    {
        const QString gif = m_root + "clipA.gif";
        TestMedia::runFfmpeg({"-f", "lavfi", "-i", "color=c=red:s=640x360:d=0.2", gif});
        QDir().mkpath(m_root + "shot");
        QImage(400, 300, QImage::Format_RGB32).save(m_root + "shot/shot_001.png");
        const QStringList paths{gif, file(m_root + "clipB.webp"), file(m_root + "other.gif"), m_root + "shot/", m_root + "gone.gif"};
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
        QConverterOperate::g_converterInfo = &m_output;
        m_output.format = "jpeg"; // the thumbnails follow the entries, not the current format
        m_root = QIAnyUtil::getDocumentPath() + "/Converted/";
        QConverterOperate::setConverterPath(m_root);
    }

    void init()
    {
        QHistoryFile::instance().flush();
        QFile::remove(QIAnyUtil::getAppDataPath() + "/History.xml");
        QDir(QIAnyUtil::getAppDataPath() + "/Temp").removeRecursively();
        QVERIFY(QDir(m_root).removeRecursively() && QDir().mkpath(m_root));
    }

    void cleanup()
    {
        QOutputDeleter::setRemover({});
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join('\n')));
        g_warnings.clear();
        m_revealed.clear();
    }

    void loadingLayoutViewsAndMenus()
    {
        const QStringList paths = fiveEntries();
        const QString old = file(ZVHistoryThumbnail::pathFor(paths[2]), "old thumbnail");
        const QDateTime stamp = QFileInfo(old).lastModified();
        QConvertedDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), QSize(548, 600));
        QCOMPARE(QList<QRect>({dialog.m_tableView->geometry(), dialog.m_listView->geometry(), dialog.m_btnDeleteAll->geometry()}),
                 QList<QRect>({{8, 30, 532, 512}, {22, 30, 518, 512}, {445, 555, 80, 24}}));
        QVERIFY(dialog.m_tableView->isVisible() && dialog.m_listView->isHidden());
        QVERIFY(dialog.m_btnTable->x() == 23 && dialog.m_btnIconList->x() == dialog.m_btnTable->geometry().right());
        QCOMPARE(dialog.m_editSearch->geometry(), QRect(dialog.m_btnIconList->geometry().right() + 15, 554, 125, 25));
        QCheckHeaderView *header = dialog.header();
        QVERIFY(header->height() == 23 && !header->getCheckVisable() && header->stretchLastSection());
        QCOMPARE(QList<int>({header->sectionSize(0), header->sectionSize(1), header->sectionSize(2), header->sectionSize(3)}),
                 QList<int>({140, 95, 70, 140}));

        QCOMPARE(rows(dialog), 4);
        const QModelIndex first = dialog.sortModel()->mapToSource(dialog.sortModel()->index(0, 0));
        QCOMPARE(first.data().toString(), QString("clipA"));
        QVERIFY(!first.data(Qt::DecorationRole).isValid() && !first.data(Qt::BackgroundRole).isValid());
        QVERIFY(first.data(Qt::SizeHintRole) == QSize(98, 113) && first.data(Qt::FontRole).value<QFont>().pixelSize() == 12);
        dialog.m_btnIconList->click();
        QCOMPARE(first.data(Qt::DecorationRole).toString(), ZVHistoryThumbnail::pathFor(paths[0]));
        QCOMPARE(dialog.m_tableView->currentIndex().row(), 0);
        QCOMPARE(storedPaths().size(), 5); // the gone entry stays in the file
        QCOMPARE(QImage(ZVHistoryThumbnail::pathFor(paths[0])).size(), QSize(200, 112));
        QCOMPARE(QImage(ZVHistoryThumbnail::pathFor(paths[3])).size(), QSize(200, 150));
        QVERIFY(!QFile::exists(ZVHistoryThumbnail::pathFor(paths[1]))); // no picture in it
        QFile kept(old);
        QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == "old thumbnail");
        QCOMPARE(QFileInfo(old).lastModified(), stamp);

        // Menus follow the press; a switch keeps the selection, the sort and the filter.
        dialog.m_btnTable->click();
        QZVTableView *table = dialog.m_tableView;
        rightClick(table, centre(table, 1));
        QCOMPARE(dialog.menu()->pos(), table->viewport()->mapToGlobal(centre(table, 1)));
        QCOMPARE(dialog.menu()->actions().size(), 2); // no "Find File" in the table
        QVERIFY(action(dialog, "&Delete")->isEnabled());
        rightClick(table, QPoint(50, table->viewport()->height() - 5));
        QVERIFY(!action(dialog, "&Delete")->isEnabled() && action(dialog, "Delete All")->isEnabled());

        table->selectRow(1);
        dialog.m_btnIconList->click();
        QVERIFY(dialog.m_listView->isVisible() && table->isHidden());
        QVERIFY(dialog.m_btnIconList->isChecked() && !dialog.m_btnIconList->isEnabled());
        QVERIFY(!dialog.m_btnTable->isChecked() && dialog.m_btnTable->isEnabled());
        QCOMPARE(dialog.m_listView->selectionModel()->selectedRows().value(0).row(), 1);
        rightClick(dialog.m_listView, centre(dialog.m_listView, 2));
        QVERIFY(action(dialog, "&Delete")->isEnabled() && action(dialog, "Find File")->isEnabled());
        action(dialog, "Find File")->trigger();
        rightClick(dialog.m_listView, QPoint(400, 400));
        QVERIFY(!action(dialog, "&Delete")->isEnabled() && !action(dialog, "Find File")->isEnabled());
        dialog.menu()->hide();
        dialog.OpenFile(dialog.sortModel()->index(3, 4));
        QCOMPARE(m_revealed, QStringList({paths[2], paths[3]}));

        for (const auto &search : QList<QPair<QString, int>>{{"GIF", 2}, {"gif", 2}, {"^clip", 2}, {"2021\\.03", 2}, {"", 4}}) {
            dialog.m_editSearch->setText(search.first);
            QCOMPARE(rows(dialog), search.second);
        }
        dialog.m_editSearch->setText("^clip");
        dialog.m_btnTable->click();
        QCOMPARE(rows(dialog), 2);
        QCOMPARE(dialog.sortModel()->index(1, 0).data().toString(), QString("clipB"));
    }

    void deletionFollowsTheAnswer()
    {
        const QStringList paths = fiveEntries();
        QConvertedDlg dialog;
        QAbstractItemModelTester tester(dialog.sortModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QString home = QDir::homePath();
        QMap<QString, QString> before = snapshot(home);
        answered("m_btnCancel", [&] { dialog.DeleteItemFile(dialog.sortModel()->index(0, 4)); });
        QCOMPARE(snapshot(home), before);
        QCOMPARE(rows(dialog), 4);

        // "Move files" from the grid's row button takes only the entry's own thumbnail, and
        // the press on the freed record is forgotten.
        dialog.OnBtnThumbnail();
        QWidget *grid = dialog.m_listView->viewport();
        const QPoint at = centre(dialog.m_listView, 0);
        QCursor::setPos(grid->mapToGlobal(at));
        QTest::mouseClick(grid, Qt::LeftButton, {}, at);
        answered("m_btnMove", [&] { dialog.deleteItem(dialog.sortModel()->index(0, 0)); });
        QCOMPARE(changed(before, snapshot(home)), QStringList{ZVHistoryThumbnail::pathFor(paths[0])});
        QVERIFY(rows(dialog) == 3 && !storedPaths().contains(paths[0]));
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->mapToGlobal(at));
        QApplication::sendEvent(grid, &event); // at the same place, now empty
        QVERIFY(!action(dialog, "&Delete")->isEnabled() && !action(dialog, "Find File")->isEnabled());
        action(dialog, "Find File")->trigger();
        dialog.menu()->hide();
        QVERIFY(m_revealed.isEmpty());

        // "&Delete" from the table's menu on the rows selected in the grid; one file will not go.
        dialog.m_listView->selectAll();
        dialog.OnBtnList();
        QOutputDeleter::setRemover([stuck = paths[1]](const QString &path, bool folder) {
            return path != stuck && (folder ? QDir().rmdir(path) : QFile::remove(path));
        });
        before = snapshot(home);
        rightClick(dialog.m_tableView, centre(dialog.m_tableView, 0));
        const qint64 freed = QFileInfo(paths[2]).size() + QFileInfo(m_root + "shot/shot_001.png").size();
        QString message;
        answered("m_btnDelete", [&] { action(dialog, "&Delete")->trigger(); }, &message);
        // What went is named with its size, then what stayed.
        const QStringList said = message.split("\n\n");
        QStringList deleted = said.value(0).split('\n');
        QCOMPARE(deleted.takeFirst(), QString("2 outputs were deleted (%1):").arg(QIAnyUtil::size2String(freed)));
        deleted.sort();
        QCOMPARE(deleted, QStringList({paths[2], paths[3]}));
        QCOMPARE(said.value(1), "These outputs could not be deleted and stay in the history:\n" + paths[1]);
        const QStringList gone{ZVHistoryThumbnail::pathFor(paths[3]), paths[2], m_root + "shot", m_root + "shot/shot_001.png"};
        QCOMPARE(changed(before, snapshot(home)), gone);
        QVERIFY(QFileInfo(m_root).isDir()); // the output root stays
        QCOMPARE(storedPaths(), QStringList({paths[1], paths[4]}));
        QCOMPARE(rows(dialog), 1);

        // "Delete All" also reaches the rows the search hides, and drops the gone entry.
        QOutputDeleter::setRemover({});
        dialog.m_editSearch->setText("no such row");
        answered("m_btnDelete", [&] { dialog.m_btnDeleteAll->click(); });
        QVERIFY(!QFile::exists(paths[1]) && storedPaths().isEmpty());
        QVERIFY(QDir(QIAnyUtil::getAppDataPath() + "/Temp").isEmpty());

        // Empty: the no-file picture shows, "Delete All" asks nothing, a switch shows no view.
        const QImage picture(QIAnyUtil::getResourcePath() + "/image/Converted/bg_noFile.png");
        const QPoint inside(picture.width() / 4, picture.height() / 4);
        const QPoint origin((548 - picture.width() / 2) / 2, (600 - picture.height() / 2) / 2);
        QCOMPARE(dialog.grab().toImage().pixelColor(origin + inside), picture.pixelColor(inside * 2));
        ModalWatchdog dog;
        dialog.onDeleteAll();
        dialog.OnBtnThumbnail();
        QVERIFY(dialog.m_tableView->isHidden() && dialog.m_listView->isHidden());
        GLINTORA_VERIFY_WATCHDOG(dog);
    }

    // What a hand-edited history may name: only the recorded outputs' own files may go,
    // and every refused entry stays and is named.
    void guardKeepsWhatIsNotAnOutput()
    {
        const QString home = QDir::homePath();
        const QString data = QIAnyUtil::getAppDataPath();
        const QString series = m_root + "mixed(2)";
        const QStringList stills{file(series + "/mixed(2)_002.jpg"), file(series + "/mixed_001.png")};
        for (const char *own : {"/notes.txt", "/.hidden", "/sub/mixed_003.png"})
            file(series + own);
        QVERIFY(QFile::link(file(home + "/outside.png"), series + "/mixed_004.png"));
        file(home + "/full/full_001.png");
        QVERIFY(QFile::link(home + "/full", m_root + "link"));
        file(m_root + "folder.gif/inside.txt");
        QDir::setCurrent(home); // where the relative entry's file lies
        QStringList guarded{"/", home, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), m_root,
                                  QDir::cleanPath(m_root), QFileInfo(QDir::cleanPath(m_root)).path(), data,
                                  data + "/History.xml", file(m_root + "../Converted/dots.gif"), m_root + "link",
                                  series + "/", file(m_root + "notes.txt"), m_root + "folder.gif", file("relative.gif")};
        for (const QString &path : guarded)
            save(path, "guarded");
        QConvertedDlg dialog;
        QCOMPARE(rows(dialog), guarded.size());
        QMap<QString, QString> before = snapshot(home);
        const QString refused = "These are not outputs this program may delete, so they were not deleted and stay in "
                                "the history:";
        const QHash<QString, QString> reasons{
            {series + "/", "The converted stills were deleted. These folders stay, as they also hold other files:"},
            {m_root + "folder.gif", "These outputs could not be deleted and stay in the history:"}};
        QStringList named;
        for (int row = guarded.size() - 1; row >= 0; --row) { // the series' row goes with its stills
            QString message;
            answered("m_btnDelete", [&] { dialog.DeleteItemFile(dialog.sortModel()->index(row, 4)); }, &message);
            const QString path = message.section('\n', 1);
            QCOMPARE(message, reasons.value(path, refused) + '\n' + path);
            named << path;
        }
        QCOMPARE(QSet<QString>(named.begin(), named.end()), QSet<QString>(guarded.begin(), guarded.end()));
        QCOMPARE(changed(before, snapshot(home)), stills);
        guarded.removeOne(series + "/");
        before = snapshot(home);
        QString message;
        answered("m_btnDelete", [&] { dialog.ActDeleteAll(); }, &message);
        QCOMPARE(snapshot(home), before);
        QCOMPARE(message.section('\n', 11, 11), QString("...")); // ten named at most
        QCOMPARE(rows(dialog), guarded.size());
        QStringList kept = guarded;
        kept.sort();
        QCOMPARE(storedPaths(), kept);
    }

    // A file goes only while it is what the finished job wrote; an entry that never
    // recorded that (an older or hand-written one) only leaves the list. The message says
    // what was done and why.
    void deletionNeedsTheRecordedOutput_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("usersFile");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("heading");
        const QString changed = "These files changed since they were converted, so they were not deleted and stay "
                                "in the history:";
        const QString moved = "These files were not deleted, only removed from the list: the history has no record "
                              "of what was written there.";
        const QString stills = "The converted stills were deleted. These folders stay, as they also hold other files:";
        QTest::newRow("as written") << "clip.gif" << "current" << "" << false << true << false << QString();
        QTest::newRow("no record of it") << "family.gif" << "" << "" << false << false << false << moved;
        QTest::newRow("older record") << "clip.gif" << "older" << "" << false << false << false << moved;
        QTest::newRow("rewritten since") << "clip.gif" << "current" << "rewritten" << false << false << true << changed;
        QTest::newRow("changed past the first bytes, same size and time")
            << "clip.gif" << "current" << "past the head" << false << false << true << changed;
        QTest::newRow("still rewritten since") << "shot/" << "current" << "rewritten" << false << false << true << changed;
        QTest::newRow("stills beside the user's file") << "shot/" << "current" << "" << true << true << false << stills;
    }

    void deletionNeedsTheRecordedOutput()
    {
        QFETCH(QString, output);
        QFETCH(QString, record);
        QFETCH(QString, change);
        QFETCH(bool, usersFile);
        QFETCH(bool, deleted);
        QFETCH(bool, listed);
        QFETCH(QString, heading);
        const QString path = m_root + output;
        const QString written = file(output.endsWith('/') ? path + "shot_001.png" : path, QByteArray(6000, 'a'));
        const QString users = usersFile ? file(path + "notes.txt") : QString();
        convertedInfo info;
        info.convertedPath = path;
        info.title = "entry";
        if (record == "current")
            info.identity = QOutputIdentity::of(path);
        else if (record == "older")
            info.identity = olderIdentity(written);
        QVideoSettingXml::SaveConvertedInfo(&info);
        if (change == "rewritten")
            file(written, "other bytes, longer");
        else if (change == "past the head")
            changePastTheHead(written);
        QConvertedDlg dialog;
        QString message;
        answered("m_btnDelete", [&] { dialog.DeleteItemFile(dialog.sortModel()->index(0, 4)); },
                 heading.isEmpty() ? nullptr : &message);
        QCOMPARE(QFileInfo::exists(written), !deleted);
        QVERIFY(users.isEmpty() || QFileInfo::exists(users));
        QCOMPARE(storedPaths().contains(path), listed);
        QCOMPARE(rows(dialog), listed ? 1 : 0);
        QCOMPARE(message, heading.isEmpty() ? QString() : heading + '\n' + path);
    }
};

GLINTORA_TEST_MAIN(TestHistoryDialog)
#include "tst_historydialog.moc"
