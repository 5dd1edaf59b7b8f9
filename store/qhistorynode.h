#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// One node of the history file as the store keeps it between saves: an element with its
// attributes, or a comment or text that someone put there by hand and that is kept.
struct QHistoryNode
{
    enum Kind { Element, Comment, Text };

    Kind kind = Element;
    QString name; // the tag, or the text of a comment or text node
    QVector<QPair<QString, QString>> attributes;

    bool isElement() const { return kind == Element; }
    // Empty when absent or when the node is no element.
    QString attribute(const QString &attributeName) const;
    bool hasAttribute(const QString &attributeName) const;
    // Like the DOM, only an element takes attributes; the value is stored XML-safe.
    void setAttribute(const QString &attributeName, const QString &value);
    void removeAttribute(const QString &attributeName);
};

// One entry of the history: the entry node and its first child, the details.
struct QHistoryEntry
{
    QHistoryNode node;
    bool hasDetails = false;
    QHistoryNode details;
};
