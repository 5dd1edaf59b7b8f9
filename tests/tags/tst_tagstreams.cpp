#include "faultinjectingstream.h"
#include "growablememorystream.h"
#include "tagbufferedstream.h"
#include "tagfilestream.h"
#include "tagmemorystream.h"
#include "tagrangestream.h"
#include "tagtesthelpers.h"
#include "testhome.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace TagTest;

class TestTagStreams : public QObject
{
    Q_OBJECT

private slots:
    void fileStreamModes_data();
    void fileStreamModes();
    void fileStreamSetSizeLeavesPositionAtEnd();
    void fileStreamPathBeyondBmp();
    void memoryStreamClips();
    void rangeStreamShiftsPositions();
    void rangeStreamWithEndStopsReads();
    void bufferedMatchesFileStream();
    void bufferedBackwardSeekNeedsNoSourceRead();
    void bufferedIsReadOnly();

private:
    QTemporaryDir m_dir;
};

void TestTagStreams::fileStreamModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("writable");
    QTest::newRow("read-only") << 0 << true << 0 << false;
    QTest::newRow("read-write") << 1 << true << 0 << true;
    QTest::newRow("read-write missing") << 1 << false << -1 << false;
    QTest::newRow("create missing") << 2 << false << 0 << true;
    QTest::newRow("bad mode") << 3 << true << -1 << false;
}

void TestTagStreams::fileStreamModes()
{
    QFETCH(int, mode);
    QFETCH(bool, exists);
    QFETCH(int, result);
    QFETCH(bool, writable);
    const QString path = m_dir.filePath(QString("mode-%1").arg(QTest::currentDataTag()));
    if (exists)
        WriteFile(path, "hello");
    int opened = 7;
    TagFileStream stream(Wide(path).c_str(), mode, &opened);
    QCOMPARE(opened, result);
    if (result != 0) {
        char byte;
        QCOMPARE(stream.Read(&byte, 1), -1);
        QCOMPARE(stream.Size(), int64_t(-1));
        QCOMPARE(stream.Seek(0), int64_t(-1));
        QCOMPARE(stream.Tell(), int64_t(-1));
        return;
    }
    QCOMPARE(stream.Write("abc", 3), writable ? 3 : -1);
    // Mode 2 truncates an existing file.
    QCOMPARE(stream.Size(), writable ? int64_t(mode == 2 ? 3 : 5) : int64_t(5));

    int nullResult = 0;
    TagFileStream none(nullptr, 0, &nullResult);
    QCOMPARE(nullResult, -1);
}

void TestTagStreams::fileStreamSetSizeLeavesPositionAtEnd()
{
    const QString path = m_dir.filePath("setsize");
    WriteFile(path, QByteArray(100, 'x'));
    int result;
    TagFileStream stream(Wide(path).c_str(), 1, &result);
    QCOMPARE(stream.Seek(10), int64_t(10));
    QCOMPARE(stream.SetSize(40), int64_t(40));
    QCOMPARE(stream.Tell(), int64_t(40));
    QCOMPARE(stream.Seek(5), int64_t(5));
    QCOMPARE(stream.Size(), int64_t(40));
    QCOMPARE(stream.Tell(), int64_t(5));
}

void TestTagStreams::fileStreamPathBeyondBmp()
{
    const QString name = QString::fromUcs4(U"tag-\U0001F3B5-\u00e9.mp3");
    const QString path = m_dir.filePath(name);
    int result;
    {
        TagFileStream stream(Wide(path).c_str(), 2, &result);
        QCOMPARE(result, 0);
        QCOMPARE(stream.Write("1234", 4), 4);
    }
    QCOMPARE(ReadFile(path), QByteArray("1234"));
    QVERIFY(QFile::encodeName(path).contains("\xF0\x9F\x8E\xB5"));
}

void TestTagStreams::memoryStreamClips()
{
    char block[8] = {};
    TagMemoryStream stream(block, 8);
    QCOMPARE(stream.Seek(6), int64_t(6));
    QCOMPARE(stream.Write("abcd", 4), 2);
    QCOMPARE(QByteArray(block + 6, 2), QByteArray("ab"));
    QCOMPARE(stream.SetSize(20), int64_t(8));
    QCOMPARE(stream.SetSize(4), int64_t(4));
    QCOMPARE(stream.Tell(), int64_t(4));
    QCOMPARE(stream.Seek(100), int64_t(4));
    char out[8];
    QCOMPARE(stream.Read(out, 8), 0);

    TagMemoryStream none(nullptr, 8);
    QCOMPARE(none.Read(out, 1), -1);
    QCOMPARE(none.Size(), int64_t(-1));
}

void TestTagStreams::rangeStreamShiftsPositions()
{
    GrowableMemoryStream source(std::vector<uint8_t>(1000));
    source.Seek(100);
    source.Write("Z", 1);
    TagRangeStream range(&source, 100);
    QCOMPARE(range.Size(), int64_t(900));
    QCOMPARE(range.Seek(0), int64_t(0));
    QCOMPARE(source.Tell(), int64_t(100));
    char byte = 0;
    QCOMPARE(range.Read(&byte, 1), 1);
    QCOMPARE(byte, 'Z');
    QCOMPARE(range.Tell(), int64_t(1));
    QCOMPARE(range.SetSize(50), int64_t(50));
    QCOMPARE(source.Size(), int64_t(150));

    TagRangeStream none(nullptr, 0);
    QCOMPARE(none.Tell(), int64_t(-1));
}

void TestTagStreams::rangeStreamWithEndStopsReads()
{
    GrowableMemoryStream source(std::vector<uint8_t>(100, 7));
    TagRangeStream range(&source, 10, 30);
    QCOMPARE(range.Size(), int64_t(20));
    char buffer[64];
    QCOMPARE(range.Seek(15), int64_t(15));
    QCOMPARE(range.Read(buffer, 64), 5);
    QCOMPARE(range.Read(buffer, 64), 0);
}

// A random walk of reads and seeks must see exactly what the plain file stream sees.
void TestTagStreams::bufferedMatchesFileStream()
{
    QByteArray content(50000, '\0');
    QRandomGenerator random(1234);
    for (char &c : content)
        c = static_cast<char>(random.bounded(256));
    const QString path = m_dir.filePath("differential");
    WriteFile(path, content);
    int result;
    TagFileStream plain(Wide(path).c_str(), 0, &result);
    TagFileStream underlying(Wide(path).c_str(), 0, &result);
    TagBufferedStream buffered(&underlying);
    std::vector<char> a(10000);
    std::vector<char> b(10000);
    for (int step = 0; step < 3000; ++step) {
        if (random.bounded(3) == 0) {
            const int64_t target = random.bounded(52000);
            QCOMPARE(buffered.Seek(target), plain.Seek(target));
        } else {
            const int count = random.bounded(2) ? random.bounded(64) : random.bounded(9000);
            const int got = buffered.Read(a.data(), count);
            QCOMPARE(got, plain.Read(b.data(), count));
            QVERIFY(std::equal(a.begin(), a.begin() + got, b.begin()));
        }
        QCOMPARE(buffered.Tell(), plain.Tell());
    }
}

void TestTagStreams::bufferedBackwardSeekNeedsNoSourceRead()
{
    std::vector<uint8_t> content(10000);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<uint8_t>(i * 7);
    GrowableMemoryStream memory(content);
    FaultInjectingStream counting(&memory);
    TagBufferedStream buffered(&counting);
    char first[10];
    char again[10];
    QCOMPARE(buffered.Seek(100), int64_t(100));
    QCOMPARE(buffered.Read(first, 10), 10);
    QCOMPARE(buffered.Read(first, 10), 10);
    const int reads = counting.Calls(FaultInjectingStream::OpRead);
    const int seeks = counting.Calls(FaultInjectingStream::OpSeek);
    QCOMPARE(buffered.Seek(buffered.Tell() - 5 - 5), int64_t(110));
    QCOMPARE(buffered.Read(again, 10), 10);
    QCOMPARE(QByteArray(again, 10), QByteArray(first, 10));
    QCOMPARE(counting.Calls(FaultInjectingStream::OpRead), reads);
    QCOMPARE(counting.Calls(FaultInjectingStream::OpSeek), seeks);
}

void TestTagStreams::bufferedIsReadOnly()
{
    GrowableMemoryStream memory(std::vector<uint8_t>(10));
    TagBufferedStream buffered(&memory);
    QCOMPARE(buffered.Write("a", 1), -1);
    TagBufferedStream none(nullptr);
    char byte;
    QCOMPARE(none.Read(&byte, 1), -1);
    QCOMPARE(none.Seek(0), int64_t(-1));
}

GLINTORA_TEST_MAIN_CORE(TestTagStreams)
#include "tst_tagstreams.moc"
