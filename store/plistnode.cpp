#include "plistnode.h"

#include <QDateTime>

PlistNode::PlistNode(QString element, QString text)
    : m_element(std::move(element))
    , m_text(std::move(text))
{
}

PlistNode PlistNode::fromString(const QString &text)
{
    return PlistNode(QStringLiteral("string"), text);
}

PlistNode PlistNode::fromBool(bool value)
{
    return PlistNode(value ? QStringLiteral("true") : QStringLiteral("false"));
}

void PlistNode::set(const QString &key, const PlistNode &value)
{
    const int index = m_keys.indexOf(key);
    if (index >= 0) {
        m_children[index] = value;
        return;
    }
    m_keys.append(key);
    m_children.append(value);
}

QVariant PlistNode::toVariant() const
{
    if (isDict()) {
        QVariantMap map;
        for (int i = 0; i < m_keys.size(); ++i)
            map.insert(m_keys.at(i), m_children.at(i).toVariant());
        return map;
    }
    if (m_element == QLatin1String("array")) {
        QVariantList list;
        for (const PlistNode &child : m_children)
            list.append(child.toVariant());
        return list;
    }
    if (m_element == QLatin1String("integer"))
        return m_text.trimmed().toLongLong();
    if (m_element == QLatin1String("real"))
        return m_text.trimmed().toDouble();
    if (m_element == QLatin1String("true") || m_element == QLatin1String("false"))
        return m_element == QLatin1String("true");
    if (m_element == QLatin1String("data"))
        return QByteArray::fromBase64(m_text.toLatin1());
    if (m_element == QLatin1String("date"))
        return QDateTime::fromString(m_text.trimmed(), Qt::ISODate).toUTC();
    return m_text;
}

bool PlistNode::isValidLeaf() const
{
    bool ok = true;
    if (m_element == QLatin1String("integer"))
        m_text.trimmed().toLongLong(&ok);
    else if (m_element == QLatin1String("real"))
        m_text.trimmed().toDouble(&ok);
    else if (m_element == QLatin1String("date"))
        ok = QDateTime::fromString(m_text.trimmed(), Qt::ISODate).isValid();
    else
        ok = m_element == QLatin1String("string") || m_element == QLatin1String("data")
             || m_element == QLatin1String("true") || m_element == QLatin1String("false");
    return ok;
}
