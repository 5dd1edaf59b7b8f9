#include "qianyutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

QString QIAnyUtil::s_appPath;
QString QIAnyUtil::s_resourcePath;
QString QIAnyUtil::s_restorPassword;
bool QIAnyUtil::s_appPathFilled = false;
bool QIAnyUtil::s_resourcePathFilled = false;

namespace {

const QString kFolderName = QStringLiteral("Calvetrin Glintora");

// The named folder below base, made when missing. It is named even when it cannot be made:
// base is shared with other programs, whose files are not ours to write or delete.
QString folderBelow(const QString &base)
{
    const QString path = QStringLiteral("%1/%2").arg(base, kFolderName);
    if (!QFileInfo(path).isDir())
        QDir().mkpath(path);
    return path;
}

// Deletes everything below the folder. Links are unlinked, never followed, and every
// entry is tried once, so the walk ends whatever cannot be deleted.
void removeTree(const QString &folder)
{
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info = entries.fileInfo();
        if (info.isDir() && !info.isSymLink()) {
            removeTree(path);
            QDir().rmdir(path);
        } else {
            QFile::remove(path);
        }
    }
}

} // namespace

QString QIAnyUtil::parentOfApplicationDir()
{
    QString dir = QCoreApplication::applicationDirPath();
    dir.replace('\\', '/');
    const int slash = dir.lastIndexOf('/');
    if (slash >= 0)
        dir.truncate(slash);
    return dir;
}

QString QIAnyUtil::getApplicationDirPath()
{
    if (!s_appPathFilled) {
        s_appPath = parentOfApplicationDir() + '/';
        s_appPathFilled = true;
    }
    return s_appPath;
}

QString QIAnyUtil::getResourcePath()
{
    if (!s_resourcePathFilled) {
        s_resourcePath = parentOfApplicationDir() + QStringLiteral("/Resources");
        s_resourcePathFilled = true;
    }
    return s_resourcePath;
}

QString QIAnyUtil::getAppDataPath()
{
    // The generic location does not depend on the application name, which may not be set yet.
    return folderBelow(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString QIAnyUtil::getDocumentPath()
{
    return folderBelow(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString QIAnyUtil::getDefaultConvertPath()
{
    return getDocumentPath() + QStringLiteral("/Converted/");
}

QString QIAnyUtil::getTempSavePath()
{
    // The temporary folder is shared: the folder must be private and really ours,
    // not one another user planted under our name.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString path = QStringLiteral("%1/%2").arg(base, kFolderName);
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return base;
    struct stat info;
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return base;
    return path;
}

QString QIAnyUtil::dndTmpPath()
{
    return QString();
}

QString QIAnyUtil::size2String(quint64 size)
{
    constexpr double kStep = 1.0 / 1024;
    if (size <= 1024)
        return QString::asprintf("%d B", int(size));
    double value = double(size) * kStep;
    if (size <= 1048576)
        return QString::asprintf("%.2f KB", value);
    value *= kStep;
    if (size <= 1073741824)
        return QString::asprintf("%.2f MB", value);
    value *= kStep;
    return QString::asprintf("%.2f GB", value);
}

bool QIAnyUtil::removeFolderContent(const QString &folderPath)
{
    // A link to a folder counts as no folder: nothing outside the tree is ever touched.
    const QFileInfo folder(folderPath);
    if (folderPath.isEmpty() || !folder.isDir() || folder.isSymLink())
        return false;
    removeTree(folderPath);
    // Only the named folder goes, never the parents it leaves empty.
    QDir().rmdir(folderPath);
    return true;
}

QString QIAnyUtil::getRestorePassWord()
{
    return s_restorPassword;
}

void QIAnyUtil::setRestorePassWord(QString text)
{
    s_restorPassword = std::move(text);
}
