#pragma once

#include "convertedinfo.h"
#include "photoconverterinfo.h"

#include <QDomDocument>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

// The store of small XML files: settings, presets, history and the read-only lists.
// Every call parses its file whole and writes it back whole; GUI thread only.
class QVideoSettingXml
{
public:
    static bool isValidFile(const QString &path, QDomDocument &document);
    static void SaveXml(const QString &path, const QDomDocument &document);

    static QString GetItemValue(const QString &item, const QString &key, const QString &defaultValue);
    static void SetItemValue(const QString &item, const QString &key, const QString &value);

    static bool GetDefaultPtConvertInfo(const QString &formatId, PhotoConverterInfo *info);
    static void SetDefaultPtConvertInfo(const QString &formatId, PhotoConverterInfo *info);

    static QStringList GetLanguage(const QString &path);
    static QPair<QString, QString> GetLanguageFile(const QString &path, const QString &name);

    static QString getCaptureImgSuffix();
    static void setCaptureImgSuffix(const QString &name);
    static QString getCaptrueImaSavePath();
    static void setCaptrueImaPath(const QString &folder);

    static void SaveConvertedInfo(convertedInfo *info);
    static void analysisConvertedInfo(QList<convertedInfo *> *list);
    static QStringList GetConvertedPath();
    static void DeleteConvertedPath(QStringList paths);
    static QString getPreferencePath(const QString &path);
    static convertedInfo *GetConvertedInfo(const QString &path);
    static void removeConvertedInfo(const QString &path);
    static void changeConvertedInofPath(const QString &oldPath, const QString &newPath);
    static void SetConvertedPath(const QString &path);

private:
    static QString readCaptureSetting(const QString &key, const QString &defaultValue);
    static QDomNode findHistoryEntry(const QDomNode &root, const QString &path);
    static convertedInfo *readHistoryRecord(const QDomNode &entry, const QString &path);

    static std::unique_ptr<convertedInfo> m_convertInfo;
};
