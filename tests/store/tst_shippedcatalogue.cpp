#include "qianyutil.h"
#include "qplistread.h"
#include "qvideosettingxml.h"
#include "testhome.h"

using Strings = std::vector<std::string>;

// The catalogue the application ships, read through both readers.
class TestShippedCatalogue : public QObject
{
    Q_OBJECT

private:
    static QString plistPath() { return QIAnyUtil::getResourcePath() + "/VideoSetting.plist"; }

private slots:
    void everyOutputAndMovieFormatIsListed_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("extension");
        QTest::newRow("jpeg") << "jpeg" << "jpg";
        QTest::newRow("png") << "png" << "png";
        QTest::newRow("bmp") << "bmp" << "bmp";
        QTest::newRow("gif") << "gif" << "gif";
        QTest::newRow("webp") << "webp" << "webp";
        QTest::newRow("tiff") << "tiff" << "tiff";
        QTest::newRow("mp4") << "mp4" << "mp4";
        QTest::newRow("mov") << "mov" << "mov";
    }

    void everyOutputAndMovieFormatIsListed()
    {
        QFETCH(QString, format);
        QFETCH(QString, extension);
        const FileFormatInfo *info = QVideoSettingXml::GetFormatInfo(format);
        QVERIFY(info);
        QCOMPARE(info->vExtend, extension);
        const FormatInfoRecord *record = QVideoSettingXml::GetFormatAllInfo(format);
        QVERIFY(record);
        QVERIFY(!record->onlyAudio);
        QVERIFY(!record->vEncoders.empty());
        QVERIFY(!record->vResolutions.empty());
        for (const char *preset : {"High", "Normal", "Low"})
            QVERIFY2(QVideoSettingXml::GetQuality(preset, format), preset);
    }

    void bothReadersGiveTheSameChoices()
    {
        QPlistRead *reader = QPlistRead::getPlistRead(plistPath().toStdString());
        const Strings categories = reader->getCategories();
        QVERIFY(!categories.empty());
        int compared = 0;
        for (const std::string &category : categories) {
            const std::vector<CategoryInfo> formats = *reader->getCategoriesInfoList(category);
            for (const CategoryInfo &format : formats) {
                const QString id = QString::fromStdString(format.id);
                const FormatInfoRecord *plist = reader->GetFormatInfoForPlist(category, format.id, "", "", "", "");
                const FormatInfoRecord *xml = QVideoSettingXml::GetFormatAllInfo(id);
                QVERIFY2(plist && xml, qPrintable(id));
                QCOMPARE(plist->onlyAudio, xml->onlyAudio);
                QCOMPARE(plist->vEncoders, xml->vEncoders);
                QCOMPARE(plist->vResolutions, xml->vResolutions);
                QCOMPARE(plist->vFrameRates, xml->vFrameRates);
                QCOMPARE(plist->vBitRates, xml->vBitRates);
                QCOMPARE(plist->aEncoders, xml->aEncoders);
                QCOMPARE(plist->aChannels, xml->aChannels);
                QCOMPARE(plist->aSampleRates, xml->aSampleRates);
                QCOMPARE(plist->aBitRates, xml->aBitRates);
                QCOMPARE(QString::fromStdString(plist->ext), QVideoSettingXml::GetFormatInfo(id)->vExtend);
                QCOMPARE(format.ext, plist->ext);
                ++compared;
            }
        }
        QVERIFY(compared >= 8);
    }

    void theFirstInstanceStays()
    {
        QPlistRead *first = QPlistRead::getPlistRead(plistPath().toStdString());
        QCOMPARE(QPlistRead::getPlistRead("/elsewhere.plist"), first);
        QCOMPARE(QPlistRead::getPlistRead1(nullptr, 0), first);
        QVERIFY(!first->getCategories().empty());
        QCOMPARE(first->getCodecsForKey("AAC"), std::string("AAC"));
    }
};

GLINTORA_TEST_MAIN_CORE(TestShippedCatalogue)
#include "tst_shippedcatalogue.moc"
