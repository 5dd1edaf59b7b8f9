#include "importrefusals.h"

#include <QFileInfo>

namespace {

QString section(const QString &heading, const QStringList &paths)
{
    if (paths.isEmpty())
        return QString();
    QString text = QStringLiteral("\n\n%1 (%2):").arg(heading).arg(paths.size());
    for (const QString &path : paths)
        text += QStringLiteral("\n    ") + QFileInfo(path).fileName();
    return text;
}

} // namespace

QString ImportRefusals::message() const
{
    const QString intro = count() == 1 ? tr("1 file was not added.") : tr("%1 files were not added.").arg(count());
    return intro + section(tr("Not a Live Photo"), m_notLivePhoto) + section(tr("Cannot be read"), m_unreadable);
}
