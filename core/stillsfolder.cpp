#include "stillsfolder.h"

#include "mmc.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <climits>

namespace {

QString ownStills(const QString &baseName, const QString &extension)
{
    return QStringLiteral("^%1_\\d+\\.%2$")
        .arg(QRegularExpression::escape(baseName), QRegularExpression::escape(extension));
}

} // namespace

StillsFolder::~StillsFolder()
{
    discard();
}

bool StillsFolder::create(const QString &destination, const QString &baseName, const QString &extension)
{
    discard();
    char path[PATH_MAX];
    const QByteArray folder = QDir::cleanPath(destination).toUtf8();
    if (!MMC_CreateWorkingFolder(folder.constData(), path, sizeof path))
        return false;
    m_destination = QString::fromUtf8(folder);
    m_path = QString::fromUtf8(path);
    m_baseName = baseName;
    m_extension = extension;
    return true;
}

bool StillsFolder::holdsStills() const
{
    const QRegularExpression own(ownStills(m_baseName, m_extension));
    const QStringList names = m_path.isEmpty() ? QStringList() : QDir(m_path).entryList(QDir::Files | QDir::Hidden);
    return std::any_of(names.begin(), names.end(), [&own](const QString &name) { return own.match(name).hasMatch(); });
}

QString StillsFolder::commit()
{
    char named[PATH_MAX];
    if (m_path.isEmpty()
        || !MMC_CommitWorkingFolder(m_path.toUtf8().constData(), m_destination.toUtf8().constData(), named, sizeof named))
        return QString();
    m_path.clear(); // an output now: never discarded
    return QString::fromUtf8(named);
}

void StillsFolder::discard()
{
    if (m_path.isEmpty())
        return;
    QDir folder(m_path);
    const QRegularExpression own(ownStills(m_baseName, m_extension));
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (own.match(name).hasMatch())
            folder.remove(name);
    }
    QDir().rmdir(m_path); // only an empty folder goes
    m_path.clear();
}
