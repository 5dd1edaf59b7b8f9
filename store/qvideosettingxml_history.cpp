// The conversion history file of the store.
#include "qvideosettingxml.h"

#include "qstorefile.h"

#include <QFileInfo>

std::unique_ptr<convertedInfo> QVideoSettingXml::m_convertInfo;

namespace {

const QString kHistoryFile = QStringLiteral("History.xml");
const QString kEntryTag = QStringLiteral("Path_item");
const QString kDetailsTag = QStringLiteral("CONVERTED_INFO_");
const QString kKey = QStringLiteral("Converted_path_");
const QString kNewFlag = QStringLiteral("New_file");
const QString kVideoFlag = QStringLiteral("Video_file");

using State = QStoreFile::State;

QString historyPath()
{
    return QStoreFile::appDataFile(kHistoryFile);
}

QString normalised(QString path)
{
    return path.replace('\\', '/');
}

// Keys are stored made XML-safe, so exact lookups compare with the stored form.
QDomNode findExact(const QDomNode &root, const QString &path)
{
    return QStoreFile::firstChildByAttribute(root, kKey, QStoreFile::xmlSafe(path));
}

QDomNode appendEntry(QDomDocument &document, const QString &path)
{
    const QDomNode entry = QStoreFile::appendElement(document, document.documentElement(), kEntryTag);
    QStoreFile::setAttribute(entry, kKey, path);
    return entry;
}

void writeDetails(const QDomNode &details, const convertedInfo &info)
{
    const auto set = [&details](const char *name, const QString &value) {
        QStoreFile::setAttribute(details, QLatin1String(name), value);
    };
    set("Img_path_", info.imgPath);
    set("Title_", info.title);
    set("Resolutin_", info.resolution);
    set("Time_", info.time);
    set("Creacte_Time_", info.createTime);
    set("Size_", info.size);
    set("Extend_", info.extend);
    set("Artist_", info.artist);
    set("Album_", info.album);
    set("Genre_", info.genre);
    set("Format_", info.format);
    set("preferencePath_", info.preferencePath);
    set("Video_file", QStoreFile::flag(info.isVideo));
    set("New_file", QStoreFile::flag(info.isNew));
}

} // namespace

QDomNode QVideoSettingXml::findHistoryEntry(const QDomNode &root, const QString &path)
{
    const QString wanted = normalised(QStoreFile::xmlSafe(path));
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (normalised(QStoreFile::attribute(node, kKey)) == wanted)
            return node;
    }
    return QDomNode();
}

convertedInfo *QVideoSettingXml::readHistoryRecord(const QDomNode &entry, const QString &path)
{
    const QDomNode details = entry.firstChild();
    const auto get = [&details](const char *name) { return QStoreFile::attribute(details, QLatin1String(name)); };
    auto *info = new convertedInfo;
    info->convertedPath = path;
    info->imgPath = get("Img_path_");
    info->resolution = get("Resolutin_");
    info->title = get("Title_");
    info->time = get("Time_");
    info->size = get("Size_");
    info->extend = get("Extend_");
    info->artist = get("Artist_");
    info->album = get("Album_");
    info->genre = get("Genre_");
    info->createTime = get("Creacte_Time_");
    info->format = get("Format_");
    info->preferencePath = get("preferencePath_");
    info->isVideo = QStoreFile::isYes(get("Video_file"));
    info->isNew = QStoreFile::isYes(get("New_file"));
    return info;
}

void QVideoSettingXml::SaveConvertedInfo(convertedInfo *info)
{
    if (!info)
        return;
    QDomDocument document;
    if (QStoreFile::loadOrStart(historyPath(), document) == State::Unparsable)
        return;
    QDomNode entry = findExact(document.documentElement(), info->convertedPath);
    if (entry.isNull())
        entry = appendEntry(document, info->convertedPath);
    QDomNode details = entry.firstChild();
    if (details.isNull())
        details = QStoreFile::appendElement(document, entry, kDetailsTag);
    writeDetails(details, *info);
    SaveXml(historyPath(), document);
}

void QVideoSettingXml::analysisConvertedInfo(QList<convertedInfo *> *list)
{
    QDomDocument document;
    if (QStoreFile::load(historyPath(), document) != State::Parsed)
        return;
    bool changed = false;
    for (QDomNode entry = document.documentElement().firstChild(); !entry.isNull(); entry = entry.nextSibling()) {
        std::unique_ptr<convertedInfo> info(
            readHistoryRecord(entry, normalised(QStoreFile::attribute(entry, kKey))));
        // The record stays new so the caller knows which entries it sees for the first time.
        if (info->isNew) {
            QStoreFile::setAttribute(entry.firstChild(), kNewFlag, QStringLiteral("N"));
            changed = true;
        }
        if (list)
            list->append(info.release());
    }
    if (changed)
        SaveXml(historyPath(), document);
}

QStringList QVideoSettingXml::GetConvertedPath()
{
    QStringList existing;
    QDomDocument document;
    if (QStoreFile::load(historyPath(), document) != State::Parsed)
        return existing;
    QDomElement root = document.documentElement();
    bool removed = false;
    for (QDomNode entry = root.firstChild(); !entry.isNull();) {
        const QDomNode next = entry.nextSibling();
        const QString path = QStoreFile::attribute(entry, kKey);
        if (!path.isEmpty() && QFileInfo::exists(path)) {
            existing.append(path);
        } else {
            root.removeChild(entry);
            removed = true;
        }
        entry = next;
    }
    if (removed)
        SaveXml(historyPath(), document);
    return existing;
}

void QVideoSettingXml::DeleteConvertedPath(QStringList paths)
{
    QDomDocument document;
    if (QStoreFile::load(historyPath(), document) != State::Parsed)
        return;
    for (QString &path : paths)
        path = QStoreFile::xmlSafe(path);
    QDomElement root = document.documentElement();
    bool removed = false;
    // Each given path removes one entry, the first with that exact key.
    for (QDomNode entry = root.firstChild(); !entry.isNull() && !paths.isEmpty();) {
        const QDomNode next = entry.nextSibling();
        const int index = paths.indexOf(QStoreFile::attribute(entry, kKey));
        if (index >= 0) {
            root.removeChild(entry);
            paths.removeAt(index);
            removed = true;
        }
        entry = next;
    }
    if (removed)
        SaveXml(historyPath(), document);
}

QString QVideoSettingXml::getPreferencePath(const QString &path)
{
    QDomDocument document;
    if (QStoreFile::load(historyPath(), document) != State::Parsed)
        return QString();
    const QDomNode entry = findHistoryEntry(document.documentElement(), path);
    return QStoreFile::attribute(entry.firstChild(), QStringLiteral("preferencePath_"));
}

convertedInfo *QVideoSettingXml::GetConvertedInfo(const QString &path)
{
    m_convertInfo.reset();
    QDomDocument document;
    if (QStoreFile::load(historyPath(), document) != State::Parsed)
        return nullptr;
    const QDomNode entry = findHistoryEntry(document.documentElement(), path);
    if (entry.isNull())
        return nullptr;
    m_convertInfo.reset(readHistoryRecord(entry, normalised(path)));
    return m_convertInfo.get();
}

void QVideoSettingXml::removeConvertedInfo(const QString &path)
{
    QDomDocument document;
    if (QStoreFile::load(historyPath(), document) != State::Parsed)
        return;
    QDomElement root = document.documentElement();
    const QDomNode entry = findHistoryEntry(root, path);
    if (entry.isNull())
        return;
    root.removeChild(entry);
    SaveXml(historyPath(), document);
}

void QVideoSettingXml::changeConvertedInofPath(const QString &oldPath, const QString &newPath)
{
    QDomDocument document;
    if (QStoreFile::load(historyPath(), document) != State::Parsed)
        return;
    const QDomNode entry = findHistoryEntry(document.documentElement(), oldPath);
    if (entry.isNull())
        return;
    QStoreFile::setAttribute(entry, kKey, newPath);
    SaveXml(historyPath(), document);
}

void QVideoSettingXml::SetConvertedPath(const QString &path)
{
    QDomDocument document;
    if (QStoreFile::loadOrStart(historyPath(), document) == State::Unparsable)
        return;
    if (findExact(document.documentElement(), path).isNull())
        appendEntry(document, path);
    SaveXml(historyPath(), document);
}
