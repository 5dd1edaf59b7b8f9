#include "deletionreport.h"

namespace {

constexpr int kMostNamed = 10;

} // namespace

void DeletionReport::add(QOutputDeleter::Result result, const QString &path)
{
    if (result != QOutputDeleter::Deleted && result != QOutputDeleter::Absent)
        m_paths[result].append(path);
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

QString DeletionReport::message() const
{
    QStringList paragraphs;
    for (auto it = m_paths.cbegin(); it != m_paths.cend(); ++it) {
        QStringList lines{heading(it.key())};
        lines << it.value().mid(0, kMostNamed);
        if (it.value().size() > kMostNamed)
            lines << QStringLiteral("...");
        paragraphs << lines.join(QLatin1Char('\n'));
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}
