#include "qplistwriter.h"

#include <QXmlStreamWriter>

QByteArray QPlistWriter::write(const QVariant &root, const QByteArray &doctype)
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(-1);
    writer.writeStartDocument();
    if (!doctype.isEmpty())
        writer.writeDTD(QString::fromUtf8(doctype));
    writer.writeStartElement(QStringLiteral("plist"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    writeValue(writer, root);
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

bool QPlistWriter::canWrite(const QVariant &value)
{
    switch (value.type()) {
    case QVariant::Map:
        for (const QVariant &item : value.toMap())
            if (!canWrite(item))
                return false;
        return true;
    case QVariant::List:
        for (const QVariant &item : value.toList())
            if (!canWrite(item))
                return false;
        return true;
    case QVariant::String:
    case QVariant::LongLong:
    case QVariant::Int:
    case QVariant::Double:
    case QVariant::Bool:
    case QVariant::ByteArray:
        return true;
    default:
        return false;
    }
}

void QPlistWriter::writeValue(QXmlStreamWriter &writer, const QVariant &value)
{
    switch (value.type()) {
    case QVariant::Map: {
        writer.writeStartElement(QStringLiteral("dict"));
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            writer.writeTextElement(QStringLiteral("key"), it.key());
            writeValue(writer, it.value());
        }
        writer.writeEndElement();
        break;
    }
    case QVariant::List:
        writer.writeStartElement(QStringLiteral("array"));
        for (const QVariant &item : value.toList())
            writeValue(writer, item);
        writer.writeEndElement();
        break;
    case QVariant::Bool:
        writer.writeEmptyElement(value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        break;
    case QVariant::ByteArray:
        writer.writeTextElement(QStringLiteral("data"), QString::fromLatin1(value.toByteArray().toBase64()));
        break;
    case QVariant::LongLong:
    case QVariant::Int:
        writer.writeTextElement(QStringLiteral("integer"), QString::number(value.toLongLong()));
        break;
    case QVariant::Double:
        writer.writeTextElement(QStringLiteral("real"), QString::number(value.toDouble(), 'g', 17));
        break;
    default:
        writer.writeTextElement(QStringLiteral("string"), value.toString());
        break;
    }
}
