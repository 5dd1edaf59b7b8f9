#include "tagfilestream.h"
#include "tagsafecopy.h"
#include "tagtesthelpers.h"
#include "testhome.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace TagTest;

namespace {

QStringList Leftovers(const QString &folder)
{
    return QDir(folder).entryList({".tagsave-*"}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestSafeCopy : public QObject
{
    Q_OBJECT

private slots:
    void commitReplacesContentAndKeepsMode();
    void commitKeepsSymbolicLink();
    void failureBeforeRenameLeavesOriginal_data();
    void failureBeforeRenameLeavesOriginal();
    void discardReturnsToOriginal();
};

void TestSafeCopy::commitReplacesContentAndKeepsMode()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("song.mp3");
    WriteFile(path, "original content");
    QVERIFY(chmod(QFile::encodeName(path).constData(), 0640) == 0);
    int result;
    TagFileStream stream(Wide(path).c_str(), 1, &result);
    TagSafeCopy copy;
    QCOMPARE(copy.Begin(QFile::encodeName(path).toStdString(), &stream), 0);
    QCOMPARE(stream.Seek(0), int64_t(0));
    QCOMPARE(stream.Write("changed", 7), 7);
    QCOMPARE(ReadFile(path), QByteArray("original content"));
    QCOMPARE(copy.Commit(), 0);
    QCOMPARE(ReadFile(path), QByteArray("changedl content"));
    struct stat info;
    QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0640));
    QVERIFY(Leftovers(dir.path()).isEmpty());
    // The stream goes on working on the renamed copy.
    QCOMPARE(stream.Seek(0), int64_t(0));
    QCOMPARE(stream.Write("C", 1), 1);
    QCOMPARE(ReadFile(path), QByteArray("Changedl content"));
}

void TestSafeCopy::commitKeepsSymbolicLink()
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("real");
    const QString target = dir.filePath("real/song.flac");
    const QString link = dir.filePath("link.flac");
    WriteFile(target, "0123456789");
    QVERIFY(QFile::link(target, link));
    int result;
    TagFileStream stream(Wide(link).c_str(), 1, &result);
    TagSafeCopy copy;
    QCOMPARE(copy.Begin(QFile::encodeName(link).toStdString(), &stream), 0);
    QCOMPARE(stream.SetSize(4), int64_t(4));
    QCOMPARE(copy.Commit(), 0);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(ReadFile(target), QByteArray("0123"));
    QVERIFY(Leftovers(dir.filePath("real")).isEmpty());
    QVERIFY(Leftovers(dir.path()).isEmpty());
}

void TestSafeCopy::failureBeforeRenameLeavesOriginal_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("inBegin");
    QTest::newRow("resolve") << int(TagSafeCopy::ResolvePath) << true;
    QTest::newRow("temporary") << int(TagSafeCopy::CreateTemporary) << true;
    QTest::newRow("copy") << int(TagSafeCopy::CopyContent) << true;
    QTest::newRow("sync") << int(TagSafeCopy::SyncCopy) << false;
    QTest::newRow("mode") << int(TagSafeCopy::CopyMode) << false;
    QTest::newRow("rename") << int(TagSafeCopy::Rename) << false;
}

void TestSafeCopy::failureBeforeRenameLeavesOriginal()
{
    QFETCH(int, step);
    QFETCH(bool, inBegin);
    QTemporaryDir dir;
    const QString path = dir.filePath("song.ape");
    const QByteArray original(100000, 'o');
    WriteFile(path, original);
    int result;
    TagFileStream stream(Wide(path).c_str(), 1, &result);
    const int descriptor = stream.Descriptor();
    {
        TagSafeCopy copy;
        copy.FailAtStep(step);
        const int begun = copy.Begin(QFile::encodeName(path).toStdString(), &stream);
        QCOMPARE(begun, inBegin ? -1 : 0);
        if (!inBegin) {
            stream.Seek(0);
            stream.Write("xx", 2);
            QCOMPARE(copy.Commit(), -1);
            copy.Discard();
        }
    }
    QCOMPARE(ReadFile(path), original);
    QVERIFY(Leftovers(dir.path()).isEmpty());
    QCOMPARE(stream.Descriptor(), descriptor);
}

void TestSafeCopy::discardReturnsToOriginal()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("song.aac");
    WriteFile(path, "abc");
    int result;
    TagFileStream stream(Wide(path).c_str(), 1, &result);
    {
        TagSafeCopy copy;
        QCOMPARE(copy.Begin(QFile::encodeName(path).toStdString(), &stream), 0);
        QVERIFY(copy.Active());
        stream.SetSize(0);
    }
    QCOMPARE(stream.Size(), int64_t(3));
    QCOMPARE(ReadFile(path), QByteArray("abc"));
    QVERIFY(Leftovers(dir.path()).isEmpty());
}

GLINTORA_TEST_MAIN_CORE(TestSafeCopy)
#include "tst_safecopy.moc"
