#include "apetagformat.h"
#include "growablememorystream.h"
#include "tagtesthelpers.h"
#include "testhome.h"

using namespace TagTest;

namespace {

QByteArray Item(const QByteArray &key, const QByteArray &value, quint32 flags = 0)
{
    return Le32(value.size()) + Le32(flags) + key + '\0' + value;
}

QByteArray Block(quint32 version, quint32 size, quint32 count, quint32 flags)
{
    return "APETAGEX" + Le32(version) + Le32(size) + Le32(count) + Le32(flags) + QByteArray(8, 0);
}

QByteArray ApeTag(const QByteArray &items, int count, quint32 version = 2000, bool header = true)
{
    const quint32 size = items.size() + 32;
    QByteArray tag;
    if (header)
        tag += Block(version, size, count, 0xA0000000);
    return tag + items + Block(version, size, count, header ? 0x80000000 : 0);
}

const QByteArray kAudio(600, 'a');
const QByteArray kId3v1 = "TAG" + QByteArray(125, 'v');
const QByteArray kJpeg = B("\xFF\xD8\xFF\xE0jpeg-bytes");

QStringList Fields(TagFieldSet *set)
{
    QStringList out;
    for (int i = 0; i < set->Count(); ++i) {
        const TagField f = set->GetAt(i);
        out << QString("%1:%2").arg(f.kind).arg(f.valueType == TagValueText ? Text(f) : QString::fromLatin1(Bytes(f)));
    }
    return out;
}

} // namespace

class TestApeTag : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void saveReplacesInFrontOfId3v1();
    void saveUpgradesVersionOneTag();
    void saveWritesPictureItem();
    void saveRemovesEmptyTag();
    void rejectedTagIsAbsent();
};

void TestApeTag::load_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("fields");
    const QByteArray items = Item("Title", "T") + Item("ARTIST", "A") + Item("Unknown", "u") + Item("Year", "");
    QTest::newRow("behind audio") << kAudio + ApeTag(items, 4) << QStringList{"0:T", "1:A"};
    QTest::newRow("in front of ID3v1") << kAudio + ApeTag(items, 4) + kId3v1 << QStringList{"0:T", "1:A"};
    QTest::newRow("version 1 without header detects 8-bit")
        << kAudio + ApeTag(Item("Album", "\xA9 x"), 1, 1000, false) << QStringList{QString::fromUtf8("2:\xC2\xA9 x")};
    QTest::newRow("lower-case cover art") << kAudio + ApeTag(Item("cover art", B("f.jpg\0") + kJpeg, 2), 1)
                                          << QStringList{"9:" + QString::fromLatin1(kJpeg)};
    QTest::newRow("cover art followed by a letter") << kAudio + ApeTag(Item("Cover Arts", B("f.jpg\0") + kJpeg, 2), 1)
                                                    << QStringList{};
    QTest::newRow("picture name without zero") << kAudio + ApeTag(Item("Cover Art (front)", "noterminator", 2), 1)
                                               << QStringList{};
    QTest::newRow("value length that wraps")
        << kAudio + ApeTag(Item("Title", "T") + Le32(0xFFFFFFF0) + Le32(0) + "Artist" + '\0' + "x", 2) << QStringList{"0:T"};
    QTest::newRow("70000 items") << kAudio + ApeTag(Item("Title", "T"), 70000) << QStringList{};
    QTest::newRow("tag larger than the file") << ApeTag(Item("Title", "T"), 1).mid(40) << QStringList{};
}

void TestApeTag::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, fields);
    GrowableMemoryStream stream(Vector(file));
    int result = -5;
    ApeTagFormat handler(&stream, &result);
    QCOMPARE(result, 0);
    QCOMPARE(Fields(handler.GetFieldSet()), fields);
}

void TestApeTag::saveReplacesInFrontOfId3v1()
{
    GrowableMemoryStream stream(Vector(kAudio + ApeTag(Item("Title", "Old title"), 1) + kId3v1));
    int result;
    ApeTagFormat handler(&stream, &result);
    QCOMPARE(handler.TagOffset(), qint64(kAudio.size()));
    const std::wstring title = L"N";
    handler.GetFieldSet()->SetAt(0, TextField(TagKindTitle, title, 6));
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Array(stream.Bytes()), kAudio + ApeTag(Item("Title", "N"), 1) + kId3v1);
}

void TestApeTag::saveUpgradesVersionOneTag()
{
    GrowableMemoryStream stream(Vector(kAudio + ApeTag(Item("Album", "B"), 1, 1000, false)));
    int result;
    ApeTagFormat handler(&stream, &result);
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Array(stream.Bytes()), kAudio + ApeTag(Item("Album", "B"), 1));
    QCOMPARE(handler.Reload(), 0);
    QCOMPARE(Fields(handler.GetFieldSet()), QStringList{"2:B"});
}

void TestApeTag::saveWritesPictureItem()
{
    GrowableMemoryStream stream(Vector(kAudio + kId3v1));
    int result;
    ApeTagFormat handler(&stream, &result);
    TagFieldSet *set = handler.GetFieldSet();
    const std::wstring genre = L"(9)";
    set->Add(BinaryField(TagKindPicture, kJpeg, 6));
    set->Add(BinaryField(TagKindPicture, B("\x89PNGsecond"), 6));
    set->Add(TextField(TagKindGenre, genre, 6));
    set->Add(TextField(TagKindComposer, genre, 6));
    QCOMPARE(handler.Save(), 0);
    const QByteArray items = Item("Cover Art (front)", B("conver.jpg\0") + kJpeg, 2) + Item("Genre", "Metal");
    QCOMPARE(Array(stream.Bytes()), kAudio + ApeTag(items, 2) + kId3v1);
    QCOMPARE(set->Count(), 2);
}

void TestApeTag::saveRemovesEmptyTag()
{
    GrowableMemoryStream stream(Vector(kAudio + ApeTag(Item("Title", "T"), 1) + kId3v1));
    int result;
    ApeTagFormat handler(&stream, &result);
    handler.GetFieldSet()->Clear();
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Array(stream.Bytes()), kAudio + kId3v1);
    QCOMPARE(handler.Save(), 1);
    ApeTagFormat none(nullptr, &result);
    QCOMPARE(result, -1);
    QCOMPARE(none.Save(), -1);
}

void TestApeTag::rejectedTagIsAbsent()
{
    const QByteArray bad = ApeTag(Item("Title", "T"), 70000);
    GrowableMemoryStream stream(Vector(kAudio + bad));
    int result;
    ApeTagFormat handler(&stream, &result);
    const std::wstring title = L"New";
    handler.GetFieldSet()->Add(TextField(TagKindTitle, title, 6));
    QCOMPARE(handler.Save(), 0);
    QCOMPARE(Array(stream.Bytes()), kAudio + bad + ApeTag(Item("Title", "New"), 1));
}

GLINTORA_TEST_MAIN_CORE(TestApeTag)
#include "tst_apetag.moc"
