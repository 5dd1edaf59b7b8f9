#pragma once

#include <QImage>
#include <QString>

#include <string>

// One-shot media probes, picture scaling, revealing a file, and the texts for sizes,
// times and bit rates. Every probe releases its media handle on every path.
class ZVHelper
{
public:
    static unsigned long long getDuration(QString path);
    static bool hasVedeoOrAudio(QString path);
    static bool isDVDDir(QString path);
    static QImage getCoverImage(QString path);

    // The shorter side brought down to size, smoothly; smaller pictures unchanged.
    static QImage compressedPicture(QImage image, int size);
    // Decodes exactly count bytes of one encoded picture and scales it as above.
    static QImage scaleImageFromUChar(const unsigned char *data, int count, int size);
    // The same for the picture an MMC_Blob (what the "cover_image" tag gives) points at.
    static QImage scaleImageFromChar(const char *pair, int size);

    static void setOpenFinder(QString path);
    static void showFileInFolder(std::string path);

    static QString getBitRate(int bitsPerSecond);
    static QString getTime(unsigned long long microseconds);
    static QString getPlayTime(unsigned long long current, unsigned long long total);
    // Mode 0 "hh:mm:ss.ms"; 1 "s", "min s" or "h min s"; 2 empty, "s" or "min s". The
    // largest unit shown carries the whole rest; unknown modes read as 0.
    static QString getCountStringTime(unsigned long long microseconds, int mode);
    static QString getFileSizeToString(long long bytes);
};
