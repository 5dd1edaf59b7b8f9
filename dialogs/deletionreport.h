#pragma once

#include "qoutputdeleter.h"

#include <QCoreApplication>
#include <QMap>
#include <QStringList>

// What a deletion from the history did, by outcome, and the one message that tells the user
// when something stayed: what was deleted, then what was not, or only in part, and why.
class DeletionReport
{
    Q_DECLARE_TR_FUNCTIONS(DeletionReport)

public:
    // removedBytes: what the deletion freed of the output.
    void add(QOutputDeleter::Result result, const QString &path, qint64 removedBytes = 0);
    // Whether anything stayed on the disk; when everything went, there is nothing to tell.
    bool keptSome() const { return !m_paths.isEmpty(); }
    // One paragraph per outcome: what happened and why, then the paths, ten at most.
    QString message() const;

private:
    static QString heading(QOutputDeleter::Result result);
    QString deletedHeading() const;
    static QString paragraph(const QString &heading, const QStringList &paths);

    QMap<QOutputDeleter::Result, QStringList> m_paths;
    QStringList m_deleted;
    qint64 m_deletedBytes = 0;
};
