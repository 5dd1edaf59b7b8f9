#pragma once

#include <QByteArray>
#include <QVariant>

class QXmlStreamWriter;

// Writes Qt values as an XML property list, the counterpart of the store's QPlistParser:
// QVariantMap -> dict, QVariantList -> array, QString -> string, integers -> integer,
// double -> real, bool -> true/false, QByteArray -> data.
class QPlistWriter
{
public:
    // doctype is written as given (without its line end) when it is not empty.
    static QByteArray write(const QVariant &root, const QByteArray &doctype);
    // False for a value type a property list cannot hold.
    static bool canWrite(const QVariant &value);

private:
    static void writeValue(QXmlStreamWriter &writer, const QVariant &value);
};
