#include "testhome.h"

#include "mmc.h"

class TestImageFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QByteArray readBack(const QString &path, int key)
    {
        const MMC_Handle image = MMC_ImageOpen(path.toUtf8().constData(), 0);
        if (!image)
            return "<no handle>";
        MMC_ImageSetKey(image, key);
        QByteArray bytes(int(MMC_ImageGetEncodedSize(image)), '\0');
        const bool read = MMC_ImageReadEncoded(image, bytes.data(), uint64_t(bytes.size()));
        MMC_ImageClose(image);
        return read || bytes.isEmpty() ? bytes : "<read failed>";
    }

private slots:
    void keyedBytesReadBackUnchanged_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("bytes");
        QByteArray jpeg("\xff\xd8\xff\xe0", 4);
        for (int i = 0; i < 70000; ++i)
            jpeg.append(char(i * 7));
        jpeg.append("\xff\xd9", 2);
        QTest::newRow("frame with item key") << "frame-000001.jpg" << 123456 << jpeg;
        QTest::newRow("no key") << "plain.jpg" << 0 << jpeg;
        QTest::newRow("non-ascii name") << QString::fromUtf8("кадр 100%.jpg") << 999999 << QByteArray("abc");
    }

    void keyedBytesReadBackUnchanged()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(name);
        const MMC_Handle image = MMC_ImageOpen(path.toUtf8().constData(), 1);
        QVERIFY(image);
        QCOMPARE(MMC_ImageSetKey(image, key), 1);
        QCOMPARE(MMC_ImageGetEncodedSize(image), uint64_t(0));
        QCOMPARE(MMC_ImageWriteFrame(image, bytes.constData(), uint32_t(bytes.size())), 1);
        MMC_ImageClose(image);
        QCOMPARE(readBack(path, key), bytes);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes); // the key never changes what lies on disk
    }

    // Stills go into a folder of their own: what is already under a name is not theirs.
    void openingForWritingNeverReplaces()
    {
        const QString path = m_dir.filePath("again.jpg");
        QVERIFY(QFile::link(m_dir.filePath("target.jpg"), m_dir.filePath("link.jpg")));
        for (const QByteArray &bytes : {QByteArray(500, 'a'), QByteArray(20, 'b')}) {
            const MMC_Handle image = MMC_ImageOpen(path.toUtf8().constData(), 1);
            MMC_ImageWriteFrame(image, bytes.constData(), uint32_t(bytes.size()));
            MMC_ImageClose(image);
        }
        QCOMPARE(readBack(path, 0), QByteArray(500, 'a'));
        QCOMPARE(MMC_ImageOpen(m_dir.filePath("link.jpg").toUtf8().constData(), 1), 0u);
        QVERIFY(!QFile::exists(m_dir.filePath("target.jpg")));
    }

    void failuresAreReported()
    {
        QCOMPARE(MMC_ImageOpen(m_dir.filePath("missing.jpg").toUtf8().constData(), 0), 0u);
        QCOMPARE(MMC_ImageOpen(m_dir.filePath("no/such/folder/x.jpg").toUtf8().constData(), 1), 0u);
        QCOMPARE(MMC_ImageOpen(m_dir.path().toUtf8().constData(), 0), 0u);
        QCOMPARE(MMC_ImageOpen(nullptr, 0), 0u);

        const QString empty = m_dir.filePath("empty.jpg");
        QFile(empty).open(QIODevice::WriteOnly);
        const MMC_Handle image = MMC_ImageOpen(empty.toUtf8().constData(), 0);
        QVERIFY(image);
        QCOMPARE(MMC_ImageGetEncodedSize(image), uint64_t(0));
        char buffer[16];
        QCOMPARE(MMC_ImageReadEncoded(image, buffer, sizeof(buffer)), 0); // more than the file holds
        QCOMPARE(MMC_ImageWriteFrame(image, "x", 1), 0);                  // opened for reading
        MMC_ImageClose(image);
        QCOMPARE(MMC_ImageGetEncodedSize(image), uint64_t(0));
        MMC_ImageClose(image);
    }

    void writerTakesACallback()
    {
        const MMC_Handle writer = MMC_ImageCreateWriter(-1);
        QVERIFY(writer);
        QCOMPARE(MMC_ImageSetWriteCallback(writer, nullptr, nullptr), 1);
        QCOMPARE(MMC_ImageGetEncodedSize(writer), uint64_t(0));
        MMC_ImageClose(writer);
        QCOMPARE(MMC_ImageSetWriteCallback(writer, nullptr, nullptr), 0);
    }
};

GLINTORA_TEST_MAIN_CORE(TestImageFile)
#include "tst_imagefile.moc"
