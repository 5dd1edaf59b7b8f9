#pragma once

#include "convertedinfo.h"
#include "fileformatinfo.h"
#include "formatinforecord.h"
#include "photoconverterinfo.h"
#include "qualityset.h"

#include <QDomDocument>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

// The store of small XML files: settings, presets, history and the read-only lists.
// Every call parses its file whole and writes it back whole, except the history, which
// stays parsed in memory and is written by a thread of its own; GUI thread only.
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

    static void SaveConvertedPathMd5(const QString &token);
    static QString getConvertedPathMd5();

    // Readers of the read-only format catalogue; each returned record stays valid until
    // the next call of the same reader.
    static FormatInfoRecord *GetFormatAllInfo(const QString &format);
    static QualitySet *GetQuality(const QString &preset, const QString &format);
    static FileFormatInfo *GetFormatInfo(const QString &format);
    static void analysisTextInfo(std::string text, std::vector<std::string> &list);
    static void analysisTextInfo(std::string text, std::string unit, std::vector<std::string> &list);
    static QString addUnit(const QString &value, const QString &attribute);
    static std::string &trim(std::string &text);

    static void SetDefaultFormat(const QString &format, QualitySet *preset);
    static QualitySet *GetDefaultFormat(const QString &format, QualitySet *copy);

private:
    static QString readCaptureSetting(const QString &key, const QString &defaultValue);

    static std::unique_ptr<convertedInfo> m_convertInfo;
    static std::unique_ptr<FormatInfoRecord> m_formatInfo;
    static std::unique_ptr<QualitySet> m_highQualitySet;
    static std::unique_ptr<FileFormatInfo> m_fileFormatInfo;
    static std::unique_ptr<QualitySet> m_defaultQualitySet;
};
