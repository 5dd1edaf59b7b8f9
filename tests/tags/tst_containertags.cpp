#include "asftagformat.h"
#include "growablememorystream.h"
#include "mp4tagformat.h"
#include "riffinfotagformat.h"
#include "tagfieldset.h"
#include "tagtesthelpers.h"
#include "testhome.h"

#include <QtEndian>

using namespace TagTest;

namespace {

QByteArray Mp4Atom(const QByteArray &type, const QByteArray &body)
{
    return Be32(body.size() + 8) + type + body;
}

QByteArray Mp4Item(const QByteArray &type, const QByteArray &value)
{
    return Mp4Atom(type, Mp4Atom("data", Be32(0) + Be32(0) + value));
}

// "ftyp", a "moov" with one track whose chunk offset points at the "mdat" behind it.
QByteArray Mp4File(const QByteArray &udta, quint32 chunkOffset, const QByteArray &extra = QByteArray())
{
    const QByteArray stco = Mp4Atom("stco", Be32(0) + Be32(1) + Be32(chunkOffset));
    const QByteArray trak = Mp4Atom("trak", Mp4Atom("mdia", Mp4Atom("minf", Mp4Atom("stbl", stco))));
    return Mp4Atom("ftyp", "M4A " + Be32(0)) + Mp4Atom("moov", trak + extra + udta) + Mp4Atom("mdat", "audio");
}

QByteArray RiffFile(const QByteArray &chunks, int sizeAdjust = 0)
{
    return "RIFF" + Le32(chunks.size() + 4 + sizeAdjust) + "WAVE" + chunks;
}

QByteArray Utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), 2 * text.size()) + QByteArray(2, '\0');
}

QByteArray AsfDescriptor(const QString &name, int type, const QByteArray &value)
{
    const QByteArray wide = Utf16(name);
    return Le16(wide.size()) + wide + Le16(type) + Le16(value.size()) + value;
}

QByteArray AsfFile(const QList<QByteArray> &descriptors)
{
    QByteArray body = Le16(descriptors.size());
    for (const QByteArray &d : descriptors)
        body += d;
    const QByteArray ecd = QByteArray::fromHex("40A4D0D207E3D21197F000A0C95EA850") + Le32(body.size() + 24) + Le32(0) + body;
    const QByteArray header = QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C") + Le32(ecd.size() + 30) + Le32(0)
        + Le32(1) + QByteArray("\x01\x02", 2) + ecd;
    return header + QByteArray(50, 'D');
}

template<typename Handler>
QStringList Read(const QByteArray &file)
{
    GrowableMemoryStream stream(Vector(file));
    int result = -1;
    Handler handler(&stream, &result);
    QStringList out;
    if (result != 0)
        return {"failed"};
    const TagFieldSet *set = handler.GetFieldSet();
    for (int i = 0; i < set->Count(); ++i)
        out << QString("%1:%2").arg(set->GetAt(i).kind).arg(Text(set->GetAt(i)));
    return out;
}

} // namespace

class TestContainerTags : public QObject
{
    Q_OBJECT

private slots:
    void mp4ValuesRead();
    void mp4OffsetsFollowTheResize();
    void mp4KeepsItemsItDoesNotRead_data();
    void mp4KeepsItemsItDoesNotRead();
    void mp4RefusesWhatCannotBeCorrected_data();
    void mp4RefusesWhatCannotBeCorrected();
    void riffIdsRewritten();
    void riffAppendsAtTheEnd_data();
    void riffAppendsAtTheEnd();
    void asfAttributesRead();
    void asfTextsCutWholeCharacters();
    void asfRefusesMoreDescriptorsThanTheCountHolds();
};

void TestContainerTags::mp4ValuesRead()
{
    const QByteArray ilst = Mp4Item("trkn", B("\0\0\0\x05\0\x0C\0\0")) + Mp4Item("disk", B("\0\0\0\x01\0\x02"))
        + Mp4Item("gnre", B("\0\x12")) + Mp4Item("\xA9nam", B("\xFF\xFE\x41\0"));
    const QByteArray meta = Mp4Atom("meta", Be32(0) + Mp4Atom("ilst", ilst));
    const QStringList expected{"5:5/12", "13:1/2", "3:Rock", "0:A"};
    QCOMPARE(Read<Mp4TagFormat>(Mp4File(Mp4Atom("udta", meta), 0)), expected);
    QCOMPARE(Read<Mp4TagFormat>("abcd" + QByteArray(100, 0)), QStringList{"failed"});
}

void TestContainerTags::mp4OffsetsFollowTheResize()
{
    const QByteArray chapters = Mp4Atom("chpl", "chapters");
    QByteArray file = Mp4File(Mp4Atom("udta", chapters), 0);
    const int mdat = file.indexOf("mdat") - 4;
    file = Mp4File(Mp4Atom("udta", chapters), quint32(mdat + 8));
    GrowableMemoryStream stream(Vector(file));
    int result = -1;
    Mp4TagFormat handler(&stream, &result);
    const std::wstring title = L"Title";
    handler.GetFieldSet()->Add(TextField(TagKindTitle, title));
    QCOMPARE(handler.Save(), 0);
    const QByteArray saved = Array(stream.Bytes());
    const int stco = saved.indexOf("stco");
    QCOMPARE(saved.mid(qFromBigEndian<quint32>(saved.constData() + stco + 12), 5), QByteArray("audio"));
    // The new "meta" comes first and the chapters follow unchanged.
    QVERIFY(saved.indexOf("meta") < saved.indexOf("chpl"));
    QVERIFY(saved.contains(chapters));
    handler.GetFieldSet()->Clear();
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Array(stream.Bytes()), file);
}

// Items of no managed kind or that cannot be read survive a save byte for byte; the readable
// ones around them are read.
void TestContainerTags::mp4KeepsItemsItDoesNotRead_data()
{
    QTest::addColumn<QByteArray>("kept");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("freeform") << Mp4Atom("----", Mp4Atom("mean", Be32(0) + "com.apple.iTunes")
                                            + Mp4Atom("name", Be32(0) + "MusicBrainz Track Id")
                                            + Mp4Atom("data", Be32(1) + Be32(0) + "0123"))
                              << QStringList{"0:A", "2:B"};
    QTest::newRow("tempo") << Mp4Item("tmpo", B("\0\x78")) << QStringList{"0:A", "2:B"};
    QTest::newRow("broken data atom") << Mp4Atom("\xA9" "ART", Be32(9) + "data" + "x") << QStringList{"0:A", "2:B"};
    QTest::newRow("size past the list") << Be32(0x7000) + "\xA9" "ART" + "junk" << QStringList{"0:A"};
}

void TestContainerTags::mp4KeepsItemsItDoesNotRead()
{
    QFETCH(QByteArray, kept);
    QFETCH(QStringList, fields);
    const bool endsList = kept.startsWith(Be32(0x7000));
    const QByteArray items = Mp4Item("\xA9nam", "A") + (endsList ? kept : kept + Mp4Item("\xA9" "alb", "B"));
    const QByteArray file = Mp4File(Mp4Atom("udta", Mp4Atom("meta", Be32(0) + Mp4Atom("ilst", items))), 0);
    QCOMPARE(Read<Mp4TagFormat>(file), fields);
    GrowableMemoryStream stream(Vector(file));
    int result = -1;
    Mp4TagFormat handler(&stream, &result);
    const std::wstring title = L"New";
    QCOMPARE(handler.GetFieldSet()->SetAt(0, TextField(TagKindTitle, title, TagSlotMp4)), 0);
    QCOMPARE(handler.Save(), 0);
    const QByteArray saved = Array(stream.Bytes());
    QVERIFY(saved.contains(kept));
    fields[0] = "0:New";
    QCOMPARE(Read<Mp4TagFormat>(saved), fields);
}

void TestContainerTags::mp4RefusesWhatCannotBeCorrected_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("offset beyond 32 bits") << Mp4File(QByteArray(), 0xFFFFFFF0u);
    QTest::newRow("fragmented") << Mp4File(QByteArray(), 300, Mp4Atom("mvex", QByteArray()));
}

void TestContainerTags::mp4RefusesWhatCannotBeCorrected()
{
    QFETCH(QByteArray, file);
    GrowableMemoryStream stream(Vector(file));
    int result = -1;
    Mp4TagFormat handler(&stream, &result);
    QCOMPARE(result, 0);
    const std::wstring title = L"Title";
    handler.GetFieldSet()->Add(TextField(TagKindTitle, title));
    QCOMPARE(handler.Save(), -1);
    QCOMPARE(Array(stream.Bytes()), file);
}

void TestContainerTags::riffIdsRewritten()
{
    // Artist in an 8-bit code page, album in UTF-8: both are read, and written back as UTF-8.
    const QByteArray info = "INFO" + QByteArray("TITL") + Le32(3) + B("ab\0") + '\0' + "TRCK" + Le32(2) + B("7\0")
        + "COMM" + Le32(2) + B("c\0") + "IART" + Le32(6) + B("\xC4\xE3\xBA\xC3\0\0")
        + "IPRD" + Le32(6) + B("\xC3\xA9t\xC3\xA9\0");
    const QByteArray file = RiffFile("fmt " + Le32(2) + "xx" + "LIST" + Le32(info.size()) + info);
    QCOMPARE(Read<RiffInfoTagFormat>(file),
             (QStringList{"0:ab", "5:7", "6:c", QString::fromUtf8("1:\xE4\xBD\xA0\xE5\xA5\xBD"),
                          QString::fromUtf8("2:\xC3\xA9t\xC3\xA9")}));
    GrowableMemoryStream stream(Vector(file));
    int result = -1;
    RiffInfoTagFormat handler(&stream, &result);
    QCOMPARE(handler.Save(), 0);
    const QByteArray saved = Array(stream.Bytes());
    QVERIFY(saved.contains("INAM" + Le32(4) + B("ab\0\0") + "IPRT" + Le32(2) + B("7\0") + "ICMT"));
    QVERIFY(saved.contains("IART" + Le32(8) + B("\xE4\xBD\xA0\xE5\xA5\xBD\0\0")));
    QVERIFY(saved.contains("IPRD" + Le32(6) + B("\xC3\xA9t\xC3\xA9\0")));
    QCOMPARE(qint64(qFromLittleEndian<quint32>(saved.constData() + 4)), qint64(saved.size() - 8));
}

void TestContainerTags::riffAppendsAtTheEnd_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("listAt");
    const QByteArray odd = "data" + Le32(3) + "abc";
    QTest::newRow("padded") << RiffFile(odd + '\0') << 0 << 24;
    QTest::newRow("pad byte missing") << RiffFile(odd) << 0 << 24;
    QTest::newRow("chunk past the end") << RiffFile("data" + Le32(100) + "abc") << -1 << 0;
    QTest::newRow("streamed, no list") << "RIFF" + Le32(0xFFFFFFFF) + "WAVE" + "data" + Le32(0xFFFFFFFF) + "abcd" << -1 << 0;
}

// A new list goes behind the last chunk, after the pad byte it owes; where a chunk runs past the
// RIFF end, there is no such place and the file stays as it was.
void TestContainerTags::riffAppendsAtTheEnd()
{
    QFETCH(QByteArray, file);
    QFETCH(int, result);
    QFETCH(int, listAt);
    GrowableMemoryStream stream(Vector(file));
    int loaded = -1;
    RiffInfoTagFormat handler(&stream, &loaded);
    QCOMPARE(loaded, 0);
    const std::wstring title = L"ab";
    handler.GetFieldSet()->Add(TextField(TagKindTitle, title));
    QCOMPARE(handler.Save(), result);
    const QByteArray saved = Array(stream.Bytes());
    if (result < 0) {
        QCOMPARE(saved, file);
        return;
    }
    QCOMPARE(saved.indexOf("LIST"), listAt);
    QCOMPARE(saved.mid(listAt + 12), "INAM" + Le32(4) + B("ab\0\0"));
    QCOMPARE(qint64(qFromLittleEndian<quint32>(saved.constData() + 4)), qint64(saved.size() - 8));
}

void TestContainerTags::asfAttributesRead()
{
    const QByteArray file = AsfFile({AsfDescriptor("WM/Track", 3, Le32(4)), AsfDescriptor("wm/tracknumber", 3, Le32(4)),
                                     AsfDescriptor("WM/Track", 0, Utf16("11")), AsfDescriptor("WM/GenreID", 3, Le32(17)),
                                     AsfDescriptor("WM/Genre", 0, Utf16("Jazz"))});
    QCOMPARE(Read<AsfTagFormat>(file), (QStringList{"5:5", "5:4", "5:12", "3:Rock", "3:Jazz"}));
}

// A comment longer than a 16-bit length allows is cut to whole characters.
void TestContainerTags::asfTextsCutWholeCharacters()
{
    GrowableMemoryStream stream(Vector(AsfFile({})));
    int result = -1;
    AsfTagFormat handler(&stream, &result);
    const std::wstring comment = std::wstring(32765, L'c') + L"\U0001F600" + L"tail";
    handler.GetFieldSet()->Add(TextField(TagKindComment, comment));
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(handler.Reload(), 0);
    const TagField read = handler.GetFieldSet()->GetAt(0);
    QCOMPARE(Text(read), QString(32765, 'c'));
}

// The descriptor count has 16 bits: one attribute more than it holds fails the save and leaves
// the file as it was.
void TestContainerTags::asfRefusesMoreDescriptorsThanTheCountHolds()
{
    const QByteArray file = AsfFile(QVector<QByteArray>(0xFFFF, AsfDescriptor("x", 0, Utf16("k"))).toList());
    GrowableMemoryStream stream(Vector(file));
    int result = -1;
    AsfTagFormat handler(&stream, &result);
    QCOMPARE(result, 0);
    handler.GetFieldSet()->Add(TextField(TagKindAlbum, L"Album"));
    QCOMPARE(handler.Save(), -1);
    QCOMPARE(Array(stream.Bytes()), file);
}

GLINTORA_TEST_MAIN_CORE(TestContainerTags)
#include "tst_containertags.moc"
