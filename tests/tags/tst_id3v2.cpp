#include "growablememorystream.h"
#include "id3v2tagformat.h"
#include "tagtesthelpers.h"
#include "testhome.h"

using namespace TagTest;

namespace {

QByteArray Synchsafe(quint32 v)
{
    QByteArray out;
    for (int shift = 21; shift >= 0; shift -= 7)
        out.append(static_cast<char>((v >> shift) & 0x7F));
    return out;
}

QByteArray Frame(const QByteArray &id, const QByteArray &body, int version = 3, const QByteArray &flags = QByteArray(2, 0))
{
    if (version == 2)
        return id + Be32(body.size()).mid(1) + body;
    return id + (version == 4 ? Synchsafe(body.size()) : Be32(body.size())) + flags + body;
}

QByteArray Tag(const QByteArray &frames, int version = 3, char flags = 0)
{
    return QByteArray("ID3") + char(version) + '\0' + flags + Synchsafe(frames.size()) + frames;
}

QByteArray Unsynchronise(const QByteArray &data)
{
    QByteArray out;
    for (int i = 0; i < data.size(); ++i) {
        out.append(data[i]);
        if (uchar(data[i]) == 0xFF && (i + 1 == data.size() || uchar(data[i + 1]) == 0 || uchar(data[i + 1]) >= 0xE0))
            out.append('\0');
    }
    return out;
}

const QByteArray kJpeg = QByteArray("\xFF\xD8\xFF\x00\xFF\xE0jpegdata\xFF", 15);
const QByteArray kAudio = QByteArray("\xFF\xFB\x90\x00", 4) + QByteArray(400, 'm');

QStringList Fields(TagFieldSet *set)
{
    QStringList out;
    for (int i = 0; i < set->Count(); ++i) {
        const TagField f = set->GetAt(i);
        out << QString("%1:%2").arg(f.kind).arg(f.valueType == TagValueText ? Text(f) : QString::fromLatin1(Bytes(f).toHex()));
    }
    return out;
}

QStringList Load(const QByteArray &file, uint32_t *tagLength = nullptr)
{
    GrowableMemoryStream stream(Vector(file));
    int result = -5;
    Id3v2TagFormat handler(&stream, &result);
    if (result != 0)
        return {"<failed>"};
    if (tagLength)
        *tagLength = handler.TagLength();
    return Fields(handler.GetFieldSet());
}

} // namespace

class TestId3v2 : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void tagLengthCountsFooter();
    void oddVersionKeepsLengthOnly();
    void saveInsertsTagAndMovesAudio();
    void saveFrameBodies();
    void saveSelectsFields();
    void saveEmptyRemovesTag();
    void saveRoundTrips();
    void saveKeepsForeignFrames();
};

void TestId3v2::load_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("fields");
    const QString jpegHex = QString::fromLatin1(kJpeg.toHex());
    const QByteArray utf16Title = QByteArray("\x01\xFF\xFET\0i\0", 7);
    QTest::newRow("version 2.2")
        << Tag(Frame("TT2", B("\0Two"), 2) + Frame("PIC", B("\0JPG\x03" "d\0") + kJpeg, 2) + Frame("XXX", "zz", 2), 2) + kAudio
        << QStringList{"0:Two", "9:" + jpegHex};
    QTest::newRow("version 2.4 with extended header and footer")
        << QByteArray("ID3\x04\0\x50", 6) + Synchsafe(6 + 15) + Synchsafe(6) + QByteArray("\x01\x00", 2)
               + Frame("TDRC", "\x03" "2024", 4) + QByteArray("3DI\x04\0\x10", 6) + Synchsafe(21) + kAudio
        << QStringList{"4:2024"};
    QTest::newRow("version 2.3 extended header")
        << Tag(Be32(6) + QByteArray(6, 0) + Frame("TIT2", utf16Title), 3, 0x40) << QStringList{"0:Ti"};
    QTest::newRow("utf-8 mark overrides") << Tag(Frame("TIT2", "\x03\xEF\xBB\xBF\xC3\xA9t\xC3\xA9"), 4)
                                          << QStringList{QString::fromUtf8("0:\xC3\xA9t\xC3\xA9")};
    QTest::newRow("utf-16be") << Tag(Frame("TPE1", QByteArray("\x02\0A\0B", 5))) << QStringList{"1:AB"};
    QTest::newRow("latin text as 8-bit") << Tag(Frame("TALB", B("\0\xA9 Album"))) << QStringList{QString::fromUtf8("2:\xC2\xA9 Album")};
    QTest::newRow("comment with description")
        << Tag(Frame("COMM", QByteArray("\x01" "eng\xFF\xFE" "d\0\0\0\xFF\xFE" "c\0", 14))) << QStringList{"6:c"};
    QTest::newRow("comment without terminator") << Tag(Frame("COMM", QByteArray("\x01" "engdd", 6))) << QStringList{};
    QTest::newRow("unsynchronised picture")
        << Tag(Unsynchronise(Frame("APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + kJpeg)), 3, char(0x80))
        << QStringList{"9:" + jpegHex};
    QTest::newRow("data-length indicator and frame unsynchronisation")
        << Tag(Frame("TIT2", Be32(7) + Unsynchronise(B("\x01\xFF\xFE\xFF\0\0\0")), 4, QByteArray("\0\x03", 2)), 4)
        << QStringList{QString::fromUtf8("0:\xC3\xBF")};
    QTest::newRow("grouped and compressed frames")
        << Tag(Frame("TIT2", B("G\0grouped"), 3, QByteArray("\0\x20", 2)) + Frame("TALB", B("xxxxx\0zz"), 3, QByteArray("\0\x80", 2)))
        << QStringList{"0:grouped"};
    QTest::newRow("capital image mime in GEOB")
        << Tag(Frame("GEOB", B("\0IMAGE/JPEG\0f.jpg\0desc\0") + kJpeg) + Frame("GEOB", B("\0application/x\0f\0d\0data")))
        << QStringList{"9:" + jpegHex};
    QTest::newRow("mime without terminator") << Tag(Frame("APIC", B("\0image/jpeg"))) << QStringList{};
    QTest::newRow("padding stops the walk") << Tag(Frame("TIT2", B("\0A")) + QByteArray(30, 0) ) << QStringList{"0:A"};
    QTest::newRow("frame past the tag ends the walk")
        << Tag(Frame("TIT2", B("\0A")) + "TPE1" + Be32(999) + QByteArray(2, 0) + B("\0B")) << QStringList{"0:A"};
    QTest::newRow("size that wraps in 32 bits")
        << Tag(Frame("TIT2", B("\0A")) + "TPE1" + Be32(0xFFFFFFF6) + QByteArray(2, 0) + Frame("TALB", B("\0C"))) << QStringList{"0:A"};
    QTest::newRow("no tag") << kAudio << QStringList{};
}

void TestId3v2::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, fields);
    QCOMPARE(Load(file), fields);
}

void TestId3v2::tagLengthCountsFooter()
{
    uint32_t length = 0;
    Load(QByteArray("ID3\x04\0\x10", 6) + Synchsafe(8) + Frame("TIT2", "\0", 4).left(8) + QByteArray(10, 0) + kAudio, &length);
    QCOMPARE(length, 28u);
    Load(kAudio, &length);
    QCOMPARE(length, 0u);
}

void TestId3v2::oddVersionKeepsLengthOnly()
{
    const QByteArray file = QByteArray("ID3\x01\0\0", 6) + Synchsafe(20) + Frame("TIT2", QByteArray(10, 'x')) + kAudio;
    uint32_t length = 0;
    QCOMPARE(Load(file, &length), QStringList{});
    QCOMPARE(length, 30u);
    GrowableMemoryStream stream(Vector(file));
    int result;
    Id3v2TagFormat handler(&stream, &result);
    const std::wstring title = L"New";
    handler.GetFieldSet()->Add(TextField(TagKindTitle, title, 1));
    QCOMPARE(handler.Save(), 0);
    QVERIFY(Array(stream.Bytes()).endsWith(kAudio));
    QVERIFY(Array(stream.Bytes()).startsWith("ID3\x03"));
    QCOMPARE(Array(stream.Bytes()).size(), 10 + 10 + 4 + kAudio.size());
}

void TestId3v2::saveInsertsTagAndMovesAudio()
{
    GrowableMemoryStream stream(Vector(kAudio));
    int result;
    Id3v2TagFormat handler(&stream, &result);
    const std::wstring title = L"T";
    handler.GetFieldSet()->Add(TextField(TagKindTitle, title, 1));
    QCOMPARE(handler.Save(), 0);
    const QByteArray expected = QByteArray("ID3\x03\0\0", 6) + Synchsafe(12) + "TIT2" + Be32(2) + QByteArray(2, 0)
        + QByteArray("\0T", 2) + kAudio;
    QCOMPARE(Array(stream.Bytes()), expected);
    QCOMPARE(handler.TagLength(), 22u);
}

void TestId3v2::saveFrameBodies()
{
    qputenv("LANG", "de_DE.UTF-8");
    GrowableMemoryStream stream(Vector(kAudio));
    int result;
    Id3v2TagFormat handler(&stream, &result);
    const std::wstring comment = L"c";
    const std::wstring emoji = L"\U0001F600";
    handler.GetFieldSet()->Add(TextField(TagKindComment, comment, 1));
    handler.GetFieldSet()->Add(BinaryField(TagKindPicture, kJpeg, 1));
    handler.GetFieldSet()->Add(TextField(TagKindComposer, emoji, 1));
    QCOMPARE(handler.Save(), 0);
    qunsetenv("LANG");
    const QByteArray bytes = Array(stream.Bytes());
    QVERIFY(bytes.contains("COMM" + Be32(6) + QByteArray(2, 0) + QByteArray("\0ger\0c", 6)));
    QVERIFY(bytes.contains("APIC" + Be32(10 + 9 + kJpeg.size()) + QByteArray(2, 0)
                           + QByteArray("\x01image/jpeg\0\x03\xFF\xFE" "e\0\0\0", 19) + kJpeg));
    // A character beyond the BMP takes a surrogate pair: four bytes.
    QVERIFY(bytes.contains("TCOM" + Be32(7) + QByteArray(2, 0) + QByteArray("\x01\xFF\xFE\x3D\xD8\x00\xDE", 7)));
}

void TestId3v2::saveSelectsFields()
{
    GrowableMemoryStream stream(Vector(kAudio));
    int result;
    Id3v2TagFormat handler(&stream, &result);
    TagFieldSet *set = handler.GetFieldSet();
    const std::wstring first = L"First";
    const std::wstring second = L"Second";
    set->Add(TextField(TagKindTitle, first, 1));
    set->Add(TextField(TagKindTitle, second, 1));
    set->Add(BinaryField(TagKindPicture, "RIFF....WEBPVP8 ", 1));
    set->Add(TextField(TagKindGrouping, first, 1));
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Fields(set), (QStringList{"0:First", "0:Second"}));
    QVERIFY(!Array(stream.Bytes()).contains("APIC"));
    QVERIFY(Array(stream.Bytes()).contains("TIT2" + Be32(13) + QByteArray(2, 0) + QByteArray("\0First/Second", 13)));
}

void TestId3v2::saveEmptyRemovesTag()
{
    GrowableMemoryStream tagged(Vector(Tag(Frame("TIT2", B("\0A"))) + kAudio));
    int result;
    Id3v2TagFormat handler(&tagged, &result);
    handler.GetFieldSet()->Clear();
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Array(tagged.Bytes()), kAudio);
    QCOMPARE(handler.Save(), 1);
}

void TestId3v2::saveRoundTrips()
{
    GrowableMemoryStream stream(Vector(Tag(Frame("TIT2", B("\0Old")) + Frame("TPOS", B("\0" "1/2")) + Frame("TPE2", B("\0AA"))) + kAudio));
    int result;
    Id3v2TagFormat handler(&stream, &result);
    const QStringList before = Fields(handler.GetFieldSet());
    QCOMPARE(handler.Save(), 0);
    const std::vector<uint8_t> once = stream.Bytes();
    QCOMPARE(handler.Reload(), 0);
    QCOMPARE(Fields(handler.GetFieldSet()), before);
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(stream.Bytes(), once);
}

// Frames that carry no field come back byte for byte behind the fields' frames; a 2.4 tag keeps
// its version, and its tag-wide unsynchronisation flag moves onto the kept frame.
void TestId3v2::saveKeepsForeignFrames()
{
    // A compressed frame of a known kind cannot be read here: it is kept like a foreign one.
    const QByteArray chapter = Frame("CHAP", B("ch0\0\0\0\0\0\0\0\x03\xE8\0\0\0\0\0\0\0\0"), 4)
        + Frame("TPE1", B("\0\0\0\x05xx"), 4, B("\0\x09"));
    GrowableMemoryStream stream(Vector(Tag(Frame("TIT2", B("\0Old"), 4) + chapter, 4, '\x80') + kAudio));
    int result;
    Id3v2TagFormat handler(&stream, &result);
    QByteArray kept = chapter;
    kept[9] = 0x02;
    kept[30 + 9] = 0x0B;
    handler.GetFieldSet()->Clear();
    handler.GetFieldSet()->Add(TextField(TagKindTitle, L"T", 1));
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Array(stream.Bytes()), Tag(Frame("TIT2", B("\0T"), 4) + kept, 4) + kAudio);
    handler.GetFieldSet()->Clear();
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Array(stream.Bytes()), Tag(kept, 4) + kAudio);
}

GLINTORA_TEST_MAIN_CORE(TestId3v2)
#include "tst_id3v2.moc"
