#include "qoutputdeleter.h"

#include "dialogslog.h"
#include "qconverteroperate.h"
#include "qianyutil.h"
#include "qoutputidentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QOutputDeleter::Remover &customRemover()
{
    static QOutputDeleter::Remover remover;
    return remover;
}

// Cleaned, so "a//b/" and "a/b" compare equal; the root stays "/".
QString cleaned(const QString &path)
{
    return QDir::cleanPath(path);
}

bool isSameOrBelow(const QString &path, const QString &folder)
{
    return path == folder || folder == QLatin1String("/") || path.startsWith(folder + QLatin1Char('/'));
}

bool hasDotComponent(const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.contains(QStringLiteral(".")) || parts.contains(QStringLiteral(".."));
}

// Both the path as written and, when it can be resolved, as the disk sees it: a path
// through a linked folder may name a protected folder under another name.
QStringList spellings(const QString &path)
{
    QStringList result{cleaned(path)};
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty() && !result.contains(canonical))
        result << canonical;
    return result;
}

} // namespace

void QOutputDeleter::setRemover(Remover remover)
{
    customRemover() = std::move(remover);
}

bool QOutputDeleter::remove(const QString &path, bool folder)
{
    if (customRemover())
        return customRemover()(path, folder);
    return folder ? QDir().rmdir(path) : QFile::remove(path);
}

QStringList QOutputDeleter::protectedFolders()
{
    QStringList folders{QStringLiteral("/"), QDir::homePath(), QConverterOperate::getConverterPath()};
    const QStandardPaths::StandardLocation locations[] = {
        QStandardPaths::HomeLocation,        QStandardPaths::DesktopLocation,
        QStandardPaths::DocumentsLocation,   QStandardPaths::DownloadLocation,
        QStandardPaths::MusicLocation,       QStandardPaths::PicturesLocation,
        QStandardPaths::MoviesLocation,      QStandardPaths::GenericDataLocation,
        QStandardPaths::AppDataLocation,     QStandardPaths::AppLocalDataLocation,
        QStandardPaths::GenericConfigLocation, QStandardPaths::ConfigLocation,
        QStandardPaths::AppConfigLocation,   QStandardPaths::GenericCacheLocation,
        QStandardPaths::CacheLocation};
    for (QStandardPaths::StandardLocation location : locations)
        folders << QStandardPaths::writableLocation(location);
    QStringList result;
    for (const QString &folder : qAsConst(folders)) {
        if (!folder.isEmpty())
            result << spellings(folder);
    }
    return result;
}

bool QOutputDeleter::isProtected(const QString &path)
{
    const QStringList own = spellings(QIAnyUtil::getAppDataPath());
    const QStringList folders = protectedFolders();
    for (const QString &spelling : spellings(path)) {
        for (const QString &folder : folders) {
            if (isSameOrBelow(folder, spelling))
                return true;
        }
        for (const QString &data : own) {
            if (isSameOrBelow(spelling, data))
                return true;
        }
    }
    return false;
}

QOutputDeleter::Result QOutputDeleter::refuse(const QString &path, const QString &why)
{
    qCWarning(lcDialogs) << "refused to delete" << path << "-" << why;
    return Refused;
}

// Why nothing at the path may be deleted; empty when something may be.
QString QOutputDeleter::refusal(const QString &path)
{
    if (QDir::isRelativePath(path) || hasDotComponent(path))
        return QStringLiteral("not an absolute, plain path");
    if (isProtected(path))
        return QStringLiteral("a protected folder, or inside the application's data");
    if (QFileInfo(cleaned(path)).isSymLink())
        return QStringLiteral("a link");
    return QString();
}

// Why what is there is not an output this system writes; empty when it is one.
QString QOutputDeleter::kindRefusal(const QFileInfo &info)
{
    if (info.isDir())
        return QString();
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    if (info.suffix() != QLatin1String("gif") && info.suffix() != QLatin1String("webp"))
        return QStringLiteral("not an animation this system writes");
    return QString();
}

QOutputDeleter::Result QOutputDeleter::deleteOutput(const QString &path, const QString &identity, qint64 &removedBytes)
{
    removedBytes = 0;
    if (!QOutputIdentity::isCurrent(identity))
        return QFileInfo::exists(path) ? Unrecorded : Absent;
    const QString place = refusal(path);
    if (!place.isEmpty())
        return refuse(path, place);
    const QFileInfo info(cleaned(path));
    if (!info.exists())
        return Absent;
    if (QOutputIdentity::of(info.filePath()) != identity) {
        qCWarning(lcDialogs) << "kept" << path << "- it changed since it was written";
        return Changed;
    }
    const QString kind = kindRefusal(info);
    if (!kind.isEmpty())
        return refuse(path, kind);
    return info.isDir() ? deleteFolder(info.filePath(), removedBytes) : deleteFile(info, removedBytes);
}

QOutputDeleter::Result QOutputDeleter::deleteFile(const QFileInfo &info, qint64 &removedBytes)
{
    if (!removeCounted(info, removedBytes))
        qCWarning(lcDialogs) << "could not delete" << info.filePath();
    return QFileInfo::exists(info.filePath()) ? Remained : Deleted;
}

QOutputDeleter::Result QOutputDeleter::deleteFolder(const QString &path, qint64 &removedBytes)
{
    const QFileInfoList stills = QOutputIdentity::stillsOf(path);
    for (const QFileInfo &entry : stills) {
        if (!removeCounted(entry, removedBytes))
            qCWarning(lcDialogs) << "could not delete" << entry.filePath();
    }
    // Succeeds only when nothing but the stills was there.
    if (!remove(path, true))
        qCWarning(lcDialogs) << "kept the folder" << path << "- it holds other files";
    if (!QFileInfo::exists(path))
        return Deleted;
    const bool stillsGone = !stills.isEmpty() && QOutputIdentity::stillsOf(path).isEmpty();
    return stillsGone ? StillsDeleted : Remained;
}

bool QOutputDeleter::removeCounted(const QFileInfo &file, qint64 &removedBytes)
{
    const qint64 size = file.size();
    if (!remove(file.filePath(), false))
        return false;
    removedBytes += size;
    return true;
}
