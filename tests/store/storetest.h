#pragma once

#include "qhistoryfile.h"
#include "qianyutil.h"
#include "qstorefile.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <unistd.h>

// Small helpers the store tests share: raw file access and a clean application-data folder.
// Raw access first lets the history's writer finish, as it would before the user looks.
namespace StoreTest {

inline QString dataFile(const QString &name)
{
    return QIAnyUtil::getAppDataPath() + '/' + name;
}

inline QByteArray readBytes(const QString &path)
{
    QHistoryFile::instance().flush();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file as editors do, so the history sees a new file even within one tick
// of the clock that stamps modification times.
inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QHistoryFile::instance().flush();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
}

inline QDomDocument parsed(const QString &path)
{
    QDomDocument document;
    document.setContent(readBytes(path));
    return document;
}

inline void clearAppData()
{
    QHistoryFile::instance().flush();
    QStoreFile::setTroubleNotice({});
    QDir(QIAnyUtil::getAppDataPath()).removeRecursively();
}

// Installs a notice for one test function and removes it when the function ends, however it
// ends: declared after what the notice fills, it goes first, so a notice that comes late
// fails that case instead of reaching a dead local.
class NoticeGuard
{
public:
    explicit NoticeGuard(QStoreFile::TroubleNotice notice) { QStoreFile::setTroubleNotice(std::move(notice)); }
    ~NoticeGuard() { QStoreFile::setTroubleNotice({}); }
    NoticeGuard(const NoticeGuard &) = delete;
    NoticeGuard &operator=(const NoticeGuard &) = delete;
};

inline bool permissionsAreBypassed()
{
    return ::geteuid() == 0;
}

const char kWriteWarning[] = "error::ParserXML->writeOperateXml->file.open\n";

} // namespace StoreTest
