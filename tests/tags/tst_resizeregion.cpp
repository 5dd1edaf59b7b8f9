#include "faultinjectingstream.h"
#include "growablememorystream.h"
#include "resizeregion.h"
#include "tagmemorystream.h"
#include "tagtesthelpers.h"
#include "testhome.h"

using namespace TagTest;

namespace {

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 131) ^ (i >> 8));
    return bytes;
}

// The expected result: the bytes behind the region move, the region keeps its old head.
std::vector<uint8_t> Model(const std::vector<uint8_t> &before, size_t position, size_t oldLength, size_t newLength,
                           std::vector<bool> *known)
{
    std::vector<uint8_t> after(before.size() - oldLength + newLength);
    known->assign(after.size(), true);
    std::copy(before.begin(), before.begin() + position, after.begin());
    std::copy(before.begin() + position + oldLength, before.end(), after.begin() + position + newLength);
    for (size_t i = position; i < position + newLength; ++i)
        (*known)[i] = false;
    return after;
}

} // namespace

class TestResizeRegion : public QObject
{
    Q_OBJECT

private slots:
    void movesBytesExactly_data();
    void movesBytesExactly();
    void equalLengthsTouchNothing();
    void rejectsBadRegions_data();
    void rejectsBadRegions();
    void everyInjectedFailureIsReported_data();
    void everyInjectedFailureIsReported();
    void clippingStreamIsAFailure();
};

void TestResizeRegion::movesBytesExactly_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("oldLength");
    QTest::addColumn<int>("newLength");
    QTest::newRow("grow by more than a step") << 30000 << 1000 << 100 << 12000;
    QTest::newRow("shrink by more than a step") << 30000 << 1000 << 12000 << 100;
    QTest::newRow("grow at the head") << 20000 << 0 << 0 << 8193;
    QTest::newRow("shrink to nothing at the head") << 20000 << 0 << 8192 << 0;
    QTest::newRow("grow by one around a step") << 8192 + 10 << 10 << 0 << 1;
    QTest::newRow("shrink by exactly a step") << 8192 * 3 << 5 << 8192 << 0;
    QTest::newRow("remove at the very end") << 5000 << 4000 << 1000 << 0;
    QTest::newRow("insert at the very end") << 5000 << 5000 << 0 << 300;
}

void TestResizeRegion::movesBytesExactly()
{
    QFETCH(int, size);
    QFETCH(int, position);
    QFETCH(int, oldLength);
    QFETCH(int, newLength);
    const std::vector<uint8_t> before = Pattern(static_cast<size_t>(size));
    GrowableMemoryStream stream(before);
    QCOMPARE(ResizeRegion(&stream, position, oldLength, newLength), 0);
    std::vector<bool> known;
    const std::vector<uint8_t> expected = Model(before, position, oldLength, newLength, &known);
    QCOMPARE(stream.Bytes().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        if (known[i] && stream.Bytes()[i] != expected[i])
            QFAIL(qPrintable(QString("byte %1 differs").arg(i)));
    }
}

void TestResizeRegion::equalLengthsTouchNothing()
{
    GrowableMemoryStream memory(Pattern(100));
    FaultInjectingStream counting(&memory);
    QCOMPARE(ResizeRegion(&counting, 10, 20, 20), 0);
    QCOMPARE(counting.Calls(FaultInjectingStream::OpWrite), 0);
    QCOMPARE(counting.Calls(FaultInjectingStream::OpSetSize), 0);
}

void TestResizeRegion::rejectsBadRegions_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<qint64>("oldLength");
    QTest::addColumn<qint64>("newLength");
    QTest::newRow("past the end") << qint64(90) << qint64(20) << qint64(0);
    QTest::newRow("negative position") << qint64(-1) << qint64(0) << qint64(4);
    QTest::newRow("negative length") << qint64(0) << qint64(-4) << qint64(4);
    QTest::newRow("huge length") << qint64(0) << qint64(0) << (qint64(1) << 62);
}

void TestResizeRegion::rejectsBadRegions()
{
    QFETCH(qint64, position);
    QFETCH(qint64, oldLength);
    QFETCH(qint64, newLength);
    GrowableMemoryStream stream(Pattern(100));
    QCOMPARE(ResizeRegion(&stream, position, oldLength, newLength), -1);
    QCOMPARE(stream.Bytes(), Pattern(100));
    QCOMPARE(ResizeRegion(nullptr, 0, 0, 1), -1);
}

void TestResizeRegion::everyInjectedFailureIsReported_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("oldLength");
    QTest::addColumn<int>("newLength");
    for (int op : {FaultInjectingStream::OpRead, FaultInjectingStream::OpWrite, FaultInjectingStream::OpSeek,
                   FaultInjectingStream::OpSetSize, FaultInjectingStream::OpShortWrite}) {
        QTest::addRow("op %d grow", op) << op << 10 << 9000;
        QTest::addRow("op %d shrink", op) << op << 9000 << 10;
    }
}

void TestResizeRegion::everyInjectedFailureIsReported()
{
    QFETCH(int, operation);
    QFETCH(int, oldLength);
    QFETCH(int, newLength);
    for (int n = 1;; ++n) {
        GrowableMemoryStream memory(Pattern(30000));
        FaultInjectingStream stream(&memory);
        stream.FailAt(static_cast<FaultInjectingStream::Operation>(operation), n);
        const int result = ResizeRegion(&stream, 100, oldLength, newLength);
        if (!stream.Fired()) {
            QCOMPARE(result, 0);
            QVERIFY(n > 1);
            break;
        }
        QCOMPARE(result, -1);
    }
}

void TestResizeRegion::clippingStreamIsAFailure()
{
    std::vector<uint8_t> block = Pattern(100);
    TagMemoryStream stream(block.data(), 100);
    QCOMPARE(ResizeRegion(&stream, 10, 0, 5), -1);
}

GLINTORA_TEST_MAIN_CORE(TestResizeRegion)
#include "tst_resizeregion.moc"
