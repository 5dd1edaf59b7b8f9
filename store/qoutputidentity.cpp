#include "qoutputidentity.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

constexpr qint64 kHeadBytes = 4096;

QRegularExpression stillName(const QString &folderName)
{
    QString base = folderName;
    base.remove(QRegularExpression(QStringLiteral("\\([0-9]+\\)$")));
    QStringList bases{QRegularExpression::escape(folderName)};
    if (base != folderName)
        bases << QRegularExpression::escape(base);
    return QRegularExpression(QStringLiteral("^(%1)_[0-9]{3,}\\.(jpg|png|bmp|tiff)$").arg(bases.join(QLatin1Char('|'))));
}

bool addFile(QCryptographicHash &hash, const QFileInfo &info)
{
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    hash.addData(info.fileName().toUtf8());
    hash.addData(QByteArray::number(info.size()) + ' ' + QByteArray::number(info.lastModified().toMSecsSinceEpoch()));
    hash.addData(file.read(kHeadBytes));
    return true;
}

} // namespace

QString QOutputIdentity::of(const QString &path)
{
    const QFileInfo info(QDir::cleanPath(path));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (info.isFile()) {
        if (!addFile(hash, info))
            return QString();
    } else if (info.isDir()) {
        for (const QFileInfo &still : stillsOf(info.filePath())) {
            if (!addFile(hash, still))
                return QString();
        }
    } else {
        return QString();
    }
    return QString::fromLatin1(hash.result().toHex());
}

QFileInfoList QOutputIdentity::stillsOf(const QString &folder)
{
    const QRegularExpression still = stillName(QFileInfo(folder).fileName());
    QFileInfoList stills;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink() && entry.isFile() && still.match(entry.fileName()).hasMatch())
            stills << entry;
    }
    return stills;
}
