#include "deletionreport.h"

#include "qianyutil.h"

namespace {

constexpr int kMostNamed = 10;

} // namespace

void DeletionReport::add(QOutputDeleter::Result result, const QString &path, qint64 removedBytes)
{
    if (result == QOutputDeleter::Deleted) {
        m_deleted.append(path);
        m_deletedBytes += removedBytes;
    } else if (result != QOutputDeleter::Absent) {
        m_paths[result].append(path);
    }
}

QString DeletionReport::heading(QOutputDeleter::Result result)
{
    switch (result) {
    case QOutputDeleter::StillsDeleted:
        return tr("The converted stills were deleted. These folders stay, as they also hold other files:");
    case QOutputDeleter::Unrecorded:
        return tr("These files were not deleted, only removed from the list: the history has no record of what "
                  "was written there.");
    case QOutputDeleter::Changed:
        return tr("These files changed since they were converted, so they were not deleted and stay in the history:");
    case QOutputDeleter::Refused:
        return tr("These are not outputs this program may delete, so they were not deleted and stay in the history:");
    default:
        return tr("These outputs could not be deleted and stay in the history:");
    }
}

QString DeletionReport::deletedHeading() const
{
    const QString size = QIAnyUtil::size2String(quint64(m_deletedBytes));
    if (m_deleted.size() == 1)
        return tr("1 output was deleted (%1):").arg(size);
    return tr("%1 outputs were deleted (%2):").arg(m_deleted.size()).arg(size);
}

QString DeletionReport::paragraph(const QString &heading, const QStringList &paths)
{
    QStringList lines{heading};
    lines << paths.mid(0, kMostNamed);
    if (paths.size() > kMostNamed)
        lines << QStringLiteral("...");
    return lines.join(QLatin1Char('\n'));
}

QString DeletionReport::message() const
{
    QStringList paragraphs;
    if (!m_deleted.isEmpty())
        paragraphs << paragraph(deletedHeading(), m_deleted);
    for (auto it = m_paths.cbegin(); it != m_paths.cend(); ++it)
        paragraphs << paragraph(heading(it.key()), it.value());
    return paragraphs.join(QStringLiteral("\n\n"));
}
