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

    void reportsRiseThenEndOnce()
    {
        enum { Direct, Chapters, Merge };
        const std::vector<Poll> rising{{0, 0, 30, 100}, {0, 0, 60, 100}, {0, 0, 130, 100}, {1, 0, 100, 100}};
        const Report finished(100, convertFinished), failed(0, convertFailed);
        const struct { int mode; std::vector<Poll> polls; int openResult; Report last; } cases[] = {
            {Direct, rising, 1, finished}, {Chapters, rising, 1, finished}, {Chapters, rising, 0, failed},
            {Direct, {{0, 0, 30, 100}, {0, 1, 30, 100}}, 1, failed}, // failure without a stop
            {Merge, rising, 1, finished}, {Direct, {{0, 0, 5, 0}, {1, 0, 5, 0}}, 1, finished}}; // no total
        for (const auto &c : cases) {
            init();
            FakeCodec::script().polls = c.polls;
            FakeCodec::script().openResult = c.openResult;
            Reports reports;
            CAVConverter converter;
            auto p = param("mp3");
            p->metaInfo.title = "Song";
            if (c.mode == Merge) {
                QVERIFY(converter.StartMerger("out.mp4", p.get()));
                QVERIFY(converter.AddMergerTask("a.mp4", nullptr, &reports, &Reports::progress));
            } else {
                QVERIFY(converter.StartConvert("in.wav", "o.mp3", p.get(), &reports, &Reports::progress, c.mode == Chapters));
            }
            QVERIFY(reports.waitTerminal());
            converter.StopMerger(false);
            std::vector<Report> seen = reports.snapshot();
            QCOMPARE(seen.back(), c.last);
            QCOMPARE(reports.terminalCount(), 1);
            QCOMPARE(c.mode == Chapters, seen.front() == Report(1, convertPreparing));
            unsigned previous = 0;
            for (size_t i = c.mode == Chapters ? 1 : 0; i + 1 < seen.size(); ++i) {
                QCOMPARE(seen[i].second, convertProgress);
                QVERIFY(seen[i].first > previous && seen[i].first <= 100);
                previous = seen[i].first;
            }
            QCOMPARE(g_tags.calls.contains("OpenPath"), c.mode != Merge && c.last == finished);
        }
    }

    void stopsReturnWithOneStopReport()
    {
        enum { Direct, Chapters, Merge };
        const struct { int mode; bool scanBlocks; } cases[] = {
            {Direct, false}, {Chapters, true}, {Chapters, false}, {Merge, false}};
        for (const auto &c : cases) {
            init();
            FakeCodec::script().scanBlocks = c.scanBlocks;
            Reports reports;
            auto *converter = CreateAVConverter();
            auto p = param("m4a");
            if (c.mode == Merge) {
                QVERIFY(converter->StartMerger("out.mp4", p.get()));
                QVERIFY(converter->AddMergerTask("a.mp4", p.get(), &reports, &Reports::progress));
                QVERIFY(converter->AddMergerTask("b.mp4", p.get(), &reports, &Reports::progress));
                QCOMPARE(FakeCodec::callsStartingWith("MergerAddFile").size(), 2);
            } else {
                QVERIFY(converter->StartConvert("in.wav", "o.m4a", p.get(), &reports, &Reports::progress, c.mode == Chapters));
                QVERIFY(!converter->StartConvert("in.wav", "o.m4a", p.get(), &reports, &Reports::progress, false));
            }
            const char *reached = c.scanBlocks ? "OpenMediaFile" : c.mode == Merge ? "MergerStart" : "ConverterStart";
            QTRY_VERIFY(!FakeCodec::callsStartingWith(reached).isEmpty());
            QVERIFY(returnsInTime([&] { c.mode == Merge ? converter->StopMerger(false) : converter->StopConvert(); },
                                  kTwoSeconds));
            QCOMPARE(reports.snapshot().back(), Report(0, convertStopped));
            QCOMPARE(reports.terminalCount(), 1);
            QVERIFY(g_tags.calls.isEmpty());
            QVERIFY(FakeCodec::mergerPollerThreads() <= 1); // one worker for both tasks
            DestroyAVConverter(converter);
            QCOMPARE(FakeCodec::liveHandles(), 0);
        }
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

    void chaptersAreClippedToTheTrimAndScaled()
    {
        using Span = std::optional<std::pair<quint64, quint64>>;
        const quint64 s = 1000000;
        const struct { quint64 start, length, trimEnd; quint32 speed; Span expected; } cases[] = {
            {10 * s, 20 * s, 25 * s, 100, std::pair(0ull, 5 * s)},  // clipped at both ends
            {10 * s, 20 * s, 0, 100, std::pair(0ull, 10 * s)},      // trim to the end
            {0, 10 * s, 25 * s, 100, std::nullopt},                 // wholly before the trim
            {30 * s, 10 * s, 25 * s, 100, std::nullopt},            // after its end
            {22 * s, 0, 25 * s, 100, std::nullopt},                 // length 0
            {22 * s, 2 * s, 0, 200, std::pair(s, s)}};              // double speed
        for (const auto &c : cases) {
            const auto span = AVConvertMath::ClipChapter(c.start, c.length, 20 * s, c.trimEnd, c.speed);
            QCOMPARE(span ? Span(std::pair(span->start, span->length)) : Span(), c.expected);
        }
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

    void tagStepSkipsWhatItCannotWrite()
    {
        const QStringList empty{"Create", "OpenPath", "ClearFields", "Save", "Close", "Destroy"};
        const QStringList unopened{"Create", "Destroy"};
        const struct { const char *title; int coverSize; const char *dst; int openResult; QStringList calls; } cases[] = {
            {"", 0, "o.mp3", 0, empty},                 // nothing to write
            {"\xff\xfe", 0, "o.mp3", 0, empty},         // invalid UTF-8
            {"", -1, "o.mp3", 0, empty},                // a negative cover count
            {"T", 3, nullptr, 0, unopened},             // no destination
            {"T", 3, "\xff.mp3", 0, unopened},          // a destination that is not UTF-8
            {"T", 3, "o.mp3", -1, {"Create", "OpenPath", "Destroy"}}};
        for (const auto &c : cases) {
            g_tags = TagLog();
            g_tags.openResult = c.openResult;
            CAVEncodeParam p;
            p.metaInfo.title = c.title;
            p.metaInfo.coverPicture = "abc";
            p.metaInfo.coverSize = c.coverSize;
            TagStep().run(&p, c.dst);
            TagStep().run(nullptr, "o.mp3"); // no parameter copy: no call at all
            QCOMPARE(g_tags.calls, c.calls);
        }
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
