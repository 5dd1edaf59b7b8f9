#include "qoutputidentity.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <memory>
#include <xxhash.h>

namespace {

// Tells these identities from the older ones, which were plain hexadecimal.
const QString kScheme = QStringLiteral("xxh3-128:");
constexpr qint64 kChunkBytes = 1 << 20;

using HashState = std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)>;

QRegularExpression stillName(const QString &folderName)
{
    QString base = folderName;
    base.remove(QRegularExpression(QStringLiteral("\\([0-9]+\\)$")));
    QStringList bases{QRegularExpression::escape(folderName)};
    if (base != folderName)
        bases << QRegularExpression::escape(base);
    return QRegularExpression(QStringLiteral("^(%1)_[0-9]{3,}\\.(jpg|png|bmp|tiff)$").arg(bases.join(QLatin1Char('|'))));
}

void addBytes(XXH3_state_t *hash, const QByteArray &bytes)
{
    XXH3_128bits_update(hash, bytes.constData(), size_t(bytes.size()));
}

// False when the file cannot be read whole, as it was described.
bool addFile(XXH3_state_t *hash, const QFileInfo &info, QByteArray &buffer)
{
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The name ends at a zero byte, so no name and description run into each other.
    addBytes(hash, info.fileName().toUtf8() + '\0');
    addBytes(hash, QByteArray::number(info.size()) + ' ' + QByteArray::number(info.lastModified().toMSecsSinceEpoch())
                       + '\0');
    qint64 total = 0;
    for (;;) {
        const qint64 read = file.read(buffer.data(), buffer.size());
        if (read < 0)
            return false;
        if (read == 0)
            break;
        XXH3_128bits_update(hash, buffer.constData(), size_t(read));
        total += read;
    }
    return total == info.size();
}

QString hexOf(const XXH128_hash_t &digest)
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, digest);
    const QByteArray bytes(reinterpret_cast<const char *>(canonical.digest), sizeof(canonical.digest));
    return kScheme + QString::fromLatin1(bytes.toHex());
}

} // namespace

QString QOutputIdentity::of(const QString &path)
{
    const QFileInfo info(QDir::cleanPath(path));
    QFileInfoList files;
    if (info.isFile())
        files << info;
    else if (info.isDir())
        files = stillsOf(info.filePath());
    else
        return QString();
    const HashState hash(XXH3_createState(), &XXH3_freeState);
    if (!hash || XXH3_128bits_reset(hash.get()) != XXH_OK)
        return QString();
    QByteArray buffer(int(kChunkBytes), Qt::Uninitialized);
    for (const QFileInfo &file : qAsConst(files)) {
        if (!addFile(hash.get(), file, buffer))
            return QString();
    }
    return hexOf(XXH3_128bits_digest(hash.get()));
}

bool QOutputIdentity::isCurrent(const QString &identity)
{
    return identity.startsWith(kScheme);
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
