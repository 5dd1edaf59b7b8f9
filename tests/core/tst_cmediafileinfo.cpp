#include "cmediafileinfo.h"
#include "mmc.h"
#include "testhome.h"
#include "testmedia.h"

#include <QtTest>

#include <cstring>

namespace {

// Records start filled with this byte, so a field the reader left alone is recognisable.
constexpr unsigned char kUntouched = 0xA5;

template <class Record> Record untouchedRecord()
{
    Record record;
    std::memset(static_cast<void *>(&record), kUntouched, sizeof record);
    return record;
}

template <class Record> bool isUntouched(const Record &record)
{
    const Record fresh = untouchedRecord<Record>();
    return std::memcmp(&record, &fresh, sizeof record) == 0;
}

qint32 le32(const unsigned char *data)
{
    return qint32(data[0] | data[1] << 8 | data[2] << 16 | quint32(data[3]) << 24);
}

// The size a BMP's header declares; rows stored top-down count negative.
QSize bmpSize(const unsigned char *bmp)
{
    if (!bmp || bmp[0] != 'B' || bmp[1] != 'M')
        return {};
    return QSize(le32(bmp + 18), qAbs(le32(bmp + 22)));
}

// Lengths may differ from the asked ones by a frame or by the sound encoder's padding.
bool near(quint64 measured, quint64 expected)
{
    return qAbs(qint64(measured) - qint64(expected)) <= 50000;
}

} // namespace

class TestMediaFileInfo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void ratioAndThumbnailTime()
    {
        QCOMPARE(CMediaFileInfo::RatioTimes100(30000, 1001), 2997u);
        QCOMPARE(CMediaFileInfo::RatioTimes100(25, 0), 0u);
        QCOMPARE(CMediaFileInfo::RatioTimes100(0xFFFFFFFFu, 1), 0u); // past 32 bits
        QCOMPARE(CMediaFileInfo::ThumbnailTime(60000000), quint64(30000000));
        QCOMPARE(CMediaFileInfo::ThumbnailTime(4000000), quint64(10000000));
    }

    void describesGeneratedFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("picture"); // invalid: no video record filled
        QTest::addColumn<uint>("codec");
        QTest::addColumn<uint>("aspect"); // aspectX * 100 + aspectY
        QTest::addColumn<quint64>("duration");
        QTest::addColumn<uint>("sampleRate"); // 0: no audio record filled

        const QString folder = m_dir.path();
        TestMedia::LivePhoto silent;
        silent.audio = false;
        silent.seconds = 1;
        TestMedia::LivePhoto portrait;
        portrait.codec = TestMedia::Codec::Hevc;
        portrait.portrait = true;
        portrait.seconds = 2;
        const QString text = m_dir.filePath("notes.mov");
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a movie at all\n") > 0);
        file.close();

        QTest::newRow("video only") << TestMedia::livePhoto(folder, "silent.mov", silent) << QSize(320, 240)
                                    << uint(MMC_CODEC_H264) << 403u << quint64(1000000) << 0u;
        QTest::newRow("audio only") << TestMedia::audioOnly(folder, "sound.m4a") << QSize() << 0u << 0u
                                    << quint64(2000000) << 44100u;
        QTest::newRow("rotated") << TestMedia::livePhoto(folder, "portrait.mov", portrait) << QSize(240, 320)
                                 << uint(MMC_CODEC_HEVC) << 304u << quint64(2000000) << 44100u;
        QTest::newRow("unreadable") << text << QSize() << 0u << 0u << quint64(0) << 0u;
    }

    void describesGeneratedFiles()
    {
        QFETCH(QString, path);
        QFETCH(QSize, picture);
        QFETCH(uint, codec);
        QFETCH(uint, aspect);
        QFETCH(quint64, duration);
        QFETCH(uint, sampleRate);
        QVERIFY2(!path.isEmpty(), qPrintable(TestMedia::lastError()));
        CMediaFileInfo reader(path.toUtf8().constData());
        auto video = untouchedRecord<MediaVideoInfo>();
        auto audio = untouchedRecord<MediaAudioInfo>();
        auto general = untouchedRecord<MediaGeneralInfo>();
        reader.GetVideoInfo(&video);
        reader.GetAudioInfo(&audio);
        reader.GetMediaInfo(&general);

        if (picture.isValid()) {
            QCOMPARE(QSize(int(video.width), int(video.height)), picture);
            QCOMPARE(video.codec, codec);
            QCOMPARE(video.aspectX * 100 + video.aspectY, aspect);
            QCOMPARE(video.frameRate100, 3000u);
            QVERIFY2(near(general.duration, duration), qPrintable(QString::number(general.duration)));
            QCOMPARE(QString(general.format), QString("MP4"));
            // The thumbnail is shown as the movie plays: upright.
            QCOMPARE(bmpSize(general.thumbnail), picture);
            QCOMPARE(general.userValue, untouchedRecord<MediaGeneralInfo>().userValue);
        } else {
            QVERIFY(isUntouched(video));
            QVERIFY(isUntouched(general));
        }
        if (sampleRate) {
            QCOMPARE(QString(audio.codecName), QString("aac"));
            QCOMPARE(audio.sampleRate, sampleRate);
            QCOMPARE(audio.channels, 1u);
            QVERIFY2(near(audio.duration, duration), qPrintable(QString::number(audio.duration)));
        } else {
            QVERIFY(isUntouched(audio));
        }
    }
};

GLINTORA_TEST_MAIN_CORE(TestMediaFileInfo)
#include "tst_cmediafileinfo.moc"
