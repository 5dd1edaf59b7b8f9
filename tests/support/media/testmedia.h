#pragma once

#include <QString>
#include <QStringList>

// Small synthetic media made at test time with the ffmpeg command-line tool.
// Every function returns the path of the file it made, or "" on failure (see lastError).
class TestMedia
{
public:
    enum class Codec { H264, Hevc };

    // Muxer: as the ffmpeg tool writes it. Phone: wide, the samples, a second mdat with a
    // timed-metadata (mebx) track's samples, moov last; optionally without ftyp, as
    // copying a Live Photo off a phone over USB hands it over.
    enum class Layout { Muxer, Phone, PhoneWithoutFtyp };

    struct LivePhoto
    {
        Codec codec = Codec::H264;
        int width = 320;
        int height = 240;
        int fps = 30;
        double seconds = 3.0;
        // Shown turned a quarter clockwise: a portrait movie coded landscape.
        bool portrait = false;
        bool audio = true;
        // The content-identifier key and the capture keys in moov/meta, as phones write them.
        bool identifier = true;
        // The Android variant: a version key and a top-level box named by four digits.
        bool android = false;
        bool tenBit = false;
        // Noisy picture content, for encoders that must work hard.
        bool noisy = false;
        Layout layout = Layout::Muxer;
    };

    static const char *const kContentIdentifier;
    // Capture metadata keys that Apple Live Photo movies also carry.
    static const char *const kCreationDate;
    static const char *const kLocation;
    static const char *const kMake;
    static const char *const kModel;
    static const char *const kSoftware;

    static QString livePhoto(const QString &folder, const QString &name, const LivePhoto &spec);
    static QString livePhoto(const QString &folder, const QString &name);
    // An .mp4 with a PNG cover picture; coverPath receives the picture's path.
    static QString coverArtMovie(const QString &folder, const QString &name, QString *coverPath = nullptr);
    // An .mkv with two audio tracks ("eng" 440 Hz, "fre" 880 Hz titled "Director") and
    // one SubRip track ("eng", titled "Forced").
    static QString multiTrackMovie(const QString &folder, const QString &name);
    // An .mp4 with the chapters "Intro" (0-1 s) and "Main" (1-3 s).
    static QString chapterMovie(const QString &folder, const QString &name);
    // One still picture; the format follows the suffix of name.
    static QString still(const QString &folder, const QString &name, int width = 320, int height = 240);
    // Sound only.
    static QString audioOnly(const QString &folder, const QString &name);
    // Sound (440 Hz, 2 s) with a PNG cover picture, in an .mp4.
    static QString audioWithCover(const QString &folder, const QString &name);
    // Any picture the lavfi source filter chain makes, coded with the given arguments;
    // with a 440 Hz tone of audioSeconds when that is above 0. The suffix of name picks
    // the container.
    static QString encodedClip(const QString &folder, const QString &name, const QString &videoSource,
                               const QStringList &encoding, double audioSeconds = 0);

    static bool runFfmpeg(const QStringList &arguments);
    static QString lastError();
};
