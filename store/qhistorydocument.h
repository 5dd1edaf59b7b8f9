#pragma once

#include "qhistorynode.h"

#include <QByteArray>
#include <QDomDocument>
#include <QVector>

// The history file held in memory: a copy costs next to nothing (the entries are
// implicitly shared), so one thread serialises a copy while another goes on changing it.
struct QHistoryDocument
{
    QHistoryNode root;
    QVector<QHistoryEntry> entries;

    static QHistoryDocument fromDom(const QDomDocument &document);
    // A new document with the root "ROOTITEM" and no entries.
    static QHistoryDocument started();
    // The layout of the store's other files: indented by 4, no XML declaration.
    QByteArray toXml() const;
};
