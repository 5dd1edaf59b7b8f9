#include "cavencodeparam.h"
#include "testhome.h"

#include <cstdlib>
#include <cstring>
#include <memory>

class TestEncodeParam : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        const CAVEncodeParam p;
        QCOMPARE(p.format, nullptr);
        QCOMPARE(p.videoCodec, 0u);
        QCOMPARE(p.frameRate100, 0u);
        QCOMPARE(p.sampleRate, 0u);
        QCOMPARE(p.channels, 0u);
        QCOMPARE(p.scaleOptionOn, 1u);
        QCOMPARE(p.scaleOptionValue, 0xFF000000u);
        QCOMPARE(p.optionUInt, 0xFFFFFFFFu);
        QCOMPARE(p.dvdTitle, 0);
        QCOMPARE(p.speedPercent, 100u);
        QCOMPARE(p.extraData, nullptr);
        QVERIFY(!p.altEngine && !p.dvdSource);
    }

    void copyIsDeepAndOutlivesItsSource_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("extraSize");

        QTest::newRow("format and blob") << QByteArray("gif") << 16;
        QTest::newRow("null format") << QByteArray() << 16;
        QTest::newRow("empty blob") << QByteArray("png") << 0;
        QTest::newRow("negative blob size") << QByteArray("png") << -5;
    }

    void copyIsDeepAndOutlivesItsSource()
    {
        QFETCH(QByteArray, format);
        QFETCH(int, extraSize);

        auto source = std::make_unique<CAVEncodeParam>();
        source->SetFormat(format.isNull() ? nullptr : format.constData());
        source->videoCodec = 98;
        source->frameRateNum = 10;
        source->frameRateDen = 1;
        source->rangeLength = 5000000;
        source->metaInfo.keepExif = true;
        source->metaInfo.title = "title";
        source->altEngine = true;
        source->imageKey = 123456;
        source->extraDataSize = extraSize;
        if (extraSize > 0) {
            source->extraData = static_cast<unsigned char *>(std::malloc(size_t(extraSize)));
            std::memset(source->extraData, 0xAB, size_t(extraSize));
        }

        const CAVEncodeParam copy(source.get());
        source.reset(); // the copy must not share anything with it

        if (format.isNull())
            QCOMPARE(copy.format, nullptr);
        else
            QCOMPARE(QByteArray(copy.format), format);
        QCOMPARE(copy.extraDataSize, extraSize);
        if (extraSize > 0) {
            QVERIFY(copy.extraData);
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(copy.extraData), extraSize),
                     QByteArray(extraSize, '\xAB'));
        } else {
            QCOMPARE(copy.extraData, nullptr);
        }
        QCOMPARE(copy.videoCodec, 98u);
        QCOMPARE(copy.frameRateNum, 10u);
        QCOMPARE(copy.rangeLength, quint64(5000000));
        QVERIFY(copy.metaInfo.keepExif);
        QCOMPARE(copy.metaInfo.title, std::string("title"));
        QVERIFY(copy.altEngine);
        QCOMPARE(copy.imageKey, 123456u);
    }

    void copyOfNothingIsDefault()
    {
        const CAVEncodeParam copy(nullptr);
        QCOMPARE(copy.format, nullptr);
        QCOMPARE(copy.optionUInt, 0xFFFFFFFFu);
    }

    void clearForBuildZeroesWhatBuildersSet()
    {
        CAVEncodeParam p;
        p.SetFormat("webp");
        p.quality = 80;
        p.metaInfo.keepExif = true;
        p.metaInfo.artist = "someone";
        p.rangeStart = 7;
        p.ClearForBuild();
        QCOMPARE(p.format, nullptr);
        QCOMPARE(p.quality, 0u);
        QCOMPARE(p.scaleOptionOn, 0u);
        QCOMPARE(p.scaleOptionValue, 0u);
        QCOMPARE(p.audioCodec, 0u);
        QCOMPARE(p.rangeStart, quint64(0));
        QCOMPARE(p.speedPercent, 0u);
        QVERIFY(!p.metaInfo.keepExif);
        QVERIFY(p.metaInfo.artist.empty());
        QCOMPARE(p.optionUInt, 0xFFFFFFFFu);
    }
};

GLINTORA_TEST_MAIN_CORE(TestEncodeParam)
#include "tst_cavencodeparam.moc"
