#include "tagfieldset.h"
#include "tagtesthelpers.h"
#include "testhome.h"

#include <QRandomGenerator>

#include <memory>

using namespace TagTest;

namespace {

QString Stored(TagFieldSet &set)
{
    return Text(set.GetAt(set.Count() - 1));
}

QByteArray Converted(const QString &text, int encoding, int bytes)
{
    const std::wstring wide = Wide(text);
    std::unique_ptr<char[]> out(TagFieldSet::ConvertText(wide.c_str(), encoding));
    if (!out)
        return QByteArray("<null>");
    return QByteArray(out.get(), bytes);
}

} // namespace

class TestTagFields : public QObject
{
    Q_OBJECT

private slots:
    void setGrowsAndKeepsRecords();
    void rejectsEmptyAndOversizedValues();
    void removeAndReplace();
    void textLengthIsMeasured();
    void genreExpansion_data();
    void genreExpansion();
    void genreAndTrackHelpers();
    void findGenreAndParseNumber();
    void textInput_data();
    void textInput();
    void textOutput_data();
    void textOutput();
    void codePageOutputRoundTrips();
    void codePagesMatchPython();
    void languageCode_data();
    void languageCode();
};

void TestTagFields::setGrowsAndKeepsRecords()
{
    TagFieldSet set(20);
    for (int i = 0; i < 21; ++i)
        QCOMPARE(set.AddTrackNumber(2, i + 1), 0);
    QCOMPARE(set.Count(), 21);
    QCOMPARE(set.Capacity(), 40);
    for (int i = 0; i < 21; ++i)
        QCOMPARE(Text(set.GetAt(i)), QString::number(i + 1));
    const TagField outside = set.GetAt(21);
    QCOMPARE(outside.kind, -1);
    QCOMPARE(outside.slot, -1);
    QCOMPARE(outside.valueType, -1);
    QVERIFY(outside.data == nullptr);
    QCOMPARE(set.GetAt(-1).length, 0u);
}

void TestTagFields::rejectsEmptyAndOversizedValues()
{
    TagFieldSet set(20);
    const char byte = 1;
    QCOMPARE(set.Add(0, TagKindTitle, TagValueBinary, 0, &byte), -1);
    // A length near 2^32 must not wrap into a tiny allocation.
    QCOMPARE(set.Add(0, TagKindPicture, TagValueBinary, 0xFFFFFFFCu, &byte), -1);
    QCOMPARE(set.AddBinary(0, TagKindPicture, 0, &byte), -1);
    QCOMPARE(set.Count(), 0);
    for (int i = 0; i < TagFieldSet::kMaxFields; ++i)
        QCOMPARE(set.AddBinary(0, TagKindPicture, 1, &byte), 0);
    QCOMPARE(set.AddBinary(0, TagKindPicture, 1, &byte), -1);
}

void TestTagFields::removeAndReplace()
{
    TagFieldSet set(20);
    set.AddText(0, TagKindTitle, TagFieldSet::Utf8, "one");
    set.AddText(0, TagKindArtist, TagFieldSet::Utf8, "two");
    set.AddText(0, TagKindAlbum, TagFieldSet::Utf8, "three");
    QCOMPARE(set.RemoveAt(2), 0);
    QCOMPARE(set.Count(), 2);
    QCOMPARE(set.RemoveAt(0), 0);
    QCOMPARE(Text(set.GetAt(0)), QString("two"));
    QCOMPARE(set.RemoveAt(5), -1);
    const std::wstring text = L"(9)";
    QCOMPARE(set.SetAt(0, TextField(TagKindGenre, text, 1)), 0);
    QCOMPARE(Text(set.GetAt(0)), QString("Metal"));
    QCOMPARE(set.GetAt(0).slot, 1);
    QCOMPARE(set.SetAt(0, TextField(TagKindGenre, L"", 1)), -1);
    QCOMPARE(set.SetAt(3, TextField(TagKindGenre, text, 1)), -1);
    QCOMPARE(set.Clear(), 0);
    QCOMPARE(set.Count(), 0);
}

void TestTagFields::textLengthIsMeasured()
{
    TagFieldSet set(20);
    // A caller's length that counts the terminator, or more, is cut to the text.
    const wchar_t text[] = L"abc\0def";
    QCOMPARE(set.Add(0, TagKindTitle, TagValueText, sizeof text, text), 0);
    QCOMPARE(set.GetAt(0).length, 12u);
    QCOMPARE(Text(set.GetAt(0)), QString("abc"));
    // An odd byte count still ends in a zero character.
    QCOMPARE(set.Add(0, TagKindTitle, TagValueText, 5, L"x\u0100"), 0);
    QCOMPARE(Text(set.GetAt(1)), QString("x"));
}

void TestTagFields::genreExpansion_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("stored");
    QTest::newRow("reference") << "(9)" << "Metal";
    QTest::newRow("beyond the table") << "(200)" << "(200)";
    QTest::newRow("remix") << "(RX)" << "Remix";
    QTest::newRow("plain name") << "Rock" << "Rock";
    QTest::newRow("empty reference") << "()" << "Blues";
    QTest::newRow("two references") << "(17)(RX)" << "Rock  Remix";
    QTest::newRow("cover after text") << "Pop (CR)" << "Pop  Cover";
    QTest::newRow("escaped parenthesis") << "((13)" << "(13)";
    QTest::newRow("not a number") << "(1x)" << "(1x)";
    QTest::newRow("open at the end") << "Rock (12" << "Rock (12";
    QTest::newRow("cover needs three characters") << "(CR" << "(CR";
}

void TestTagFields::genreExpansion()
{
    QFETCH(QString, input);
    QFETCH(QString, stored);
    TagFieldSet set(20);
    const std::wstring text = Wide(input);
    QCOMPARE(set.Add(TextField(TagKindGenre, text, 0)), 0);
    QCOMPARE(Stored(set), stored);
    QCOMPARE(set.GetAt(0).length, 4u * stored.size());
}

void TestTagFields::genreAndTrackHelpers()
{
    TagFieldSet set(20);
    QCOMPARE(set.AddGenre(0, 147), 0);
    QCOMPARE(Stored(set), QString("SynthPop"));
    QCOMPARE(set.AddGenre(0, 148), -1);
    QCOMPARE(set.AddGenre(0, -1), -1);
    QCOMPARE(set.AddTrackNumber(0, 3, 12), 0);
    QCOMPARE(Stored(set), QString("3/12"));
    QCOMPARE(set.GetAt(1).kind, int(TagKindTrack));
}

void TestTagFields::findGenreAndParseNumber()
{
    QCOMPARE(TagFieldSet::FindGenre(L"hip-hop"), 7);
    QCOMPARE(TagFieldSet::FindGenre(L"Native American"), -1);
    QCOMPARE(TagFieldSet::FindGenre(L"contemporary c"), 140);
    QCOMPARE(TagFieldSet::FindGenre(nullptr), -1);
    QCOMPARE(TagFieldSet::ParseNumber(L"12/20"), 12);
    QCOMPARE(TagFieldSet::ParseNumber(L"abc"), 0);
    QCOMPARE(TagFieldSet::ParseNumber(L" -3"), -3);
    QCOMPARE(TagFieldSet::ParseNumber(nullptr), -1);
}

void TestTagFields::textInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("stored");
    const QString cafe = QString::fromUtf8("Caf\xC3\xA9");
    const QString emoji = QString::fromUcs4(U"a\U0001F600b");
    QTest::newRow("detect utf-8") << QByteArray("Caf\xC3\xA9") << 0 << 0 << cafe;
    QTest::newRow("detect cp1252 e-acute is gbk and fails") << QByteArray("Caf\xE9") << 0 << -1 << QString();
    QTest::newRow("detect four-byte utf-8") << QByteArray("a\xF0\x9F\x98\x80" "b") << 0 << 0 << emoji;
    QTest::newRow("8-bit copyright") << QByteArray("\xA9 2020") << 1 << 0 << QString::fromUtf8("\xC2\xA9 2020");
    QTest::newRow("8-bit gbk") << QByteArray("\xC4\xE3\xBA\xC3") << 1 << 0 << QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD");
    QTest::newRow("utf-8") << QByteArray("\xC3\xA9t\xC3\xA9") << 2 << 0 << QString::fromUtf8("\xC3\xA9t\xC3\xA9");
    QTest::newRow("bad utf-8") << QByteArray("\xC3(") << 2 << -1 << QString();
    QTest::newRow("utf-16le") << QByteArray("h\0i\0\0\0", 6) << 3 << 0 << QString("hi");
    QTest::newRow("utf-16be") << QByteArray("\0h\0i\0\0", 6) << 4 << 0 << QString("hi");
    QTest::newRow("utf-16le pair") << QByteArray("\x3D\xD8\x00\xDE\0\0", 6) << 3 << 0 << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("utf-16le lone surrogate") << QByteArray("\x3D\xD8" "a\0\0\0", 6) << 3 << 0 << QString::fromUcs4(U"\uFFFDa");
    QTest::newRow("utf-32") << QByteArray("h\0\0\0i\0\0\0\0\0\0\0", 12) << 5 << 0 << QString("hi");
    QTest::newRow("swapped units") << QByteArray("\0h\x55\x55\0\0\0\0", 8) << 6 << 0 << QString("h");
    QTest::newRow("unknown encoding") << QByteArray("x") << 9 << -1 << QString();
}

void TestTagFields::textInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(int, result);
    QFETCH(QString, stored);
    TagFieldSet set(20);
    bytes.append(QByteArray(4, '\0'));
    QCOMPARE(set.AddText(0, TagKindTitle, encoding, bytes.constData()), result);
    QCOMPARE(set.Count(), result == 0 ? 1 : 0);
    if (result == 0)
        QCOMPARE(Stored(set), stored);
}

void TestTagFields::textOutput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    QTest::newRow("utf-8 one beyond bmp") << emoji << 2 << QByteArray("\xF0\x9F\x98\x80\0", 5);
    QTest::newRow("utf-8 four beyond bmp") << emoji.repeated(4) << 2 << QByteArray("\xF0\x9F\x98\x80").repeated(4).append('\0');
    QTest::newRow("utf-16le pair") << emoji << 3 << QByteArray("\x3D\xD8\x00\xDE\0\0", 6);
    QTest::newRow("utf-16be pair") << emoji << 4 << QByteArray("\xD8\x3D\xDE\x00\0\0", 6);
    QTest::newRow("gbk") << QString::fromUtf8("\xE4\xBD\xA0") << 1 << QByteArray("\xC4\xE3\0", 3);
    QTest::newRow("copyright falls back to cp1252") << QString::fromUtf8("\xC2\xA9 Me") << 1 << QByteArray("\xA9 Me\0", 5);
    QTest::newRow("not representable") << QString::fromUtf8("\xC3\xA9\xC2\xA9") << 1 << QByteArray("<null>");
    QTest::newRow("swapped") << QString("h") << 6 << QByteArray("\0h\0\0\0\0\0\0", 8);
    QTest::newRow("detect is input only") << QString("h") << 0 << QByteArray("<null>");
}

void TestTagFields::textOutput()
{
    QFETCH(QString, text);
    QFETCH(int, encoding);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Converted(text, encoding, bytes.size()), bytes);
}

// What the 8-bit writer produces must read back to the same text.
void TestTagFields::codePageOutputRoundTrips()
{
    for (const QString &text : {QString::fromUtf8("\xC2\xA9 2024 \xC2\xAE"), QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD"), QString("plain")}) {
        const std::wstring wide = Wide(text);
        std::unique_ptr<char[]> bytes(TagFieldSet::ConvertText(wide.c_str(), TagFieldSet::CodePage));
        QVERIFY(bytes);
        TagFieldSet set(20);
        QCOMPARE(set.AddText(0, TagKindCopyright, TagFieldSet::CodePage, bytes.get()), 0);
        QCOMPARE(Stored(set), text);
    }
}

// Python's own codecs are the reference for the 8-bit code pages.
void TestTagFields::codePagesMatchPython()
{
    RequireTools({"/usr/bin/python3"});
    QRandomGenerator random(99);
    for (int round = 0; round < 20; ++round) {
        QByteArray gbk;
        for (int i = 0; i < 8; ++i) {
            gbk.append(static_cast<char>(0xB0 + random.bounded(0x40)));
            gbk.append(static_cast<char>(0xA1 + random.bounded(0x5E)));
        }
        bool ok = false;
        const QString expected = QString::fromUtf8(Python("import sys; sys.stdout.write(bytes.fromhex(sys.argv[1]).decode('gbk'))",
                                                          {QString::fromLatin1(gbk.toHex())}, &ok));
        QVERIFY(ok);
        TagFieldSet set(20);
        QCOMPARE(set.AddText(0, TagKindTitle, TagFieldSet::CodePage, gbk.constData()), 0);
        QCOMPARE(Stored(set), expected);
    }
    const QString cp1252 = QString::fromUtf8(Python("import sys; sys.stdout.write(b'\\xa9 x \\xae'.decode('cp1252'))"));
    TagFieldSet set(20);
    QCOMPARE(set.AddText(0, TagKindTitle, TagFieldSet::CodePage, "\xA9 x \xAE"), 0);
    QCOMPARE(Stored(set), cp1252);
}

void TestTagFields::languageCode_data()
{
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QString>("code");
    QTest::newRow("german") << QByteArray() << QByteArray("de_DE.UTF-8") << "ger";
    QTest::newRow("lc_all wins") << QByteArray("fr_FR") << QByteArray("de_DE") << "fre";
    QTest::newRow("greek") << QByteArray() << QByteArray("el_GR@euro") << "ell";
    QTest::newRow("serbian") << QByteArray() << QByteArray("SR") << "scc";
    QTest::newRow("c locale") << QByteArray() << QByteArray("C.UTF-8") << QString();
    QTest::newRow("posix") << QByteArray("POSIX") << QByteArray() << QString();
    QTest::newRow("four letters") << QByteArray() << QByteArray("abcd_EF") << QString();
    QTest::newRow("not in table") << QByteArray() << QByteArray("xx_XX") << QString();
    QTest::newRow("nothing set") << QByteArray() << QByteArray() << QString();
}

void TestTagFields::languageCode()
{
    QFETCH(QByteArray, lcAll);
    QFETCH(QByteArray, lang);
    QFETCH(QString, code);
    qunsetenv("LC_MESSAGES");
    lcAll.isEmpty() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", lcAll);
    lang.isEmpty() ? qunsetenv("LANG") : qputenv("LANG", lang);
    const char *result = TagFieldSet::CurrentLanguageCode();
    QCOMPARE(result ? QString(result) : QString(), code);
    qunsetenv("LC_ALL");
    qunsetenv("LANG");
}

GLINTORA_TEST_MAIN_CORE(TestTagFields)
#include "tst_tagfields.moc"
