#include "cavencodeparam.h"
#include "fakecodec.h"
#include "ibasechunk.h"
#include "qconverteroperate.h"
#include "testhome.h"
#include "zvvideoconvertitem.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QSet>

#include <memory>

namespace {

QString normalised(QString path)
{
    return path.replace(QLatin1String("//"), QLatin1String("/"));
}

QByteArray pngBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void touch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
}

} // namespace

class TestConvertItem : public QObject
{
    Q_OBJECT

private:
    TestHome m_home;
    PhotoConverterInfo m_output;
    QString m_root;
    int m_roots = 0;

    void chooseOutput(const char *format, const char *extension)
    {
        m_output.format = QString::fromLatin1(format);
        m_output.extension = QString::fromLatin1(extension);
    }

    std::unique_ptr<ZvVideoConvertItem> named(const QString &fileName)
    {
        auto item = std::make_unique<ZvVideoConvertItem>();
        item->fileName = fileName;
        item->getValidOutputName();
        return item;
    }

private slots:
    void initTestCase()
    {
        QConverterOperate::g_converterInfo = &m_output;
    }

    void cleanupTestCase() { QConverterOperate::g_converterInfo = nullptr; }

    void init()
    {
        FakeCodec::reset();
        m_root = m_home.path() + QStringLiteral("/out%1/").arg(++m_roots);
        QConverterOperate::setConverterPath(m_root);
        chooseOutput("png", "png");
    }

    void probeAcceptsOrRejects_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("openResult");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("extension");

        QTest::newRow("MOV read as MP4") << "/m/IMG_1.MOV" << QByteArray("MP4") << 1 << true << "IMG_1.MOV" << "MOV";
        QTest::newRow("MOV read as MATROSKA") << "/m/IMG_1.MOV" << QByteArray("MATROSKA") << 1 << false
                                              << "IMG_1.MOV" << "MOV";
        QTest::newRow("mov without a format name") << "/m/a.mov" << QByteArray() << 1 << false << "a.mov" << "mov";
        QTest::newRow("mp4 read as MATROSKA") << "/m/clip.mp4" << QByteArray("MATROSKA") << 1 << true << "clip.mp4"
                                              << "mp4";
        QTest::newRow("backslashes") << "C:\\m\\IMG_2.MOV" << QByteArray("MP4") << 1 << true << "IMG_2.MOV" << "MOV";
        QTest::newRow("no dot counts as mov") << "/m/clip" << QByteArray("MATROSKA") << 1 << false << "clip" << "mov";
        QTest::newRow("unreadable") << "/m/IMG_3.MOV" << QByteArray("MP4") << 0 << false << "IMG_3.MOV" << "";
    }

    void probeAcceptsOrRejects()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, format);
        QFETCH(int, openResult);
        QFETCH(bool, accepted);
        QFETCH(QString, fileName);
        QFETCH(QString, extension);

        FakeCodec::Script script;
        script.formatName = format;
        script.mediaOpenResult = openResult;
        script.width = 320;
        script.height = 240;
        FakeCodec::reset(script);
        {
            ZvVideoConvertItem item;
            QCOMPARE(item.setVideoPath(path, 0), accepted);
            QCOMPARE(item.fileName, fileName);
            QCOMPARE(item.extension, extension);
            QVERIFY(!item.path.contains(QLatin1Char('\\')));
            QCOMPARE(item.thumbnail != nullptr, accepted);
        }
        QCOMPARE(FakeCodec::liveHandles(), 0); // every path closes the media handle
    }

    void thumbnailKeepsTheShape_data()
    {
        QTest::addColumn<uint>("width");
        QTest::addColumn<uint>("height");
        QTest::addColumn<QSize>("thumbnail");

        QTest::newRow("landscape, odd side rounded up") << 1920u << 1080u << QSize(120, 68);
        QTest::newRow("portrait") << 1080u << 1920u << QSize(68, 120);
        QTest::newRow("4:3") << 320u << 240u << QSize(120, 90);
        QTest::newRow("square") << 100u << 100u << QSize(120, 120);
        QTest::newRow("a line") << 1000u << 1u << QSize(120, 2);
        QTest::newRow("no picture") << 0u << 0u << QSize();
    }

    void thumbnailKeepsTheShape()
    {
        QFETCH(uint, width);
        QFETCH(uint, height);
        QFETCH(QSize, thumbnail);

        FakeCodec::Script script;
        script.width = width;
        script.height = height;
        FakeCodec::reset(script);
        ZvVideoConvertItem item;
        QVERIFY(item.setVideoPath("/m/a.mov", 0));
        QCOMPARE(item.videoWidth, width);
        QCOMPARE(item.videoHeight, height);
        if (thumbnail.isEmpty()) {
            QVERIFY(!item.thumbnail);
            QVERIFY(FakeCodec::callsStartingWith("GrabFrameImage").isEmpty());
        } else {
            QVERIFY(item.thumbnail);
            QCOMPARE(item.thumbnail->size(), thumbnail);
        }
    }

    void thumbnailSourcesInOrder()
    {
        FakeCodec::Script script;
        script.width = 640;
        script.height = 480;
        script.tags["cover_image"] = pngBytes(50, 40);
        FakeCodec::reset(script);
        {
            ZvVideoConvertItem item;
            QVERIFY(item.setVideoPath("/m/a.mp4", 0));
            QCOMPARE(item.thumbnail->size(), QSize(50, 40));
            QVERIFY(FakeCodec::callsStartingWith("GrabFrameImage").isEmpty());
        }
        script.tags["thumbnail_index"] = "1";
        FakeCodec::reset(script);
        {
            ZvVideoConvertItem item;
            QVERIFY(item.setVideoPath("/m/a.mp4", 0));
            QCOMPARE(FakeCodec::callsStartingWith("GrabFrameImage"), QStringList{"GrabFrameImage 0 1 0x0 0"});
            QCOMPARE(item.thumbnail->size(), QSize(640, 480));
        }
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void durationTextCountsAllSeconds_data()
    {
        QTest::addColumn<quint64>("microseconds");
        QTest::addColumn<QString>("text");

        QTest::newRow("2.5 s") << quint64(2500000) << "2.50s";
        QTest::newRow("over a minute") << quint64(75300000) << "75.30s";
        QTest::newRow("zero") << quint64(0) << "0.00s";
        QTest::newRow("past 596 hours") << quint64(700) * 3600 * 1000000 << "2520000.00s";
    }

    void durationTextCountsAllSeconds()
    {
        QFETCH(quint64, microseconds);
        QFETCH(QString, text);
        QCOMPARE(ZvVideoConvertItem::showTime(microseconds), text);
    }

    void stillOutputsGetAFolderAndNumberedNames()
    {
        auto item = named("IMG_1.MOV");
        QVERIFY(normalised(item->getConverOutputDir()).endsWith("/IMG_1/"));
        QVERIFY(QDir(m_root).exists());
        const QString first = item->getConverPath();
        QCOMPARE(QFileInfo(first).fileName(), QString("IMG_1 - 001.png"));
        QVERIFY(!QDir(m_root + "IMG_1").exists()); // made only when the stills are complete
        QVERIFY(QDir().mkpath(m_root + "IMG_1"));
        touch(first);
        QCOMPARE(QFileInfo(item->getConverPath()).fileName(), QString("IMG_1 - 002.png"));

        auto second = named("IMG_1.MOV");
        QVERIFY(normalised(second->getConverOutputDir()).endsWith("/IMG_1(1)/"));
    }

    void animatedOutputsGoToTheRoot()
    {
        chooseOutput("gif", "gif");
        auto item = named("IMG_1.MOV");
        QCOMPARE(normalised(item->getConverOutputDir()), normalised(m_root + "/"));
        const QString first = item->getConverPath();
        QCOMPARE(normalised(first), m_root + "IMG_1.gif");
        touch(first);
        QCOMPARE(QFileInfo(item->getConverPath()).fileName(), QString("IMG_1(1).gif"));
    }

    void namingNeedsAName()
    {
        ZvVideoConvertItem item;
        QCOMPARE(item.getConverOutputDir(), QString());
        QCOMPARE(item.getConverPath(), QString());
    }

    void noConfiguredFolderFallsBackToDocuments()
    {
        QConverterOperate::setConverterPath(QString());
        chooseOutput("gif", "gif");
        auto item = named("IMG_1.MOV");
        const QString folder = normalised(item->getConverOutputDir());
        QVERIFY2(folder.startsWith(m_home.path()) && folder.endsWith("/Converted/"), qPrintable(folder));
        QVERIFY(QDir(folder).exists());
    }

    void encoderParametersFromTheOutputChoice()
    {
        chooseOutput("GIF", "gif");
        m_output.codecId = 98;
        m_output.width = -1;
        m_output.height = 240;
        m_output.quality = 80;
        m_output.keepExif = true;
        m_output.keepAspectRatio = true;
        m_output.frameFormat = 2;

        ZvVideoConvertItem item;
        item.videoWidth = 1920;
        CAVEncodeParam p;
        p.SetFormat("stale");
        p.rangeLength = 9;
        p.speedPercent = 100;
        item.getEncodeParam(&p);
        QCOMPARE(QByteArray(p.format), QByteArray("gif"));
        QCOMPARE(p.videoCodec, 98u);
        QCOMPARE(p.audioCodec, 0xFFFFFFFFu);
        QCOMPARE(p.width, 0u); // a negative width means the source size
        QCOMPARE(p.height, 240u);
        QCOMPARE(p.frameRateNum, 0u); // only the exact name "gif" gets 10 fps
        QCOMPARE(p.quality, 80u);
        QVERIFY(p.metaInfo.keepExif);
        QCOMPARE(p.scaleOptionOn, 1u);
        QCOMPARE(p.scaleOptionValue, 0x01800000u | 4915u);
        QCOMPARE(p.optionUInt, 2u);
        QCOMPARE(p.imageKey, uint(item.id));
        QCOMPARE(p.rangeLength, quint64(0));
        QCOMPARE(p.speedPercent, 0u);
        QCOMPARE(p.dvdTitle, 0);
        QVERIFY(!p.altEngine && !p.dvdSource);

        chooseOutput("gif", "gif");
        m_output.keepAspectRatio = false;
        m_output.frameFormat = -1;
        item.videoWidth = 100000; // the packed width saturates
        item.getEncodeParam(&p);
        QCOMPARE(p.frameRateNum, 10u);
        QCOMPARE(p.frameRateDen, 1u);
        QCOMPARE(p.scaleOptionOn, 0u);
        QCOMPARE(p.scaleOptionValue, 0x01800000u | 65535u);
        QCOMPARE(p.optionUInt, 0xFFFFFFFFu);
    }

    void tickedFramesAreSelected_data()
    {
        QTest::addColumn<QList<int>>("checks");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("allSelected");

        QTest::newRow("no frames") << QList<int>{} << 0 << true;
        QTest::newRow("all ticked") << QList<int>{2, 2, 2} << 3 << true;
        QTest::newRow("some ticked") << QList<int>{2, 0, 1, 2} << 2 << false;
        QTest::newRow("none ticked") << QList<int>{0, 1} << 0 << false;
    }

    void tickedFramesAreSelected()
    {
        QFETCH(QList<int>, checks);
        QFETCH(int, selected);
        QFETCH(bool, allSelected);

        ZvVideoConvertItem item;
        for (int check : checks) {
            auto *frame = new IBaseChunk;
            frame->SetCheck(check);
            item.frames->push_back(frame);
        }
        item.prepareDatas();
        QCOMPARE(int(item.selectedFrames.size()), selected);
        QCOMPARE(item.allSelected, allSelected);
        for (IBaseChunk *frame : item.selectedFrames)
            QCOMPARE(frame->GetCheck(), 2);
    }

    void identifiersAreSixDigitsAndDistinct()
    {
        std::vector<std::unique_ptr<ZvVideoConvertItem>> items;
        QSet<int> ids;
        for (int i = 0; i < 2000; ++i) {
            items.push_back(std::make_unique<ZvVideoConvertItem>());
            const int id = items.back()->id;
            QVERIFY(id >= 100000 && id <= 999999);
            ids.insert(id);
        }
        QCOMPARE(ids.size(), 2000);
    }
};

GLINTORA_TEST_MAIN_CORE(TestConvertItem)
#include "tst_zvvideoconvertitem.moc"
