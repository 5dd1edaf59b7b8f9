#pragma once

#include <QCoreApplication>
#include <QStringList>

// The movies an import did not add, by reason, and the one message that tells the user.
class ImportRefusals
{
    Q_DECLARE_TR_FUNCTIONS(ImportRefusals)

public:
    void notLivePhoto(const QString &path) { m_notLivePhoto.append(path); }
    void unreadable(const QString &path) { m_unreadable.append(path); }
    bool isEmpty() const { return m_notLivePhoto.isEmpty() && m_unreadable.isEmpty(); }
    int count() const { return m_notLivePhoto.size() + m_unreadable.size(); }
    // Counts per reason, each followed by the file names it refused.
    QString message() const;

private:
    QStringList m_notLivePhoto;
    QStringList m_unreadable;
};
