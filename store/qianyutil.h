#pragma once

#include <QString>
#include <QtGlobal>

// Where the application's folders are, plus two small file helpers. Static only.
class QIAnyUtil
{
public:
    static QString getApplicationDirPath();
    static QString getResourcePath();
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
