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
    const std::optional<PlistNode> root = parseDocument(bytes);
    return root ? root->toVariant() : QVariant();
}

std::optional<PlistNode> QPlistParser::parseDocument(const QByteArray &bytes)
{
    if (bytes.startsWith("bplist")) {
        qCWarning(lcStore) << "binary property lists are not supported";
        return std::nullopt;
    }
    QXmlStreamReader reader(bytes);
    PlistNode root;
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
        return std::nullopt;
    }
    return root;
}

PlistNode QPlistParser::readValue(QXmlStreamReader &reader, int depth)
{
    if (depth > kMaxDepth) {
        reader.raiseError(QStringLiteral("values nested too deeply"));
        return PlistNode();
    }
    const QString name = reader.name().toString();
    if (name == QLatin1String("dict"))
        return readDict(reader, depth);
    if (name == QLatin1String("array"))
        return readArray(reader, depth);
    const PlistNode leaf(name, reader.readElementText());
    if (!reader.hasError() && !leaf.isValidLeaf())
        reader.raiseError(QStringLiteral("unexpected or invalid element %1").arg(name));
    return leaf;
}

PlistNode QPlistParser::readDict(QXmlStreamReader &reader, int depth)
{
    PlistNode dict(QStringLiteral("dict"));
    while (reader.readNextStartElement()) {
        if (reader.name() != QLatin1String("key")) {
            reader.raiseError(QStringLiteral("dictionary entry without a key"));
            return PlistNode();
        }
        const QString key = reader.readElementText();
        if (!reader.readNextStartElement()) {
            reader.raiseError(QStringLiteral("key %1 without a value").arg(key));
            return PlistNode();
        }
        const PlistNode value = readValue(reader, depth + 1);
        if (reader.hasError())
            return PlistNode();
        dict.set(key, value);
    }
    return dict;
}

PlistNode QPlistParser::readArray(QXmlStreamReader &reader, int depth)
{
    PlistNode array(QStringLiteral("array"));
    while (reader.readNextStartElement()) {
        array.append(readValue(reader, depth + 1));
        if (reader.hasError())
            return PlistNode();
    }
    return array;
}
