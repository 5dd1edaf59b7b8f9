#pragma once

#include <QString>
#include <QVariant>

class QXmlStreamReader;

// Reads an XML property list into Qt values: dict -> QVariantMap, array -> QVariantList,
// string -> QString, integer -> qlonglong, real -> double, true/false -> bool,
// data -> QByteArray. Binary property lists are not supported.
class QPlistParser
{
public:
    // The root value; an invalid QVariant when the file is missing, binary or malformed.
    static QVariant read(const QString &path);
    static QVariant parse(const QByteArray &bytes);

private:
    static QVariant readValue(QXmlStreamReader &reader, int depth);
    static QVariant readDict(QXmlStreamReader &reader, int depth);
    static QVariant readArray(QXmlStreamReader &reader, int depth);
};
