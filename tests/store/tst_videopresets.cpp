#include "qvideosettingxml.h"
#include "storetest.h"
#include "testhome.h"

#include <QFileInfo>

using namespace StoreTest;

// The video presets file and the converted-path digest file.
class TestVideoPresets : public QObject
{
    Q_OBJECT

private:
    static QString presetsFile() { return dataFile("VideoDefaultFormatSetting.xml"); }
    static QString digestFile() { return dataFile("ConvertedMd5.xml"); }

    static QualitySet preset(bool onlyAudio, const QString &frameRate)
    {
        QualitySet set;
        set.onlyAudio = onlyAudio;
        set.vEncoder = "H264";
        set.vResolution = "1280x720";
        set.vFrameRate = frameRate;
        set.vBitRate = "2000 kbps";
        set.aEncoder = "AAC";
        set.aChannel = "2";
        set.aSampleRate = "44100 HZ";
        set.aBitRate = "128 kbps";
        return set;
    }

    static QDomElement firstPreset(const QString &format)
    {
        const QDomElement root = parsed(presetsFile()).documentElement();
        for (QDomElement entry = root.firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement()) {
            if (entry.attribute("Format_ID") == format)
                return entry.firstChildElement();
        }
        return QDomElement();
    }

private slots:
    void init() { clearAppData(); }

    void presetsRoundTrip()
    {
        QVERIFY(!QVideoSettingXml::GetDefaultFormat("mp4", nullptr));
        QVERIFY(!QFileInfo::exists(presetsFile()));

        QualitySet stored = preset(false, "30 fps");
        QVideoSettingXml::SetDefaultFormat("mp4", &stored);
        stored.vFrameRate = "25 fps";
        QVideoSettingXml::SetDefaultFormat("mp4", &stored);
        QVideoSettingXml::SetDefaultFormat("MP4", &stored);
        QVideoSettingXml::SetDefaultFormat("", &stored);
        QCOMPARE(parsed(presetsFile()).documentElement().childNodes().count(), 3);
        const QDomElement node = firstPreset("mp4");
        QCOMPARE(node.tagName(), QString("Format_Custom"));
        QCOMPARE(node.attributes().count(), 9);
        QCOMPARE(node.attribute("OnlyAudio"), QString("N"));

        QualitySet copy;
        const QualitySet *read = QVideoSettingXml::GetDefaultFormat("mp4", &copy);
        QVERIFY(read);
        QCOMPARE(read->vFrameRate, QString("25 fps"));
        QCOMPARE(read->aBitRate, QString("128 kbps"));
        QCOMPARE(copy.vEncoder, QString("H264"));
        QCOMPARE(copy.aSampleRate, QString("44100 HZ"));
        QVERIFY(QVideoSettingXml::GetDefaultFormat("", nullptr));
        QVERIFY(!QVideoSettingXml::GetDefaultFormat("mkv", nullptr));
    }

    void audioOnlyPresetsKeepTheirVideoTextsInTheFile()
    {
        QualitySet stored = preset(true, "30 fps");
        QVideoSettingXml::SetDefaultFormat("m4a", &stored);
        QCOMPARE(firstPreset("m4a").attribute("V_Encoder"), QString("H264"));
        QCOMPARE(firstPreset("m4a").attribute("OnlyAudio"), QString("Y"));
        const QualitySet *read = QVideoSettingXml::GetDefaultFormat("m4a", nullptr);
        QVERIFY(read);
        QVERIFY(read->onlyAudio);
        QVERIFY(read->vEncoder.isEmpty() && read->vResolution.isEmpty() && read->vFrameRate.isEmpty()
                && read->vBitRate.isEmpty());
        QCOMPARE(read->aEncoder, QString("AAC"));
    }

    void handWrittenPresetsReadTrimmed()
    {
        writeBytes(presetsFile(),
                   "<ROOTITEM>\n"
                   "    <FORMAT_ Format_ID=\"mov\"><Other OnlyAudio=\"y\" V_Encoder=\" MJPG&#9;\" A_BitRate=\" 96 kbps \""
                   " extra=\"kept\"/></FORMAT_>\n"
                   "    <FORMAT_ Format_ID=\"empty\"/>\n"
                   "</ROOTITEM>\n");
        const QualitySet *read = QVideoSettingXml::GetDefaultFormat("mov", nullptr);
        QVERIFY(read);
        QVERIFY(!read->onlyAudio);
        QCOMPARE(read->vEncoder, QString("MJPG"));
        QCOMPARE(read->aBitRate, QString("96 kbps"));
        QCOMPARE(read->vResolution, QString());
        QVERIFY(!QVideoSettingXml::GetDefaultFormat("empty", nullptr));

        QualitySet stored = preset(false, "30 fps");
        QVideoSettingXml::SetDefaultFormat("mov", &stored);
        const QDomElement node = firstPreset("mov");
        QCOMPARE(node.tagName(), QString("Other"));
        QCOMPARE(node.attribute("V_Encoder"), QString("H264"));
        QCOMPARE(node.attribute("extra"), QString("kept"));
    }

    void unreadablePresetsFileIsLeftAlone()
    {
        const QByteArray broken("<ROOTITEM><FORMAT_ Format_ID=\"mp4\">");
        writeBytes(presetsFile(), broken);
        QualitySet stored = preset(false, "30 fps");
        QVideoSettingXml::SetDefaultFormat("mp4", &stored);
        QVERIFY(!QVideoSettingXml::GetDefaultFormat("mp4", nullptr));
        QCOMPARE(readBytes(presetsFile()), broken);
    }

    void digestTokensAreAppendedOnce()
    {
        QVideoSettingXml::SaveConvertedPathMd5("");
        QVERIFY(!QFileInfo::exists(digestFile()));
        QVERIFY(QVideoSettingXml::getConvertedPathMd5().isEmpty());

        QVideoSettingXml::SaveConvertedPathMd5("A");
        QVideoSettingXml::SaveConvertedPathMd5("B");
        const QByteArray settled = readBytes(digestFile());
        QVideoSettingXml::SaveConvertedPathMd5("A");
        QCOMPARE(readBytes(digestFile()), settled);
        QCOMPARE(QVideoSettingXml::getConvertedPathMd5(), QString("A_B_"));
        const QDomElement root = parsed(digestFile()).documentElement();
        QCOMPARE(root.tagName(), QString("ROOTITEM"));
        QCOMPARE(root.childNodes().count(), 1);
        QCOMPARE(root.firstChildElement().tagName(), QString("Path_item"));

        // A plain substring test: "b" occurs in "abc_".
        writeBytes(digestFile(), "<ROOTITEM><Path_item Converted_path_md5=\"abc_\"/></ROOTITEM>");
        QVideoSettingXml::SaveConvertedPathMd5("b");
        QCOMPARE(QVideoSettingXml::getConvertedPathMd5(), QString("abc_"));
    }

    void digestSaverWorksOnTheLastEntry()
    {
        writeBytes(digestFile(), "<ROOTITEM><Path_item/></ROOTITEM>");
        QVideoSettingXml::SaveConvertedPathMd5("C");
        const QDomElement root = parsed(digestFile()).documentElement();
        QCOMPARE(root.childNodes().count(), 2);
        QCOMPARE(root.lastChildElement().attribute("Converted_path_md5"), QString("C_"));
        QCOMPARE(QVideoSettingXml::getConvertedPathMd5(), QString());

        const QByteArray broken("<ROOTITEM>");
        writeBytes(digestFile(), broken);
        QVideoSettingXml::SaveConvertedPathMd5("D");
        QCOMPARE(readBytes(digestFile()), broken);
        QVERIFY(QVideoSettingXml::getConvertedPathMd5().isEmpty());
    }
};

GLINTORA_TEST_MAIN_CORE(TestVideoPresets)
#include "tst_videopresets.moc"
