#include "flactagformat.h"
#include "growablememorystream.h"
#include "tagtesthelpers.h"
#include "testhome.h"

using namespace TagTest;

namespace {

QByteArray Block(int type, const QByteArray &body, bool last = false)
{
    return char(type | (last ? 0x80 : 0)) + Be32(body.size()).mid(1) + body;
}

QByteArray StreamInfo(quint32 rate = 44100, int bits = 16)
{
    QByteArray info(34, '\0');
    info[10] = char(rate >> 12);
    info[11] = char((rate >> 4) & 0xFF);
    info[12] = char(((rate & 0xF) << 4) | (1 << 1) | ((bits - 1) >> 4));
    info[13] = char(((bits - 1) & 0xF) << 4);
    return Block(0, info);
}

QByteArray Comments(const QByteArray &vendor, const QList<QByteArray> &comments)
{
    QByteArray body = Le32(vendor.size()) + vendor + Le32(comments.size());
    for (const QByteArray &c : comments)
        body += Le32(c.size()) + c;
    return body;
}

const QByteArray kAudio = B("\xFF\xF8\x69\x08\x00\x11") + QByteArray(300, 'f');

QStringList Fields(TagFieldSet *set)
{
    QStringList out;
    for (int i = 0; i < set->Count(); ++i) {
        const TagField f = set->GetAt(i);
        out << QString("%1:%2").arg(f.kind).arg(f.valueType == TagValueText ? Text(f) : QString::fromLatin1(Bytes(f).left(4).toHex()));
    }
    return out;
}

// The metadata blocks of a saved file as "type:length" with the last flag marked.
QStringList BlockList(const QByteArray &file, int start)
{
    QStringList out;
    int at = start + 4;
    for (int guard = 0; guard < 50 && at + 4 <= file.size(); ++guard) {
        const uchar head = uchar(file[at]);
        const int length = (uchar(file[at + 1]) << 16) | (uchar(file[at + 2]) << 8) | uchar(file[at + 3]);
        out << QString("%1%2").arg(head & 0x7F).arg(head & 0x80 ? "!" : "");
        at += 4 + length;
        if (head & 0x80)
            break;
    }
    return out;
}

struct Opened
{
    GrowableMemoryStream stream;
    int result = -5;
    std::unique_ptr<FlacTagFormat> handler;

    explicit Opened(const QByteArray &file) : stream(Vector(file))
    {
        handler = std::make_unique<FlacTagFormat>(&stream, &result);
    }
};

} // namespace

class TestFlacTag : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void signatureBehindId3AndZeros();
    void saveRebuildsSection();
    void savePictureDepths_data();
    void savePictureDepths();
    void saveWithoutFields();
    void chainWithoutLastFlagIsNotRewritten();
};

void TestFlacTag::load_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("fields");
    const QByteArray picture = Be32(3) + Be32(9) + "image/png" + Be32(0) + Be32(1) + Be32(1) + Be32(8) + Be32(0)
        + Be32(999) + B("\x89PNG....");
    QTest::newRow("comments and picture")
        << "fLaC" + StreamInfo() + Block(4, Comments("v", {"TITLE=T", "ARTIST=A"})) + Block(6, picture, true) + kAudio
        << 0 << QStringList{"0:T", "1:A", "9:89504e47"};
    QTest::newRow("sample rate 0") << "fLaC" + StreamInfo(0) + Block(1, "", true) + kAudio << -1 << QStringList{};
    QTest::newRow("2 bits per sample") << "fLaC" + StreamInfo(44100, 2) + Block(1, "", true) + kAudio << -1 << QStringList{};
    QTest::newRow("no streaminfo") << "fLaC" + Block(4, Comments("v", {}), true) + kAudio << -1 << QStringList{};
    QTest::newRow("ogg") << "OggS" + QByteArray(100, 0) << -1 << QStringList{};
    QTest::newRow("flac header variant")
        << QByteArray("FLAC\x01\x00\x00\x02", 8) + "fLaC" + StreamInfo() + Block(4, Comments("v", {"ALBUM=B"}), true) + kAudio
        << 0 << QStringList{"2:B"};
    QTest::newRow("picture with bad mime length")
        << "fLaC" + StreamInfo() + Block(6, Be32(3) + Be32(0xFFFFFFF0) + QByteArray(40, 'x'), true) + kAudio << 0
        << QStringList{};
}

void TestFlacTag::load()
{
    QFETCH(QByteArray, file);
    QFETCH(int, result);
    QFETCH(QStringList, fields);
    Opened opened(file);
    QCOMPARE(opened.result, result);
    if (result == 0)
        QCOMPARE(Fields(opened.handler->GetFieldSet()), fields);
}

void TestFlacTag::signatureBehindId3AndZeros()
{
    const QByteArray id3 = QByteArray("ID3\x03\0\0\0\0\0\x0A", 10) + QByteArray(10, 0);
    const QByteArray flac = "fLaC" + StreamInfo() + Block(4, Comments("v", {"TITLE=T"}), true) + kAudio;
    Opened opened(id3 + QByteArray(100, 0) + flac);
    QCOMPARE(opened.result, 0);
    QCOMPARE(opened.handler->FlacStart(), qint64(120));
    QCOMPARE(Fields(opened.handler->GetFieldSet()), QStringList{"0:T"});
    Opened tooMany(id3 + QByteArray(5000, 0) + flac);
    QCOMPARE(tooMany.result, -1);
}

void TestFlacTag::saveRebuildsSection()
{
    const QByteArray vendor(80, 'V');
    const QByteArray file = "fLaC" + StreamInfo() + Block(4, Comments(vendor, {"TITLE=T"})) + Block(1, QByteArray(64, 0))
        + Block(4, Comments("second", {"ALBUM=B"})) + Block(2, "appl", true) + kAudio;
    Opened opened(file);
    QCOMPARE(opened.result, 0);
    QCOMPARE(Fields(opened.handler->GetFieldSet()), (QStringList{"0:T", "2:B"}));
    QCOMPARE(opened.handler->Save(), 0);
    const QByteArray saved = Array(opened.stream.Bytes());
    QCOMPARE(BlockList(saved, 0), (QStringList{"0", "1", "2", "4!"}));
    QVERIFY(saved.endsWith(kAudio));
    QVERIFY(saved.contains(Comments(vendor.left(60), {"TITLE=T", "ALBUM=B"})));
    // A second save of the same fields writes the same bytes.
    QCOMPARE(opened.handler->Save(), 0);
    QCOMPARE(Array(opened.stream.Bytes()), saved);
    QCOMPARE(opened.handler->Reload(), 0);
    QCOMPARE(Fields(opened.handler->GetFieldSet()), (QStringList{"0:T", "2:B"}));
}

void TestFlacTag::savePictureDepths_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QByteArray>("geometry");
    const QByteArray png = B("\x89PNG\r\n\x1A\n") + Be32(13) + "IHDR" + Be32(16) + Be32(8) + B("\x08\x06\0\0\0") + Be32(0);
    QTest::newRow("png rgba") << png << Be32(16) + Be32(8) + Be32(32);
    QTest::newRow("gif") << B("GIF89a\x10\x00\x08\x00\xF7") + QByteArray(20, 'g') << Be32(16) + Be32(8) + Be32(8);
}

void TestFlacTag::savePictureDepths()
{
    QFETCH(QByteArray, picture);
    QFETCH(QByteArray, geometry);
    Opened opened("fLaC" + StreamInfo() + Block(1, QByteArray(10, 0), true) + kAudio);
    opened.handler->GetFieldSet()->Add(BinaryField(TagKindPicture, "RIFF1234WEBP", 7));
    opened.handler->GetFieldSet()->Add(BinaryField(TagKindPicture, picture, 7));
    QCOMPARE(opened.handler->Save(), 0);
    const QByteArray saved = Array(opened.stream.Bytes());
    QCOMPARE(BlockList(saved, 0), (QStringList{"0", "1", "4", "6!"}));
    QVERIFY(saved.contains(geometry + Be32(0) + Be32(picture.size()) + picture));
    QVERIFY(!saved.contains("RIFF"));
    QCOMPARE(opened.handler->GetFieldSet()->Count(), 1);
}

void TestFlacTag::saveWithoutFields()
{
    Opened tagged("fLaC" + StreamInfo() + Block(4, Comments("keep me", {"TITLE=T"}), true) + kAudio);
    tagged.handler->GetFieldSet()->Clear();
    QCOMPARE(tagged.handler->Save(), 0);
    QCOMPARE(Array(tagged.stream.Bytes()), "fLaC" + StreamInfo() + Block(4, Comments("keep me", {}), true) + kAudio);

    const QByteArray bare = "fLaC" + StreamInfo() + Block(1, QByteArray(8, 0), true) + kAudio;
    Opened untouched(bare);
    QCOMPARE(untouched.handler->Save(), 1);
    QCOMPARE(Array(untouched.stream.Bytes()), bare);
}

void TestFlacTag::chainWithoutLastFlagIsNotRewritten()
{
    const QByteArray file = "fLaC" + StreamInfo() + Block(4, Comments("v", {"TITLE=T"})) + kAudio;
    Opened opened(file);
    QCOMPARE(opened.result, 0);
    QCOMPARE(Fields(opened.handler->GetFieldSet()), QStringList{"0:T"});
    const std::wstring title = L"New";
    opened.handler->GetFieldSet()->SetAt(0, TextField(TagKindTitle, title, 7));
    QCOMPARE(opened.handler->Save(), -1);
    QCOMPARE(Array(opened.stream.Bytes()), file);
}

GLINTORA_TEST_MAIN_CORE(TestFlacTag)
#include "tst_flactag.moc"
