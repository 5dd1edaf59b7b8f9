#include "qconverteroperate.h"
#include "qvideosettingxml.h"
#include "storetest.h"
#include "testhome.h"

#include <QFileInfo>

using namespace StoreTest;

// The conversion settings, the still-image presets file and the language list.
class TestPresets : public QObject
{
    Q_OBJECT

private:
    QString presetsFile() const { return dataFile("PhotoConverterSetting.xml"); }

    static PhotoConverterInfo options(int width, int height, int quality, bool all, bool exif, bool aspect)
    {
        PhotoConverterInfo info;
        info.width = width;
        info.height = height;
        info.quality = quality;
        info.allOutput = all;
        info.keepExif = exif;
        info.keepAspectRatio = aspect;
        return info;
    }

    QString writeLanguageFile(const QByteArray &content)
    {
        const QString path = QDir::homePath() + "/Language.xml";
        writeBytes(path, content);
        return path;
    }

private slots:
    void init() { clearAppData(); }

    void languageTypeNamesMatchExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("English") << "English" << 0;
        QTest::newRow("Chinese") << "Chinese" << 1;
        QTest::newRow("German") << "German" << 2;
        QTest::newRow("French") << "French" << 3;
        QTest::newRow("Japanese") << "Japanese" << 4;
        QTest::newRow("lower case") << "japanese" << 0;
        QTest::newRow("trailing blank") << "Chinese " << 0;
        QTest::newRow("empty") << "" << 0;
    }

    void languageTypeNamesMatchExactly()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        QConverterOperate::setLanguageType("German");
        QConverterOperate::setLanguageType(name);
        QCOMPARE(QConverterOperate::getLanguageType(), index);
    }

    void conversionSettingsStartValues()
    {
        QCOMPARE(QConverterOperate::keepClassify(), 2);
        QVERIFY(QConverterOperate::getAudioDeviceName().isEmpty());
        QVERIFY(QConverterOperate::g_converterInfo == nullptr);
        const PhotoConverterInfo fresh;
        QCOMPARE(fresh.format, QString("png"));
        QCOMPARE(fresh.width + fresh.height + fresh.quality, 0);
    }

    void firstStoreCreatesOneEntry()
    {
        PhotoConverterInfo info = options(640, 480, 80, true, false, true);
        QVideoSettingXml::SetDefaultPtConvertInfo("JPG", &info);
        const QDomElement root = parsed(presetsFile()).documentElement();
        QCOMPARE(root.tagName(), QString("ROOTITEM"));
        QCOMPARE(root.childNodes().count(), 1);
        const QDomElement entry = root.firstChildElement("FORMAT_");
        QCOMPARE(entry.attribute("Format_ID"), QString("JPG"));
        const QDomElement custom = entry.firstChildElement("Format_Custom");
        QCOMPARE(custom.attributes().count(), 6);
        QCOMPARE(custom.attribute("Photo_Width"), QString("640"));
        QCOMPARE(custom.attribute("Photo_Height"), QString("480"));
        QCOMPARE(custom.attribute("Photo_Quality"), QString("80"));
        QCOMPARE(custom.attribute("Output_all_image"), QString("Y"));
        QCOMPARE(custom.attribute("Keep_Exif"), QString("N"));
        QCOMPARE(custom.attribute("Keep_aspect_ratio"), QString("Y"));
    }

    void storingAgainUpdatesAndOtherFormatsAppend()
    {
        PhotoConverterInfo first = options(1, 2, 3, false, false, false);
        PhotoConverterInfo second = options(10, 20, 30, true, true, true);
        QVideoSettingXml::SetDefaultPtConvertInfo("PNG", &first);
        QVideoSettingXml::SetDefaultPtConvertInfo("PNG", &second);
        QVideoSettingXml::SetDefaultPtConvertInfo("png", &first);
        QCOMPARE(parsed(presetsFile()).documentElement().childNodes().count(), 2);

        PhotoConverterInfo read;
        QVERIFY(QVideoSettingXml::GetDefaultPtConvertInfo("PNG", &read));
        QCOMPARE(read.width, 10);
        QCOMPARE(read.height, 20);
        QCOMPARE(read.quality, 30);
        QVERIFY(read.allOutput && read.keepExif && read.keepAspectRatio);
        QVERIFY(QVideoSettingXml::GetDefaultPtConvertInfo("png", &read));
        QCOMPARE(read.width, 1);
        QVERIFY(!read.allOutput);
    }

    void unknownFormatLeavesTheRecordAlone()
    {
        PhotoConverterInfo record = options(7, 8, 9, true, true, true);
        QVERIFY(!QVideoSettingXml::GetDefaultPtConvertInfo("BMP", &record));
        QVERIFY(!QFileInfo::exists(presetsFile()));
        QVideoSettingXml::SetDefaultPtConvertInfo("JPG", &record);
        PhotoConverterInfo untouched = options(7, 8, 9, true, true, true);
        QVERIFY(!QVideoSettingXml::GetDefaultPtConvertInfo("BMP", &untouched));
        QCOMPARE(untouched.width, 7);
        QVERIFY(untouched.keepExif);
        QVERIFY(!QVideoSettingXml::GetDefaultPtConvertInfo("JPG", nullptr));
    }

    void handWrittenEntriesReadStrictly()
    {
        writeBytes(presetsFile(),
                   "<ROOTITEM>\n"
                   "    <FORMAT_ Format_ID=\"JPG\"><Format_Custom Photo_Width=\"abc\" Photo_Height=\"12\""
                   " Keep_Exif=\"y\" Output_all_image=\"Y\"/></FORMAT_>\n"
                   "    <OTHER Format_ID=\"TIFF\"><Options Photo_Quality=\"55\" keep=\"me\"/></OTHER>\n"
                   "    <FORMAT_ Format_ID=\"GIF\"><!-- only a note --></FORMAT_>\n"
                   "    <FORMAT_><Format_Custom Photo_Width=\"99\"/></FORMAT_>\n"
                   "</ROOTITEM>\n");
        PhotoConverterInfo read = options(5, 5, 5, false, true, true);
        QVERIFY(QVideoSettingXml::GetDefaultPtConvertInfo("JPG", &read));
        QCOMPARE(read.width, 0);
        QCOMPARE(read.height, 12);
        QVERIFY(read.allOutput);
        QVERIFY(!read.keepExif);
        QVERIFY(!read.keepAspectRatio);

        // Any tag serves as entry and options; other attributes stay.
        QVERIFY(QVideoSettingXml::GetDefaultPtConvertInfo("TIFF", &read));
        QCOMPARE(read.quality, 55);
        PhotoConverterInfo changed = options(1, 1, 66, false, false, false);
        QVideoSettingXml::SetDefaultPtConvertInfo("TIFF", &changed);
        const QDomElement tiffOptions = parsed(presetsFile()).documentElement().firstChildElement("OTHER").firstChildElement();
        QCOMPARE(tiffOptions.attribute("Photo_Quality"), QString("66"));
        QCOMPARE(tiffOptions.attribute("keep"), QString("me"));

        // A comment as options reads as nothing set and takes no writes.
        read = options(5, 5, 5, true, true, true);
        QVERIFY(QVideoSettingXml::GetDefaultPtConvertInfo("GIF", &read));
        QCOMPARE(read.width + read.height + read.quality, 0);
        QVERIFY(!read.allOutput && !read.keepExif && !read.keepAspectRatio);

        // An empty identifier finds the first entry without one.
        QVERIFY(QVideoSettingXml::GetDefaultPtConvertInfo("", &read));
        QCOMPARE(read.width, 99);
    }

    void unparsablePresetsFileIsLeftAlone()
    {
        const QByteArray broken("<ROOTITEM><FORMAT_ Format_ID=\"JPG\">");
        writeBytes(presetsFile(), broken);
        PhotoConverterInfo info = options(1, 2, 3, true, true, true);
        QVideoSettingXml::SetDefaultPtConvertInfo("JPG", &info);
        QVERIFY(!QVideoSettingXml::GetDefaultPtConvertInfo("JPG", &info));
        QCOMPARE(readBytes(presetsFile()), broken);
    }

    void shippedLanguageListCoversEveryType()
    {
        const QString path = QIAnyUtil::getResourcePath() + "/Language/Language.xml";
        const QStringList names = QVideoSettingXml::GetLanguage(path);
        QCOMPARE(names.size(), 5);
        QCOMPARE(names.first(), QString("English"));
        QSet<int> indexes;
        for (const QString &name : names) {
            const auto entry = QVideoSettingXml::GetLanguageFile(path, name);
            QVERIFY2(entry.first.endsWith(".qm") && !entry.first.contains('/'), qPrintable(entry.first));
            QConverterOperate::setLanguageType(entry.second);
            indexes.insert(QConverterOperate::getLanguageType());
        }
        QCOMPARE(indexes, QSet<int>({0, 1, 2, 3, 4}));
    }

    void languageListReadsInFileOrder()
    {
        const QString path = writeLanguageFile(
            "<LIST>\n"
            "    <A Language_Name=\"English\" Language_File=\"en.qm\" Language_Type=\"English\"/>\n"
            "    <B Language_File=\"none.qm\"/>\n"
            "    <C Language_Name=\"Deutsch\" Language_File=\"de-old.qm\" Language_Type=\"German\"/>\n"
            "    <D Language_Name=\"Deutsch\" Language_File=\"de.qm\" Language_Type=\"German\"/>\n"
            "</LIST>\n");
        QCOMPARE(QVideoSettingXml::GetLanguage(path), QStringList({"English", "", "Deutsch", "Deutsch"}));
        QCOMPARE(QVideoSettingXml::GetLanguageFile(path, "Deutsch"), qMakePair(QString("de.qm"), QString("German")));
        QCOMPARE(QVideoSettingXml::GetLanguageFile(path, "deutsch"), qMakePair(QString(), QString()));
    }

    void unreadableLanguageListGivesNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("broken") << QByteArray("<LIST><A Language_Name=\"English\"") << true;
    }

    void unreadableLanguageListGivesNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QString path = writeLanguageFile(content);
        if (!exists)
            QFile::remove(path);
        QVERIFY(QVideoSettingXml::GetLanguage(path).isEmpty());
        QCOMPARE(QVideoSettingXml::GetLanguageFile(path, "English"), qMakePair(QString(), QString()));
    }
};

GLINTORA_TEST_MAIN_CORE(TestPresets)
#include "tst_presets.moc"
