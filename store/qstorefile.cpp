#include "qstorefile.h"

#include "qianyutil.h"
#include "storelog.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>
#include <QXmlStreamReader>

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

QStoreFile::UnparsableNotice &unparsableNotice()
{
    static QStoreFile::UnparsableNotice notice;
    return notice;
}

QSet<QString> &reportedFiles()
{
    static QSet<QString> reported;
    return reported;
}

bool isAppDataFile(const QString &path)
{
    return QFileInfo(path).absolutePath() == QFileInfo(QIAnyUtil::getAppDataPath()).absoluteFilePath();
}

QMutex &noticeMutex()
{
    static QMutex mutex;
    return mutex;
}

void reportUnparsable(const QString &path)
{
    if (!isAppDataFile(path))
        return;
    // The history is read on a thread of its own.
    const QMutexLocker lock(&noticeMutex());
    if (reportedFiles().contains(path))
        return;
    reportedFiles().insert(path);
    qCWarning(lcStore) << path << "does not parse; its changes are not saved until it is repaired or moved aside";
    if (unparsableNotice())
        unparsableNotice()(path);
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

void QStoreFile::setUnparsableNotice(UnparsableNotice notice)
{
    const QMutexLocker lock(&noticeMutex());
    unparsableNotice() = std::move(notice);
    reportedFiles().clear();
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
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcStore, "%s", kWriteWarning);
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcStore, "%s", kWriteWarning);
        return false;
    }
    return true;
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
