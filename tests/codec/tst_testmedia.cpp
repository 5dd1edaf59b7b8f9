#include "testhome.h"

#include <QtEndian>

#include "mmc.h"
#include "testmedia.h"

namespace {

struct Box
{
    QByteArray type;
    int offset;
    int size;
};

QVector<Box> boxesIn(const QByteArray &data, int begin, int end)
{
    QVector<Box> found;
    for (int offset = begin; offset + 8 <= end;) {
        const int size = int(qFromBigEndian<quint32>(data.constData() + offset));
        if (size < 8 || size > end - offset)
            break;
        found.append({data.mid(offset + 4, 4), offset, size});
        offset += size;
    }
    return found;
}

Box find(const QVector<Box> &boxes, const QByteArray &type)
{
    for (const Box &box : boxes)
        if (box.type == type)
            return box;
    return {QByteArray(), 0, 0};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The generated Live Photo movies must carry their key where phones put it, or every
// later test of the Live Photo check proves nothing.
class TestTestMedia : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void placesTheKeyInTheMovieMeta_data()
    {
        QTest::addColumn<bool>("android");
        QTest::addColumn<bool>("identifier");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("apple") << false << true << QByteArray("mdtacom.apple.quicktime.content.identifier");
        QTest::newRow("android") << true << false << QByteArray("mdtacom.android.version");
        QTest::newRow("plain movie") << false << false << QByteArray();
    }

    void placesTheKeyInTheMovieMeta()
    {
        QFETCH(bool, android);
        QFETCH(bool, identifier);
        QFETCH(QByteArray, key);
        TestMedia::LivePhoto spec;
        spec.android = android;
        spec.identifier = identifier;
        spec.seconds = 1;
        const QString path = TestMedia::livePhoto(m_dir.path(), QString("m-%1").arg(QTest::currentDataTag()), spec);
        QVERIFY2(!path.isEmpty(), qPrintable(TestMedia::lastError()));
        const QByteArray data = fileBytes(path);
        const QVector<Box> top = boxesIn(data, 0, data.size());
        QCOMPARE(top.first().type, QByteArray("ftyp"));
        const Box moov = find(top, "moov");
        QVERIFY(moov.size > 0);
        QVERIFY(find(top, "mdat").offset < moov.offset);
        const Box meta = find(boxesIn(data, moov.offset + 8, moov.offset + moov.size), "meta");
        if (key.isEmpty()) {
            QCOMPARE(meta.size, 0);
            return;
        }
        QVERIFY(meta.size > 0);
        // QuickTime-style: the children start right after the header, no version/flags.
        const QVector<Box> inner = boxesIn(data, meta.offset + 8, meta.offset + meta.size);
        QCOMPARE(inner.first().type, QByteArray("hdlr"));
        const Box keys = find(inner, "keys");
        QVERIFY(data.mid(keys.offset, keys.size).contains(key));
        QCOMPARE(top.last().type == "2024", android);

        const MMC_Handle h = MMC_CreateMediaInfo(-1);
        QCOMPARE(MMC_OpenMediaFile(h, path.toUtf8().constData()), 1);
        unsigned char *bmp = MMC_GrabFrameImage(h, 0, 1, 0, 0, 0);
        QVERIFY(bmp);
        MMC_FreeFrameImage(h, bmp);
        MMC_DestroyMediaInfo(h);
    }
};

GLINTORA_TEST_MAIN_CORE(TestTestMedia)
#include "tst_testmedia.moc"
