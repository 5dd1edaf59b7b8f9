#include "qplistparser.h"

#include "storelog.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

// Guards the recursion against hostile nesting.
constexpr int kMaxDepth = 128;

} // namespace

QVariant QPlistParser::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcStore) << "cannot open property list" << path;
        return QVariant();
    }
    return parse(file.readAll());
}

QVariant QPlistParser::parse(const QByteArray &bytes)
{
    if (bytes.startsWith("bplist")) {
        qCWarning(lcStore) << "binary property lists are not supported";
        return QVariant();
    }
    QXmlStreamReader reader(bytes);
    QVariant root;
    if (reader.readNextStartElement() && reader.name() == QLatin1String("plist") && reader.readNextStartElement()) {
        root = readValue(reader, 0);
        if (!reader.hasError() && reader.readNextStartElement())
            reader.raiseError(QStringLiteral("more than one root value"));
    } else if (!reader.hasError()) {
        reader.raiseError(QStringLiteral("no property list"));
    }
    // Reading on to the end reports truncated files and trailing garbage.
    while (!reader.atEnd() && !reader.hasError())
        reader.readNext();
    if (reader.hasError()) {
        qCWarning(lcStore) << "unreadable property list, line" << reader.lineNumber() << ":" << reader.errorString();
        return QVariant();
    }
    return root;
}

QVariant QPlistParser::readValue(QXmlStreamReader &reader, int depth)
{
    if (depth > kMaxDepth) {
        reader.raiseError(QStringLiteral("values nested too deeply"));
        return QVariant();
    }
    const QStringRef name = reader.name();
    if (name == QLatin1String("dict"))
        return readDict(reader, depth);
    if (name == QLatin1String("array"))
        return readArray(reader, depth);
    if (name == QLatin1String("string"))
        return reader.readElementText();
    if (name == QLatin1String("true") || name == QLatin1String("false")) {
        const bool value = name == QLatin1String("true");
        reader.skipCurrentElement();
        return value;
    }
    if (name == QLatin1String("data"))
        return QByteArray::fromBase64(reader.readElementText().toLatin1());
    bool ok = false;
    QVariant number;
    if (name == QLatin1String("integer"))
        number = reader.readElementText().trimmed().toLongLong(&ok);
    else if (name == QLatin1String("real"))
        number = reader.readElementText().trimmed().toDouble(&ok);
    if (!ok)
        reader.raiseError(QStringLiteral("unexpected or invalid element %1").arg(name));
    return number;
}

QVariant QPlistParser::readDict(QXmlStreamReader &reader, int depth)
{
    QVariantMap map;
    while (reader.readNextStartElement()) {
        if (reader.name() != QLatin1String("key")) {
            reader.raiseError(QStringLiteral("dictionary entry without a key"));
            return QVariant();
        }
        const QString key = reader.readElementText();
        if (!reader.readNextStartElement()) {
            reader.raiseError(QStringLiteral("key %1 without a value").arg(key));
            return QVariant();
        }
        const QVariant value = readValue(reader, depth + 1);
        if (reader.hasError())
            return QVariant();
        map.insert(key, value);
    }
    return map;
}

QVariant QPlistParser::readArray(QXmlStreamReader &reader, int depth)
{
    QVariantList list;
    while (reader.readNextStartElement()) {
        list.append(readValue(reader, depth + 1));
        if (reader.hasError())
            return QVariant();
    }
    return list;
}
