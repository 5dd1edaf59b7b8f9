#include "boxwriter.h"
#include "qlivephotohelper.h"
#include "testhome.h"

#include <QFile>

using namespace BoxWriter;

namespace {

const QByteArray kIdentifier("com.apple.quicktime.content.identifier");
const QByteArray kAndroid("com.android.version");

QByteArray meta(const QList<QByteArray> &names, const QByteArray &before = QByteArray())
{
    return box("meta", before + box("hdlr", QByteArray(24, '\0')) + keys(names));
}

QByteArray mvhd()
{
    return box("mvhd", QByteArray(100, '\0'));
}

} // namespace

class TestLivePhotoHelper : public QObject
{
    Q_OBJECT

private:
    QString write(const QByteArray &bytes)
    {
        const QString path = QStringLiteral("%1/movie%2.mov").arg(m_home.path()).arg(m_count++);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test movie");
        return path;
    }

    TestHome m_home;
    int m_count = 0;

private slots:
    void answersByStructure_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("expected");

        QTest::newRow("identifier") << movie(mvhd() + meta({kIdentifier})) << true;
        QTest::newRow("identifier in upper case")
            << movie(mvhd() + meta({kIdentifier.toUpper()})) << true;
        QTest::newRow("identifier after other keys")
            << movie(meta({"com.apple.quicktime.make", "com.apple.quicktime.model", kIdentifier})) << true;
        QTest::newRow("other keys only") << movie(meta({"com.apple.quicktime.make"})) << false;
        QTest::newRow("identifier with a suffix") << movie(meta({kIdentifier + "x"})) << false;
        // As phones write them and USB copies hand them over: no ftyp, moov behind the samples.
        QTest::newRow("wide and mdat first")
            << box("wide", QByteArray()) + box("mdat", QByteArray(64, '\x55')) + box("moov", meta({kIdentifier}))
            << true;
        QTest::newRow("large mdat first")
            << largeBox("mdat", QByteArray(64, '\x55')) + box("moov", meta({kIdentifier})) << true;
        QTest::newRow("unknown first box")
            << box("jpeg", QByteArray(12, '\0')) + box("moov", meta({kIdentifier})) << false;
        QTest::newRow("meta inside a track")
            << movie(box("trak", meta({kIdentifier}))) << false;
        QTest::newRow("meta as a full box")
            << movie(box("meta", be32(0) + box("hdlr", QByteArray(24, '\0')) + keys({kIdentifier}))) << false;
        QTest::newRow("large box skipped")
            << movie(largeBox("mvhd", QByteArray(100, '\0')) + meta({kIdentifier})) << true;
        QTest::newRow("large moov") << ftyp() + largeBox("moov", meta({kIdentifier})) << true;
        QTest::newRow("large size 15")
            << movie(be32(1) + QByteArray("mvhd") + be64(15) + QByteArray(32, '\0') + meta({kIdentifier}))
            << false;
        QTest::newRow("zero entries") << movie(box("meta", keys({}))) << false;
        QTest::newRow("box size below 8")
            << movie(be32(7) + QByteArray("free") + meta({kIdentifier})) << false;
        QTest::newRow("key size below 4")
            << movie(box("meta", box("keys", be32(0) + be32(1) + be32(3) + QByteArray("mdta")))) << false;
        QTest::newRow("keys across the buffer boundary")
            << movie(box("free", QByteArray(4070, 'x')) + meta({kIdentifier})) << true;
        QTest::newRow("android with a digit box")
            << movie(meta({kAndroid}), box("2024", QByteArray())) << true;
        QTest::newRow("android without a digit box")
            << movie(meta({kAndroid}), box("free", QByteArray(4, '\0'))) << false;
        QTest::newRow("android with a partly digit box")
            << movie(meta({kAndroid}), box("20x4", QByteArray())) << false;
        QTest::newRow("empty file") << QByteArray() << false;
    }

    void answersByStructure()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, expected);
        QCOMPARE(QLivePhotoHelper::FileIslivephoto(write(bytes)), expected);
    }

    void hostileSizesEndQuickly_data()
    {
        QTest::addColumn<QByteArray>("bytes");

        // The box end wraps round to an earlier offset: the walk must not loop.
        QTest::newRow("wrapping top-level box")
            << ftyp() + be32(1) + QByteArray("free") + be64(~quint64(0) - 7) + box("moov", meta({kIdentifier}));
        QTest::newRow("wrapping child box")
            << movie(be32(1) + QByteArray("free") + be64(~quint64(0) - 7) + meta({kIdentifier}));
        // A key claiming nearly 4 GB in a keys box claiming even more.
        QTest::newRow("huge key")
            << movie(box("meta", largeBox("keys", be32(0) + be32(2) + be32(0xFFFFFFF0u) + QByteArray("mdta"))));
        QTest::newRow("huge entry count")
            << movie(box("meta", largeBox("keys", be32(0) + be32(0xFFFFFFFFu) + be32(8) + QByteArray("mdta"))));
        QTest::newRow("box past the end") << ftyp() + be32(0x7FFFFFFF) + QByteArray("moov");
    }

    void hostileSizesEndQuickly()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!QLivePhotoHelper::FileIslivephoto(write(bytes)));
    }

    void missingFileIsNoLivePhoto()
    {
        QVERIFY(!QLivePhotoHelper::FileIslivephoto(m_home.path() + "/absent.mov"));
        QVERIFY(!QLivePhotoHelper::FileIslivephoto(QString()));
    }

    void everyTruncationAnswers()
    {
        const QByteArray head = ftyp() + box("moov", mvhd() + meta({"com.apple.quicktime.make", kIdentifier}));
        const QByteArray full = head + box("mdat", QByteArray(64, '\x55'));
        const int keyEnd = head.size();
        QVERIFY(QLivePhotoHelper::FileIslivephoto(write(full)));
        const QString path = write(QByteArray());
        for (int length = 0; length < full.size(); ++length) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(full.left(length));
            file.close();
            const bool answer = QLivePhotoHelper::FileIslivephoto(path);
            if (length < keyEnd)
                QVERIFY2(!answer, qPrintable(QString::number(length)));
            else
                QVERIFY2(answer, qPrintable(QString::number(length)));
        }
    }
};

GLINTORA_TEST_MAIN_CORE(TestLivePhotoHelper)
#include "tst_qlivephotohelper.moc"
