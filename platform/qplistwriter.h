#pragma once

#include "plistnode.h"

#include <QByteArray>

class QXmlStreamWriter;

// Writes a property-list element tree as XML, the counterpart of the store's QPlistParser:
// key order and the text of every value are written as they stand.
class QPlistWriter
{
public:
    // doctype is written as given (without its line end) when it is not empty.
    static QByteArray write(const PlistNode &root, const QByteArray &doctype);

private:
    static void writeNode(QXmlStreamWriter &writer, const PlistNode &node);
};
