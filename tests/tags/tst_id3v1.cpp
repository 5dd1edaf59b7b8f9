#include "growablememorystream.h"
#include "id3v1tagformat.h"
#include "tagtesthelpers.h"
#include "testhome.h"

using namespace TagTest;

namespace {

QByteArray Area(const QByteArray &text, int width, char fill = '\0')
{
    return text.left(width) + QByteArray(qMax(0, width - text.size()), fill);
}

QByteArray Record(const QByteArray &title, const QByteArray &comment, char byte125, char byte126, char genre)
{
    QByteArray record = "TAG" + Area(title, 30) + Area("Artist", 30) + Area("Album", 30) + Area("1999", 4)
        + Area(comment, 28) + byte125 + byte126 + genre;
    return record;
}

QStringList Fields(TagFieldSet *set)
{
    QStringList out;
    for (int i = 0; i < set->Count(); ++i)
        out << QString("%1:%2").arg(set->GetAt(i).kind).arg(Text(set->GetAt(i)));
    return out;
}

struct Saved
{
    int result;
    QByteArray bytes;
    QStringList kept;
};

Saved SaveFields(const QByteArray &file, const QList<QPair<int, QString>> &fields)
{
    GrowableMemoryStream stream(Vector(file));
    int result;
    Id3v1TagFormat handler(&stream, &result);
    handler.GetFieldSet()->Clear();
    for (const auto &field : fields) {
        const std::wstring text = Wide(field.second);
        handler.GetFieldSet()->Add(TextField(field.first, text, 0));
    }
    Saved saved;
    saved.result = handler.Save();
    saved.bytes = Array(stream.Bytes());
    saved.kept = Fields(handler.GetFieldSet());
    return saved;
}

} // namespace

class TestId3v1 : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void saveRecord_data();
    void saveRecord();
    void saveReplacesOrAppends();
    void saveWithNothingWritable();
};

void TestId3v1::load_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("fields");
    const QStringList head{"0:Title", "1:Artist", "2:Album", "4:1999"};
    QTest::newRow("version 1.1 with track") << Record("Title", "Note  ", 0, 7, char(147))
                                            << head + QStringList{"6:Note", "5:7", "3:SynthPop"};
    QTest::newRow("version 1.0 comment of 30") << Record("Title", Area("Note", 28, ' '), 'A', 'B', 12)
                                               << head + QStringList{"6:Note" + QString(24, ' ') + "AB", "3:Other"};
    QTest::newRow("genre 148") << Record("Title", "", 0, 0, char(148)) << head;
    QTest::newRow("genre 255") << Record("Title", "", 0, 0, char(255)) << head;
    QTest::newRow("copyright sign") << Record("\xA9 Me", "", 0, 0, char(255))
                                    << QStringList{QString::fromUtf8("0:\xC2\xA9 Me"), "1:Artist", "2:Album", "4:1999"};
    QTest::newRow("no record") << QByteArray(128, 'x') << QStringList{};
}

void TestId3v1::load()
{
    QFETCH(QByteArray, record);
    QFETCH(QStringList, fields);
    GrowableMemoryStream stream(Vector(QByteArray(500, 'a') + record));
    int result = -5;
    Id3v1TagFormat handler(&stream, &result);
    QCOMPARE(result, 0);
    QCOMPARE(Fields(handler.GetFieldSet()), fields);
    GrowableMemoryStream tiny(Vector("TAG"));
    Id3v1TagFormat small(&tiny, &result);
    QCOMPARE(result, 0);
    QCOMPARE(small.GetFieldSet()->Count(), 0);
    Id3v1TagFormat none(nullptr, &result);
    QCOMPARE(result, -1);
    QCOMPARE(none.Save(), -1);
}

void TestId3v1::saveRecord_data()
{
    using Fields = QList<QPair<int, QString>>;
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");
    const QString han = QString::fromUtf8("\xE4\xBD\xA0"); // no Latin-1 form
    QTest::newRow("title cut to 30") << Fields{{0, QString(40, 'x')}} << 3 << QByteArray(30, 'x');
    QTest::newRow("no Latin-1 form") << Fields{{0, QString(29, 'x') + han}} << 3 << QByteArray(29, 'x') + '?';
    QTest::newRow("Latin-1 text") << Fields{{1, QString::fromUtf8("Stra\xC3\x9F" "e \xC3\x86r\xC3\xB8")}} << 33
                                  << QByteArray("Stra\xDF" "e \xC6r\xF8\0", 11);
    QTest::newRow("transliterated") << Fields{{2, QString::fromUtf8("\xC5\x92uvre")}} << 63 << QByteArray("OEuvre\0", 7);
    QTest::newRow("track 300 not written") << Fields{{5, "300"}} << 125 << QByteArray("\0\0", 2);
    QTest::newRow("negative track not written") << Fields{{5, "-3"}, {6, "c"}} << 125 << QByteArray("  ", 2);
    QTest::newRow("unknown genre") << Fields{{3, "Native American"}} << 127 << QByteArray("\x0C", 1);
    QTest::newRow("known genre") << Fields{{3, "hip-hop"}} << 127 << QByteArray("\x07", 1);
    QTest::newRow("comment then track") << Fields{{6, QString(30, 'c')}, {5, "9"}} << 97
                                        << QByteArray(28, 'c') + QByteArray("\0\x09", 2);
    QTest::newRow("track then comment") << Fields{{5, "9"}, {6, QString(30, 'c')}} << 97
                                        << QByteArray(28, 'c') + QByteArray("\0\x09", 2);
    QTest::newRow("short comment space-filled") << Fields{{6, "hi"}} << 97 << QByteArray("hi") + QByteArray(28, ' ');
    QTest::newRow("no comment is version 1.1") << Fields{{0, "t"}} << 124 << QByteArray(3, '\0');
    QTest::newRow("copyright kept") << Fields{{0, QString::fromUtf8("\xC2\xA9")}} << 3 << QByteArray("\xA9\0", 2);
}

void TestId3v1::saveRecord()
{
    using Fields = QList<QPair<int, QString>>;
    QFETCH(Fields, fields);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);
    const Saved saved = SaveFields(QByteArray(300, 'a'), fields);
    QCOMPARE(saved.result, 0);
    QCOMPARE(saved.bytes.size(), 428);
    const QByteArray record = saved.bytes.mid(300);
    QVERIFY(record.startsWith("TAG"));
    QCOMPARE(record.mid(offset, expected.size()), expected);
}

void TestId3v1::saveReplacesOrAppends()
{
    const QByteArray audio(300, 'a');
    const Saved appended = SaveFields(audio, {{0, "New"}});
    const Saved replaced = SaveFields(audio + Record("Old", "", 0, 0, 1), {{0, "New"}});
    QCOMPARE(replaced.bytes, appended.bytes);
    QCOMPARE(replaced.bytes.left(300), audio);
    QCOMPARE(replaced.bytes.mid(127 + 300, 1), QByteArray("\xFF", 1));
}

void TestId3v1::saveWithNothingWritable()
{
    const QByteArray audio(300, 'a');
    const Saved removed = SaveFields(audio + Record("Old", "", 0, 0, 1), {{7, "(c)"}, {11, "Composer"}});
    QCOMPARE(removed.result, 0);
    QCOMPARE(removed.bytes, audio);
    QVERIFY(removed.kept.isEmpty());
    const Saved untouched = SaveFields(audio, {{13, "1/2"}});
    QCOMPARE(untouched.result, 1);
    QCOMPARE(untouched.bytes, audio);
}

GLINTORA_TEST_MAIN_CORE(TestId3v1)
#include "tst_id3v1.moc"
