#include "audioframe.h"
#include "growablememorystream.h"
#include "itagfile.h"
#include "tagfieldset.h"
#include "tagimage.h"
#include "tagtesthelpers.h"
#include "testhome.h"
#include "vorbiscomments.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <memory>

using namespace TagTest;

namespace {

TagFilePtr Open(const QString &path)
{
    int result = -1;
    TagFilePtr file = OpenTagFile(path, &result);
    return result == 0 ? std::move(file) : nullptr;
}

QJsonObject PythonJson(const QString &code, const QStringList &arguments)
{
    bool ok = false;
    const QByteArray out = Python("import json, sys\n" + code, arguments, &ok);
    if (!ok)
        return QJsonObject{{"error", QString::fromUtf8(out)}};
    return QJsonDocument::fromJson(out).object();
}

QStringList Probe(const QString &path, const QString &entries)
{
    const QByteArray out = Run("ffprobe", {"-v", "error", "-select_streams", "a:0", "-show_entries", entries, "-of", "csv=p=0", path});
    return QString::fromUtf8(out).split(QRegExp("[\\n,]"), Qt::SkipEmptyParts);
}

QMap<int, QString> TextsByKind(ITagFile *file, int slot)
{
    QMap<int, QString> texts;
    for (int i = 0; i < file->FieldCount(); ++i) {
        const TagField f = file->GetField(i);
        if (f.slot == slot && f.valueType == TagValueText)
            texts.insert(f.kind, Text(f));
    }
    return texts;
}

QByteArray PictureOf(ITagFile *file, int slot)
{
    for (int i = 0; i < file->FieldCount(); ++i) {
        const TagField f = file->GetField(i);
        if (f.slot == slot && f.kind == TagKindPicture)
            return Bytes(f);
    }
    return QByteArray();
}

} // namespace

class TestTagOracles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void frameScanMatchesFfprobe_data();
    void frameScanMatchesFfprobe();
    void apeAudioFixtureIsReal();
    void sniffMatchesFfprobe_data();
    void sniffMatchesFfprobe();
    void vorbisBlocksAgreeWithMutagen();
    void forwardWrittenTagsReadByMutagen_data();
    void forwardWrittenTagsReadByMutagen();
    void id3v1RecordReadByMutagen();
    void reverseWrittenTagsReadByUs();

private:
    QString Fixture(const QString &name) const { return m_dir.filePath(name); }
    QString Copy(const QString &name);
    QTemporaryDir m_dir;
};

void TestTagOracles::initTestCase()
{
    RequireTools({"ffmpeg", "ffprobe", "oggenc", "/usr/bin/python3"});
    MakeFixtures(m_dir.path());
}

QString TestTagOracles::Copy(const QString &name)
{
    const QString copy = m_dir.filePath("work-" + name);
    QFile::remove(copy);
    QFile::copy(Fixture(name), copy);
    return copy;
}

void TestTagOracles::frameScanMatchesFfprobe_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind"); // 0 MPEG, 1 ADTS
    for (const char *name : {"bare_mpeg1.mp3", "bare_mpeg2.mp3", "bare_mpeg25.mp3", "id3_mpeg1.mp3", "id3_mpeg2.mp3",
                             "id3_mpeg25.mp3", "layer2.mp3"})
        QTest::newRow(name) << QString(name) << 0;
    QTest::newRow("bare.aac") << "bare.aac" << 1;
    QTest::newRow("id3.aac") << "id3.aac" << 1;
}

void TestTagOracles::frameScanMatchesFfprobe()
{
    QFETCH(QString, name);
    QFETCH(int, kind);
    const QByteArray bytes = ReadFile(Fixture(name));
    GrowableMemoryStream stream(Vector(bytes));
    const int start = kind == 0 ? FindMpegAudioStartStrict(&stream) : FindAdtsAudioStart(&stream);
    const QStringList packets = Probe(Fixture(name), "packet=pos");
    QVERIFY(!packets.isEmpty());
    QCOMPARE(start, packets.first().toInt());
    AudioFrameHeader header;
    const auto *at = reinterpret_cast<const unsigned char *>(bytes.constData() + start);
    QCOMPARE(kind == 0 ? ParseMpegFrameHeaderStrict(at, &header) : ParseAdtsFrameHeader(at, &header), 0);
    const QStringList stream_ = Probe(Fixture(name), "stream=sample_rate,channels");
    QCOMPARE(QString::number(header.sampleRate), stream_.value(0));
    QCOMPARE(QString::number(header.channels), stream_.value(1));
    if (name.startsWith("bare_mpeg")) {
        GrowableMemoryStream plain(Vector(bytes));
        QCOMPARE(FindMpegAudioStart(&plain), start);
    }
}

void TestTagOracles::apeAudioFixtureIsReal()
{
    QCOMPARE(Probe(Fixture("new.ape"), "stream=codec_name"), QStringList{"ape"});
    for (const char *name : {"new.ape", "old.ape", "tagged.ape"}) {
        GrowableMemoryStream stream(Vector(ReadFile(Fixture(name))));
        QCOMPARE(FindApeAudioStart(&stream), 0);
    }
}

void TestTagOracles::sniffMatchesFfprobe_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mime");
    QTest::addColumn<int>("depth");
    QTest::newRow("gray") << "png_gray.png" << "image/png" << 8;
    QTest::newRow("rgb24") << "png_rgb24.png" << "image/png" << 24;
    QTest::newRow("rgba") << "png_rgba.png" << "image/png" << 32;
    QTest::newRow("pal8") << "png_pal8.png" << "image/png" << 8;
    QTest::newRow("ya8") << "png_ya8.png" << "image/png" << 16;
    QTest::newRow("rgb48be") << "png_rgb48be.png" << "image/png" << 48;
    QTest::newRow("jpeg") << "cover.jpg" << "image/jpeg" << 24;
    QTest::newRow("gif") << "cover.gif" << "image/gif" << 8;
    QTest::newRow("bmp") << "cover.bmp" << "image/bmp" << 24;
}

void TestTagOracles::sniffMatchesFfprobe()
{
    QFETCH(QString, name);
    QFETCH(QString, mime);
    QFETCH(int, depth);
    const QByteArray bytes = ReadFile(Fixture(name));
    const TagImageInfo info = SniffTagImage(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size());
    const QStringList size = QString::fromUtf8(Run("ffprobe", {"-v", "error", "-show_entries", "stream=width,height", "-of",
                                                               "csv=p=0", Fixture(name)}))
                                 .trimmed()
                                 .split(',');
    QCOMPARE(QString(info.mime), mime);
    QCOMPARE(QString::number(info.width), size.value(0));
    QCOMPARE(QString::number(info.height), size.value(1));
    QCOMPARE(int(info.depth), depth);
}

void TestTagOracles::vorbisBlocksAgreeWithMutagen()
{
    const QByteArray png = ReadFile(Fixture("cover.png"));
    TagFieldSet set(20);
    set.AddText(5, TagKindTitle, TagFieldSet::Utf8, "T\xC3\xADtulo");
    set.AddText(5, TagKindComment, TagFieldSet::Utf8, "c");
    set.AddBinary(5, TagKindPicture, static_cast<uint32_t>(png.size()), png.constData());
    QByteArray block(8192, '\0');
    const int length = BuildVorbisComments(&set, reinterpret_cast<uint8_t *>(block.data()), 5, block.size());
    QVERIFY(length > 0);
    const QString ours = m_dir.filePath("ours.vc");
    WriteFile(ours, block.left(length));
    const QJsonObject read = PythonJson(
        "from mutagen._vorbis import VComment\n"
        "from mutagen.flac import Picture\n"
        "import base64\n"
        "c = VComment(open(sys.argv[1], 'rb').read(), framing=False)\n"
        "d = {}\n"
        "for k, v in c: d.setdefault(k.lower(), v)\n"
        "p = Picture(base64.b64decode(d['metadata_block_picture']))\n"
        "print(json.dumps({'vendor': c.vendor, 'title': d['title'], 'comment': d['comment'],"
        " 'mime': p.mime, 'width': p.width, 'height': p.height, 'depth': p.depth, 'type': p.type,"
        " 'data': p.data == open(sys.argv[2], 'rb').read()}))",
        {ours, Fixture("cover.png")});
    QCOMPARE(read.value("vendor").toString(), QString("Xiph.Org libVorbis I 20120203 (Omnipresent)"));
    QCOMPARE(read.value("title").toString(), QString::fromUtf8("T\xC3\xADtulo"));
    QCOMPARE(read.value("comment").toString(), QString("c"));
    QCOMPARE(read.value("mime").toString(), QString("image/png"));
    QCOMPARE(read.value("width").toInt(), 16);
    QCOMPARE(read.value("height").toInt(), 8);
    QCOMPARE(read.value("depth").toInt(), 24);
    QCOMPARE(read.value("type").toInt(), 3);
    QVERIFY(read.value("data").toBool());

    const QString theirs = m_dir.filePath("theirs.vc");
    bool ok = false;
    Python("import sys, base64\n"
           "from mutagen._vorbis import VComment\n"
           "from mutagen.flac import Picture\n"
           "c = VComment(); c.vendor = 'them'\n"
           "c.extend([('ARTIST', 'A1'), ('DESCRIPTION', 'D'), ('TRACKNUMBER', '4/9')])\n"
           "p = Picture(); p.type = 3; p.mime = 'image/jpeg'; p.data = open(sys.argv[2], 'rb').read()\n"
           "c.append(('METADATA_BLOCK_PICTURE', base64.b64encode(p.write()).decode()))\n"
           "open(sys.argv[1], 'wb').write(c.write(framing=False))",
           {theirs, Fixture("cover.jpg")}, &ok);
    QVERIFY(ok);
    const QByteArray theirBlock = ReadFile(theirs);
    TagFieldSet parsed(20);
    QCOMPARE(ParseVorbisCommentBuffer(&parsed, reinterpret_cast<const uint8_t *>(theirBlock.constData()), 5, theirBlock.size()), 0);
    QCOMPARE(parsed.Count(), 4);
    QCOMPARE(Text(parsed.GetAt(0)), QString("A1"));
    QCOMPARE(parsed.GetAt(1).kind, int(TagKindComment));
    QCOMPARE(Text(parsed.GetAt(2)), QString("4/9"));
    QCOMPARE(Bytes(parsed.GetAt(3)), ReadFile(Fixture("cover.jpg")));
}

void TestTagOracles::forwardWrittenTagsReadByMutagen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cover");
    QTest::newRow("mp3 png") << "tagged.mp3" << "cover.png";
    QTest::newRow("mp3 jpeg") << "tagged.mp3" << "cover.jpg";
    QTest::newRow("aac gif") << "id3.aac" << "cover.gif";
    QTest::newRow("ape bmp") << "tagged.ape" << "cover.bmp";
    QTest::newRow("flac png") << "plain.flac" << "cover.png";
    QTest::newRow("flac jpeg") << "picture.flac" << "cover.jpg";
}

// The converter's flow on real files, checked by an independent reader and by the audio digest.
void TestTagOracles::forwardWrittenTagsReadByMutagen()
{
    QFETCH(QString, name);
    QFETCH(QString, cover);
    const QString path = Copy(name);
    const bool hasAudio = !name.endsWith(".ape");
    const QByteArray digest = hasAudio ? AudioDigest(path) : QByteArray();
    const QString vendorBefore = QString::fromUtf8(Python("import sys\nfrom mutagen.flac import FLAC\n"
                                                          "print(FLAC(sys.argv[1]).tags.vendor if sys.argv[1].endswith('flac') else '')",
                                                          {path}))
                                     .trimmed();
    qputenv("LANG", "de_DE.UTF-8");
    TagFilePtr file = Open(path);
    QVERIFY(file);
    QCOMPARE(file->ClearFields(), 0);
    const QByteArray image = ReadFile(Fixture(cover));
    std::vector<std::wstring> texts;
    for (int kind = 0; kind < TagKindCount; ++kind)
        texts.push_back(kind == TagKindTrack ? L"3/12" : kind == TagKindDisc ? L"1/2" : L"value " + std::to_wstring(kind));
    for (int kind = 0; kind < TagKindCount; ++kind) {
        if (kind != TagKindLyrics)
            QCOMPARE(file->AddField(kind == TagKindPicture ? BinaryField(kind, image) : TextField(kind, texts[kind])), 0);
    }
    QCOMPARE(file->Save(), 0);
    QCOMPARE(file->Close(), 0);
    qunsetenv("LANG");
    if (hasAudio)
        QCOMPARE(AudioDigest(path), digest);

    const QJsonObject read = PythonJson(
        "from mutagen.id3 import ID3\n"
        "from mutagen.apev2 import APEv2\n"
        "from mutagen.flac import FLAC\n"
        "path, cover = sys.argv[1], open(sys.argv[2], 'rb').read()\n"
        "out = {}\n"
        "if path.endswith('.flac'):\n"
        "    f = FLAC(path); p = f.pictures[0]\n"
        "    out = {'title': f['title'][0], 'genre': f['genre'][0], 'track': f['tracknumber'][0], 'vendor': f.tags.vendor,"
        " 'blocks': [type(b).__name__ for b in f.metadata_blocks], 'width': p.width, 'height': p.height,"
        " 'depth': p.depth, 'picture': p.data == cover, 'mime': p.mime}\n"
        "elif path.endswith('.ape'):\n"
        "    t = APEv2(path)\n"
        "    out = {'title': str(t['Title']), 'genre': str(t['Genre']), 'track': str(t['Track']),"
        " 'picture': t['Cover Art (front)'].value.split(b'\\0', 1)[1] == cover}\n"
        "else:\n"
        "    t = ID3(path)\n"
        "    out = {'version': list(t.version), 'title': str(t['TIT2']), 'genre': str(t['TCON']), 'track': str(t['TRCK']),"
        " 'comment': str(t['COMM::ger']), 'albumartist': str(t['TPE2']), 'disc': str(t['TPOS']),"
        " 'picture': t['APIC:e'].data == cover, 'mime': t['APIC:e'].mime, 'type': int(t['APIC:e'].type)}\n"
        "print(json.dumps(out))",
        {path, Fixture(cover)});
    QVERIFY2(!read.contains("error"), qPrintable(read.value("error").toString()));
    QCOMPARE(read.value("title").toString(), QString("value 0"));
    QCOMPARE(read.value("genre").toString(), QString("value 3"));
    QCOMPARE(read.value("track").toString(), QString("3/12"));
    QVERIFY(read.value("picture").toBool());
    if (name.endsWith(".flac")) {
        const QStringList blocks = read.value("blocks").toVariant().toStringList();
        QCOMPARE(blocks.first(), QString("StreamInfo"));
        QCOMPARE(blocks.count("VCFLACDict"), 1);
        QCOMPARE(blocks.last(), QString("Picture"));
        QCOMPARE(read.value("vendor").toString(), vendorBefore.left(60));
        const QStringList size = QString::fromUtf8(Run("ffprobe", {"-v", "error", "-show_entries", "stream=width,height",
                                                                   "-of", "csv=p=0", Fixture(cover)}))
                                     .trimmed()
                                     .split(',');
        QCOMPARE(QString::number(read.value("width").toInt()), size.value(0));
        QCOMPARE(QString::number(read.value("height").toInt()), size.value(1));
        QCOMPARE(read.value("depth").toInt(), 24);
    } else if (!name.endsWith(".ape")) {
        // ffmpeg's 2.4 tag on the AAC file holds an encoder frame, which keeps the tag at 2.4.
        QCOMPARE(read.value("version").toArray().at(1).toInt(), name.endsWith(".aac") ? 4 : 3);
        QCOMPARE(read.value("comment").toString(), QString("value 6"));
        QCOMPARE(read.value("albumartist").toString(), QString("value 10"));
        QCOMPARE(read.value("disc").toString(), QString("1/2"));
        QCOMPARE(read.value("type").toInt(), 3);
        const QByteArray bytes = ReadFile(path);
        QVERIFY(!bytes.right(128).startsWith("TAG"));
        QVERIFY(!bytes.contains("APETAGEX"));
    } else {
        // Everything outside the tag is unchanged.
        QVERIFY(ReadFile(path).startsWith(ReadFile(Fixture("new.ape"))));
    }
}

void TestTagOracles::id3v1RecordReadByMutagen()
{
    const QString path = Copy("bare_mpeg2.mp3");
    const QByteArray before = ReadFile(path);
    TagFilePtr file = Open(path);
    const std::wstring title = L"Record Title";
    const std::wstring genre = L"Jazz";
    const std::wstring track = L"7";
    QCOMPARE(file->AddField(TextField(TagKindTitle, title, TagSlotId3v1)), 0);
    QCOMPARE(file->AddField(TextField(TagKindGenre, genre, TagSlotId3v1)), 0);
    QCOMPARE(file->AddField(TextField(TagKindTrack, track, TagSlotId3v1)), 0);
    QCOMPARE(file->Save(), 0);
    const QJsonObject read = PythonJson("from mutagen.id3 import ParseID3v1\n"
                                        "t = ParseID3v1(open(sys.argv[1], 'rb').read()[-128:])\n"
                                        "print(json.dumps({k: str(v) for k, v in t.items()}))",
                                        {path});
    QCOMPARE(read.value("TIT2").toString(), QString("Record Title"));
    QCOMPARE(read.value("TCON").toString(), QString("8"));
    QCOMPARE(read.value("TRCK").toString(), QString("7"));
    QCOMPARE(ReadFile(path).left(before.size()), before);
}

void TestTagOracles::reverseWrittenTagsReadByUs()
{
    TagFilePtr v24 = Open(Fixture("v24.mp3"));
    QVERIFY(v24);
    QCOMPARE(TextsByKind(v24.get(), TagSlotId3v2).value(TagKindTitle), QString("Title"));
    QCOMPARE(TextsByKind(v24.get(), TagSlotId3v2).value(TagKindTrack), QString("3/12"));
    QCOMPARE(PictureOf(v24.get(), TagSlotId3v2), ReadFile(Fixture("cover.jpg")));

    TagFilePtr v23 = Open(Fixture("v23v1.mp3"));
    QCOMPARE(TextsByKind(v23.get(), TagSlotId3v2).value(TagKindArtist), QString("Artist"));
    QCOMPARE(TextsByKind(v23.get(), TagSlotId3v2).value(TagKindComment), QString("Note"));
    QCOMPARE(TextsByKind(v23.get(), TagSlotId3v1).value(TagKindTitle), QString("Title"));

    TagFilePtr ape = Open(Fixture("apev1.mp3"));
    QCOMPARE(TextsByKind(ape.get(), TagSlotApe).value(TagKindArtist), QString("Ape Artist"));
    QCOMPARE(PictureOf(ape.get(), TagSlotApe), ReadFile(Fixture("cover.jpg")));
    QCOMPARE(TextsByKind(ape.get(), TagSlotId3v1).value(TagKindTitle), QString("V1 Title"));

    TagFilePtr apeAudio = Open(Fixture("tagged.ape"));
    QCOMPARE(apeAudio->FormatIndex(), 6);
    QCOMPARE(TextsByKind(apeAudio.get(), TagSlotApe).value(TagKindTitle), QString("Ape Audio"));
    QCOMPARE(PictureOf(apeAudio.get(), TagSlotApe), ReadFile(Fixture("cover.png")));

    TagFilePtr flac = Open(Fixture("picture.flac"));
    QCOMPARE(TextsByKind(flac.get(), TagSlotFlac).value(TagKindTitle), QString("T"));
    QCOMPARE(TextsByKind(flac.get(), TagSlotFlac).value(TagKindArtist), QString("Ar"));
    QCOMPARE(PictureOf(flac.get(), TagSlotFlac), ReadFile(Fixture("cover.png")));

    TagFilePtr lead = Open(Fixture("id3zeros.flac"));
    QCOMPARE(lead->FormatIndex(), 7);
    QCOMPARE(TextsByKind(lead.get(), TagSlotId3v2).value(TagKindTitle), QString("Lead"));
    QCOMPARE(TextsByKind(lead.get(), TagSlotFlac).value(TagKindTitle), QString("T"));

    TagFilePtr tagged = Open(Fixture("tagged.mp3"));
    QCOMPARE(TextsByKind(tagged.get(), TagSlotId3v2).value(TagKindTrack), QString("3/12"));
    QCOMPARE(TextsByKind(tagged.get(), TagSlotId3v1).value(TagKindTitle), QString("T"));
}

GLINTORA_TEST_MAIN_CORE(TestTagOracles)
#include "tst_tagoracles.moc"
