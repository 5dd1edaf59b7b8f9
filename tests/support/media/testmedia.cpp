#include "testmedia.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <utility>

#include "phonelayout.h"
#include "quicktimemeta.h"

const char *const TestMedia::kContentIdentifier = "8F3C2A71-0B1E-4C55-9D1A-2B6A7E0C1D23";
const char *const TestMedia::kCreationDate = "2023-06-05T14:30:12+0200";
const char *const TestMedia::kLocation = "+37.3349-122.0090+010.000/";
const char *const TestMedia::kMake = "Glintora Labs";
const char *const TestMedia::kModel = "Test Phone 7";
const char *const TestMedia::kSoftware = "17.1.2";

namespace {

QString g_lastError;

QString videoSource(const TestMedia::LivePhoto &spec)
{
    const QString source = spec.noisy ? "testsrc2=size=%1x%2:rate=%3,noise=alls=40:allf=t+u" : "testsrc2=size=%1x%2:rate=%3";
    return source.arg(spec.width).arg(spec.height).arg(spec.fps);
}

QStringList videoCodec(const TestMedia::LivePhoto &spec)
{
    const QString pixelFormat = spec.tenBit ? "yuv420p10le" : "yuv420p";
    if (spec.codec == TestMedia::Codec::Hevc)
        return {"-c:v", "libx265", "-x265-params", "log-level=error", "-tag:v", "hvc1", "-preset", "ultrafast",
                "-pix_fmt", pixelFormat};
    return {"-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", pixelFormat};
}

QStringList metadataKeys(const TestMedia::LivePhoto &spec)
{
    if (spec.android)
        return {"-metadata", "com.android.version=13", "-movflags", "use_metadata_tags"};
    if (spec.identifier) {
        QStringList arguments{"-movflags", "use_metadata_tags"};
        const QString prefix("com.apple.quicktime.");
        for (const auto &key : {std::make_pair("content.identifier", TestMedia::kContentIdentifier),
                                std::make_pair("creationdate", TestMedia::kCreationDate),
                                std::make_pair("location.ISO6709", TestMedia::kLocation),
                                std::make_pair("make", TestMedia::kMake), std::make_pair("model", TestMedia::kModel),
                                std::make_pair("software", TestMedia::kSoftware)})
            arguments += {"-metadata", prefix + key.first + "=" + key.second};
        return arguments;
    }
    return {};
}

bool appendDigitBox(const QString &path)
{
    QFile file(path);
    const QByteArray box("\x00\x00\x00\x08" "2024", 8);
    return file.open(QIODevice::Append) && file.write(box) == box.size();
}

} // namespace

bool TestMedia::runFfmpeg(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        g_lastError = QString::fromLocal8Bit(process.readAll()) + process.errorString();
        return false;
    }
    return true;
}

QString TestMedia::lastError()
{
    return g_lastError;
}

QString TestMedia::livePhoto(const QString &folder, const QString &name)
{
    return livePhoto(folder, name, LivePhoto());
}

QString TestMedia::livePhoto(const QString &folder, const QString &name, const LivePhoto &spec)
{
    const QString path = QDir(folder).filePath(name);
    const QString container = spec.android ? "mp4" : "mov";
    const QString seconds = QString::number(spec.seconds);
    QStringList arguments{"-f", "lavfi", "-i", videoSource(spec) + ":duration=" + seconds};
    if (spec.audio)
        arguments += {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + seconds, "-c:a", "aac"};
    arguments += videoCodec(spec);
    const QString encoded = spec.portrait ? path + ".landscape." + container : path;
    if (!spec.portrait)
        arguments += metadataKeys(spec);
    if (!runFfmpeg(arguments + QStringList{"-f", container, encoded}))
        return {};
    if (spec.portrait) {
        // Encoders drop the rotation; a stream copy writes it.
        const bool remuxed = runFfmpeg(QStringList{"-i", encoded, "-c", "copy", "-metadata:s:v:0", "rotate=90"}
                                       + metadataKeys(spec) + QStringList{"-f", container, path});
        QFile::remove(encoded);
        if (!remuxed)
            return {};
    }
    if ((spec.identifier || spec.android) && !QuickTimeMeta::moveToMovieBox(path, &g_lastError))
        return {};
    if (spec.layout != Layout::Muxer && !PhoneLayout::rewrite(path, spec.layout == Layout::Phone, &g_lastError))
        return {};
    if (spec.android && !appendDigitBox(path))
        return {};
    return path;
}

QString TestMedia::coverArtMovie(const QString &folder, const QString &name, QString *coverPath)
{
    const QString cover = still(folder, name + ".cover.png", 64, 64);
    const QString path = QDir(folder).filePath(name);
    if (cover.isEmpty()
        || !runFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=30:duration=1", "-i", cover, "-map", "0",
                       "-map", "1", "-c:v:0", "libx264", "-pix_fmt", "yuv420p", "-c:v:1", "png", "-disposition:v:1",
                       "attached_pic", "-metadata", "title=Cover Test", "-metadata", "artist=Glintora",
                       "-metadata", "date=2021-06-05", "-f", "mp4", path}))
        return {};
    if (coverPath)
        *coverPath = cover;
    return path;
}

QString TestMedia::multiTrackMovie(const QString &folder, const QString &name)
{
    const QString subtitles = QDir(folder).filePath(name + ".srt");
    QFile srt(subtitles);
    if (!srt.open(QIODevice::WriteOnly)
        || srt.write("1\n00:00:00,000 --> 00:00:02,000\nHello\n\n2\n00:00:02,000 --> 00:00:03,000\nWorld\n\n") < 0)
        return {};
    srt.close();
    const QString path = QDir(folder).filePath(name);
    if (!runFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=30:duration=3", "-f", "lavfi", "-i",
                    "sine=frequency=440:sample_rate=44100:duration=3", "-f", "lavfi", "-i",
                    "sine=frequency=880:sample_rate=44100:duration=3", "-i", subtitles, "-map", "0", "-map", "1",
                    "-map", "2", "-map", "3", "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac", "-c:s", "srt",
                    "-metadata:s:a:0", "language=eng", "-metadata:s:a:1", "language=fre", "-metadata:s:a:1",
                    "title=Director", "-metadata:s:s:0", "language=eng", "-metadata:s:s:0", "title=Forced",
                    "-f", "matroska", path}))
        return {};
    return path;
}

QString TestMedia::chapterMovie(const QString &folder, const QString &name)
{
    const QString chapters = QDir(folder).filePath(name + ".chapters.txt");
    QFile file(chapters);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=Intro\n"
                      "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=3000\ntitle=Main\n") < 0)
        return {};
    file.close();
    const QString path = QDir(folder).filePath(name);
    if (!runFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=30:duration=3", "-i", chapters, "-map", "0",
                    "-map_metadata", "1", "-map_chapters", "1", "-c:v", "libx264", "-pix_fmt", "yuv420p",
                    "-f", "mp4", path}))
        return {};
    return path;
}

QString TestMedia::still(const QString &folder, const QString &name, int width, int height)
{
    const QString path = QDir(folder).filePath(name);
    // The image muxer with update=1 writes exactly one file, whatever the name holds.
    if (!runFfmpeg({"-f", "lavfi", "-i", QString("testsrc2=size=%1x%2:rate=1:duration=1").arg(width).arg(height),
                    "-frames:v", "1", "-f", "image2", "-update", "1", path}))
        return {};
    return path;
}

QString TestMedia::audioOnly(const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name);
    if (!runFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=2", "-c:a", "aac",
                    "-f", "mp4", path}))
        return {};
    return path;
}

QString TestMedia::audioWithCover(const QString &folder, const QString &name)
{
    const QString cover = still(folder, name + ".cover.png", 64, 64);
    const QString path = QDir(folder).filePath(name);
    if (cover.isEmpty()
        || !runFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=2", "-i", cover, "-map",
                       "0", "-map", "1", "-c:a", "aac", "-c:v", "png", "-disposition:v", "attached_pic", "-f", "mp4",
                       path}))
        return {};
    return path;
}

QString TestMedia::encodedClip(const QString &folder, const QString &name, const QString &videoSource,
                               const QStringList &encoding, double audioSeconds)
{
    const QString path = QDir(folder).filePath(name);
    QStringList arguments{"-f", "lavfi", "-i", videoSource};
    if (audioSeconds > 0)
        arguments += {"-f", "lavfi", "-i",
                      "sine=frequency=440:sample_rate=44100:duration=" + QString::number(audioSeconds), "-c:a", "aac"};
    if (!runFfmpeg(arguments + encoding + QStringList{path}))
        return {};
    return path;
}
