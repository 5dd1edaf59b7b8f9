#include "zvhistorythumbnail.h"

#include "md5.h"
#include "qianyutil.h"
#include "zvhelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace {

constexpr int kSide = 200;

} // namespace

QString ZVHistoryThumbnail::pathFor(const QString &outputPath)
{
    return QIAnyUtil::getAppDataPath() + QStringLiteral("/Temp/")
           + QString::fromStdString(MD5(outputPath.toUtf8().toStdString()).hexdigest()) + QStringLiteral(".JPG");
}

QString ZVHistoryThumbnail::sourceFor(const QString &outputPath)
{
    const QFileInfo output(outputPath);
    if (output.isFile())
        return outputPath;
    if (!output.isDir())
        return QString();
    const QFileInfoList entries = QDir(outputPath).entryInfoList(
        QDir::Dirs | QDir::Files | QDir::Readable | QDir::Writable | QDir::Hidden | QDir::NoDotAndDotDot,
        QDir::Name);
    if (entries.isEmpty() || !entries.first().isFile())
        return QString();
    return entries.first().absoluteFilePath();
}

QString ZVHistoryThumbnail::make(const QString &outputPath)
{
    const QString path = pathFor(outputPath);
    return QFileInfo::exists(path) ? path : renew(outputPath);
}

QString ZVHistoryThumbnail::renew(const QString &outputPath)
{
    const QString path = pathFor(outputPath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString source = sourceFor(outputPath);
    const QImage cover = source.isEmpty() ? QImage() : ZVHelper::getCoverImage(source);
    // A path used again names a new output: an earlier output's picture must not stay.
    if (cover.isNull())
        QFile::remove(path);
    else
        cover.scaled(kSide, kSide, Qt::KeepAspectRatio, Qt::FastTransformation).save(path, "JPG");
    return path;
}

bool ZVHistoryThumbnail::remove(const QString &outputPath)
{
    return QFile::remove(pathFor(outputPath));
}
