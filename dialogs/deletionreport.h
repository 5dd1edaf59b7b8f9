#pragma once

#include "qoutputdeleter.h"

#include <QCoreApplication>
#include <QMap>
#include <QStringList>

// The outputs a deletion from the history did not delete, or deleted only in part, by
// why, and the one message that tells the user.
class DeletionReport
{
    Q_DECLARE_TR_FUNCTIONS(DeletionReport)

public:
    // Outputs that are gone say nothing.
    void add(QOutputDeleter::Result result, const QString &path);
    bool isEmpty() const { return m_paths.isEmpty(); }
    // One paragraph per outcome: what happened and why, then the paths, ten at most.
    QString message() const;

private:
    static QString heading(QOutputDeleter::Result result);

    QMap<QOutputDeleter::Result, QStringList> m_paths;
};
