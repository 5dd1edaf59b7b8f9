#include "faultinjectingstream.h"
#include "growablememorystream.h"
#include "itagfile.h"
#include "tagtesthelpers.h"
#include "testhome.h"

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace TagTest;

namespace {

QByteArray Mp3Audio()
{
    QByteArray frame(417, '\x11');
    frame.replace(0, 4, B("\xFF\xFB\x90\x00"));
    return frame.repeated(4);
}

QByteArray AdtsAudio()
{
    QByteArray frame(200, '\x22');
    frame.replace(0, 7, B("\xFF\xF1\x50\x80\x19\x1F\xFC"));
    return frame.repeated(4);
}

QByteArray ApeAudio()
{
    return "MAC " + Le16(3990) + Le16(0) + Le32(52) + QByteArray(40, 0) + Le16(2000) + Le16(0) + QByteArray(12, 0)
        + Le16(16) + Le16(2) + Le32(44100) + QByteArray(500, 'p');
}

QByteArray FlacAudio(const QByteArray &title = "T")
{
    QByteArray info(34, '\0');
    info[10] = 0x0A;
    info[11] = char(0xC4);
    info[12] = 0x42;
    info[13] = char(0xF0);
    const QByteArray comments = Le32(1) + "v" + Le32(1) + Le32(6 + title.size()) + "TITLE=" + title;
    return "fLaC" + QByteArray(1, 0) + Be32(34).mid(1) + info + char(0x84) + Be32(comments.size()).mid(1) + comments
        + B("\xFF\xF8\x69\x08") + QByteArray(300, 'f');
}

QByteArray Id3v2(const QByteArray &title)
{
    const QByteArray body = '\0' + title;
    const QByteArray frame = "TIT2" + Be32(body.size()) + QByteArray(2, 0) + body;
    return B("ID3\x03\0\0\0\0\0") + char(frame.size()) + frame;
}

QByteArray ApeTag(const QByteArray &title)
{
    const QByteArray items = Le32(title.size()) + Le32(0) + B("Title\0") + title;
    const auto block = [&](quint32 flags) {
        return "APETAGEX" + Le32(2000) + Le32(items.size() + 32) + Le32(1) + Le32(flags) + QByteArray(8, 0);
    };
    return block(0xA0000000) + items + block(0x80000000);
}

QByteArray Id3v1(const QByteArray &title)
{
    return "TAG" + title + QByteArray(124 - title.size(), 0) + char(255);
}

QStringList Fields(ITagFile *file)
{
    QStringList out;
    for (int i = 0; i < file->FieldCount(); ++i) {
        const TagField f = file->GetField(i);
        out << QString("%1/%2:%3").arg(f.slot).arg(f.kind).arg(f.valueType == TagValueText ? Text(f) : QString::number(f.length));
    }
    return out;
}

} // namespace

class TestTagFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void chooseFormat_data();
    void chooseFormat();
    void combinedIndexAndPrimarySlot_data();
    void combinedIndexAndPrimarySlot();
    void editingRules();
    void closedFileFails();
    void untaggedMp3GetsOnlyId3v2();
    void growingHeadReloadsOtherTags();
    void converterFlow_data();
    void converterFlow();
    void savesAreRepeatable();
    void failedSaveLeavesFileIntact_data();
    void failedSaveLeavesFileIntact();
    void inPlaceFailuresAreReported();

private:
    QString Write(const QString &name, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

void TestTagFile::initTestCase()
{
    qunsetenv("LANG");
    qunsetenv("LC_ALL");
}

QString TestTagFile::Write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    WriteFile(path, bytes);
    return path;
}

void TestTagFile::chooseFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("format");
    QTest::newRow("capital extension") << "a.MP3" << Mp3Audio() << 2;
    QTest::newRow("unknown extension probes") << "a.bin" << Mp3Audio() << 2;
    QTest::newRow("no extension probes") << "noext" << AdtsAudio() << 3;
    QTest::newRow("wav that is flac") << "a.wav" << FlacAudio() << 7;
    QTest::newRow("mp3 that is ape") << "b.mp3" << ApeAudio() << 6;
    QTest::newRow("flac") << "c.Flac" << FlacAudio() << 7;
    QTest::newRow("garbage") << "d.mp3" << QByteArray(5000, 'z') << -1;
    QTest::newRow("dot in folder only") << "e.mp3.d" << Id3v2("T") + AdtsAudio() << 3;
}

void TestTagFile::chooseFormat()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, format);
    int result = 0;
    TagFilePtr file = OpenTagFile(Write(name, content), &result);
    QCOMPARE(result, format < 0 ? -1 : 0);
    QCOMPARE(file->FormatIndex(), format);
    if (format < 0)
        QCOMPARE(file->FieldCount(), -1);
    QCOMPARE(file->OpenPath(Wide(m_dir.filePath("missing.mp3")).c_str()), -1);
    QCOMPARE(file->FormatIndex(), -1);
}

void TestTagFile::combinedIndexAndPrimarySlot_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("primary");
    QTest::newRow("mp3") << "i.mp3" << Id3v2("Two") + Mp3Audio() + ApeTag("Ape") + Id3v1("One")
                         << QStringList{"1/0:Two", "6/0:Ape", "0/0:One"} << 1;
    QTest::newRow("aac") << "i.aac" << AdtsAudio() + Id3v1("One") << QStringList{"0/0:One"} << 1;
    QTest::newRow("ape") << "i.ape" << ApeAudio() + ApeTag("Ape") << QStringList{"6/0:Ape"} << 6;
    QTest::newRow("flac") << "i.flac" << Id3v2("Two") + FlacAudio("F") + Id3v1("One")
                          << QStringList{"7/0:F", "1/0:Two", "0/0:One"} << 7;
}

void TestTagFile::combinedIndexAndPrimarySlot()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, fields);
    QFETCH(int, primary);
    TagFilePtr file = OpenTagFile(Write(name, content));
    QCOMPARE(Fields(file.get()), fields);
    const std::wstring album = L"Album";
    QCOMPARE(file->AddField(TextField(TagKindAlbum, album)), 0);
    QCOMPARE(file->RemoveFieldsOfKind(TagKindTitle), 0);
    QCOMPARE(Fields(file.get()), QStringList{QString("%1/2:Album").arg(primary)});
}

void TestTagFile::editingRules()
{
    TagFilePtr file = OpenTagFile(Write("rules.mp3", Id3v2("Two") + Mp3Audio() + ApeTag("Ape")));
    const std::wstring text = L"X";
    QCOMPARE(file->SetField(0, TextField(TagKindTitle, text, TagSlotApe)), -1);
    QCOMPARE(Text(file->GetField(0)), QString("Two"));
    QCOMPARE(file->SetField(1, TextField(TagKindArtist, text)), 0);
    QCOMPARE(file->GetField(1).slot, int(TagSlotApe));
    QCOMPARE(file->GetField(1).kind, int(TagKindArtist));
    QCOMPARE(file->SetFieldsOfKind(TagKindArtist, TextField(TagKindTitle, text, 6)), -1);
    QCOMPARE(file->SetFieldsOfKind(TagKindArtist, TextField(TagKindComment, text)), 0);
    QCOMPARE(file->GetField(1).kind, int(TagKindComment));
    QCOMPARE(file->ClearTag(8), -1);
    QCOMPARE(file->ClearTag(-1), -1);
    QCOMPARE(file->ClearTag(TagSlotFlac), 0);
    for (int bad : {-5, file->FieldCount()}) {
        const TagField empty = file->GetField(bad);
        QCOMPARE(empty.slot, -1);
        QCOMPARE(empty.kind, -1);
        QCOMPARE(empty.valueType, -1);
        QCOMPARE(empty.length, 0u);
        QVERIFY(!empty.data);
    }
    QCOMPARE(file->AddField(TextField(TagKindTitle, text, TagSlotFlac)), -1);
    QCOMPARE(file->AddField(TextField(TagKindTitle, text, 9)), -1);
    QCOMPARE(file->AddField(TextField(TagKindTitle, L"")), -1);
    QCOMPARE(file->RemoveField(7), -1);
    QCOMPARE(file->RemoveField(0), 0);
    QCOMPARE(file->RemoveFieldsOfKind(-1), -1);
    QCOMPARE(file->ClearTag(TagSlotApe), 0);
    QCOMPARE(file->FieldCount(), 0);
}

void TestTagFile::closedFileFails()
{
    TagFilePtr file(CreateTagFile());
    const std::wstring text = L"X";
    QCOMPARE(file->Save(), -1);
    QCOMPARE(file->FieldCount(), -1);
    QCOMPARE(file->AddField(TextField(TagKindTitle, text)), -1);
    QCOMPARE(file->ClearFields(), -1);
    QCOMPARE(file->ClearTag(0), -1);
    QCOMPARE(file->GetField(0).kind, -1);
    QCOMPARE(file->Close(), 0);
    DestroyTagFile(nullptr);

    // Saving with nothing changed writes nothing.
    const QByteArray content = Id3v2("Two") + Mp3Audio();
    const QString path = Write("unchanged.mp3", content);
    file = OpenTagFile(path);
    QCOMPARE(file->Save(), 0);
    QCOMPARE(ReadFile(path), content);
    QVERIFY(SaveLeftovers(m_dir.path()).isEmpty());
}

void TestTagFile::untaggedMp3GetsOnlyId3v2()
{
    const QString path = Write("untagged.mp3", Mp3Audio());
    TagFilePtr file = OpenTagFile(path);
    QCOMPARE(file->FieldCount(), 0);
    const std::wstring title = L"Title";
    QCOMPARE(file->AddField(TextField(TagKindTitle, title)), 0);
    QCOMPARE(file->GetField(0).slot, int(TagSlotId3v2));
    QCOMPARE(file->Save(), 0);
    const QByteArray saved = ReadFile(path);
    QVERIFY(saved.startsWith("ID3\x03"));
    QVERIFY(saved.endsWith(Mp3Audio()));
    file = OpenTagFile(path);
    QCOMPARE(Fields(file.get()), QStringList{"1/0:Title"});
}

void TestTagFile::growingHeadReloadsOtherTags()
{
    for (const QString &name : {QString("grow.mp3"), QString("grow.flac")}) {
        const QByteArray audio = name.endsWith("mp3") ? Mp3Audio() + ApeTag("Ape") : FlacAudio("F");
        const QString path = Write(name, Id3v2("a") + audio + Id3v1("One"));
        TagFilePtr file = OpenTagFile(path);
        const QStringList before = Fields(file.get());
        const std::wstring longTitle(3000, L'L');
        const int id3 = name.endsWith("mp3") ? 0 : 1;
        QCOMPARE(file->SetField(id3, TextField(TagKindTitle, longTitle)), 0);
        // Touch the end tags too, so they are written before the head moves.
        const std::wstring one = L"Uno";
        QCOMPARE(file->SetField(file->FieldCount() - 1, TextField(TagKindTitle, one)), 0);
        QCOMPARE(file->Save(), 0);
        QStringList expected = before;
        expected[id3] = "1/0:" + QString(3000, 'L');
        expected.last() = "0/0:Uno";
        QCOMPARE(Fields(file.get()), expected);
        file = OpenTagFile(path);
        QCOMPARE(Fields(file.get()), expected);
        QVERIFY(ReadFile(path).contains(audio));
    }
}

void TestTagFile::converterFlow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QStringList>("kept");
    const QStringList apeKinds{"0", "1", "2", "3", "4", "5", "6", "7", "9"};
    const QStringList id3Kinds{"0", "1", "2", "3", "4", "5", "6", "7", "9", "10", "11", "13"};
    QTest::newRow("mp3") << "flow.mp3" << Id3v2("Old") + Mp3Audio() + ApeTag("Ape") + Id3v1("V1") << 1 << id3Kinds;
    QTest::newRow("aac") << "flow.aac" << AdtsAudio() << 1 << id3Kinds;
    QTest::newRow("ape") << "flow.ape" << ApeAudio() + ApeTag("Ape") << 6 << apeKinds;
    const QStringList flacKinds{"0", "1", "2", "3", "4", "5", "6", "7", "10", "11", "12", "13", "9"};
    QTest::newRow("flac") << "flow.flac" << FlacAudio() << 7 << flacKinds;
}

// What the converter does with a finished output: clear, add every value, save.
void TestTagFile::converterFlow()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, slot);
    QFETCH(QStringList, kept);
    const QString path = Write(name, content);
    TagFilePtr file = OpenTagFile(path);
    QCOMPARE(file->ClearFields(), 0);
    const QByteArray png = B("\x89PNG\r\n\x1A\n") + Be32(13) + "IHDR" + Be32(4) + Be32(2) + B("\x08\x02\0\0\0") + Be32(0);
    std::vector<std::wstring> texts;
    for (int kind = 0; kind < TagKindCount; ++kind)
        texts.push_back(kind == TagKindGenre ? L"(9)" : L"v" + std::to_wstring(kind));
    for (int kind = 0; kind < TagKindCount; ++kind) {
        if (kind == TagKindLyrics)
            continue;
        const TagField field = kind == TagKindPicture ? BinaryField(kind, png) : TextField(kind, texts[kind]);
        QCOMPARE(file->AddField(field), 0);
    }
    QCOMPARE(file->Save(), 0);
    QCOMPARE(file->Close(), 0);
    file = OpenTagFile(path);
    QStringList kinds;
    for (int i = 0; i < file->FieldCount(); ++i) {
        const TagField f = file->GetField(i);
        QCOMPARE(f.slot, slot);
        kinds << QString::number(f.kind);
        if (f.kind == TagKindGenre)
            QCOMPARE(Text(f), QString("Metal"));
        else if (f.kind == TagKindPicture)
            QCOMPARE(Bytes(f), png);
        else
            QCOMPARE(Text(f), QString("v%1").arg(f.kind));
    }
    QCOMPARE(kinds, kept);
    const QByteArray saved = ReadFile(path);
    // Old end tags are gone: the converter cleared them.
    QVERIFY(!saved.contains("APETAGEX") || slot == TagSlotApe);
    QVERIFY(!saved.right(128).startsWith("TAG"));
}

void TestTagFile::savesAreRepeatable()
{
    const QString path = Write("repeat.mp3", Id3v2("Two") + Mp3Audio() + ApeTag("Ape") + Id3v1("One"));
    TagFilePtr file = OpenTagFile(path);
    const std::wstring comment = L"c";
    for (int slot : {0, 1, 6})
        QCOMPARE(file->AddField(TextField(TagKindComment, comment, slot)), 0);
    QCOMPARE(file->Save(), 0);
    const QByteArray first = ReadFile(path);
    const QStringList fields = Fields(file.get());
    file->SetFieldsOfKind(TagKindComment, TextField(TagKindComment, comment));
    QCOMPARE(file->Save(), 0);
    QCOMPARE(ReadFile(path), first);
    file = OpenTagFile(path);
    QCOMPARE(Fields(file.get()), fields);
}

void TestTagFile::failedSaveLeavesFileIntact_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("mp3") << "fail.mp3" << Id3v2("Two") + Mp3Audio() + ApeTag("Ape") + Id3v1("One");
    QTest::newRow("aac") << "fail.aac" << AdtsAudio() + Id3v1("One");
    QTest::newRow("ape") << "fail.ape" << ApeAudio() + ApeTag("Ape");
    QTest::newRow("flac") << "fail.flac" << Id3v2("Two") + FlacAudio();
}

// Writes into the copy fail at every size the save passes through; the original never changes.
void TestTagFile::failedSaveLeavesFileIntact()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = Write(name, content);
    const std::wstring big(2000, L'B');
    int failures = 0;
    for (int extra = 0; extra < 12000; extra += 700) {
        TagFilePtr file = OpenTagFile(path);
        for (int slot : {0, 1, 6, 7})
            file->AddField(TextField(TagKindAlbum, big, slot));
        int result;
        {
            FileSizeLimit limit(static_cast<rlim_t>(content.size() + extra));
            result = file->Save();
        }
        if (result == 0) {
            WriteFile(path, content);
            break;
        }
        ++failures;
        QCOMPARE(result, -1);
        QCOMPARE(ReadFile(path), content);
        QVERIFY(SaveLeftovers(m_dir.path()).isEmpty());
        // The handlers were reloaded from the untouched file.
        TagFilePtr fresh = OpenTagFile(path);
        QCOMPARE(Fields(file.get()), Fields(fresh.get()));
    }
    QVERIFY(failures >= 2);
}

void TestTagFile::inPlaceFailuresAreReported()
{
    const QByteArray content = Id3v2("Two") + Mp3Audio() + ApeTag("Ape") + Id3v1("One");
    const std::wstring text(100, L'x');
    for (int op : {FaultInjectingStream::OpWrite, FaultInjectingStream::OpSetSize, FaultInjectingStream::OpShortWrite,
                   FaultInjectingStream::OpSeek, FaultInjectingStream::OpRead}) {
        for (int n = 1; n < 400; ++n) {
            GrowableMemoryStream memory(Vector(content));
            FaultInjectingStream stream(&memory);
            TagFilePtr file(CreateTagFile());
            QCOMPARE(file->OpenStream(&stream), 0);
            for (int slot : {0, 1, 6})
                file->AddField(TextField(TagKindComment, text, slot));
            stream.FailAt(static_cast<FaultInjectingStream::Operation>(op), n);
            const int result = file->Save();
            if (!stream.Fired()) {
                QCOMPARE(result, 0);
                break;
            }
            // A failed read may only cost a reload after the head moved; anything else must be reported.
            if (op != FaultInjectingStream::OpRead && result != -1)
                QFAIL(qPrintable(QString("operation %1, call %2 failed silently").arg(op).arg(n)));
        }
    }
}

GLINTORA_TEST_MAIN_CORE(TestTagFile)
#include "tst_tagfile.moc"
