#include "growablememorystream.h"
#include "oggtagformat.h"
#include "tagtesthelpers.h"
#include "testhome.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <ogg/ogg.h>

using namespace TagTest;

namespace {

enum Format { Wav = 0, Wma = 1, M4a = 4, Ogg = 5 };

struct OggPage
{
    quint32 serial;
    quint32 sequence;
    QByteArray bytes;
};

// Splits an Ogg file into pages; false when a page is cut short or its checksum is wrong.
bool SplitOggPages(const QByteArray &file, QList<OggPage> *pages)
{
    for (int at = 0; at < file.size();) {
        if (file.mid(at, 4) != "OggS" || at + 27 > file.size())
            return false;
        const int segments = quint8(file[at + 26]);
        int body = 0;
        for (int i = 0; i < segments; ++i)
            body += quint8(file[at + 27 + i]);
        const int length = 27 + segments + body;
        if (at + length > file.size())
            return false;
        QByteArray page = file.mid(at, length);
        QByteArray copy = page;
        ogg_page og{reinterpret_cast<unsigned char *>(copy.data()), 27 + segments,
                    reinterpret_cast<unsigned char *>(copy.data()) + 27 + segments, body};
        ogg_page_checksum_set(&og);
        if (copy != page)
            return false;
        const auto *p = reinterpret_cast<const uchar *>(page.constData());
        pages->append({qFromLittleEndian<quint32>(p + 14), qFromLittleEndian<quint32>(p + 18), page});
        at += length;
    }
    return true;
}

// Every page's checksum is valid and each stream's pages are numbered without gaps.
bool ValidOggPages(const QByteArray &file)
{
    QList<OggPage> pages;
    if (!SplitOggPages(file, &pages))
        return false;
    QMap<quint32, quint32> next;
    for (const OggPage &page : pages) {
        if (next.contains(page.serial) && next[page.serial] != page.sequence)
            return false;
        next[page.serial] = page.sequence + 1;
    }
    return true;
}

QList<QByteArray> PagesOfOtherStreams(const QByteArray &file, quint32 serial)
{
    QList<OggPage> pages;
    SplitOggPages(file, &pages);
    QList<QByteArray> out;
    for (const OggPage &page : pages) {
        if (page.serial != serial)
            out << page.bytes;
    }
    return out;
}

// An atom's bytes, found by its type.
QByteArray Atom(const QByteArray &file, const QByteArray &type)
{
    const int at = file.indexOf(type);
    return at < 4 ? QByteArray() : file.mid(at - 4, qFromBigEndian<quint32>(file.constData() + at - 4));
}

quint64 AsfFilePropertiesSize(const QByteArray &file)
{
    const QByteArray guid = QByteArray::fromHex("A1DCAB8C47A9CF118EE400C00C205365");
    const int at = file.indexOf(guid);
    return at < 0 ? 0 : qFromLittleEndian<quint64>(file.constData() + at + 40);
}

QJsonObject PythonJson(const QString &code, const QString &path)
{
    bool ok = false;
    const QByteArray out = Python("import json, sys\n" + code, {path}, &ok);
    return ok ? QJsonDocument::fromJson(out).object() : QJsonObject{{"error", QString::fromUtf8(out)}};
}

QMultiMap<int, QString> Texts(ITagFile *file)
{
    QMultiMap<int, QString> texts;
    for (int i = 0; i < file->FieldCount(); ++i) {
        const TagField f = file->GetField(i);
        if (f.valueType == TagValueText)
            texts.insert(f.kind, Text(f));
    }
    return texts;
}

QByteArray Picture(ITagFile *file)
{
    for (int i = 0; i < file->FieldCount(); ++i) {
        if (file->GetField(i).kind == TagKindPicture)
            return Bytes(file->GetField(i));
    }
    return QByteArray();
}

QString Value(int kind)
{
    switch (kind) {
    case TagKindGenre:
        return "Rock";
    case TagKindTrack:
        return "5/12";
    case TagKindDisc:
        return "1/2";
    case TagKindYear:
        return "2024";
    default:
        return QString("Value %1").arg(kind);
    }
}

} // namespace

class TestContainerOracles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void converterFlow_data();
    void converterFlow();
    void othersWriteWeRead();
    void packetFillingOnePageExactly();
    void streamedWav();
    void probeIgnoresWrongExtension();
    void failedSaveLeavesFileIntact_data();
    void failedSaveLeavesFileIntact();
    void foreignEntriesSurvive();

private:
    QString Copy(const QString &name, const QString &as = QString());
    void CheckMp4(const QString &path, const QByteArray &before);
    void CheckOgg(const QString &path, const QByteArray &before);
    void CheckWav(const QString &path);
    void CheckWma(const QString &path);
    QTemporaryDir m_dir;
    QByteArray m_png;
};

void TestContainerOracles::initTestCase()
{
    RequireTools({"ffmpeg", "ffprobe", "/usr/bin/python3", "ogginfo", "oggenc", "vorbiscomment"});
    MakeFixtures(m_dir.path());
    m_png = ReadFile(m_dir.filePath("cover.png"));
}

QString TestContainerOracles::Copy(const QString &name, const QString &as)
{
    const QString copy = m_dir.filePath("work-" + (as.isEmpty() ? name : as));
    QFile::remove(copy);
    QFile::copy(m_dir.filePath(name), copy);
    return copy;
}

void TestContainerOracles::converterFlow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("kinds");
    const QString mp4 = "0 1 2 3 4 5 6 7 9 10 11 12 13";
    for (const char *name : {"end.m4a", "faststart.m4a", "chapters.m4a", "items.m4a", "co64.m4a"})
        QTest::newRow(name) << name << int(M4a) << mp4;
    for (const char *name : {"ffmpeg.ogg", "oggenc.ogg", "long.ogg", "mux.ogg", "nocomment.ogg"})
        QTest::newRow(name) << name << int(Ogg) << "0 1 2 3 4 5 6 7 9 10 11 12 13";
    for (const char *name : {"plain.wav", "info.wav", "streamed.wav"})
        QTest::newRow(name) << name << int(Wav) << "0 1 2 3 4 5 6 7";
    for (const char *name : {"ffmpeg.wma", "attributes.wma"})
        QTest::newRow(name) << name << int(Wma) << "0 1 7 6 2 3 4 5 9 10 11 13";
}

// What the converter does with a finished output: clear, add every value and a cover, save;
// the audio stays the same and independent readers see the values.
void TestContainerOracles::converterFlow()
{
    QFETCH(QString, name);
    QFETCH(int, format);
    QFETCH(QString, kinds);
    const QString path = Copy(name);
    const QByteArray before = ReadFile(path);
    // The stream without comment header is the oggenc file with that packet removed.
    const QByteArray digest = AudioDigest(m_dir.filePath(name == "nocomment.ogg" ? "oggenc.ogg" : name));
    int result = -1;
    TagFilePtr file = OpenTagFile(path, &result);
    QCOMPARE(result, 0);
    QCOMPARE(file->FormatIndex(), format);
    QCOMPARE(file->ClearFields(), 0);
    for (int kind = 0; kind < TagKindCount; ++kind) {
        if (kind == TagKindLyrics)
            continue;
        const std::wstring text = Wide(Value(kind));
        const TagField field = kind == TagKindPicture ? BinaryField(kind, m_png) : TextField(kind, text);
        QCOMPARE(file->AddField(field), 0);
    }
    QCOMPARE(file->Save(), 0);
    file = OpenTagFile(path, &result);
    QCOMPARE(result, 0);
    QStringList read;
    for (int i = 0; i < file->FieldCount(); ++i) {
        const TagField f = file->GetField(i);
        read << QString::number(f.kind);
        if (f.kind == TagKindPicture)
            QCOMPARE(Bytes(f), m_png);
        else
            QCOMPARE(Text(f), Value(f.kind));
    }
    QCOMPARE(read.join(' '), kinds);
    QCOMPARE(AudioDigest(path), digest);
    if (format == M4a)
        CheckMp4(path, before);
    else if (format == Ogg)
        CheckOgg(path, before);
    else if (format == Wav)
        CheckWav(path);
    else
        CheckWma(path);
}

void TestContainerOracles::CheckMp4(const QString &path, const QByteArray &before)
{
    const QJsonObject tags = PythonJson("from mutagen.mp4 import MP4\n"
                                        "t = MP4(sys.argv[1]).tags\n"
                                        "print(json.dumps({'nam': t['\\xa9nam'][0], 'trkn': list(t['trkn'][0]),"
                                        " 'disk': list(t['disk'][0]), 'covr': t['covr'][0].imageformat,"
                                        " 'aART': t['aART'][0], 'wrt': t['\\xa9wrt'][0]}))",
                                        path);
    QCOMPARE(tags.value("nam").toString(), Value(0));
    QCOMPARE(tags.value("trkn").toVariant().toList(), (QVariantList{5, 12}));
    QCOMPARE(tags.value("disk").toVariant().toList(), (QVariantList{1, 2}));
    QCOMPARE(tags.value("covr").toInt(), 14);
    QCOMPARE(tags.value("aART").toString(), Value(TagKindAlbumArtist));
    QCOMPARE(tags.value("wrt").toString(), Value(TagKindComposer));
    QCOMPARE(Atom(ReadFile(path), "chpl"), Atom(before, "chpl"));
}

void TestContainerOracles::CheckOgg(const QString &path, const QByteArray &before)
{
    bool ok = false;
    const QByteArray report = Run("ogginfo", {path}, &ok);
    QVERIFY2(ok && !report.contains("WARNING"), report.constData());
    const QByteArray after = ReadFile(path);
    QVERIFY(ValidOggPages(after));
    GrowableMemoryStream stream(Vector(after));
    int result = -1;
    OggTagFormat handler(&stream, &result);
    QCOMPARE(result, 0);
    QCOMPARE(PagesOfOtherStreams(after, handler.Serial()), PagesOfOtherStreams(before, handler.Serial()));
    const QString vendor = "import hashlib\n"
                           "from mutagen.oggvorbis import OggVorbis\n"
                           "from mutagen.ogg import OggPage\n"
                           "f = OggVorbis(sys.argv[1])\n"
                           "pages = []\n"
                           "with open(sys.argv[1], 'rb') as h:\n"
                           "    while True:\n"
                           "        try: pages.append(OggPage(h))\n"
                           "        except EOFError: break\n"
                           "ours = [p for p in pages if p.serial == f.info.serial]\n"
                           "setup = [p for p in OggPage.to_packets([p for p in ours if p.position <= 0]) if p.startswith(b'\\x05vorbis')]\n"
                           "print(json.dumps({'vendor': f.tags.vendor, 'title': f.tags.get('title', [''])[0],"
                           " 'setup': hashlib.md5(setup[0]).hexdigest()}))";
    const QJsonObject now = PythonJson(vendor, path);
    QCOMPARE(now.value("title").toString(), Value(0));
    // The stream without comment header is compared with the file it was made from.
    const QString file = m_dir.filePath("old.ogg");
    WriteFile(file, path.endsWith("nocomment.ogg") ? ReadFile(m_dir.filePath("oggenc.ogg")) : before);
    const QJsonObject old = PythonJson(vendor, file);
    QCOMPARE(now.value("setup").toString(), old.value("setup").toString());
    if (!path.endsWith("nocomment.ogg"))
        QCOMPARE(now.value("vendor").toString(), old.value("vendor").toString());
}

void TestContainerOracles::CheckWav(const QString &path)
{
    const QByteArray bytes = ReadFile(path);
    const quint32 riffSize = qFromLittleEndian<quint32>(bytes.constData() + 4);
    if (riffSize != 0xFFFFFFFFu)
        QCOMPARE(qint64(riffSize), qint64(bytes.size()) - 8);
    const QByteArray title = Run("ffprobe", {"-v", "error", "-show_entries", "format_tags=title", "-of", "csv=p=0", path});
    QCOMPARE(QString::fromUtf8(title).trimmed(), Value(0));
    if (!QStandardPaths::findExecutable("exiftool").isEmpty()) {
        const QByteArray riff = Run("exiftool", {"-s3", "-RIFF:Title", path});
        QCOMPARE(QString::fromUtf8(riff).trimmed(), Value(0));
    }
}

void TestContainerOracles::CheckWma(const QString &path)
{
    const QJsonObject tags = PythonJson("from mutagen.asf import ASF\n"
                                        "t = ASF(sys.argv[1]).tags\n"
                                        "print(json.dumps({'title': str(t['Title'][0]), 'album': str(t['WM/AlbumTitle'][0]),"
                                        " 'track': str(t['WM/TrackNumber'][0])}))",
                                        path);
    QCOMPARE(tags.value("title").toString(), Value(0));
    QCOMPARE(tags.value("album").toString(), Value(TagKindAlbum));
    QCOMPARE(tags.value("track").toString(), Value(TagKindTrack));
    const QByteArray bytes = ReadFile(path);
    QCOMPARE(AsfFilePropertiesSize(bytes), quint64(bytes.size()));
}

void TestContainerOracles::othersWriteWeRead()
{
    const QString ogg = Copy("ffmpeg.ogg");
    bool ok = false;
    Run("vorbiscomment", {"-w", "-t", "TITLE=Vc", "-t", "ARTIST=Va", ogg}, &ok);
    QVERIFY(ok);
    struct Expected
    {
        QString name;
        QMap<int, QString> texts;
        QByteArray picture;
    };
    const QByteArray big = m_png + QByteArray(70000, '\0');
    const QList<Expected> cases{
        {"items.m4a", {{0, "Mutagen Title"}, {5, "5/12"}, {10, "Band"}, {11, "Writer"}, {13, "1/2"}}, m_png},
        {"work-ffmpeg.ogg", {{0, "Vc"}, {1, "Va"}}, QByteArray()},
        {"info.wav", {{0, "T"}, {1, "A"}}, QByteArray()},
        {"attributes.wma", {{0, "Lead"}, {3, "Rock"}, {5, "5"}}, big},
    };
    for (const Expected &expected : cases) {
        int result = -1;
        TagFilePtr file = OpenTagFile(m_dir.filePath(expected.name), &result);
        QCOMPARE(result, 0);
        const QMultiMap<int, QString> texts = Texts(file.get());
        for (auto it = expected.texts.begin(); it != expected.texts.end(); ++it)
            QVERIFY2(texts.values(it.key()).contains(it.value()), qPrintable(expected.name + ": " + it.value()));
        QCOMPARE(Picture(file.get()), expected.picture);
    }
}

// A comment packet of 255 × 255 bytes fills one page; a page with the single lacing value 0 ends it.
void TestContainerOracles::packetFillingOnePageExactly()
{
    const QString path = Copy("oggenc.ogg");
    TagFilePtr file = OpenTagFile(path);
    QCOMPARE(file->ClearFields(), 0);
    file->AddField(TextField(TagKindTitle, L"x"));
    QCOMPARE(file->Save(), 0);
    GrowableMemoryStream probe(Vector(ReadFile(path)));
    int result = -1;
    const int length = OggTagFormat(&probe, &result).CommentLength();
    QVERIFY(length > 0 && length < 65025);
    file = OpenTagFile(path);
    file->ClearFields();
    const std::wstring title(65025 - length + 1, L'x');
    file->AddField(TextField(TagKindTitle, title));
    QCOMPARE(file->Save(), 0);
    const QByteArray after = ReadFile(path);
    QVERIFY(ValidOggPages(after));
    QList<OggPage> pages;
    SplitOggPages(after, &pages);
    QCOMPARE(pages.value(1).bytes.size(), 65307);
    QCOMPARE(pages.value(2).bytes.size(), 28);
    bool ok = false;
    const QByteArray report = Run("ogginfo", {path}, &ok);
    QVERIFY2(ok && !report.contains("WARNING"), report.constData());
}

// A WAV written to a pipe keeps its unknown sizes; without a list, nothing can be appended.
void TestContainerOracles::streamedWav()
{
    const QString path = Copy("streamed_plain.wav");
    const QByteArray before = ReadFile(path);
    TagFilePtr file = OpenTagFile(path);
    QCOMPARE(file->FormatIndex(), int(Wav));
    file->AddField(TextField(TagKindTitle, L"T"));
    QCOMPARE(file->Save(), -1);
    QCOMPARE(ReadFile(path), before);
    const QByteArray saved = ReadFile(Copy("streamed.wav"));
    QCOMPARE(qFromLittleEndian<quint32>(saved.constData() + 4), 0xFFFFFFFFu);
}

void TestContainerOracles::probeIgnoresWrongExtension()
{
    int result = -1;
    QCOMPARE(OpenTagFile(Copy("ffmpeg.ogg", "ogg.m4a"), &result)->FormatIndex(), int(Ogg));
    QCOMPARE(OpenTagFile(Copy("faststart.m4a", "m4a.bin"), &result)->FormatIndex(), int(M4a));
    QCOMPARE(OpenTagFile(Copy("ffmpeg.wma", "wma"), &result)->FormatIndex(), int(Wma));
    QCOMPARE(OpenTagFile(Copy("plain.wav", "wav.ogg"), &result)->FormatIndex(), int(Wav));
}

void TestContainerOracles::failedSaveLeavesFileIntact_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"faststart.m4a", "long.ogg", "info.wav", "ffmpeg.wma"})
        QTest::newRow(name) << name;
}

// A write failure at every size the save passes through leaves the file as it was.
void TestContainerOracles::failedSaveLeavesFileIntact()
{
    QFETCH(QString, name);
    const QString path = Copy(name);
    const QByteArray content = ReadFile(path);
    int failures = 0;
    for (int extra = 0; extra < 400000; extra += 3001) {
        TagFilePtr file = OpenTagFile(path);
        file->ClearFields();
        const std::wstring comment(100000, L'c');
        file->AddField(TextField(TagKindComment, comment));
        int result;
        {
            FileSizeLimit limit(static_cast<rlim_t>(content.size() + extra));
            result = file->Save();
        }
        if (result == 0)
            break;
        ++failures;
        QCOMPARE(result, -1);
        QCOMPARE(ReadFile(path), content);
        QVERIFY(SaveLeftovers(m_dir.path()).isEmpty());
    }
    QVERIFY(failures >= 1);
}

// The converter's clear, add and save keeps chapters and the encoder's name as ffprobe saw them;
// a title GBK cannot hold still arrives.
void TestContainerOracles::foreignEntriesSurvive()
{
    const std::wstring title = L"Bj\u00F6rk \u2713";
    for (const QString name : {"chapters.mp3", "chapters.flac", "chapters.ogg", "software.wav"}) {
        const QString path = Copy(name);
        const auto probe = [&path](const char *key) {
            return QString::fromUtf8(Run("ffprobe", {"-v", "error", "-show_chapters", "-show_entries",
                                                     QString("format_tags=%1:stream_tags=%1").arg(key), "-of", "compact", path}));
        };
        const QString before = probe("encoder");
        QVERIFY2(before.contains(name.endsWith(".wav") ? "encoder=Lavf" : "tag:title=Two"), qPrintable(name + before));
        TagFilePtr file = OpenTagFile(path);
        file->ClearFields();
        QCOMPARE(file->AddField(TextField(TagKindTitle, title)), 0);
        QCOMPARE(file->Save(), 0);
        QVERIFY2(probe("encoder") == before, qPrintable(name));
        QVERIFY2(probe("title").contains("tag:title=" + QString::fromStdWString(title), Qt::CaseInsensitive), qPrintable(name));
    }
}

GLINTORA_TEST_MAIN_CORE(TestContainerOracles)
#include "tst_containeroracles.moc"
