#include "qplistwriter.h"

#include <QXmlStreamWriter>

QByteArray QPlistWriter::write(const PlistNode &root, const QByteArray &doctype)
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
    writeNode(writer, root);
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

void QPlistWriter::writeNode(QXmlStreamWriter &writer, const PlistNode &node)
{
    const QVector<PlistNode> &children = node.children();
    if (node.isDict() || node.element() == QLatin1String("array")) {
        writer.writeStartElement(node.element());
        for (int i = 0; i < children.size(); ++i) {
            if (node.isDict())
                writer.writeTextElement(QStringLiteral("key"), node.keys().at(i));
            writeNode(writer, children.at(i));
        }
        writer.writeEndElement();
    } else if (node.element() == QLatin1String("true") || node.element() == QLatin1String("false")) {
        writer.writeEmptyElement(node.element());
    } else {
        writer.writeTextElement(node.element(), node.text());
    }
}
