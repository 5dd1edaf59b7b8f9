// How long the history's fingerprint of a finished output takes: every byte of a file, or of
// each still in a series folder. Give it outputs, for example the codec bench's own:
//
//   glintora_codec_bench --only GIF --movie portrait --out FOLDER
//   glintora_fingerprint_bench FOLDER/0/ours/source.gif FOLDER/0/ours/png
//
// A folder's stills are copied first into a series folder named as conversions name theirs.
// Prints, per output, its size and the median of 21 runs, with the page cache warm as a
// conversion that just wrote the output leaves it; set it against the conversion's time.

#include "qoutputidentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 21;

// The output as the history sees it: a file as it is, a folder's stills as "series_001.png"...
QString staged(const QString &output, const QTemporaryDir &scratch)
{
    const QFileInfo info(output);
    if (!info.isDir())
        return output;
    const QString series = scratch.filePath(QStringLiteral("series"));
    QDir().mkpath(series);
    const QFileInfoList stills = QDir(output).entryInfoList(QDir::Files, QDir::Name);
    for (int i = 0; i < stills.size(); ++i) {
        const QString name = QStringLiteral("/series_%1.%2").arg(i + 1, 3, 10, QLatin1Char('0')).arg(stills[i].suffix());
        QFile::copy(stills[i].filePath(), series + name);
    }
    return series;
}

qint64 bytesOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return info.size();
    qint64 bytes = 0;
    for (const QFileInfo &still : QOutputIdentity::stillsOf(path))
        bytes += still.size();
    return bytes;
}

double medianMs(const QString &path)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (QOutputIdentity::of(path).isEmpty())
            return -1;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList outputs = app.arguments().mid(1);
    if (outputs.isEmpty()) {
        std::fprintf(stderr, "usage: glintora_fingerprint_bench OUTPUT...\n");
        return 1;
    }
    std::printf("%-60s %10s %10s\n", "output", "MB", "median ms");
    for (const QString &output : outputs) {
        QTemporaryDir scratch;
        const QString path = staged(output, scratch);
        const double ms = medianMs(path);
        if (ms < 0) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(output));
            return 1;
        }
        std::printf("%-60s %10.2f %10.3f\n", qPrintable(output), bytesOf(path) / 1e6, ms);
    }
    return 0;
}
