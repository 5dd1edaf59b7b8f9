#pragma once

#include "qianyutil.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QString>

#include <unistd.h>

// Small helpers the store tests share: raw file access and a clean application-data folder.
namespace StoreTest {

inline QString dataFile(const QString &name)
{
    return QIAnyUtil::getAppDataPath() + '/' + name;
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

inline QDomDocument parsed(const QString &path)
{
    QDomDocument document;
    document.setContent(readBytes(path));
    return document;
}

inline void clearAppData()
{
    QDir(QIAnyUtil::getAppDataPath()).removeRecursively();
}

inline bool permissionsAreBypassed()
{
    return ::geteuid() == 0;
}

const char kWriteWarning[] = "error::ParserXML->writeOperateXml->file.open\n";

} // namespace StoreTest
