#include "fakecodec.h"
#include "testhome.h"
#include "zvhelper.h"

#include <QBuffer>

namespace {

QByteArray encoded(const QSize &size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

class TestHelper : public QObject
{
    Q_OBJECT

private slots:
    void init() { FakeCodec::reset(); }

    void clockTexts_data()
    {
        QTest::addColumn<quint64>("microseconds");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("mode0");
        QTest::addColumn<QString>("mode1");
        QTest::addColumn<QString>("mode2");

        QTest::newRow("zero") << quint64(0) << "00:00:00" << "00:00:00.00" << "0 s" << "";
        QTest::newRow("seconds") << quint64(42500000) << "00:00:42" << "00:00:42.500" << "42 s" << "";
        QTest::newRow("minutes") << quint64(754000000) << "00:12:34" << "00:12:34.00" << "12 min 34 s" << "754 s";
        QTest::newRow("hours") << quint64(3723000000) << "01:02:03" << "01:02:03.00" << "1 h 2 min 3 s"
                               << "62 min 3 s";
        QTest::newRow("hundred hours") << quint64(360000000000) << "100:00:00" << "100:00:00.00" << "100 h 0 min 0 s"
                                       << "6000 min 0 s";
        QTest::newRow("past 596 hours") << quint64(700) * 3600000000 << "700:00:00" << "700:00:00.00"
                                        << "700 h 0 min 0 s" << "42000 min 0 s";
    }

    void clockTexts()
    {
        QFETCH(quint64, microseconds);
        QFETCH(QString, clock);
        QFETCH(QString, mode0);
        QFETCH(QString, mode1);
        QFETCH(QString, mode2);

        QCOMPARE(ZVHelper::getTime(microseconds), clock);
        QCOMPARE(ZVHelper::getCountStringTime(microseconds, 0), mode0);
        QCOMPARE(ZVHelper::getCountStringTime(microseconds, 7), mode0);
        QCOMPARE(ZVHelper::getCountStringTime(microseconds, 1), mode1);
        QCOMPARE(ZVHelper::getCountStringTime(microseconds, 2), mode2);
    }

    void playTimeJoinsTwoClocks()
    {
        QCOMPARE(ZVHelper::getPlayTime(61000000, 3723000000), QString("00:01:01 / 01:02:03"));
    }

    void bitRateTexts_data()
    {
        QTest::addColumn<int>("bps");
        QTest::addColumn<QString>("text");
        QTest::newRow("999") << 999 << "999 bps";
        QTest::newRow("1000") << 1000 << "1 kps";
        QTest::newRow("128500") << 128500 << "128 kps";
    }

    void bitRateTexts()
    {
        QFETCH(int, bps);
        QFETCH(QString, text);
        QCOMPARE(ZVHelper::getBitRate(bps), text);
    }

    void sizeTexts_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0B";
        QTest::newRow("negative") << qint64(-5) << "-5 B";
        QTest::newRow("1023") << qint64(1023) << "1023 B";
        QTest::newRow("1536") << qint64(1536) << "1.50 KB";
        QTest::newRow("1 MB") << qint64(1048576) << "1.00 MB";
        QTest::newRow("3.25 GB") << qint64(3489660928) << "3.25 GB";
    }

    void sizeTexts()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(ZVHelper::getFileSizeToString(bytes), text);
    }

    void shorterSideComesDown_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("scaled");
        QTest::newRow("landscape") << QSize(400, 300) << QSize(160, 120);
        QTest::newRow("portrait") << QSize(300, 400) << QSize(120, 160);
        QTest::newRow("small stays") << QSize(100, 80) << QSize(100, 80);
        QTest::newRow("square") << QSize(200, 200) << QSize(120, 120);
    }

    void shorterSideComesDown()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, scaled);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::green);
        QCOMPARE(ZVHelper::compressedPicture(image, 120).size(), scaled);
        const QByteArray jpeg = encoded(size, "JPG");
        QCOMPARE(ZVHelper::scaleImageFromUChar(reinterpret_cast<const uchar *>(jpeg.constData()), jpeg.size(), 120)
                     .size(),
                 scaled);
    }

    void undecodableBytesGiveNoPicture()
    {
        QVERIFY(ZVHelper::compressedPicture(QImage(), 120).isNull());
        const QByteArray jpeg = encoded(QSize(64, 48), "JPG");
        const auto *bytes = reinterpret_cast<const uchar *>(jpeg.constData());
        QVERIFY(ZVHelper::scaleImageFromUChar(bytes, 10, 120).isNull()); // a cut-off picture
        QVERIFY(ZVHelper::scaleImageFromUChar(nullptr, 10, 120).isNull());
        QVERIFY(ZVHelper::scaleImageFromUChar(bytes, 0, 120).isNull());
        const MMC_Blob whole{bytes, unsigned(jpeg.size())};
        QCOMPARE(ZVHelper::scaleImageFromChar(reinterpret_cast<const char *>(&whole), 20).size(), QSize(26, 20));
        const MMC_Blob huge{bytes, 0x80000000u};
        QVERIFY(ZVHelper::scaleImageFromChar(reinterpret_cast<const char *>(&huge), 20).isNull());
        QVERIFY(ZVHelper::scaleImageFromChar(nullptr, 20).isNull());
    }

    void probesReleaseTheirHandle()
    {
        FakeCodec::Script script;
        script.duration = 3000000;
        script.width = 64;
        script.height = 48;
        FakeCodec::reset(script);
        QCOMPARE(ZVHelper::getDuration("/m/a.mov"), 3000000ull);
        QVERIFY(ZVHelper::hasVedeoOrAudio("/m/a.mov"));
        QVERIFY(!ZVHelper::isDVDDir("/m/VIDEO_TS"));
        QCOMPARE(ZVHelper::getCoverImage("/m/a.mov").size(), QSize(64, 48));
        QCOMPARE(FakeCodec::liveHandles(), 0);

        script.mediaOpenResult = 0;
        FakeCodec::reset(script);
        QCOMPARE(ZVHelper::getDuration("/m/a.mov"), 0ull);
        QVERIFY(!ZVHelper::hasVedeoOrAudio("/m/a.mov"));
        QVERIFY(ZVHelper::getCoverImage("/m/a.mov").isNull());
        QVERIFY(ZVHelper::getCoverImage(QString()).isNull());
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void coverTagWinsOverTheFirstFrame()
    {
        FakeCodec::Script script;
        script.width = 64;
        script.height = 48;
        script.tags["cover_image"] = encoded(QSize(30, 20), "PNG");
        FakeCodec::reset(script);
        QCOMPARE(ZVHelper::getCoverImage("/m/a.mp4").size(), QSize(30, 20));
        QVERIFY(FakeCodec::callsStartingWith("GrabFrameImage").isEmpty());
    }
};

GLINTORA_TEST_MAIN_CORE(TestHelper)
#include "tst_zvhelper.moc"
