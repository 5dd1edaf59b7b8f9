#pragma once

#include "plistnode.h"

#include <QString>
#include <QVariant>

#include <optional>

class QXmlStreamReader;

// Reads an XML property list, as Qt values (see PlistNode::toVariant) or as the ordered
// element tree that can be written back. Binary property lists are not supported.
class QPlistParser
{
public:
    // The root value; an invalid QVariant when the file is missing, binary or malformed.
    static QVariant read(const QString &path);
    static QVariant parse(const QByteArray &bytes);
    // The root element; nothing when the bytes are binary or malformed.
    static std::optional<PlistNode> parseDocument(const QByteArray &bytes);

private:
    static PlistNode readValue(QXmlStreamReader &reader, int depth);
    static PlistNode readDict(QXmlStreamReader &reader, int depth);
    static PlistNode readArray(QXmlStreamReader &reader, int depth);
};
