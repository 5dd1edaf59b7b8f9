#include "growablememorystream.h"
#include "tagfieldset.h"
#include "tagimage.h"
#include "tagtesthelpers.h"
#include "testhome.h"
#include "vorbiscomments.h"

using namespace TagTest;

namespace {

QByteArray Block(const QList<QByteArray> &comments, quint32 count, const QByteArray &vendor = "vendor")
{
    QByteArray block = Le32(vendor.size()) + vendor + Le32(count);
    for (const QByteArray &comment : comments)
        block += Le32(comment.size()) + comment;
    return block;
}

QByteArray PictureBlock(const QByteArray &image, quint32 declared)
{
    return Be32(3) + Be32(10) + "image/jpeg" + Be32(1) + "d" + Be32(1) + Be32(2) + Be32(24) + Be32(0)
        + Be32(declared) + image;
}

QStringList Fields(TagFieldSet &set)
{
    QStringList out;
    for (int i = 0; i < set.Count(); ++i) {
        const TagField f = set.GetAt(i);
        out << QString("%1:%2").arg(f.kind).arg(f.valueType == TagValueText ? Text(f) : QString::fromLatin1(Bytes(f)));
    }
    return out;
}

QStringList ParseBoth(const QByteArray &block, int *bufferResult, int *streamResult)
{
    TagFieldSet fromBuffer(20);
    *bufferResult = ParseVorbisCommentBuffer(&fromBuffer, reinterpret_cast<const uint8_t *>(block.constData()), 5, block.size());
    TagFieldSet fromStream(20);
    GrowableMemoryStream stream(Vector("head" + block + "tail"));
    stream.Seek(4);
    *streamResult = ParseVorbisComments(&fromStream, &stream, 5, block.size());
    const QStringList a = Fields(fromBuffer);
    return a == Fields(fromStream) ? a : QStringList{"<forms differ>"};
}

QByteArray Build(TagFieldSet &set, int slot, QByteArray buffer = QByteArray(4096, '\0'))
{
    const int length = BuildVorbisComments(&set, reinterpret_cast<uint8_t *>(buffer.data()), slot, buffer.size());
    return length < 0 ? QByteArray("<failed>") : buffer.left(length);
}

} // namespace

class TestVorbisComments : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void rejectsBadHeads();
    void buildWritesKeysAndCount();
    void buildKeepsVendorAndSkipsPicturesForFlac();
    void buildRespectsCapacity();
    void pictureRoundTrip();
    void sniff_data();
    void sniff();
};

void TestVorbisComments::parse_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QStringList>("fields");
    const QByteArray image("\xFF\xD8\xFF\xE0picture", 11);
    const QByteArray picture = "METADATA_BLOCK_PICTURE=" + PictureBlock(image, 1000).toBase64();
    QTest::newRow("lower-case key") << Block({"title=Song"}, 1) << QStringList{"0:Song"};
    QTest::newRow("comment keys") << Block({"DESCRIPTION=d", "COMMENT=c"}, 2) << QStringList{"6:d", "6:c"};
    QTest::newRow("artist aliases") << Block({"AUTHOR=a", "PERFORMER=p", "YEAR=1999"}, 3)
                                    << QStringList{"1:a", "1:p", "4:1999"};
    QTest::newRow("unknown key skipped") << Block({"ENCODER=x", "ALBUM=b"}, 2) << QStringList{"2:b"};
    QTest::newRow("empty value skipped") << Block({"TITLE=", "ALBUM=b"}, 2) << QStringList{"2:b"};
    QTest::newRow("no equals skipped") << Block({"TITLE", "ALBUM=b"}, 2) << QStringList{"2:b"};
    QTest::newRow("empty comment skipped") << Block({"", "ALBUM=b"}, 2) << QStringList{"2:b"};
    QTest::newRow("count beyond content") << Block({"TITLE=a", "ALBUM=b"}, 3) << QStringList{"0:a", "2:b"};
    QTest::newRow("comment past the block") << Block({"TITLE=a"}, 2) + Le32(0xFFFFFFF0) << QStringList{"0:a"};
    QTest::newRow("long key cut to 32") << Block({QByteArray(40, 'K') + "=v", "TITLE=t"}, 2) << QStringList{"0:t"};
    QTest::newRow("picture clipped to bytes present") << Block({picture}, 1) << QStringList{"9:" + QString::fromLatin1(image)};
    QTest::newRow("picture with bad mime length")
        << Block({"METADATA_BLOCK_PICTURE=" + (Be32(3) + Be32(0xFFFFFFF0) + QByteArray(40, 'x')).toBase64()}, 1)
        << QStringList{};
    QTest::newRow("utf-8 value") << Block({"ARTIST=\xC3\x89mile"}, 1) << QStringList{QString::fromUtf8("1:\xC3\x89mile")};
}

void TestVorbisComments::parse()
{
    QFETCH(QByteArray, block);
    QFETCH(QStringList, fields);
    int bufferResult;
    int streamResult;
    QCOMPARE(ParseBoth(block, &bufferResult, &streamResult), fields);
    QCOMPARE(bufferResult, 0);
    QCOMPARE(streamResult, 0);
}

void TestVorbisComments::rejectsBadHeads()
{
    int bufferResult;
    int streamResult;
    // A vendor length near 2^32 must not wrap the bounds check.
    ParseBoth(Le32(0xFFFFFFFC) + QByteArray(8, 'x'), &bufferResult, &streamResult);
    QCOMPARE(bufferResult, -1);
    QCOMPARE(streamResult, -1);
    ParseBoth(QByteArray(3, 0), &bufferResult, &streamResult);
    QCOMPARE(bufferResult, -1);
    QCOMPARE(ParseVorbisCommentBuffer(nullptr, reinterpret_cast<const uint8_t *>("abcd"), 5, 4), -1);
}

void TestVorbisComments::buildWritesKeysAndCount()
{
    TagFieldSet set(20);
    set.AddText(5, TagKindTitle, TagFieldSet::Utf8, "T");
    set.AddText(5, TagKindComment, TagFieldSet::Utf8, "c");
    set.AddText(5, TagKindAlbumArtist, TagFieldSet::Utf8, "never");
    set.AddText(5, TagKindYear, TagFieldSet::Utf8, "2001");
    const QByteArray block = Build(set, 5);
    const QByteArray vendor = "Xiph.Org libVorbis I 20120203 (Omnipresent)";
    QCOMPARE(vendor.size(), 43);
    QCOMPARE(block, Block({"TITLE=T", "COMMENT=c", "ALBUMARTIST=never", "DATE=2001"}, 4, vendor));

    TagFieldSet empty(20);
    QCOMPARE(Build(empty, 2), Block({}, 0, "libnone"));
}

void TestVorbisComments::buildKeepsVendorAndSkipsPicturesForFlac()
{
    TagFieldSet set(20);
    set.AddText(7, TagKindTitle, TagFieldSet::Utf8, "T");
    const QByteArray png = QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(30, 0);
    set.AddBinary(7, TagKindPicture, static_cast<uint32_t>(png.size()), png.constData());
    QByteArray buffer(4096, '\0');
    buffer.replace(0, 9, Le32(5) + "mine!");
    QCOMPARE(Build(set, 7, buffer), Block({"TITLE=T"}, 1, "mine!"));
    QCOMPARE(Build(set, 7), Block({"TITLE=T"}, 1, "reference libFLAC 1.2.1 20070917"));
    QVERIFY(Build(set, 5).contains("METADATA_BLOCK_PICTURE="));
}

void TestVorbisComments::buildRespectsCapacity()
{
    TagFieldSet set(20);
    set.AddText(5, TagKindTitle, TagFieldSet::Utf8, "a long title that does not fit");
    set.AddText(5, TagKindAlbum, TagFieldSet::Utf8, "B");
    QByteArray buffer(8 + 7 + 4 + 7 + 4, '\0');
    // Only the album fits behind the vendor "libnone"; the title is skipped, not overrun.
    QCOMPARE(Build(set, 2, buffer), Block({"ALBUM=B"}, 1, "libnone"));
    QCOMPARE(Build(set, 2, QByteArray(12, '\0')), QByteArray("<failed>"));
}

void TestVorbisComments::pictureRoundTrip()
{
    const QByteArray gif = QByteArray("GIF89a\x10\x00\x08\x00\xF7", 11) + QByteArray(50, 'g');
    TagFieldSet set(20);
    set.AddBinary(5, TagKindPicture, static_cast<uint32_t>(gif.size()), gif.constData());
    const QByteArray block = Build(set, 5);
    TagFieldSet back(20);
    QCOMPARE(ParseVorbisCommentBuffer(&back, reinterpret_cast<const uint8_t *>(block.constData()), 5, block.size()), 0);
    QCOMPARE(back.Count(), 1);
    QCOMPARE(Bytes(back.GetAt(0)), gif);
    const int start = block.indexOf('=') + 1;
    const QByteArray decoded = QByteArray::fromBase64(block.mid(start));
    QCOMPARE(decoded.mid(8, 9), QByteArray("image/gif"));
    QCOMPARE(decoded.mid(21, 12), Be32(16) + Be32(8) + Be32(8));
}

void TestVorbisComments::sniff_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("mime");
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<int>>("geometry");
    const QByteArray ihdr = Be32(13) + "IHDR" + Be32(640) + Be32(480) + QByteArray("\x08\x06\x00\x00\x00", 5) + Be32(0);
    const QByteArray png = QByteArray("\x89PNG\r\n\x1A\n", 8);
    QTest::newRow("png rgba") << png + ihdr << "image/png" << int(TagImageInfo::Png) << QList<int>{640, 480, 32};
    QTest::newRow("png behind another chunk") << png + Be32(2) + "tEXt" + "ab" + Be32(0) + ihdr << "image/png"
                                              << int(TagImageInfo::Png) << QList<int>{640, 480, 32};
    QTest::newRow("mng signature") << QByteArray("\x8AMNG\r\n\x1A\n", 8) + ihdr << "image/png" << int(TagImageInfo::Png)
                                   << QList<int>{640, 480, 32};
    QTest::newRow("png chunk length wraps") << png + Be32(0xFFFFFFF8) + "tEXt" + QByteArray(20, 0) << "image/png"
                                            << int(TagImageInfo::Png) << QList<int>{0, 0, 0};
    QTest::newRow("png cut inside ihdr") << png + ihdr.left(14) << "image/png" << int(TagImageInfo::Png) << QList<int>{0, 0, 0};
    QTest::newRow("jpeg") << QByteArray("\xFF\xD8\xFF\xE0\x00\x04" "ab\xFF\xC0\x00\x11\x08\x00\x20\x00\x40\x03", 19)
                          << "image/jpeg" << int(TagImageInfo::Jpeg) << QList<int>{64, 32, 24};
    QTest::newRow("jpeg cut") << QByteArray("\xFF\xD8\xFF\xC0\x00\x11\x08", 7) << "image/jpeg" << int(TagImageInfo::Jpeg)
                              << QList<int>{0, 0, 0};
    QTest::newRow("gif") << QByteArray("GIF89a\x10\x00\x08\x00\xF7", 11) << "image/gif" << int(TagImageInfo::Gif)
                         << QList<int>{16, 8, 8};
    QTest::newRow("bmp") << "BM" + QByteArray(16, 0) + Le32(5) + Le32(7) + QByteArray(2, 0) + QByteArray("\x18\x00", 2)
                         << "image/bmp" << int(TagImageInfo::Bmp) << QList<int>{5, 7, 24};
    QTest::newRow("riff") << QByteArray("RIFF1234WEBP") << "image/jpeg" << int(TagImageInfo::Unknown) << QList<int>{0, 0, 0};
    QTest::newRow("too short") << QByteArray("\xFF\xD8", 2) << "image/jpeg" << int(TagImageInfo::Unknown)
                               << QList<int>{0, 0, 0};
}

void TestVorbisComments::sniff()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mime);
    QFETCH(int, type);
    QFETCH(QList<int>, geometry);
    const TagImageInfo info = SniffTagImage(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size());
    QCOMPARE(QString(info.mime), mime);
    QCOMPARE(int(info.type), type);
    QCOMPARE((QList<int>{int(info.width), int(info.height), int(info.depth)}), geometry);
}

GLINTORA_TEST_MAIN_CORE(TestVorbisComments)
#include "tst_vorbiscomments.moc"
