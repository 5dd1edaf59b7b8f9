#include "audioframe.h"
#include "growablememorystream.h"
#include "tagbase64.h"
#include "tagtesthelpers.h"
#include "testhome.h"

#include <QRandomGenerator>

using namespace TagTest;

namespace {

// An MPEG-1 Layer III frame at 128 kbit/s, 44100 Hz, stereo: 417 bytes.
QByteArray MpegFrame()
{
    QByteArray frame(417, '\x11');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\x00';
    return frame;
}

QByteArray Id3Header(quint32 size, char flags = 0)
{
    QByteArray header("ID3\x03\x00", 5);
    header.append(flags);
    for (int shift = 21; shift >= 0; shift -= 7)
        header.append(static_cast<char>((size >> shift) & 0x7F));
    return header;
}

int Scan(const QByteArray &bytes, int (*scan)(TagStream *))
{
    GrowableMemoryStream stream(Vector(bytes));
    return scan(&stream);
}
} // namespace

class TestAudioFrame : public QObject
{
    Q_OBJECT

private slots:
    void headers_data();
    void headers();
    void leadingTagSize();
    void mpegScan_data();
    void mpegScan();
    void adtsScan();
    void apeScan_data();
    void apeScan();
    void base64Limits();
    void base64MatchesCoreutils();
};

void TestAudioFrame::headers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("decoder"); // 0 plain, 1 strict, 2 ADTS
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("frameLength");
    QTest::newRow("mpeg-1 layer 3") << QByteArray("\xFF\xFB\x90\x00", 4) << 0 << 0 << 44100 << 2 << 417;
    QTest::newRow("mpeg-1 layer 3 strict") << QByteArray("\xFF\xFB\x90\x00", 4) << 1 << 0 << 44100 << 2 << 417;
    QTest::newRow("mpeg-2 mono padded") << QByteArray("\xFF\xF3\x52\xC0", 4) << 0 << 0 << 22050 << 1 << 131;
    QTest::newRow("bitrate index 15") << QByteArray("\xFF\xFB\xF0\x00", 4) << 0 << -1 << 0 << 0 << 0;
    QTest::newRow("sample-rate index 3") << QByteArray("\xFF\xFB\x9C\x00", 4) << 1 << -1 << 0 << 0 << 0;
    QTest::newRow("mpeg-2.5 at 80 kbit/s") << QByteArray("\xFF\xE3\x90\x00", 4) << 1 << -1 << 0 << 0 << 0;
    QTest::newRow("emphasis 2") << QByteArray("\xFF\xFB\x90\x02", 4) << 0 << -1 << 0 << 0 << 0;
    QTest::newRow("layer 2 is not layer 3") << QByteArray("\xFF\xFD\x80\x00", 4) << 0 << -1 << 0 << 0 << 0;
    QTest::newRow("layer 2 stereo 128k") << QByteArray("\xFF\xFD\x80\x00", 4) << 1 << 0 << 44100 << 2 << 417;
    QTest::newRow("layer 2 stereo 48k") << QByteArray("\xFF\xFD\x20\x00", 4) << 1 << -1 << 0 << 0 << 0;
    QTest::newRow("layer 1 288k") << QByteArray("\xFF\xFF\x90\x00", 4) << 1 << 0 << 44100 << 2 << 312;
    QTest::newRow("adts") << QByteArray("\xFF\xF1\x50\x80\x19\x1F\xFC", 7) << 2 << 0 << 44100 << 2 << 200;
    QTest::newRow("adts no channels") << QByteArray("\xFF\xF1\x50\x00\x19\x1F\xFC", 7) << 2 << -1 << 0 << 0 << 0;
    QTest::newRow("adts too short") << QByteArray("\xFF\xF1\x50\x80\x00\xFF\xFC", 7) << 2 << -1 << 0 << 0 << 0;
}

void TestAudioFrame::headers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, decoder);
    QFETCH(int, result);
    QFETCH(int, sampleRate);
    QFETCH(int, channels);
    QFETCH(int, frameLength);
    AudioFrameHeader header;
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    const int got = decoder == 0 ? ParseMpegFrameHeader(b, &header)
        : decoder == 1           ? ParseMpegFrameHeaderStrict(b, &header)
                                 : ParseAdtsFrameHeader(b, &header);
    QCOMPARE(got, result);
    if (result == 0) {
        QCOMPARE(header.sampleRate, sampleRate);
        QCOMPARE(header.channels, channels);
        QCOMPARE(header.frameLength, frameLength);
    }
}

void TestAudioFrame::leadingTagSize()
{
    QByteArray footer = Id3Header(257, 0x10) + QByteArray(300, 0);
    GrowableMemoryStream stream(Vector(footer));
    QCOMPARE(GetId3v2TagSize(&stream), 277);
    QCOMPARE(stream.Tell(), int64_t(277));
    GrowableMemoryStream none(Vector("XYZ" + QByteArray(20, 0)));
    QCOMPARE(GetId3v2TagSize(&none), -1);
    GrowableMemoryStream ea3(Vector(QByteArray("ea3\x03\0\0\0\0\0\x10", 10) + QByteArray(16, 0)
                                    + QByteArray("EA3\x01\x00\x60", 6)));
    QCOMPARE(GetEa3TagSize(&ea3), 26);
    QCOMPARE(CheckEa3Header(&ea3), 26);
}

void TestAudioFrame::mpegScan_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("start");
    const QByteArray frame = MpegFrame();
    const QByteArray tag = Id3Header(4096) + QByteArray(4096, 0);
    QTest::newRow("two frames and the end") << frame + frame << 0;
    QTest::newRow("two frames and ID3v1") << frame + frame + "TAG" + QByteArray(125, 0) << 0;
    QTest::newRow("two frames and APE") << frame + frame + "APETAGEX" << 0;
    QTest::newRow("three frames") << frame + frame + frame + "x" << 0;
    QTest::newRow("behind a tag") << tag + frame + frame + frame << 4106;
    QTest::newRow("junk then frames") << QByteArray(700, 'j') + frame + frame << 700;
    QTest::newRow("too much junk") << tag + QByteArray(1500, 'j') + frame + frame << -1;
    QTest::newRow("one frame") << frame << -1;
    QTest::newRow("two frames then junk") << frame + frame + "junkjunk" << -1;
}

void TestAudioFrame::mpegScan()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, start);
    QCOMPARE(Scan(bytes, FindMpegAudioStartStrict), start);
    QCOMPARE(Scan(bytes, FindMpegAudioStart), start);
}

void TestAudioFrame::adtsScan()
{
    QByteArray frame(200, '\x22');
    frame.replace(0, 7, QByteArray("\xFF\xF1\x50\x80\x19\x1F\xFC", 7));
    QCOMPARE(Scan(frame + frame, FindAdtsAudioStart), 0);
    QCOMPARE(Scan(Id3Header(10) + QByteArray(10, 0) + QByteArray(3, 'x') + frame + frame + frame, FindAdtsAudioStart), 23);
    QCOMPARE(Scan(frame + frame + "APETAGEX", FindAdtsAudioStart), 0);
    QCOMPARE(Scan(frame + frame + "APETAGz", FindAdtsAudioStart), -1);
    QCOMPARE(Scan(MpegFrame() + MpegFrame(), FindAdtsAudioStart), -1);
}

void TestAudioFrame::apeScan_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("start");
    const QByteArray descriptor = "MAC " + Le16(3990) + Le16(0) + Le32(52) + QByteArray(40, 0);
    const QByteArray header = Le16(2000) + Le16(0) + QByteArray(12, 0) + Le16(16) + Le16(2) + Le32(44100);
    QTest::newRow("descriptor layout") << descriptor + header + QByteArray(100, 0) << 0;
    QTest::newRow("behind a tag") << Id3Header(20) + QByteArray(20, 0) + descriptor + header << 30;
    QTest::newRow("old layout") << "MAC " + Le16(3970) + Le16(2000) + Le16(0) + Le16(2) + Le32(44100) + QByteArray(40, 0) << 0;
    QTest::newRow("old layout nine channels") << "MAC " + Le16(3970) + Le16(2000) + Le16(0) + Le16(9) + Le32(44100) + QByteArray(40, 0) << -1;
    QTest::newRow("odd bits per sample") << descriptor + Le16(2000) + Le16(0) + QByteArray(12, 0) + Le16(12) + Le16(2) + Le32(44100) << -1;
    QTest::newRow("short descriptor") << "MAC " + Le16(3990) + Le16(0) + Le32(4) + QByteArray(60, 0) << -1;
    QTest::newRow("huge descriptor") << "MAC " + Le16(3990) + Le16(0) + Le32(0xFFFFFFF0) + QByteArray(60, 0) << -1;
}

void TestAudioFrame::apeScan()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, start);
    QCOMPARE(Scan(bytes, FindApeAudioStart), start);
}

void TestAudioFrame::base64Limits()
{
    const unsigned char three[] = {1, 2, 3};
    char out[16];
    QCOMPARE(Base64Encode(three, 3, out, 8), 4);
    QCOMPARE(QByteArray(out, 4), QByteArray("AQID"));
    QCOMPARE(Base64Encode(three, 3, out, 4), -1);
    unsigned char decoded[8];
    QCOMPARE(Base64Decode("AQ ID", 5, decoded, 8), -1);
    QCOMPARE(Base64Decode("AQID\r\n", 6, decoded, 4), 3);
    QCOMPARE(Base64Decode("AQID\r\n", 6, decoded, 3), -1);
    QCOMPARE(Base64Decode("AQ==junk", 8, decoded, 4), 1);
    QCOMPARE(decoded[0], 1);
    QCOMPARE(Base64Decode("AQID", 4, decoded, 0), -1);
}

void TestAudioFrame::base64MatchesCoreutils()
{
    RequireTools({"base64"});
    QRandomGenerator random(7);
    for (int length = 0; length <= 300; length += 1 + length / 16) {
        QByteArray input(length, '\0');
        for (char &c : input)
            c = static_cast<char>(random.bounded(256));
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(input);
        file.flush();
        const QByteArray expected = Run("base64", {"-w", "0", file.fileName()});
        QByteArray encoded(expected.size() + 8, '\0');
        const int written = Base64Encode(reinterpret_cast<const unsigned char *>(input.constData()), length,
                                         encoded.data(), encoded.size());
        QCOMPARE(encoded.left(written), expected);
        QByteArray decoded(length + 1, '\0');
        QCOMPARE(Base64Decode(expected.constData(), expected.size(), reinterpret_cast<unsigned char *>(decoded.data()),
                              decoded.size()),
                 length);
        QCOMPARE(decoded.left(length), input);
    }
}

GLINTORA_TEST_MAIN_CORE(TestAudioFrame)
#include "tst_audioframe.moc"
