#include "tagtesthelpers.h"
#include "testhome.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace TagTest;

namespace {

// Every tag item as mutagen sees it: key -> text, with binary values as type, description and
// digest, so that a lost picture type or description shows; ASF attributes with their value
// type, language and stream.
const char kDump[] =
    "import hashlib, json, sys, mutagen\n"
    "def norm(v):\n"
    "    if isinstance(v, (list, tuple)):\n"
    "        return '|'.join(norm(x) for x in v)\n"
    "    if hasattr(v, 'language') and hasattr(v, 'stream'):\n"
    "        value = v.value if not isinstance(v.value, bytes) else hashlib.md5(v.value).hexdigest()\n"
    "        return '%s:%s:%s:%s' % (type(v).__name__, v.language, v.stream, value)\n"
    "    data = getattr(v, 'data', None)\n"
    "    if isinstance(data, bytes) and not isinstance(v, bytes):\n"
    "        return 'bin:%s:%s:%s' % (getattr(v, 'type', ''), getattr(v, 'desc', ''), hashlib.md5(data).hexdigest())\n"
    "    if isinstance(v, bytes):\n"
    "        return 'bin:' + hashlib.md5(bytes(v)).hexdigest()\n"
    "    if hasattr(v, 'text') and hasattr(v, 'desc'):\n"
    "        return '%s:%s' % (v.desc, '/'.join(str(t) for t in v.text))\n"
    "    return str(v)\n"
    "f = mutagen.File(sys.argv[1])\n"
    "out = {}\n"
    "for key in (f.tags.keys() if f and f.tags is not None else []):\n"
    "    out[str(key)] = norm(f.tags[key])\n"
    "for i, p in enumerate(getattr(f, 'pictures', [])):\n"
    "    out['picture%d' % i] = norm(p)\n"
    "try:\n"
    "    from mutagen.apev2 import APEv2\n"
    "    for key, value in APEv2(sys.argv[1]).items():\n"
    "        out['ape:' + key] = str(value)\n"
    "except Exception:\n"
    "    pass\n"
    "print(json.dumps(out))\n";

QJsonObject MutagenView(const QString &path)
{
    bool ok = false;
    const QByteArray out = Python(kDump, {path}, &ok);
    return ok ? QJsonDocument::fromJson(out).object() : QJsonObject{{"error", QString::fromUtf8(out)}};
}

void MakeAudio(const QString &path)
{
    bool ok = false;
    Run("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=0.3", "-ac", "1", path}, &ok);
    QVERIFY2(ok, qPrintable(path));
}

void RunTagger(QStringList command, const QString &path)
{
    const QString program = command.takeFirst();
    command.replaceInStrings("FILE", path);
    bool ok = false;
    const QByteArray out = program == "python3" ? Python(command.join('\n'), {path}, &ok) : Run(program, command, &ok);
    QVERIFY2(ok, out.constData());
}

// "kind=value" for every text field the library reads.
QStringList ReadFields(ITagFile *file)
{
    QStringList fields;
    for (int i = 0; i < file->FieldCount(); ++i) {
        const TagField field = file->GetField(i);
        if (field.valueType == TagValueText)
            fields << QString("%1=%2").arg(field.kind).arg(Text(field));
    }
    return fields;
}

const char kMutagenMp3[] =
    "import sys\n"
    "from mutagen.id3 import ID3, TIT2, TPE1, COMM, APIC\n"
    "t = ID3()\n"
    "t.add(TIT2(encoding=0, text=['Caf\\xe9 Title']))\n"
    "t.add(TPE1(encoding=3, text=['First', 'Second']))\n"
    "t.add(COMM(encoding=0, lang='eng', desc='', text=['Main comment']))\n"
    "t.add(COMM(encoding=0, lang='eng', desc='iTunNORM', text=[' 00000001 00000002']))\n"
    "t.add(APIC(encoding=0, mime='image/png', type=3, desc='front', data=b'\\x89PNG\\r\\n\\x1a\\n' + b'f' * 40))\n"
    "t.add(APIC(encoding=0, mime='image/png', type=4, desc='back', data=b'\\x89PNG\\r\\n\\x1a\\n' + b'b' * 40))\n"
    "t.save(sys.argv[1], v2_version=VERSION)\n";

// TAGS stands for the attributes a row sets; picture() makes a "WM/Picture" value.
const char kMutagenAsf[] =
    "import struct, sys\n"
    "from mutagen.asf import ASF, ASFByteArrayAttribute, ASFDWordAttribute, ASFGUIDAttribute, ASFUnicodeAttribute\n"
    "def picture(kind, desc, data):\n"
    "    texts = ('image/png\\0' + desc + '\\0').encode('utf-16-le')\n"
    "    return ASFByteArrayAttribute(struct.pack('<BI', kind, len(data)) + texts + data)\n"
    "png = b'\\x89PNG\\r\\n\\x1a\\n'\n"
    "f = ASF(sys.argv[1])\n"
    "f['Title'] = ['Caf\\xe9 Title']\n"
    "TAGS\n"
    "f.save()\n";

QStringList MutagenAsf(const QString &tags)
{
    return {"python3", QString(kMutagenAsf).replace("TAGS", tags)};
}

} // namespace

// Files tagged by independent tools: what they wrote reads correctly, and a save of one
// change leaves everything else in place for mutagen.
class TestTagInterop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void otherTaggersSurviveOurSave_data();
    void otherTaggersSurviveOurSave();

private:
    QTemporaryDir m_dir;
};

void TestTagInterop::initTestCase()
{
    RequireTools({"ffmpeg", "/usr/bin/python3", "eyeD3", "id3v2", "metaflac", "vorbiscomment", "AtomicParsley"});
    QVERIFY(m_dir.isValid());
}

void TestTagInterop::otherTaggersSurviveOurSave_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QStringList>("tagger");
    QTest::addColumn<QStringList>("expected");
    const QString cafe = QString::fromUtf8("Caf\xC3\xA9 Title");
    const QString artist = QString::fromUtf8("Stra\xC3\x9F" "e \xC3\x86r\xC3\xB8");

    QTest::newRow("eyeD3 2.4 Latin-1") << "mp3"
        << QStringList{"eyeD3", "--quiet", "--to-v2.4", "--encoding", "latin1", "-t", cafe, "-a", artist, "-A", "Album",
                       "-b", "Band", "--composer", "Writer", "-d", "2", "-n", "3", "-N", "12",
                       "--add-comment", "Main comment", "--add-comment", "Norm:iTunNORM", "FILE"}
        << QStringList{"0=" + cafe, "1=" + artist, "2=Album", "10=Band", "11=Writer", "5=03/12", "13=02",
                       "6=Main comment", "6=Norm"};
    QTest::newRow("id3v2 tool 2.3") << "mp3"
        << QStringList{"id3v2", "-2", "-t", cafe, "-a", artist, "-A", "Album", "-c", "Comment", "-g", "17", "-T", "3/12",
                       "FILE"}
        << QStringList{"0=" + cafe, "1=" + artist, "2=Album", "6=Comment", "5=3/12"};
    // Version 2.3 has no value separator: mutagen joins the artists with "/".
    QTest::newRow("mutagen 2.3") << "mp3" << QStringList{"python3", QString(kMutagenMp3).replace("VERSION", "3")}
                                 << QStringList{"0=" + cafe, "1=First/Second", "6=Main comment"};
    QTest::newRow("mutagen 2.4") << "mp3" << QStringList{"python3", QString(kMutagenMp3).replace("VERSION", "4")}
                                 << QStringList{"0=" + cafe, "1=First", "1=Second", "6=Main comment"};
    QTest::newRow("mutagen APE") << "mp3"
        << QStringList{"python3", "import sys\nfrom mutagen.apev2 import APEv2\nt = APEv2()\n"
                                  "t['Title'] = 'Caf\\xe9 Title'\nt['Artist'] = 'Band'\n"
                                  "t['MUSICBRAINZ_TRACKID'] = '0123-4567'\nt['REPLAYGAIN_TRACK_GAIN'] = '-3.2 dB'\n"
                                  "t.save(sys.argv[1])\n"}
        << QStringList{"0=" + cafe, "1=Band"};
    QTest::newRow("mutagen ASF") << "wma"
        << MutagenAsf("f['Author'] = ['Band']\nf['WM/AlbumTitle'] = ['Album']\nf['WM/AlbumArtist'] = ['Various']\n"
                      "f['WM/Composer'] = ['Writer']\nf['WM/PartOfSet'] = ['1/2']\n"
                      "f['MusicBrainz/Track Id'] = ['0123-4567']")
        << QStringList{"0=" + cafe, "1=Band", "2=Album", "10=Various", "11=Writer", "13=1/2"};
    // Mutagen writes these into the Metadata Library (large, GUID, with a language) and the
    // Metadata object (with a stream).
    QTest::newRow("mutagen ASF Metadata Library") << "wma"
        << MutagenAsf("f['WM/AlbumTitle'] = [ASFUnicodeAttribute('Album', language=1)]\n"
                      "f['Private/Note'] = [ASFUnicodeAttribute('Kept', language=2)]\n"
                      "f['Private/Id'] = [ASFGUIDAttribute(b'0123456789abcdef')]\n"
                      "f['Private/Count'] = [ASFDWordAttribute(7, stream=1)]\n"
                      "f['WM/Picture'] = [picture(4, 'large back', png + bytes(range(256)) * 300)]")
        << QStringList{"0=" + cafe, "2=Album"};
    QTest::newRow("mutagen ASF two pictures") << "wma"
        << MutagenAsf("f['WM/Picture'] = [picture(3, 'front', png + b'f' * 40), picture(4, 'back', png + b'b' * 40)]\n"
                      "f['WM/TrackNumber'] = [ASFDWordAttribute(3)]")
        << QStringList{"0=" + cafe, "5=3"};
    QTest::newRow("metaflac") << "flac"
        << QStringList{"metaflac", "--set-tag=TITLE=" + cafe, "--set-tag=ARTIST=" + artist, "--set-tag=ARTIST=Second",
                       "--set-tag=ALBUMARTIST=Band", "--set-tag=COMPOSER=Writer", "--set-tag=TRACKNUMBER=3",
                       "--set-tag=TRACKTOTAL=12", "--set-tag=DISCNUMBER=1", "--set-tag=DISCTOTAL=2",
                       "--set-tag=MUSICBRAINZ_TRACKID=0123-4567", "FILE"}
        << QStringList{"0=" + cafe, "1=" + artist, "1=Second", "10=Band", "11=Writer", "5=3/12", "13=1/2"};
    QTest::newRow("mutagen FLAC back cover") << "flac"
        << QStringList{"python3", "import sys\nfrom mutagen.flac import FLAC, Picture\nf = FLAC(sys.argv[1])\n"
                                  "p = Picture()\np.type = 4\np.mime = 'image/png'\np.desc = 'back'\n"
                                  "p.data = b'\\x89PNG\\r\\n\\x1a\\n' + b'b' * 40\nf.add_picture(p)\n"
                                  "f['TITLE'] = 'Caf\\xe9 Title'\nf.save()\n"}
        << QStringList{"0=" + cafe};
    QTest::newRow("vorbiscomment") << "ogg"
        << QStringList{"vorbiscomment", "-w", "-t", "TITLE=" + cafe, "-t", "GROUPING=Set", "-t", "COMPOSER=Writer",
                       "-t", "REPLAYGAIN_TRACK_GAIN=-3.2 dB", "FILE"}
        << QStringList{"0=" + cafe, "12=Set", "11=Writer"};
    QTest::newRow("AtomicParsley") << "m4a"
        << QStringList{"AtomicParsley", "FILE", "--overWrite", "--title", cafe, "--artist", artist, "--genre", "Rock",
                       "--copyright", "Owner", "--bpm", "120", "--encodingTool", "Tool",
                       "--rDNSatom", "0123-4567", "name=MusicBrainz Track Id", "domain=com.apple.iTunes"}
        << QStringList{"0=" + cafe, "1=" + artist, "3=Rock", "7=Owner"};
}

void TestTagInterop::otherTaggersSurviveOurSave()
{
    QFETCH(QString, extension);
    QFETCH(QStringList, tagger);
    QFETCH(QStringList, expected);
    const QString path = m_dir.filePath(QString(QTest::currentDataTag()).replace(' ', '-') + "." + extension);
    MakeAudio(path);
    RunTagger(tagger, path);
    const QJsonObject before = MutagenView(path);
    QVERIFY2(!before.contains("error"), qPrintable(before.value("error").toString()));

    int result = -1;
    TagFilePtr file = OpenTagFile(path, &result);
    QCOMPARE(result, 0);
    const QStringList fields = ReadFields(file.get());
    for (const QString &field : expected)
        QVERIFY2(fields.contains(field), qPrintable(field + " not in " + fields.join(", ")));
    const std::wstring title = L"Changed";
    QCOMPARE(file->SetFieldsOfKind(TagKindTitle, TextField(TagKindTitle, title)), 0);
    QCOMPARE(file->Save(), 0);
    file.reset();

    const QJsonObject after = MutagenView(path);
    const QString oldTitle = expected.first().mid(2);
    for (auto item = before.begin(); item != before.end(); ++item) {
        const QString was = item.value().toString();
        const QString now = after.value(item.key()).toString();
        if (was.contains(oldTitle))
            QVERIFY2(now.contains("Changed"), qPrintable(item.key() + ": " + now));
        else
            QVERIFY2(now == was, qPrintable(item.key() + ": " + was + " became " + now));
    }
}

GLINTORA_TEST_MAIN_CORE(TestTagInterop)
#include "tst_taginterop.moc"
