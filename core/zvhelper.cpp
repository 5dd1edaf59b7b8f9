#include "zvhelper.h"

#include "grabbedframe.h"
#include "mediaprobe.h"
#include "zvcommoninterface.h"

#include <climits>
#include <limits>

namespace {

struct Clock
{
    qint64 hours;
    qint64 minutes; // within the hour
    qint64 seconds; // within the minute
    qint64 millis;  // within the second
    qint64 totalMinutes;
    qint64 totalSeconds;
};

Clock ClockOf(unsigned long long microseconds)
{
    const qint64 ms = qint64(microseconds / 1000.0);
    return Clock{ms / 3600000, (ms / 60000) % 60, (ms / 1000) % 60, ms % 1000, ms / 60000, ms / 1000};
}

QString TwoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString SizeText(double value, const char *unit)
{
    return QStringLiteral("%1 %2").arg(QString::number(float(value), 'f', 2), QLatin1String(unit));
}

} // namespace

unsigned long long ZVHelper::getDuration(QString path)
{
    MediaProbe probe;
    return probe.OpenFile(path) ? MMC_GetMediaDuration(probe.handle()) : 0;
}

bool ZVHelper::hasVedeoOrAudio(QString path)
{
    MediaProbe probe;
    return probe.OpenFile(path)
        && (MMC_MediaHasVideo(probe.handle()) == 1 || MMC_MediaHasAudio(probe.handle()) == 1);
}

bool ZVHelper::isDVDDir(QString path)
{
    MediaProbe probe;
    return probe.OpenDvdFolder(path)
        && (MMC_MediaHasVideo(probe.handle()) == 1 || MMC_MediaHasAudio(probe.handle()) == 1);
}

QImage ZVHelper::getCoverImage(QString path)
{
    MediaProbe probe;
    if (!probe.OpenFile(path))
        return QImage();
    if (const char *tag = MMC_GetMediaTag(probe.handle(), "cover_image")) {
        const auto *cover = reinterpret_cast<const MMC_Blob *>(tag);
        QImage image;
        if (cover->data && cover->size > 0 && cover->size <= unsigned(INT_MAX))
            image.loadFromData(cover->data, int(cover->size));
        return image;
    }
    return grabFrameImage(probe.handle(), 0, 0, 0);
}

QImage ZVHelper::compressedPicture(QImage image, int size)
{
    if (image.isNull())
        return image;
    const int w = image.width();
    const int h = image.height();
    if (h >= w && w > size)
        return image.scaled(size, int(size * (double(h) / w)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (h < w && h > size)
        return image.scaled(int(size * (double(w) / h)), size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage ZVHelper::scaleImageFromUChar(const unsigned char *data, int count, int size)
{
    if (!data || count <= 0)
        return QImage();
    QImage image;
    if (!image.loadFromData(data, count))
        return QImage();
    const QImage scaled = compressedPicture(image, size);
    return scaled.isNull() ? image : scaled;
}

QImage ZVHelper::scaleImageFromChar(const char *pair, int size)
{
    if (!pair)
        return QImage();
    const auto *blob = reinterpret_cast<const MMC_Blob *>(pair);
    if (blob->size > unsigned(std::numeric_limits<int>::max()))
        return QImage();
    return scaleImageFromUChar(blob->data, int(blob->size), size);
}

void ZVHelper::setOpenFinder(QString path)
{
    ZvCommonInterface::showFileInFolder(path.toStdString());
}

void ZVHelper::showFileInFolder(std::string path)
{
    ZvCommonInterface::showFileInFolder(path);
}

QString ZVHelper::getBitRate(int bitsPerSecond)
{
    if (bitsPerSecond < 1000)
        return QStringLiteral("%1 bps").arg(bitsPerSecond);
    return QStringLiteral("%1 kps").arg(bitsPerSecond / 1000);
}

QString ZVHelper::getTime(unsigned long long microseconds)
{
    const Clock c = ClockOf(microseconds);
    return QStringLiteral("%1:%2:%3").arg(TwoDigits(c.hours), TwoDigits(c.minutes), TwoDigits(c.seconds));
}

QString ZVHelper::getPlayTime(unsigned long long current, unsigned long long total)
{
    return QStringLiteral("%1 / %2").arg(getTime(current), getTime(total));
}

QString ZVHelper::getCountStringTime(unsigned long long microseconds, int mode)
{
    const Clock c = ClockOf(microseconds);
    if (mode == 1) {
        if (c.totalSeconds < 60)
            return QStringLiteral("%1 s").arg(c.totalSeconds);
        if (c.hours < 1)
            return QStringLiteral("%1 min %2 s").arg(c.totalMinutes).arg(c.seconds);
        return QStringLiteral("%1 h %2 min %3 s").arg(c.hours).arg(c.minutes).arg(c.seconds);
    }
    if (mode == 2) {
        if (c.totalSeconds < 60)
            return QString();
        if (c.hours < 1)
            return QStringLiteral("%1 s").arg(c.totalSeconds);
        return QStringLiteral("%1 min %2 s").arg(c.totalMinutes).arg(c.seconds);
    }
    return QStringLiteral("%1:%2:%3.%4")
        .arg(TwoDigits(c.hours), TwoDigits(c.minutes), TwoDigits(c.seconds), TwoDigits(c.millis));
}

QString ZVHelper::getFileSizeToString(long long bytes)
{
    if (bytes == 0)
        return QStringLiteral("0B");
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1048576)
        return SizeText(bytes / 1024.0, "KB");
    if (bytes < 1073741824)
        return SizeText(bytes / 1048576.0, "MB");
    return SizeText(bytes / 1073741824.0, "GB");
}
