#pragma once

#include "convertedinfo.h"
#include "modalwatchdog.h"
#include "qconverteddlg.h"
#include "qianyutil.h"
#include "qvideosettingxml.h"
#include "qzvbasesortmodel.h"
#include "qzvmenu.h"
#include "qzvmessagedlg.h"
#include "zvcommoninterface.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDirIterator>
#include <QtTest>

#include <functional>

// History entries, outputs and views driven the way a user drives them.
namespace HistoryFixture {

inline void save(const QString &path, const QString &title, const QString &format = "GIF",
                 const QString &created = "2021.03.04 10:00:00")
{
    convertedInfo info;
    info.convertedPath = path;
    info.title = title;
    info.format = format;
    info.createTime = created;
    info.resolution = "640x360";
    QVideoSettingXml::SaveConvertedInfo(&info);
}

inline QStringList storedPaths()
{
    QStringList paths;
    QList<convertedInfo *> entries;
    QVideoSettingXml::analysisConvertedInfo(&entries);
    for (convertedInfo *entry : qAsConst(entries)) {
        paths << entry->convertedPath;
        delete entry;
    }
    return paths;
}

inline QString file(const QString &path, const QByteArray &bytes = "bytes")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    return path;
}

// Every entry below root as lstat sees it: kind, size and link target, no link followed.
// The history file itself is left out: the store is checked through its entries.
inline QMap<QString, QString> snapshot(const QString &root)
{
    QMap<QString, QString> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.fileName() == QLatin1String("History.xml"))
            continue;
        const QString kind = info.isSymLink() ? "link " + info.symLinkTarget() : info.isDir() ? "dir" : "file";
        tree.insert(path, QString("%1 %2").arg(kind).arg(info.isDir() ? 0 : info.size()));
    }
    return tree;
}

// Paths missing, added or changed, sorted.
inline QStringList changed(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList paths;
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (after.value(it.key()) != it.value())
            paths << it.key();
    }
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!before.contains(it.key()))
            paths << it.key();
    }
    paths.sort();
    return paths;
}

inline QAction *action(QConvertedDlg &dialog, const QString &text)
{
    for (QAction *item : dialog.menu()->actions()) {
        if (item->text() == text)
            return item;
    }
    return nullptr;
}

// The cursor placed, a right press, then the context-menu request the platform sends.
inline void rightClick(QAbstractItemView *view, QPoint at)
{
    QWidget *viewport = view->viewport();
    const QPoint global = viewport->mapToGlobal(at);
    QCursor::setPos(global);
    QTest::mousePress(viewport, Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, global);
    QApplication::sendEvent(viewport, &event);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
}

inline QPoint centreOf(QAbstractItemView *view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

// Runs a deletion with the question answered by that button; with a message wanted, the
// one message box that must follow is recorded and closed.
inline void answered(const QString &button, const std::function<void()> &run, QString *message = nullptr)
{
    ModalWatchdog dog;
    dog.expect("AskMessageDlg", "AskMessageDlg", ModalWatchdog::clickButton(button));
    if (message) {
        dog.expect("QZVMessageDlg", "", ModalWatchdog::inspectThen(
                                            [message](QWidget *box) { *message = static_cast<QZVMessageDlg *>(box)->message(); },
                                            ModalWatchdog::clickButton("m_btnOk")));
    }
    run();
    GLINTORA_VERIFY_WATCHDOG(dog);
}

inline int rows(QConvertedDlg &dialog)
{
    return dialog.sortModel()->rowCount();
}

} // namespace HistoryFixture
