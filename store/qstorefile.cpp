#include "qstorefile.h"

#include "qianyutil.h"
#include "storelog.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>
#include <QXmlStreamReader>

#include <cerrno>
#include <unistd.h>

namespace {

const char kWriteWarning[] = "error::ParserXML->writeOperateXml->file.open\n";

bool isXmlChar(uint code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
           || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

QByteArray serialise(const QDomDocument &document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextStream stream(&buffer);
    stream.setCodec("utf-8");
    document.save(stream, 4, QDomNode::EncodingFromDocument);
    stream.flush();
    return bytes;
}

// The notice, what it was told and what is unsaved, behind one mutex: the history is read
// and written on a thread of its own. Never destroyed, as the history's last write runs
// while the program's statics are destroyed, in no order this file could rely on.
struct SharedState
{
    QMutex mutex;
    QStoreFile::TroubleNotice notice;
    QSet<QString> reportedPaths;
    // The application's data files whose last save failed, as that save would have left them.
    QHash<QString, QByteArray> unsavedFiles;
};

SharedState &shared()
{
    static SharedState *const state = new SharedState;
    return *state;
}

void keepUnsaved(const QString &path, const QByteArray &bytes)
{
    const QMutexLocker lock(&shared().mutex);
    shared().unsavedFiles.insert(path, bytes);
}

void forgetUnsaved(const QString &path)
{
    const QMutexLocker lock(&shared().mutex);
    shared().unsavedFiles.remove(path);
}

QByteArray unsavedCopy(const QString &path)
{
    const QMutexLocker lock(&shared().mutex);
    return shared().unsavedFiles.value(path);
}

bool isAppDataFile(const QString &path)
{
    return QFileInfo(path).absolutePath() == QFileInfo(QIAnyUtil::getAppDataPath()).absoluteFilePath();
}

// False when the path was told of before in this run.
bool tellOnce(QStoreFile::Trouble trouble, const QString &path, const QString &reason = QString())
{
    SharedState &state = shared();
    const QMutexLocker lock(&state.mutex);
    if (state.reportedPaths.contains(path))
        return false;
    state.reportedPaths.insert(path);
    if (state.notice)
        state.notice(trouble, path, reason);
    return true;
}

void reportUnparsable(const QString &path)
{
    if (isAppDataFile(path) && tellOnce(QStoreFile::Trouble::Unparsable, path))
        qCWarning(lcStore) << path << "does not parse; its changes are not saved until it is repaired or moved aside";
}

// Why the folder takes no files; the failed write's own error when the folder is there.
QString folderTrouble(const QString &folder, const QString &writeError)
{
    const QFileInfo info(folder);
    if (info.isSymLink() && !info.exists())
        return QCoreApplication::translate("QStoreFile", "it links to %1, which is missing")
            .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    if (info.exists() && !info.isDir())
        return QCoreApplication::translate("QStoreFile", "it is not a folder");
    if (!info.exists() && ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0)
        return qt_error_string(errno);
    return writeError;
}

void reportUnwritable(const QString &path, const QString &writeError)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QString reason = folderTrouble(folder, writeError);
    if (tellOnce(QStoreFile::Trouble::Unwritable, folder, reason))
        qCWarning(lcStore) << folder << "takes no files:" << reason << "- changes are kept until the program closes";
}

bool parsesAgain(const QByteArray &bytes)
{
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
        reader.readNext();
    if (!reader.hasError())
        return true;
    qCWarning(lcStore) << "the document would not parse:" << reader.errorString();
    return false;
}

} // namespace

void QStoreFile::setTroubleNotice(TroubleNotice notice)
{
    SharedState &state = shared();
    const QMutexLocker lock(&state.mutex);
    state.notice = std::move(notice);
    state.reportedPaths.clear();
    state.unsavedFiles.clear();
}

QString QStoreFile::appDataFile(const QString &name)
{
    return QIAnyUtil::getAppDataPath() + '/' + name;
}

bool QStoreFile::parse(const QString &path, QDomDocument &document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    return document.setContent(&file, false);
}

QStoreFile::State QStoreFile::load(const QString &path, QDomDocument &document)
{
    // What a failed save kept in memory is newer than the disk.
    const QByteArray unsaved = unsavedCopy(path);
    if (!unsaved.isEmpty() && document.setContent(unsaved))
        return State::Parsed;
    const QFileInfo info(path);
    if (!info.exists() || (info.isFile() && info.size() == 0))
        return State::Missing;
    if (parse(path, document))
        return State::Parsed;
    reportUnparsable(path);
    return State::Unparsable;
}

QStoreFile::State QStoreFile::loadOrStart(const QString &path, QDomDocument &document)
{
    const State state = load(path, document);
    if (state == State::Missing) {
        document = QDomDocument();
        document.appendChild(document.createElement(QStringLiteral("ROOTITEM")));
    }
    return state;
}

bool QStoreFile::save(const QString &path, const QDomDocument &document)
{
    return saveBytes(path, serialise(document));
}

bool QStoreFile::saveBytes(const QString &path, const QByteArray &bytes)
{
    // Never replace a readable file with one that would not parse again.
    if (!parsesAgain(bytes)) {
        qCWarning(lcStore) << "not saving" << path;
        return false;
    }
    // The old file stays whole until the new one is complete.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
        forgetUnsaved(path);
        return true;
    }
    qCWarning(lcStore, "%s", kWriteWarning);
    // The run goes on with what it could not save.
    if (isAppDataFile(path)) {
        keepUnsaved(path, bytes);
        reportUnwritable(path, file.errorString());
    }
    return false;
}

QDomNode QStoreFile::firstChildByTag(const QDomNode &parent, const QString &tag)
{
    for (QDomNode node = parent.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.toElement().tagName() == tag)
            return node;
    }
    return QDomNode();
}

QDomNode QStoreFile::firstChildByAttribute(const QDomNode &parent, const QString &name, const QString &value)
{
    for (QDomNode node = parent.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (attribute(node, name) == value)
            return node;
    }
    return QDomNode();
}

QDomNode QStoreFile::appendElement(QDomDocument &document, QDomNode parent, const QString &tag)
{
    return parent.appendChild(document.createElement(tag));
}

QDomNode QStoreFile::findFormatOptions(const QDomDocument &document, const QString &formatId)
{
    return firstChildByAttribute(document.documentElement(), QStringLiteral("Format_ID"), formatId).firstChild();
}

QDomNode QStoreFile::makeFormatOptions(QDomDocument &document, const QString &formatId)
{
    const QDomElement root = document.documentElement();
    QDomNode entry = firstChildByAttribute(root, QStringLiteral("Format_ID"), formatId);
    if (entry.isNull()) {
        entry = appendElement(document, root, QStringLiteral("FORMAT_"));
        setAttribute(entry, QStringLiteral("Format_ID"), formatId);
    }
    const QDomNode options = entry.firstChild();
    return options.isNull() ? appendElement(document, entry, QStringLiteral("Format_Custom")) : options;
}

QString QStoreFile::attribute(const QDomNode &node, const QString &name)
{
    return node.toElement().attribute(name);
}

void QStoreFile::setAttribute(const QDomNode &node, const QString &name, const QString &value)
{
    node.toElement().setAttribute(name, xmlSafe(value));
}

QString QStoreFile::flag(bool value)
{
    return value ? QStringLiteral("Y") : QStringLiteral("N");
}

bool QStoreFile::isYes(const QString &text)
{
    return text == QLatin1String("Y");
}

QString QStoreFile::xmlSafe(const QString &text)
{
    // File names may hold control characters or broken surrogates; written raw, they
    // would leave a file that never parses again.
    QString safe;
    safe.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            safe.append(unit).append(text.at(++i));
        } else if (unit.isSurrogate() || !isXmlChar(unit.unicode())) {
            safe.append(QChar(QChar::ReplacementCharacter));
        } else {
            safe.append(unit);
        }
    }
    return safe;
}
