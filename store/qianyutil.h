#pragma once

#include <QString>
#include <QtGlobal>

// Where the application's folders are, plus two small file helpers. Static only.
class QIAnyUtil
{
public:
    static QString getApplicationDirPath();
    static QString getResourcePath();
    // Our own folders, made when missing; named even when they cannot be made, so that
    // nothing is ever written into or deleted from the shared folder above them.
    static QString getAppDataPath();
    static QString getDocumentPath();
    // The output folder when none is chosen: documents + "/Converted/".
    static QString getDefaultConvertPath();
    static QString getTempSavePath();
    static QString dndTmpPath();

    static QString size2String(quint64 size);
    static bool removeFolderContent(const QString &folderPath);

    static QString getRestorePassWord();
    static void setRestorePassWord(QString text);

private:
    static QString parentOfApplicationDir();

    static QString s_appPath;
    static QString s_resourcePath;
    static QString s_restorPassword;
    static bool s_appPathFilled;
    static bool s_resourcePathFilled;
};
