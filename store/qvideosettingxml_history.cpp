// The conversion history file of the store.
#include "qvideosettingxml.h"

#include "qhistoryfile.h"
#include "qstorefile.h"

#include <QFileInfo>
#include <QUrl>

std::unique_ptr<convertedInfo> QVideoSettingXml::m_convertInfo;

namespace {

const QString kEntryTag = QStringLiteral("Path_item");
const QString kDetailsTag = QStringLiteral("CONVERTED_INFO_");
const QString kKey = QStringLiteral("Converted_path_");
// The key as it really is, when XML cannot carry it: percent-encoded UTF-8.
const QString kExactKey = QStringLiteral("Converted_path_exact_");
const QString kNewFlag = QStringLiteral("New_file");
const QString kIdentity = QStringLiteral("Output_identity_");

QString normalised(QString path)
{
    return path.replace('\\', '/');
}

QString keyOf(const QHistoryEntry &entry)
{
    const QString exact = entry.node.attribute(kExactKey);
    if (exact.isEmpty())
        return entry.node.attribute(kKey);
    return QString::fromUtf8(QByteArray::fromPercentEncoding(exact.toLatin1()));
}

void setKey(QHistoryEntry &entry, const QString &path)
{
    entry.node.setAttribute(kKey, path);
    if (QStoreFile::xmlSafe(path) == path)
        entry.node.removeAttribute(kExactKey);
    else
        entry.node.setAttribute(kExactKey, QString::fromLatin1(QUrl::toPercentEncoding(path, "/")));
}

int findExact(const QHistoryDocument &document, const QString &path)
{
    for (int i = 0; i < document.entries.size(); ++i) {
        if (keyOf(document.entries.at(i)) == path)
            return i;
    }
    return -1;
}

int findNormalised(const QHistoryDocument &document, const QString &path)
{
    const QString wanted = normalised(path);
    for (int i = 0; i < document.entries.size(); ++i) {
        if (normalised(keyOf(document.entries.at(i))) == wanted)
            return i;
    }
    return -1;
}

QHistoryEntry newEntry(const QString &path)
{
    QHistoryEntry entry;
    entry.node.name = kEntryTag;
    setKey(entry, path);
    return entry;
}

void writeDetails(QHistoryNode &details, const convertedInfo &info)
{
    const auto set = [&details](const char *name, const QString &value) {
        details.setAttribute(QLatin1String(name), value);
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
    // Optional: without it, the output's file is never deleted from the history.
    if (info.identity.isEmpty())
        details.removeAttribute(kIdentity);
    else
        details.setAttribute(kIdentity, info.identity);
}

convertedInfo *readRecord(const QHistoryEntry &entry, const QString &path)
{
    const QHistoryNode details = entry.hasDetails ? entry.details : QHistoryNode();
    const auto get = [&details](const char *name) { return details.attribute(QLatin1String(name)); };
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
    info->identity = details.attribute(kIdentity);
    return info;
}

// Drops every entry the test picks, in one pass; tells whether any went.
template <typename Drop> bool dropEntries(QHistoryDocument *document, Drop drop)
{
    if (!document)
        return false;
    QVector<QHistoryEntry> kept;
    kept.reserve(document->entries.size());
    for (const QHistoryEntry &entry : qAsConst(document->entries)) {
        if (!drop(entry))
            kept.append(entry);
    }
    if (kept.size() == document->entries.size())
        return false;
    document->entries = kept;
    return true;
}

} // namespace

void QVideoSettingXml::SaveConvertedInfo(convertedInfo *info)
{
    if (!info)
        return;
    QHistoryFile::instance().post(true, [info = *info](QHistoryDocument *document) {
        if (!document)
            return false;
        int index = findExact(*document, info.convertedPath);
        if (index < 0) {
            document->entries.append(newEntry(info.convertedPath));
            index = document->entries.size() - 1;
        }
        QHistoryEntry &entry = document->entries[index];
        if (!entry.hasDetails && entry.node.isElement()) {
            entry.hasDetails = true;
            entry.details = QHistoryNode();
            entry.details.name = kDetailsTag;
        }
        writeDetails(entry.details, info);
        return true;
    });
}

void QVideoSettingXml::analysisConvertedInfo(QList<convertedInfo *> *list)
{
    QHistoryFile::instance().run(false, [list](QHistoryDocument *document) {
        if (!document)
            return false;
        bool marked = false;
        for (QHistoryEntry &entry : document->entries) {
            std::unique_ptr<convertedInfo> info(readRecord(entry, normalised(keyOf(entry))));
            // The record stays new so the caller knows which entries it sees for the first time.
            if (info->isNew) {
                entry.details.setAttribute(kNewFlag, QStringLiteral("N"));
                marked = true;
            }
            if (list)
                list->append(info.release());
        }
        return marked;
    });
}

QStringList QVideoSettingXml::GetConvertedPath()
{
    QStringList existing;
    QHistoryFile::instance().run(false, [&existing](QHistoryDocument *document) {
        return dropEntries(document, [&existing](const QHistoryEntry &entry) {
            const QString path = keyOf(entry);
            if (path.isEmpty() || !QFileInfo::exists(path))
                return true;
            existing.append(path);
            return false;
        });
    });
    return existing;
}

void QVideoSettingXml::DeleteConvertedPath(QStringList paths)
{
    // Each given path removes one entry, the first with that exact key.
    QHistoryFile::instance().run(false, [&paths](QHistoryDocument *document) {
        return dropEntries(document, [&paths](const QHistoryEntry &entry) {
            return !paths.isEmpty() && paths.removeOne(keyOf(entry));
        });
    });
}

QString QVideoSettingXml::getPreferencePath(const QString &path)
{
    QString preference;
    QHistoryFile::instance().run(false, [&](QHistoryDocument *document) {
        const int index = document ? findNormalised(*document, path) : -1;
        if (index >= 0 && document->entries.at(index).hasDetails)
            preference = document->entries.at(index).details.attribute(QStringLiteral("preferencePath_"));
        return false;
    });
    return preference;
}

convertedInfo *QVideoSettingXml::GetConvertedInfo(const QString &path)
{
    m_convertInfo.reset();
    QHistoryFile::instance().run(false, [&path](QHistoryDocument *document) {
        const int index = document ? findNormalised(*document, path) : -1;
        if (index >= 0)
            m_convertInfo.reset(readRecord(document->entries.at(index), normalised(path)));
        return false;
    });
    return m_convertInfo.get();
}

void QVideoSettingXml::removeConvertedInfo(const QString &path)
{
    QHistoryFile::instance().run(false, [&path](QHistoryDocument *document) {
        const int index = document ? findNormalised(*document, path) : -1;
        if (index < 0)
            return false;
        document->entries.remove(index);
        return true;
    });
}

void QVideoSettingXml::changeConvertedInofPath(const QString &oldPath, const QString &newPath)
{
    QHistoryFile::instance().run(false, [&](QHistoryDocument *document) {
        const int index = document ? findNormalised(*document, oldPath) : -1;
        if (index < 0)
            return false;
        setKey(document->entries[index], newPath);
        return true;
    });
}

void QVideoSettingXml::SetConvertedPath(const QString &path)
{
    QHistoryFile::instance().post(true, [path](QHistoryDocument *document) {
        if (!document)
            return false;
        if (findExact(*document, path) < 0)
            document->entries.append(newEntry(path));
        return true;
    });
}
