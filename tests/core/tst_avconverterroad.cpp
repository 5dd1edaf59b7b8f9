#include "cavconverter.h"
#include "jobreports.h"
#include "testhome.h"
#include "testmedia.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// ffprobe's view of a file: format tags, duration and stream kinds, plus any error line
// a full decode prints.
struct Probe
{
    QJsonObject tags;
    double duration = 0;
    QString streams;
    QByteArray errors;
};

QByteArray run(const QString &program, const QStringList &arguments, QByteArray *errors = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (errors)
        *errors = process.readAllStandardError().trimmed();
    return process.readAllStandardOutput();
}

Probe probe(const QString &path)
{
    const QJsonObject all = QJsonDocument::fromJson(run("ffprobe", {"-v", "error", "-of", "json", "-show_format",
                                                                    "-show_streams", path})).object();
    Probe result;
    result.tags = all["format"].toObject()["tags"].toObject();
    result.duration = all["format"].toObject()["duration"].toString().toDouble();
    for (const QJsonValue &stream : all["streams"].toArray())
        result.streams += stream.toObject()["codec_type"].toString().left(1);
    run("ffmpeg", {"-v", "error", "-i", path, "-f", "null", "-"}, &result.errors);
    return result;
}

} // namespace

class TestAVConverterRoad : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sine;
    QByteArray m_cover;

    // A direct conversion of src into m_dir/name; the outcome it reported.
    Report convert(const QString &src, const QString &name, const char *format, uint32_t audioCodec, bool tags)
    {
        CAVEncodeParam p;
        p.SetFormat(format);
        p.audioCodec = audioCodec;
        if (tags) {
            CAVEncodeMetaInfo &m = p.metaInfo;
            m.title = "T\xc3\xaftle", m.artist = "Artist", m.album = "Album", m.genre = "Rock", m.year = "1999";
            m.track = "7", m.comment = "Comment", m.copyright = "Copyright";
            m.coverPicture = m_cover.toStdString(), m.coverSize = m_cover.size();
        }
        Reports reports;
        CAVConverter converter;
        if (!converter.StartConvert(src.toUtf8(), m_dir.filePath(name).toUtf8(), &p, &reports, &Reports::progress, false)
            || !reports.waitTerminal())
            return Report(0, convertFailed);
        return reports.snapshot().back();
    }

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("glintora.core.debug=false"));
        m_sine = m_dir.filePath("sine.m4a");
        QVERIFY(TestMedia::runFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=3",
                                      "-metadata", "title=Source", "-c:a", "aac", m_sine}));
        QFile cover(TestMedia::still(m_dir.path(), "cover.png", 32, 32));
        QVERIFY(cover.open(QIODevice::ReadOnly));
        m_cover = cover.readAll();
    }

    void writesTagsIntoEveryAudioFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<uint>("codec");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("mp3") << "a.mp3" << 0x15001u << QByteArray("mp3");
        QTest::newRow("m4a") << "a.m4a" << 0x15002u << QByteArray("mp4");
        QTest::newRow("aac") << "a.aac" << 0x15002u << QByteArray("adts");
        QTest::newRow("flac") << "a.flac" << 0x1500Cu << QByteArray("flac");
        QTest::newRow("wav") << "a.wav" << 0x10000u << QByteArray("wav");
        QTest::newRow("wma") << "a.wma" << 0x15008u << QByteArray("asf");
    }

    void writesTagsIntoEveryAudioFormat()
    {
        QFETCH(QString, name);
        QFETCH(uint, codec);
        QFETCH(QByteArray, format);
        for (bool tags : {true, false}) {
            QCOMPARE(convert(m_sine, name, format, codec, tags), Report(100, convertFinished));
            const Probe output = probe(m_dir.filePath(name));
            QVERIFY2(output.errors.isEmpty(), output.errors);
            QVERIFY2(qAbs(output.duration - 3.0) < 0.1, qPrintable(QString::number(output.duration)));
            const QJsonObject &t = output.tags;
            QCOMPARE(t["artist"].toString(t["ARTIST"].toString()), tags ? QString("Artist") : QString());
            QCOMPARE(t["genre"].toString(t["GENRE"].toString()), tags ? QString("Rock") : QString());
            QVERIFY(!t.contains("title") || t["title"].toString() == QString::fromUtf8("T\xc3\xaftle"));
        }
    }

    void soundFromAMovieHasNoPicture()
    {
        const QString movie = TestMedia::livePhoto(m_dir.path(), "movie.mov");
        QCOMPARE(convert(movie, "movie.mp3", "mp3", 0x15001, false), Report(100, convertFinished));
        QCOMPARE(probe(m_dir.filePath("movie.mp3")).streams, QString("a"));
    }
};

GLINTORA_TEST_MAIN_CORE(TestAVConverterRoad)
#include "tst_avconverterroad.moc"
