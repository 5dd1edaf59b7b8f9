#include "testhome.h"
#include "zvavcodecanalysis.h"

// The fixed codec and container name tables.
class TestCodecTables : public QObject
{
    Q_OBJECT

private slots:
    void codecIds_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<uint>("id");
        const QList<QPair<const char *, uint>> rows = {
            {"AC3", 0x15003},   {"in24", 0x1000D},   {"mp43", 17},         {"wma3", 0x15026}, {"wma2", 0x15008},
            {"wma1", 0x15007},  {"MP3", 0x15001},    {"VP8", 141},         {"VP9", 169},      {"AAC", 0x15002},
            {"MJPG", 8},        {"MP4V", 13},        {"OGG", 0x15005},     {"WMV1", 18},      {"WMV2", 19},
            {"VBIS", 0x15005},  {"mpg1", 1},         {"HMP2", 2},          {"mp2v", 2},       {"alac", 0x15010},
            {"mp1v", 1},        {"H263", 5},         {"H264", 28},         {"H265", 0x48323635},
            {"Xvid", 0x44495658}, {"DIVX", 0x30355844}, {"MP2A", 0x15000}, {"PCM", 0x10000},  {"APE", 0x10000},
            {"caf", 0x11000},   {"DV60", 25},        {"flac", 0x1500C},    {"AMRN", 0x12000}, {"flv1", 22},
            {"fmp3", 0x1100D},  {"DV50", 25},        {"WMV3", 72},         {"vc-1", 71},      {"pcmb", 0x10001},
            {"OGV", 31},        {"h264", 0},         {"", 0},              {"H264 ", 0},      {"XVID", 0},
        };
        for (const auto &row : rows)
            QTest::newRow(row.first) << QByteArray(row.first) << row.second;
    }

    void codecIds()
    {
        QFETCH(QByteArray, name);
        QFETCH(uint, id);
        QCOMPARE(ZVAVCodecAnalysis::codecIDOfFourcc(name.toStdString()), id);
    }

    void containerOfExtension_data()
    {
        QTest::addColumn<QByteArray>("extension");
        QTest::addColumn<QByteArray>("format");
        const QList<QPair<const char *, const char *>> rows = {
            {"m4v", "mp4"},  {"WebM", "webm"}, {"wmv", "asf"},  {"trp", "mpegts"}, {"mkv", "matroska"},
            {"wma", "asf"},  {"mpg", "mpeg"},  {"mka", "matroska"}, {"ts", "mpegts"}, {"aac", "adts"},
            {"m4a", "mp4"},  {"m4b", "mp4"},   {"DivX", "avi"}, {"m4r", "mp4"},   {"ogv", "ogg"},
            {"alac", "mov"}, {"MKV", "MKV"},   {"webm", "webm"}, {"mov", "mov"},  {"", ""},
        };
        for (const auto &row : rows)
            QTest::newRow(row.first) << QByteArray(row.first) << QByteArray(row.second);
    }

    void containerOfExtension()
    {
        QFETCH(QByteArray, extension);
        QFETCH(QByteArray, format);
        QCOMPARE(ZVAVCodecAnalysis::formatOfFourCC(extension.toStdString()), format.toStdString());
    }

    void audioContainerOfCodec_data()
    {
        QTest::addColumn<uint>("id");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("extension");
        QTest::newRow("mp3") << 0x15001u << QByteArray("mp3") << QByteArray("mp3");
        QTest::newRow("aac") << 0x15002u << QByteArray("mp4") << QByteArray("m4a");
        QTest::newRow("wma") << 0x1502Au << QByteArray("asf") << QByteArray("asf");
        QTest::newRow("other") << 28u << QByteArray("mp3") << QByteArray("mp3");
    }

    void audioContainerOfCodec()
    {
        QFETCH(uint, id);
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, extension);
        std::string ext = "stale";
        QCOMPARE(ZVAVCodecAnalysis::formatOfCodecID(id, ext), format.toStdString());
        QCOMPARE(ext, extension.toStdString());
    }

    void containerOfProbedName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("brand");
        QTest::addColumn<QByteArray>("format");
        const QByteArray isoFamily("mov,mp4,m4a,3gp,3g2,mj2");
        QTest::newRow("quicktime") << isoFamily << QByteArray("qt  ") << QByteArray("mov");
        QTest::newRow("quicktime, one blank") << isoFamily << QByteArray("qt ") << QByteArray("mp4");
        QTest::newRow("f4v") << isoFamily << QByteArray("f4v ") << QByteArray("f4v");
        QTest::newRow("3gp5") << isoFamily << QByteArray("3gp5") << QByteArray("3gp");
        QTest::newRow("3g2a") << isoFamily << QByteArray("3g2a") << QByteArray("3g2");
        QTest::newRow("isom") << isoFamily << QByteArray("isom") << QByteArray("mp4");
        QTest::newRow("3g") << isoFamily << QByteArray("3g") << QByteArray("mp4");
        QTest::newRow("matroska") << QByteArray("matroska,webm") << QByteArray("matroska") << QByteArray("matroska");
        QTest::newRow("webm") << QByteArray("matroska,webm") << QByteArray("webm") << QByteArray("webm");
        QTest::newRow("matroska other") << QByteArray("matroska,webm") << QByteArray("") << QByteArray("mp4");
        QTest::newRow("other name") << QByteArray("avi") << QByteArray("qt  ") << QByteArray("avi");
    }

    void containerOfProbedName()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, brand);
        QFETCH(QByteArray, format);
        QCOMPARE(ZVAVCodecAnalysis::formatForFormatName(name.toStdString(), brand.toStdString()), format.toStdString());
    }

    void frameRates_data()
    {
        QTest::addColumn<uint>("rate");
        QTest::addColumn<uint>("numerator");
        QTest::addColumn<uint>("denominator");
        QTest::newRow("23") << 23u << 24000u << 1001u;
        QTest::newRow("29") << 29u << 30000u << 1001u;
        QTest::newRow("59") << 59u << 60000u << 1001u;
        QTest::newRow("30") << 30u << 30u << 1u;
        QTest::newRow("0") << 0u << 0u << 1u;
    }

    void frameRates()
    {
        QFETCH(uint, rate);
        QFETCH(uint, numerator);
        QFETCH(uint, denominator);
        unsigned int num = 7, den = 7;
        ZVAVCodecAnalysis::GetVideoFrameRate(rate, num, den);
        QCOMPARE(num, numerator);
        QCOMPARE(den, denominator);
    }
};

GLINTORA_TEST_MAIN_CORE(TestCodecTables)
#include "tst_codectables.moc"
