#include "qvideosettingxml.h"
#include "storetest.h"
#include "testhome.h"

using namespace StoreTest;
using Strings = std::vector<std::string>;

// Readers of the format catalogue, on catalogues this test lays into its own resource folder.
class TestCatalogue : public QObject
{
    Q_OBJECT

private:
    static QString catalogueFile() { return QIAnyUtil::getResourcePath() + "/VideoSetting.xml"; }

private slots:
    void initTestCase()
    {
        // This test runs from a folder of its own, so its resource folder is private.
        QVERIFY(QIAnyUtil::getResourcePath().contains("catalogue-stage"));
        QDir().mkpath(QIAnyUtil::getResourcePath());
        writeBytes(catalogueFile(),
                   "<CATALOGUE>\n"
                   "    <FORMAT DevFormat=\"mp4\" OnlyAudio=\"N\">\n"
                   "        <ATTRIBUTE_VALUE V_Encoder=\" a ,0, ,b\" V_Resolution=\"1920x1080,&#9;640x480\""
                   " V_FrameRate=\"0, 25 ,30,,60,\" V_BitRate=\"Auto,Original,2000\" A_Encoder=\"AAC\""
                   " A_Channel=\"2\" A_SampleRate=\"44100\" A_BitRate=\"128\"/>\n"
                   "        <ATTRIBUTE_VALUE V_Encoder=\"second\"/>\n"
                   "        <VIDIO_FOMAT_INFO V_Format=\" MPEG-4 \" V_Extend=\"mp4\"/>\n"
                   "        <High V_Encoder=\" H264&#9;\" V_FrameRate=\"&#9;30 \" V_BitRate=\"0\" A_Channel=\" 2\""
                   " A_SampleRate=\"44100\" A_BitRate=\" 128 \"/>\n"
                   "        <Bare/>\n"
                   "    </FORMAT>\n"
                   "    <FORMAT DevFormat=\"mp4\" OnlyAudio=\"Y\"><ATTRIBUTE_VALUE V_Encoder=\"duplicate\"/></FORMAT>\n"
                   "    <FORMAT DevFormat=\"m4a\" OnlyAudio=\"Y\">\n"
                   "        <ATTRIBUTE_VALUE V_Encoder=\"H264\" A_Encoder=\"AAC,ALAC\" A_SampleRate=\"44100,48000\"/>\n"
                   "        <High V_Encoder=\"H264\" A_Encoder=\"AAC\" A_BitRate=\"256\"/>\n"
                   "    </FORMAT>\n"
                   "    <FORMAT DevFormat=\"avi\" OnlyAudio=\"y\"><ATTRIBUTE_VALUE V_Encoder=\"XVID\"/></FORMAT>\n"
                   "    <FORMAT DevFormat=\"bare\"/>\n"
                   "    <FORMAT OnlyAudio=\"N\"><Normal V_Encoder=\"nameless\"/></FORMAT>\n"
                   "</CATALOGUE>\n");
    }

    void commaLists_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("unit");
        QTest::addColumn<QStringList>("choices");
        QTest::newRow("rates") << QByteArray("0, 25 ,30,,60,") << QByteArray(" fps")
                               << QStringList{"Auto", "25 fps", "30 fps", "60 fps"};
        QTest::newRow("names") << QByteArray(" a ,0, ,b") << QByteArray() << QStringList{"a", "Auto", "b"};
        QTest::newRow("tab stays") << QByteArray("\t5 ,6") << QByteArray(" HZ") << QStringList{"\t5 HZ", "6 HZ"};
        QTest::newRow("words get units") << QByteArray("Auto,Original") << QByteArray(" kbps")
                                         << QStringList{"Auto kbps", "Original kbps"};
        QTest::newRow("empty") << QByteArray("") << QByteArray(" fps") << QStringList{};
        QTest::newRow("blanks and commas") << QByteArray("  , ,") << QByteArray() << QStringList{};
        QTest::newRow("single") << QByteArray("0") << QByteArray(" kbps") << QStringList{"Auto"};
    }

    void commaLists()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, unit);
        QFETCH(QStringList, choices);
        Strings list{"stale"};
        if (unit.isEmpty())
            QVideoSettingXml::analysisTextInfo(text.toStdString(), list);
        else
            QVideoSettingXml::analysisTextInfo(text.toStdString(), unit.toStdString(), list);
        QStringList got;
        for (const std::string &item : list)
            got << QString::fromStdString(item);
        QCOMPARE(got, choices);
    }

    void trimStripsBlanksOnly()
    {
        std::string text = "  \tx y\n  ";
        QCOMPARE(QVideoSettingXml::trim(text), std::string("\tx y\n"));
        std::string blanks = "    ";
        QVERIFY(QVideoSettingXml::trim(blanks).empty());
    }

    void unitsOfSingleValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << "0" << "V_BitRate" << "Auto";
        QTest::newRow("audio rate") << " 128 " << "A_BitRate" << "128 kbps";
        QTest::newRow("original") << "Original" << "V_FrameRate" << "Original";
        QTest::newRow("auto") << "Auto" << "A_SampleRate" << "Auto";
        QTest::newRow("sample rate") << "44100" << "A_SampleRate" << "44100 HZ";
        QTest::newRow("frame rate tab") << "\t30\t" << "V_FrameRate" << "30 fps";
        QTest::newRow("no unit") << "5" << "A_Channel" << "5";
        QTest::newRow("case matters") << "5" << "v_bitrate" << "5";
        QTest::newRow("empty frame rate") << "" << "V_FrameRate" << " fps";
    }

    void unitsOfSingleValues()
    {
        QFETCH(QString, value);
        QFETCH(QString, attribute);
        QFETCH(QString, shown);
        QCOMPARE(QVideoSettingXml::addUnit(value, attribute), shown);
    }

    void allChoicesOfAFormat()
    {
        const FormatInfoRecord *record = QVideoSettingXml::GetFormatAllInfo("mp4");
        QVERIFY(record);
        QVERIFY(!record->onlyAudio);
        QCOMPARE(record->vEncoders, Strings({"a", "Auto", "b"}));
        QCOMPARE(record->vResolutions, Strings({"1920x1080", "\t640x480"}));
        QCOMPARE(record->vFrameRates, Strings({"Auto", "25 fps", "30 fps", "60 fps"}));
        QCOMPARE(record->vBitRates, Strings({"Auto kbps", "Original kbps", "2000 kbps"}));
        QCOMPARE(record->aEncoders, Strings({"AAC"}));
        QCOMPARE(record->aChannels, Strings({"2"}));
        QCOMPARE(record->aSampleRates, Strings({"44100 HZ"}));
        QCOMPARE(record->aBitRates, Strings({"128 kbps"}));
        QVERIFY(record->ext.empty() && record->vEncoder.empty() && !record->autoChoice);
    }

    void audioOnlyFormatsHaveNoVideoChoices()
    {
        QVERIFY(QVideoSettingXml::GetFormatAllInfo("mp4"));
        // A fresh record each call: nothing of the previous format may remain.
        const FormatInfoRecord *record = QVideoSettingXml::GetFormatAllInfo("m4a");
        QVERIFY(record);
        QVERIFY(record->onlyAudio);
        QVERIFY(record->vEncoders.empty() && record->vResolutions.empty() && record->vFrameRates.empty()
                && record->vBitRates.empty());
        QCOMPARE(record->aEncoders, Strings({"AAC", "ALAC"}));
        QCOMPARE(record->aSampleRates, Strings({"44100 HZ", "48000 HZ"}));

        const FormatInfoRecord *lowerCase = QVideoSettingXml::GetFormatAllInfo("avi");
        QVERIFY(lowerCase);
        QVERIFY(!lowerCase->onlyAudio);
        QCOMPARE(lowerCase->vEncoders, Strings({"XVID"}));
    }

    void missingFormatsAndPartsGiveNull_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("empty name") << "";
        QTest::newRow("unknown") << "mkv";
        QTest::newRow("case differs") << "MP4";
        QTest::newRow("no children") << "bare";
    }

    void missingFormatsAndPartsGiveNull()
    {
        QFETCH(QString, format);
        QVERIFY(!QVideoSettingXml::GetFormatAllInfo(format));
        QVERIFY(!QVideoSettingXml::GetFormatInfo(format));
        QVERIFY(!QVideoSettingXml::GetQuality("High", format));
    }

    void qualityPresets()
    {
        const QualitySet *high = QVideoSettingXml::GetQuality("High", "mp4");
        QVERIFY(high);
        QVERIFY(!high->onlyAudio);
        QCOMPARE(high->vEncoder, QString("H264"));
        QCOMPARE(high->vResolution, QString());
        QCOMPARE(high->vFrameRate, QString("30 fps"));
        QCOMPARE(high->vBitRate, QString("Auto"));
        QCOMPARE(high->aChannel, QString("2"));
        QCOMPARE(high->aSampleRate, QString("44100 HZ"));
        QCOMPARE(high->aBitRate, QString("128 kbps"));

        const QualitySet *bare = QVideoSettingXml::GetQuality("Bare", "mp4");
        QVERIFY(bare);
        QCOMPARE(bare->vEncoder, QString());
        QCOMPARE(bare->vFrameRate, QString(" fps"));

        const QualitySet *audio = QVideoSettingXml::GetQuality("High", "m4a");
        QVERIFY(audio);
        QVERIFY(audio->onlyAudio);
        QVERIFY(audio->vEncoder.isEmpty());
        QCOMPARE(audio->aBitRate, QString("256 kbps"));

        // No name rule here: an empty name finds the first format without one.
        const QualitySet *nameless = QVideoSettingXml::GetQuality("Normal", "");
        QVERIFY(nameless);
        QCOMPARE(nameless->vEncoder, QString("nameless"));
        QVERIFY(!QVideoSettingXml::GetQuality("Ultra", "mp4"));
        QVERIFY(!QVideoSettingXml::GetQuality("high", "mp4"));
    }

    void descriptiveValuesAsWritten()
    {
        const FileFormatInfo *info = QVideoSettingXml::GetFormatInfo("mp4");
        QVERIFY(info);
        QCOMPARE(info->vFormat, QString(" MPEG-4 "));
        QCOMPARE(info->vExtend, QString("mp4"));
        QVERIFY(!QVideoSettingXml::GetFormatInfo("m4a"));
    }

    void unreadableCatalogueGivesNull_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("broken") << QByteArray("<CATALOGUE><FORMAT DevFormat=\"mp4\">");
    }

    void unreadableCatalogueGivesNull()
    {
        QFETCH(QByteArray, content);
        const QByteArray good = readBytes(catalogueFile());
        writeBytes(catalogueFile(), content);
        const bool allNull = !QVideoSettingXml::GetFormatAllInfo("mp4") && !QVideoSettingXml::GetQuality("High", "mp4")
                             && !QVideoSettingXml::GetFormatInfo("mp4");
        QFile::remove(catalogueFile());
        const bool missingNull = !QVideoSettingXml::GetFormatAllInfo("mp4");
        writeBytes(catalogueFile(), good);
        QVERIFY(allNull);
        QVERIFY(missingNull);
        QCOMPARE(readBytes(catalogueFile()), good);
    }
};

GLINTORA_TEST_MAIN_CORE(TestCatalogue)
#include "tst_catalogue.moc"
