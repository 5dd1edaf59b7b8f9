#include "qvideosettingxml.h"

#include "qianyutil.h"
#include "qstorefile.h"
#include "storelog.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kSettingsFile = QStringLiteral("VideoDefaultSetting.xml");
const QString kPresetsFile = QStringLiteral("PhotoConverterSetting.xml");
const QString kCaptureItem = QStringLiteral("Screenshots");

using State = QStoreFile::State;

} // namespace

bool QVideoSettingXml::isValidFile(const QString &path, QDomDocument &document)
{
    return QStoreFile::parse(path, document);
}

void QVideoSettingXml::SaveXml(const QString &path, const QDomDocument &document)
{
    QStoreFile::save(path, document);
}

QString QVideoSettingXml::GetItemValue(const QString &item, const QString &key, const QString &defaultValue)
{
    const QString path = QStoreFile::appDataFile(kSettingsFile);
    QDomDocument document;
    if (QStoreFile::loadOrStart(path, document) == State::Unparsable)
        return defaultValue;
    const QDomElement root = document.documentElement();
    const QDomNode node = QStoreFile::firstChildByTag(root, item);
    if (node.isNull()) {
        QStoreFile::setAttribute(QStoreFile::appendElement(document, root, item), key, defaultValue);
        SaveXml(path, document);
        return defaultValue;
    }
    // An empty or missing key reads as the default and leaves the element as it is.
    const QString value = QStoreFile::attribute(node, key);
    return value.isEmpty() ? defaultValue : value;
}

void QVideoSettingXml::SetItemValue(const QString &item, const QString &key, const QString &value)
{
    const QString path = QStoreFile::appDataFile(kSettingsFile);
    QDomDocument document;
    if (QStoreFile::load(path, document) != State::Parsed)
        return;
    const QDomNode node = QStoreFile::firstChildByTag(document.documentElement(), item);
    if (node.isNull())
        return;
    QStoreFile::setAttribute(node, key, value);
    SaveXml(path, document);
}

bool QVideoSettingXml::GetDefaultPtConvertInfo(const QString &formatId, PhotoConverterInfo *info)
{
    if (!info)
        return false;
    QDomDocument document;
    if (QStoreFile::load(QStoreFile::appDataFile(kPresetsFile), document) != State::Parsed)
        return false;
    const QDomNode options = QStoreFile::findFormatOptions(document, formatId);
    if (options.isNull())
        return false;
    info->width = QStoreFile::attribute(options, QStringLiteral("Photo_Width")).toInt();
    info->height = QStoreFile::attribute(options, QStringLiteral("Photo_Height")).toInt();
    info->quality = QStoreFile::attribute(options, QStringLiteral("Photo_Quality")).toInt();
    info->allOutput = QStoreFile::isYes(QStoreFile::attribute(options, QStringLiteral("Output_all_image")));
    info->keepExif = QStoreFile::isYes(QStoreFile::attribute(options, QStringLiteral("Keep_Exif")));
    info->keepAspectRatio = QStoreFile::isYes(QStoreFile::attribute(options, QStringLiteral("Keep_aspect_ratio")));
    return true;
}

void QVideoSettingXml::SetDefaultPtConvertInfo(const QString &formatId, PhotoConverterInfo *info)
{
    if (!info)
        return;
    const QString path = QStoreFile::appDataFile(kPresetsFile);
    QDomDocument document;
    if (QStoreFile::loadOrStart(path, document) == State::Unparsable)
        return;
    const QDomNode options = QStoreFile::makeFormatOptions(document, formatId);
    QStoreFile::setAttribute(options, QStringLiteral("Photo_Width"), QString::number(info->width));
    QStoreFile::setAttribute(options, QStringLiteral("Photo_Height"), QString::number(info->height));
    QStoreFile::setAttribute(options, QStringLiteral("Photo_Quality"), QString::number(info->quality));
    QStoreFile::setAttribute(options, QStringLiteral("Output_all_image"), QStoreFile::flag(info->allOutput));
    QStoreFile::setAttribute(options, QStringLiteral("Keep_Exif"), QStoreFile::flag(info->keepExif));
    QStoreFile::setAttribute(options, QStringLiteral("Keep_aspect_ratio"), QStoreFile::flag(info->keepAspectRatio));
    SaveXml(path, document);
}

QStringList QVideoSettingXml::GetLanguage(const QString &path)
{
    QStringList names;
    QDomDocument document;
    if (QStoreFile::load(path, document) != State::Parsed)
        return names;
    for (QDomNode node = document.documentElement().firstChild(); !node.isNull(); node = node.nextSibling())
        names.append(QStoreFile::attribute(node, QStringLiteral("Language_Name")));
    return names;
}

QPair<QString, QString> QVideoSettingXml::GetLanguageFile(const QString &path, const QString &name)
{
    QPair<QString, QString> found;
    QDomDocument document;
    if (QStoreFile::load(path, document) != State::Parsed)
        return found;
    // The last element with the name wins.
    for (QDomNode node = document.documentElement().firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (QStoreFile::attribute(node, QStringLiteral("Language_Name")) == name) {
            found.first = QStoreFile::attribute(node, QStringLiteral("Language_File"));
            found.second = QStoreFile::attribute(node, QStringLiteral("Language_Type"));
        }
    }
    return found;
}

QString QVideoSettingXml::getCaptureImgSuffix()
{
    return readCaptureSetting(QStringLiteral("IMG_SUFFIX"), QStringLiteral("JPEG"));
}

void QVideoSettingXml::setCaptureImgSuffix(const QString &name)
{
    SetItemValue(kCaptureItem, QStringLiteral("IMG_SUFFIX"), name);
}

QString QVideoSettingXml::getCaptrueImaSavePath()
{
    qCDebug(lcStore) << "settings file" << QStoreFile::appDataFile(kSettingsFile);
    QString defaultFolder = QIAnyUtil::getDocumentPath() + QStringLiteral("/Screenshots/");
    if (!QFileInfo::exists(defaultFolder) && !QDir().mkpath(defaultFolder))
        defaultFolder = QIAnyUtil::getDocumentPath();
    return readCaptureSetting(QStringLiteral("IMG_Folder"), defaultFolder);
}

void QVideoSettingXml::setCaptrueImaPath(const QString &folder)
{
    SetItemValue(kCaptureItem, QStringLiteral("IMG_Folder"), folder);
}

QString QVideoSettingXml::readCaptureSetting(const QString &key, const QString &defaultValue)
{
    const QString path = QStoreFile::appDataFile(kSettingsFile);
    QDomDocument document;
    if (QStoreFile::loadOrStart(path, document) == State::Unparsable)
        return defaultValue;
    const QDomElement root = document.documentElement();
    QDomNode node = QStoreFile::firstChildByTag(root, kCaptureItem);
    if (node.isNull())
        node = QStoreFile::appendElement(document, root, kCaptureItem);
    const QString value = QStoreFile::attribute(node, key);
    if (!value.isEmpty())
        return value;
    // Unlike plain settings, an empty capture setting is filled with its default.
    QStoreFile::setAttribute(node, key, defaultValue);
    SaveXml(path, document);
    return defaultValue;
}
