#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

// One element of an XML property list as it stands in the file: dictionaries keep their key
// order and leaves keep their exact text, so a list can be written back unchanged apart
// from the values that were set.
class PlistNode
{
public:
    PlistNode() = default;
    PlistNode(QString element, QString text = QString());

    static PlistNode fromString(const QString &text);
    static PlistNode fromBool(bool value);

    const QString &element() const { return m_element; }
    const QString &text() const { return m_text; }
    bool isDict() const { return m_element == QLatin1String("dict"); }

    // Array items, or dictionary values in key order.
    const QVector<PlistNode> &children() const { return m_children; }
    const QStringList &keys() const { return m_keys; }
    void append(const PlistNode &child) { m_children.append(child); }
    bool contains(const QString &key) const { return m_keys.contains(key); }
    // Replaces the value of an existing key in place, or appends the key.
    void set(const QString &key, const PlistNode &value);

    // dict -> QVariantMap, array -> QVariantList, string -> QString, integer -> qlonglong,
    // real -> double, true/false -> bool, data -> QByteArray, date -> QDateTime (UTC).
    QVariant toVariant() const;
    // Whether a leaf's text is a valid value of its element.
    bool isValidLeaf() const;

private:
    QString m_element;
    QString m_text;
    QStringList m_keys;
    QVector<PlistNode> m_children;
};
