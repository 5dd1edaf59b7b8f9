#include "qhistorydocument.h"

#include <QXmlStreamWriter>

namespace {

QHistoryNode nodeOf(const QDomNode &dom)
{
    QHistoryNode node;
    if (dom.isElement()) {
        const QDomNamedNodeMap attributes = dom.attributes();
        node.name = dom.toElement().tagName();
        node.attributes.reserve(attributes.count());
        for (int i = 0; i < attributes.count(); ++i) {
            const QDomAttr attribute = attributes.item(i).toAttr();
            node.attributes.append({attribute.name(), attribute.value()});
        }
    } else {
        node.kind = dom.isComment() ? QHistoryNode::Comment : QHistoryNode::Text;
        node.name = dom.nodeValue();
    }
    return node;
}

void writeOpen(QXmlStreamWriter &writer, const QHistoryNode &node, bool empty)
{
    switch (node.kind) {
    case QHistoryNode::Comment:
        writer.writeComment(node.name);
        return;
    case QHistoryNode::Text:
        writer.writeCharacters(node.name);
        return;
    case QHistoryNode::Element:
        break;
    }
    if (empty)
        writer.writeEmptyElement(node.name);
    else
        writer.writeStartElement(node.name);
    for (const auto &attribute : node.attributes)
        writer.writeAttribute(attribute.first, attribute.second);
}

void writeEntry(QXmlStreamWriter &writer, const QHistoryEntry &entry)
{
    const bool withDetails = entry.hasDetails && entry.node.isElement();
    writeOpen(writer, entry.node, !withDetails);
    if (!withDetails)
        return;
    writeOpen(writer, entry.details, true);
    writer.writeEndElement();
}

} // namespace

QHistoryDocument QHistoryDocument::fromDom(const QDomDocument &document)
{
    QHistoryDocument history;
    const QDomElement root = document.documentElement();
    history.root = nodeOf(root);
    history.entries.reserve(root.childNodes().count());
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        QHistoryEntry entry;
        entry.node = nodeOf(node);
        const QDomNode details = node.firstChild();
        entry.hasDetails = !details.isNull();
        if (entry.hasDetails)
            entry.details = nodeOf(details);
        history.entries.append(entry);
    }
    return history;
}

QHistoryDocument QHistoryDocument::started()
{
    QHistoryDocument history;
    history.root.name = QStringLiteral("ROOTITEM");
    return history;
}

QByteArray QHistoryDocument::toXml() const
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(4);
    writeOpen(writer, root, entries.isEmpty());
    for (const QHistoryEntry &entry : entries)
        writeEntry(writer, entry);
    if (!entries.isEmpty())
        writer.writeEndElement();
    writer.writeEndDocument();
    // Without a declaration, the writer still breaks the line before the root.
    return bytes.trimmed() + '\n';
}
