#include "qplistparser.h"
#include "qplistread.h"
#include "storetest.h"
#include "testhome.h"

using namespace StoreTest;
using Strings = std::vector<std::string>;

namespace {

const QByteArray kCatalogue = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
    <key>Categories</key>
    <array><string>Video</string><string>Audio</string><string>Empty</string></array>
    <key>Video</key>
    <array>
        <dict>
            <key>baseinfo</key>
            <dict><key>title</key><string>MP4</string><key>id</key><string>mp4</string>
                  <key>ext</key><string>mp4</string><key>auto</key><integer>1</integer></dict>
            <key>videoencoders</key><dict><key>supports</key><string>H264, MP4V</string><key>default</key><string> H264 </string></dict>
            <key>resolution</key><dict><key>default</key><string>1280x720</string></dict>
            <key>videoparams</key>
            <array>
                <dict><key>fourcc</key><string>H264 </string><key>resolution</key><string>1920x1080</string>
                      <key>videobitrate</key><dict><key>supports</key><string>8000</string></dict></dict>
                <dict><key>fourcc</key><string>H264</string><key>resolution</key><string>1280x720</string>
                      <key>videobitrate</key><dict><key>supports</key><string>1000, 2000 ,0</string>
                          <key>low</key><string>1000</string><key>high</key><string>4000</string><key>default</key><string>2000</string></dict>
                      <key>framerate</key><dict><key>supports</key><string>25,30</string><key>default</key><integer>30</integer></dict></dict>
                <dict><key>fourcc</key><string>H264</string><key>resolution</key><string>1280x720</string>
                      <key>videobitrate</key><dict><key>supports</key><string>9</string></dict></dict>
                <dict><key>fourcc</key><string>MP4V</string><key>resolution</key><string>640x480</string></dict>
            </array>
            <key>audioencoders</key><dict><key>supports</key><string>AAC,MP3,PCM</string><key>default</key><string>MP3</string></dict>
            <key>channels</key><dict><key>default</key><string>2</string></dict>
            <key>audioparams</key>
            <array>
                <dict><key>fourcc</key><string>AAC</string><key>channel</key><string>2</string>
                      <key>audiobitrate</key><dict><key>supports</key><string>64, 128 ,0</string><key>low</key><string>64</string>
                          <key>high</key><string>128</string><key>default</key><string>128</string></dict>
                      <key>samplerate</key><dict><key>supports</key><string>44100,48000</string><key>default</key><string>44100</string></dict></dict>
                <dict><key>fourcc</key><string>AAC</string><key>channel</key><string>1</string></dict>
                <dict><key>fourcc</key><string>MP3</string><key>channel</key><string>2</string>
                      <key>audiobitrate</key><dict><key>supports</key><string>320</string></dict></dict>
            </array>
            <key>filter</key><string>H264:AAC,PCM|MP4V:MP3</string>
        </dict>
        <dict>
            <key>baseinfo</key><dict><key>title</key><string>MOV</string><key>id</key><string>mov</string><key>auto</key><string>0</string></dict>
            <key>videoencoders</key><dict><key>supports</key><string>MJPG</string><key>default</key><string>MJPG</string></dict>
            <key>audioencoders</key><dict><key>supports</key><string>PCM</string><key>default</key><string>PCM</string></dict>
        </dict>
    </array>
    <key>Audio</key>
    <array>
        <dict>
            <key>baseinfo</key><dict><key>title</key><string>M4A</string><key>id</key><string>m4a</string><key>ext</key><string>m4a</string></dict>
            <key>audioencoders</key><dict><key>supports</key><string>AAC</string><key>default</key><string>AAC</string></dict>
        </dict>
    </array>
    <key>Codecs</key>
    <dict><key>AAC </key><string>Advanced Audio Coding</string><key>H264</key><string>H.264</string></dict>
</dict>
</plist>
)";

} // namespace

// Our reader of XML property lists and the catalogue read through it.
class TestPlistCatalogue : public QObject
{
    Q_OBJECT

private:
    QString m_path;

private slots:
    void initTestCase()
    {
        m_path = QDir::homePath() + "/catalogue.plist";
        writeBytes(m_path, kCatalogue);
    }

    void valuesMapToQtTypes()
    {
        const QVariant root = QPlistParser::parse(
            "<plist><dict><key>s</key><string>text &amp; more</string><key>i</key><integer>-42</integer>"
            "<key>r</key><real>2.5</real><key>t</key><true/><key>f</key><false/>"
            "<key>d</key><data>aGVs\n bG8=</data><key>a</key><array><string>x</string><dict/></array>"
            "<key>e</key><string/></dict></plist>");
        QCOMPARE(root.type(), QVariant::Map);
        const QVariantMap map = root.toMap();
        QCOMPARE(map.value("s"), QVariant(QString("text & more")));
        QCOMPARE(map.value("i"), QVariant(qlonglong(-42)));
        QCOMPARE(map.value("r"), QVariant(2.5));
        QCOMPARE(map.value("t"), QVariant(true));
        QCOMPARE(map.value("f"), QVariant(false));
        QCOMPARE(map.value("d"), QVariant(QByteArray("hello")));
        QCOMPARE(map.value("a").toList().size(), 2);
        QCOMPARE(map.value("a").toList().at(1).type(), QVariant::Map);
        QCOMPARE(map.value("e"), QVariant(QString()));
    }

    void unreadableListsFailCleanly_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary") << QByteArray("bplist00\xd1\x01\x02", 11);
        QTest::newRow("truncated") << QByteArray("<plist><dict><key>a</key><string>b</string>");
        QTest::newRow("unknown element") << QByteArray("<plist><set>1</set></plist>");
        QTest::newRow("bad date") << QByteArray("<plist><date>yesterday</date></plist>");
        QTest::newRow("key without value") << QByteArray("<plist><dict><key>a</key></dict></plist>");
        QTest::newRow("value without key") << QByteArray("<plist><dict><string>a</string></dict></plist>");
        QTest::newRow("bad integer") << QByteArray("<plist><integer>12x</integer></plist>");
        QTest::newRow("not a plist") << QByteArray("<CATALOGUE/>");
        QTest::newRow("two roots") << QByteArray("<plist><string>a</string><string>b</string></plist>");
        QTest::newRow("garbage after") << QByteArray("<plist><string>a</string></plist><x/>");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("deep nesting") << QByteArray("<plist>") + QByteArray("<array>").repeated(5000)
                                       + QByteArray("</array>").repeated(5000) + QByteArray("</plist>");
    }

    void unreadableListsFailCleanly()
    {
        QFETCH(QByteArray, content);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("property list"));
        QVERIFY(!QPlistParser::parse(content).isValid());
    }

    void categoriesInOrder()
    {
        QPlistRead reader(m_path.toStdString());
        QCOMPARE(reader.getCategories(), Strings({"Video", "Audio", "Empty"}));
        const std::vector<CategoryInfo> *formats = reader.getCategoriesInfoList("Video");
        QVERIFY(formats);
        QCOMPARE(formats->size(), size_t(2));
        QCOMPARE(formats->at(0).title, std::string("MP4"));
        QCOMPARE(formats->at(0).category, std::string("Video"));
        QCOMPARE(formats->at(1).id, std::string("mov"));
        QCOMPARE(formats->at(1).ext, std::string());
        QVERIFY(reader.getCategoriesInfoList("Empty")->empty());
        QVERIFY(!reader.getCategoriesInfoList(""));
        QCOMPARE(reader.getFormatInfoForKey("Video", "mp4", "title"), std::string("MP4"));
        QCOMPARE(reader.getFormatInfoForKey("Video", "mp4", "auto"), std::string("1"));
        QCOMPARE(reader.getFormatInfoForKey("Audio", "mp4", "title"), std::string());
    }

    void completeRecordWithDefaults()
    {
        QPlistRead reader(m_path.toStdString());
        const FormatInfoRecord *record = reader.GetFormatInfoForPlist("Video", "mp4", "", "Auto", "", "Auto");
        QVERIFY(record);
        QCOMPARE(record->category, std::string("Video"));
        QCOMPARE(record->formatId, std::string("mp4"));
        QCOMPARE(record->ext, std::string("mp4"));
        QVERIFY(record->autoChoice);
        QVERIFY(!record->onlyAudio);
        QCOMPARE(record->vEncoders, Strings({"Auto", "H264", "MP4V"}));
        QCOMPARE(record->vEncoder, std::string("H264"));
        QCOMPARE(record->vResolution, std::string("1280x720"));
        QCOMPARE(record->vResolutions, Strings({"1920x1080", "1280x720", "1280x720"}));
        QCOMPARE(record->vBitRates, Strings({"Auto", "1000 kbps", "2000 kbps", "Auto"}));
        QCOMPARE(record->vBitRateLow, std::string("1000 kbps"));
        QCOMPARE(record->vBitRateHigh, std::string("4000 kbps"));
        QCOMPARE(record->vBitRateDefault, std::string("2000 kbps"));
        QCOMPARE(record->vFrameRates, Strings({"Auto", "25 fps", "30 fps"}));
        QCOMPARE(record->vFrameRateDefault, std::string("30 fps"));
        // Audio encoders come from the filter entry of the video encoder, without "Auto".
        QCOMPARE(record->aEncoders, Strings({"AAC", "PCM"}));
        QCOMPARE(record->aEncoder, std::string("AAC"));
        QCOMPARE(record->aChannel, std::string("2"));
        QCOMPARE(record->aChannels, Strings({"2", "1"}));
        QCOMPARE(record->aBitRates, Strings({"Auto", "64 kbps", "128 kbps", "Auto"}));
        QCOMPARE(record->aBitRateLow, std::string("64 kbps"));
        QCOMPARE(record->aBitRateDefault, std::string("128 kbps"));
        QCOMPARE(record->aSampleRates, Strings({"Auto", "44100 HZ", "48000 HZ"}));
        QCOMPARE(record->aSampleRateDefault, std::string("44100 HZ"));
    }

    void chosenEncodersSteerTheRecord()
    {
        QPlistRead reader(m_path.toStdString());
        const FormatInfoRecord *record = reader.GetFormatInfoForPlist("Video", "mp4", "MP4V", "", "", "");
        QVERIFY(record);
        QCOMPARE(record->vEncoder, std::string("MP4V"));
        QCOMPARE(record->vResolutions, Strings({"640x480"}));
        QVERIFY(record->vBitRates.empty());
        QCOMPARE(record->aEncoders, Strings({"MP3"}));
        QCOMPARE(record->aEncoder, std::string("MP3"));
        QCOMPARE(record->aBitRates, Strings({"Auto", "320 kbps"}));

        // Without a filter the audio encoders come from the format's own list.
        record = reader.GetFormatInfoForPlist("Video", "mov", "", "", "", "");
        QVERIFY(!record->autoChoice);
        QCOMPARE(record->aEncoders, Strings({"PCM"}));
        QCOMPARE(record->aEncoder, std::string("PCM"));

        record = reader.GetFormatInfoForPlist("Audio", "m4a", "", "", "", "");
        QVERIFY(record->onlyAudio);
        QVERIFY(record->vEncoders.empty());
        QCOMPARE(record->aEncoders, Strings({"AAC"}));
    }

    void missingFormatsGiveBareRecords()
    {
        QPlistRead reader(m_path.toStdString());
        QVERIFY(!reader.GetFormatInfoForPlist("", "mp4", "", "", "", ""));
        QVERIFY(!reader.GetFormatInfoForPlist("Video", "", "", "", "", ""));
        const FormatInfoRecord *record = reader.GetFormatInfoForPlist("Video", "mkv", "H264", "", "", "");
        QVERIFY(record);
        QCOMPARE(record->category, std::string("Video"));
        QCOMPARE(record->formatId, std::string("mkv"));
        QVERIFY(record->vEncoders.empty() && record->vEncoder.empty() && record->aEncoders.empty());
    }

    void filterEntries_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QStringList>("choices");
        QTest::newRow("first entry") << QByteArray("H264:aac,mp3|MP4V:aac") << QByteArray("H264")
                                     << QStringList{"aac", "mp3"};
        QTest::newRow("last entry") << QByteArray("H264:aac,mp3|MP4V: aac ") << QByteArray("MP4V")
                                    << QStringList{"aac"};
        QTest::newRow("absent key") << QByteArray("H264:aac") << QByteArray("VP9") << QStringList{};
        QTest::newRow("key at the end") << QByteArray("H264:aac|VP9") << QByteArray("VP9") << QStringList{};
        QTest::newRow("empty key") << QByteArray("H264:aac") << QByteArray() << QStringList{};
    }

    void filterEntries()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, key);
        QFETCH(QStringList, choices);
        Strings list;
        QPlistRead::analysisFilter(text.toStdString(), key.toStdString(), list);
        QStringList got;
        for (const std::string &item : list)
            got << QString::fromStdString(item);
        QCOMPARE(got, choices);
    }

    void listsAndValues()
    {
        Strings list;
        QPlistRead::analysisTextInfo("64, 128 ,0", " kbps", list);
        QCOMPARE(list, Strings({"64 kbps", "128 kbps", "Auto"}));
        QPlistRead::analysisTextInfo(" x ,, y", list);
        QCOMPARE(list, Strings({"x", "y"}));
        std::string text = " \tpadded\t ";
        QCOMPARE(QPlistRead::trim(text), std::string("\tpadded\t"));

        const QVariantMap dict{{"supports", "a,b"}, {"n", qlonglong(25)}, {"r", 29.97}, {"t", true},
                               {"f", false}, {"m", QVariantMap()}};
        QCOMPARE(QPlistRead::getDictValue(dict, ""), std::string("a,b"));
        QCOMPARE(QPlistRead::getDictValue(dict, "n"), std::string("25"));
        QCOMPARE(QPlistRead::getDictValue(dict, "r"), std::string("29.97"));
        QCOMPARE(QPlistRead::getDictValue(dict, "t"), std::string("1"));
        QCOMPARE(QPlistRead::getDictValue(dict, "f"), std::string("0"));
        QCOMPARE(QPlistRead::getDictValue(dict, "m"), std::string());
        QCOMPARE(QPlistRead::getDictValue(dict, "missing"), std::string());
        QCOMPARE(QPlistRead::getDictValue(QVariantMap(), ""), std::string());
    }

    void codecNames_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("padded and found") << QByteArray("AAC") << QByteArray("Advanced Audio Coding");
        QTest::newRow("four characters") << QByteArray("H264") << QByteArray("H.264");
        QTest::newRow("padded, unknown") << QByteArray("MP3") << QByteArray("MP3 ");
        QTest::newRow("unknown") << QByteArray("VP90") << QByteArray("VP90");
        QTest::newRow("auto") << QByteArray("Auto") << QByteArray("Auto");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }

    void codecNames()
    {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, name);
        QPlistRead reader(m_path.toStdString());
        QCOMPARE(reader.getCodecsForKey(code.toStdString()), name.toStdString());
    }

    void unreadableCatalogueFindsNothing()
    {
        const QString binary = QDir::homePath() + "/binary.plist";
        writeBytes(binary, QByteArray("bplist00\x00\x01", 10));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("binary property lists"));
        QPlistRead reader(binary.toStdString());
        QVERIFY(reader.getCategories().empty());
        QVERIFY(reader.getCategoriesInfoList("Video")->empty());
        QCOMPARE(reader.getCodecsForKey("AAC"), std::string("AAC "));
        const FormatInfoRecord *record = reader.GetFormatInfoForPlist("Video", "mp4", "", "", "", "");
        QVERIFY(record && record->vEncoders.empty());
    }
};

GLINTORA_TEST_MAIN_CORE(TestPlistCatalogue)
#include "tst_plistcatalogue.moc"
