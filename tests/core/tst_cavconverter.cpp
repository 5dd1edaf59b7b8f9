#include "avconvertmath.h"
#include "cavconverter.h"
#include "fakecodec.h"
#include "itagfile.h"
#include "jobreports.h"
#include "testhome.h"

#include <QElapsedTimer>
#include <QtTest>

using FakeCodec::Poll;

namespace {

// What the tag step asked of the tag library.
struct TagLog
{
    QStringList calls;
    std::vector<TagField> fields;
    std::vector<QByteArray> bytes;
    int openResult = 0;
} g_tags;

int record(const QString &call, int result = 0)
{
    g_tags.calls << call;
    return result;
}

class FakeTagFile : public ITagFile
{
public:
    int OpenPath(const wchar_t *) override { return record("OpenPath", g_tags.openResult); }
    int OpenStream(TagStream *) override { return -1; }
    int Close() override { return record("Close"); }
    int FormatIndex() override { return -1; }
    int Save() override { return record("Save"); }
    int FieldCount() override { return 0; }
    TagField GetField(int) override { return EmptyTagField(); }
    int SetField(int, TagField) override { return -1; }
    int SetFieldsOfKind(int, TagField) override { return -1; }
    int AddField(TagField field) override
    {
        g_tags.fields.push_back(field);
        g_tags.bytes.emplace_back(static_cast<const char *>(field.data), int(field.length));
        return record(QStringLiteral("AddField %1").arg(field.kind));
    }
    int RemoveField(int) override { return -1; }
    int ClearTag(int) override { return -1; }
    int RemoveFieldsOfKind(int) override { return -1; }
    int ClearFields() override { return record("ClearFields"); }
};

// The tag step alone, on a parameter copy and destination of the test's choosing.
class TagStep : public CAVConverter
{
public:
    void run(const CAVEncodeParam *param, const char *dst)
    {
        m_param.reset(param ? new CAVEncodeParam(param) : nullptr);
        m_dst = QByteArray(dst);
        setAudioTag();
    }
};

std::unique_ptr<CAVEncodeParam> param(const char *format)
{
    auto p = std::make_unique<CAVEncodeParam>();
    p->SetFormat(format);
    return p;
}

const auto kTwoSeconds = std::chrono::seconds(2);

} // namespace

ITagFile *CreateTagFile()
{
    record("Create");
    return new FakeTagFile;
}

void DestroyTagFile(ITagFile *file)
{
    record("Destroy");
    delete file;
}

Q_DECLARE_METATYPE(std::vector<Poll>)

class TestAVConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("glintora.core.debug=false")); }

    void init()
    {
        FakeCodec::reset();
        FakeCodec::script().polls = {Poll{0, 0, 10, 100}}; // runs until stopped
        g_tags = TagLog();
    }

    void reportsRiseThenEndOnce_data()
    {
        QTest::addColumn<int>("mode"); // 0 direct, 1 chapters, 2 merge
        QTest::addColumn<std::vector<Poll>>("polls");
        QTest::addColumn<int>("openResult");
        QTest::addColumn<Report>("last");
        const std::vector<Poll> rising{{0, 0, 30, 100}, {0, 0, 60, 100}, {0, 0, 130, 100}, {1, 0, 100, 100}};
        const Report finished(100, convertFinished);
        QTest::newRow("direct") << 0 << rising << 1 << finished;
        QTest::newRow("chapter") << 1 << rising << 1 << finished;
        QTest::newRow("chapter open fails") << 1 << rising << 0 << Report(0, convertFailed);
        QTest::newRow("failure without a stop")
            << 0 << std::vector<Poll>{{0, 0, 30, 100}, {0, 1, 30, 100}} << 1 << Report(0, convertFailed);
        QTest::newRow("merge") << 2 << rising << 1 << finished;
        QTest::newRow("no total") << 0 << std::vector<Poll>{{0, 0, 5, 0}, {1, 0, 5, 0}} << 1 << finished;
    }

    void reportsRiseThenEndOnce()
    {
        QFETCH(int, mode);
        QFETCH(std::vector<Poll>, polls);
        QFETCH(int, openResult);
        QFETCH(Report, last);
        FakeCodec::script().polls = polls;
        FakeCodec::script().openResult = openResult;
        Reports reports;
        CAVConverter converter;
        auto p = param("mp3");
        p->metaInfo.title = "Song";
        if (mode == 2) {
            QVERIFY(converter.StartMerger("out.mp4", p.get()));
            QVERIFY(converter.AddMergerTask("a.mp4", nullptr, &reports, &Reports::progress));
        } else {
            QVERIFY(converter.StartConvert("in.wav", "out.mp3", p.get(), &reports, &Reports::progress, mode == 1));
        }
        QVERIFY(reports.waitTerminal());
        converter.StopMerger(false);
        std::vector<Report> seen = reports.snapshot();
        QCOMPARE(seen.back(), last);
        QCOMPARE(reports.terminalCount(), 1);
        QCOMPARE(mode == 1, seen.front() == Report(1, convertPreparing));
        unsigned previous = 0;
        for (size_t i = mode == 1 ? 1 : 0; i + 1 < seen.size(); ++i) {
            QCOMPARE(seen[i].second, convertProgress);
            QVERIFY(seen[i].first > previous && seen[i].first <= 100);
            previous = seen[i].first;
        }
        QCOMPARE(g_tags.calls.contains("OpenPath"), mode != 2 && last.second == convertFinished);
    }

    void stopsReturnWithOneStopReport_data()
    {
        QTest::addColumn<int>("mode"); // 0 direct, 1 chapters, 2 merge
        QTest::addColumn<bool>("scanBlocks");
        QTest::newRow("mid-run") << 0 << false;
        QTest::newRow("during the scan") << 1 << true;
        QTest::newRow("after the scan") << 1 << false;
        QTest::newRow("mid-merge") << 2 << false;
    }

    void stopsReturnWithOneStopReport()
    {
        QFETCH(int, mode);
        QFETCH(bool, scanBlocks);
        FakeCodec::script().scanBlocks = scanBlocks;
        Reports reports;
        auto *converter = CreateAVConverter();
        auto p = param("m4a");
        if (mode == 2) {
            QVERIFY(converter->StartMerger("out.mp4", p.get()));
            QVERIFY(converter->AddMergerTask("a.mp4", p.get(), &reports, &Reports::progress));
            QVERIFY(converter->AddMergerTask("b.mp4", p.get(), &reports, &Reports::progress));
            QCOMPARE(FakeCodec::callsStartingWith("MergerAddFile").size(), 2);
        } else {
            QVERIFY(converter->StartConvert("in.wav", "out.m4a", p.get(), &reports, &Reports::progress, mode == 1));
            QVERIFY(!converter->StartConvert("in.wav", "out.m4a", p.get(), &reports, &Reports::progress, false));
        }
        const char *reached = scanBlocks ? "OpenMediaFile" : mode == 2 ? "MergerStart" : "ConverterStart";
        QTRY_VERIFY(!FakeCodec::callsStartingWith(reached).isEmpty());
        QVERIFY(returnsInTime([&] { mode == 2 ? converter->StopMerger(false) : converter->StopConvert(); }, kTwoSeconds));
        QCOMPARE(reports.snapshot().back(), Report(0, convertStopped));
        QCOMPARE(reports.terminalCount(), 1);
        QVERIFY(g_tags.calls.isEmpty());
        QVERIFY(FakeCodec::mergerPollerThreads() <= 1);
        DestroyAVConverter(converter);
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void stopRacingTheFinishOrAfterAFailedOpen()
    {
        auto p = param("mp3");
        for (int round = 0; round < 30; ++round) {
            FakeCodec::reset();
            FakeCodec::script().polls = {Poll{0, 0, 50, 100}, Poll{1, 0, 100, 100}};
            Reports reports;
            CAVConverter converter;
            QVERIFY(converter.StartConvert("in.wav", "out.mp3", p.get(), &reports, &Reports::progress, false));
            QTest::qWait(round % 3 * 50);
            QVERIFY(returnsInTime([&] { converter.StopConvert(); }, kTwoSeconds));
            QCOMPARE(reports.terminalCount(), 1);
        }
        FakeCodec::script().openResult = 0;
        CAVConverter converter;
        QVERIFY(!converter.StartConvert("in.wav", "out.mp3", p.get(), nullptr, nullptr, false));
        QVERIFY(!converter.StartConvert("in.wav", "out.mp3", nullptr, nullptr, nullptr, false));
        QVERIFY(returnsInTime([&] { converter.StopConvert(); }, kTwoSeconds));
        QCOMPARE(FakeCodec::liveHandles(), 0); // the leftover converter too
    }

    void deletingFromTheTerminalReportIsSafe()
    {
        struct Owner
        {
            IAVConverter *converter = CreateAVConverter();
            std::promise<void> ended;
            static void progress(unsigned, void *user, convertState state)
            {
                auto *self = static_cast<Owner *>(user);
                if (state == convertProgress)
                    return;
                DestroyAVConverter(self->converter);
                self->ended.set_value(); // a second terminal report would throw
            }
        };
        auto p = param("mp3");
        for (int round = 0; round < 1000; ++round) {
            FakeCodec::reset();
            Owner owner;
            QVERIFY(owner.converter->StartConvert("in.wav", "out.mp3", p.get(), &owner, &Owner::progress, false));
            QVERIFY(owner.ended.get_future().wait_for(std::chrono::seconds(20)) == std::future_status::ready);
        }
    }

    void chaptersAreClippedToTheTrimAndScaled_data()
    {
        QTest::addColumn<quint64>("start");
        QTest::addColumn<quint64>("length");
        QTest::addColumn<quint64>("trimEnd");
        QTest::addColumn<quint32>("speed");
        QTest::addColumn<QList<quint64>>("expected"); // empty: not added
        const quint64 s = 1000000;
        QTest::newRow("clipped both ends") << 10 * s << 20 * s << 25 * s << 100u << QList<quint64>{0, 5 * s};
        QTest::newRow("trim to the end") << 10 * s << 20 * s << 0ull << 100u << QList<quint64>{0, 10 * s};
        QTest::newRow("wholly before") << 0ull << 10 * s << 25 * s << 100u << QList<quint64>{};
        QTest::newRow("after the end") << 30 * s << 10 * s << 25 * s << 100u << QList<quint64>{};
        QTest::newRow("length 0") << 22 * s << 0ull << 25 * s << 100u << QList<quint64>{};
        QTest::newRow("double speed") << 22 * s << 2 * s << 0ull << 200u << QList<quint64>{s, s};
    }

    void chaptersAreClippedToTheTrimAndScaled()
    {
        QFETCH(quint64, start);
        QFETCH(quint64, length);
        QFETCH(quint64, trimEnd);
        QFETCH(quint32, speed);
        QFETCH(QList<quint64>, expected);
        const auto span = AVConvertMath::ClipChapter(start, length, 20000000, trimEnd, speed);
        const QList<quint64> got = span ? QList<quint64>{span->start, span->length} : QList<quint64>();
        QCOMPARE(got, expected);
    }

    void chapterSpeedAndProgressArithmetic()
    {
        CAVEncodeParam p;
        p.speedPercent = 200;
        QCOMPARE(AVConvertMath::ChapterSpeed(p), 200u);
        p.altEngine = true;
        QCOMPARE(AVConvertMath::ChapterSpeed(p), 100u);
        p.altEngine = false;
        p.speedPercent = 0;
        QCOMPARE(AVConvertMath::ChapterSpeed(p), 100u);
        const float base = AVConvertMath::ChapterStageShare(100000);
        QCOMPARE(base, 20.0f);
        QCOMPARE(AVConvertMath::ProgressPercent(50, 100, base), std::optional<unsigned>(60));
        QCOMPARE(AVConvertMath::ProgressPercent(50, 0, base), std::optional<unsigned>());
        QCOMPARE(AVConvertMath::ProgressPercent(~0ull, 1, 0.0f), std::optional<unsigned>(100));

        const quint64 s = 1000000;
        FakeCodec::script().polls = {Poll{1, 0, 100, 100}};
        FakeCodec::script().chapters = {{0, 10 * s, "One"}, {10 * s, 20 * s, QByteArray()}, {30 * s, 10 * s, "Three"}};
        Reports reports;
        CAVConverter converter;
        p.SetFormat("matroska");
        p.rangeStart = 20 * s;
        QVERIFY(converter.StartConvert("in.m4a", "out.mkv", &p, &reports, &Reports::progress, true));
        QVERIFY(reports.waitTerminal());
        QCOMPARE(FakeCodec::callsStartingWith("Config Chapter"),
                 QStringList({"Config Chapter 0 10000000 Chapter 2", "Config Chapter 10000000 10000000 Three"}));
    }

    void tagStepWritesEveryKindInOrder()
    {
        CAVEncodeParam p;
        CAVEncodeMetaInfo &m = p.metaInfo;
        for (std::string *text : {&m.albumArtist, &m.composer, &m.album, &m.genre, &m.reserved, &m.grouping,
                                  &m.comment, &m.disc, &m.copyright})
            *text = "x";
        m.title = "\xc3\xa9t\xc3\xa9";
        m.artist = "\xf0\x9f\x8e\xb5";
        m.track = "7";
        m.year = "1999";
        m.coverPicture = "PNGBYTES";
        m.coverSize = 100;
        TagStep().run(&p, "/tmp/out.mp3");
        QStringList expected{"Create", "OpenPath", "ClearFields"};
        for (int kind : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13})
            expected << QStringLiteral("AddField %1").arg(kind);
        QCOMPARE(g_tags.calls, expected << "Save" << "Close" << "Destroy");
        for (const TagField &f : g_tags.fields)
            QCOMPARE(f.slot, -1);
        QCOMPARE(g_tags.fields[0].length, 12u);
        QCOMPARE(g_tags.fields[1].length, 4u);
        QCOMPARE(g_tags.bytes[4], QByteArray("1\0\0\0" "9\0\0\0" "9\0\0\0" "9\0\0\0", 16));
        QCOMPARE(g_tags.bytes[5], QByteArray("7\0\0\0", 4));
        QCOMPARE(g_tags.fields[8].valueType, int(TagValueBinary));
        QCOMPARE(g_tags.bytes[8], QByteArray("PNGBYTES"));
    }

    void tagStepSkipsWhatItCannotWrite_data()
    {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<int>("coverSize");
        QTest::addColumn<QByteArray>("dst");
        QTest::addColumn<int>("openResult");
        QTest::addColumn<QStringList>("calls");
        const QStringList empty{"Create", "OpenPath", "ClearFields", "Save", "Close", "Destroy"};
        const QStringList unopened{"Create", "Destroy"};
        QTest::newRow("all empty") << QByteArray() << 0 << QByteArray("o.mp3") << 0 << empty;
        QTest::newRow("invalid UTF-8") << QByteArray("\xff\xfe") << 0 << QByteArray("o.mp3") << 0 << empty;
        QTest::newRow("cover count -1") << QByteArray() << -1 << QByteArray("o.mp3") << 0 << empty;
        QTest::newRow("no destination") << QByteArray("T") << 3 << QByteArray() << 0 << unopened;
        QTest::newRow("destination not UTF-8") << QByteArray("T") << 3 << QByteArray("\xff.mp3") << 0 << unopened;
        QTest::newRow("open fails") << QByteArray("T") << 3 << QByteArray("o.mp3") << -1
                                    << QStringList{"Create", "OpenPath", "Destroy"};
    }

    void tagStepSkipsWhatItCannotWrite()
    {
        QFETCH(QByteArray, title);
        QFETCH(int, coverSize);
        QFETCH(QByteArray, dst);
        QFETCH(int, openResult);
        QFETCH(QStringList, calls);
        g_tags.openResult = openResult;
        CAVEncodeParam p;
        p.metaInfo.title = title.toStdString();
        p.metaInfo.coverPicture = "abc";
        p.metaInfo.coverSize = coverSize;
        TagStep().run(&p, dst.isNull() ? nullptr : dst.constData());
        TagStep().run(nullptr, "o.mp3"); // no parameter copy: no call at all
        QCOMPARE(g_tags.calls, calls);
    }

    void trackModeMarksEndsAndStopsPromptly()
    {
        CAVConverter converter;
        CTrackDesc desc;
        QCOMPARE(converter.AddTrack(5, 8, &desc), 5u);
        QVERIFY(!converter.GetTracksInfoOfType(5));
        QCOMPARE(converter.AddTrack(1, 8, &desc), 1u);
        converter.StopWithTrack();
        QCOMPARE(FakeCodec::packets().size(), size_t(1));
        QCOMPARE(FakeCodec::packets()[0].size, 0u);

        std::atomic<int> passes{0};
        auto countPass = [](unsigned, void *user) { ++*static_cast<std::atomic<int> *>(user); };
        QElapsedTimer clock;
        clock.start();
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            converter.StopConvert();
        });
        auto p = param("matroska");
        bool written = true;
        QVERIFY(returnsInTime([&] { written = converter.StartWithTrack("o.mkv", p.get(), &passes, countPass, nullptr); },
                              kTwoSeconds));
        stopper.join();
        QVERIFY(!written);
        QVERIFY2(passes > 0 && passes <= clock.elapsed() * 110 / 1000 + 2, qPrintable(QString::number(passes)));
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }
};

GLINTORA_TEST_MAIN_CORE(TestAVConverter)
#include "tst_cavconverter.moc"
