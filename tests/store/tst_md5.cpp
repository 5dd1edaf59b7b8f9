#include "md5.h"
#include "testhome.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <sstream>

class TestMd5 : public QObject
{
    Q_OBJECT

private slots:
    void referenceVectors_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("a") << QByteArray("a") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
        QTest::newRow("message digest") << QByteArray("message digest")
                                        << QByteArray("f96b697d7cb7938d525a2f31aaf161d0");
        QTest::newRow("alphabet") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                                  << QByteArray("c3fcd3d76192e4007dfb496cca67e13b");
        QTest::newRow("alphanumeric")
            << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
            << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
        QTest::newRow("digits") << QByteArray("1234567890123456789012345678901234567890"
                                              "1234567890123456789012345678901234567890")
                                << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
    }

    void referenceVectors()
    {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, digest);
        const MD5 md5(message.toStdString());
        QCOMPARE(QByteArray::fromStdString(md5.hexdigest()), digest);
        QCOMPARE(md5.md5(), md5.hexdigest());
        std::ostringstream out;
        out << md5;
        QCOMPARE(QByteArray::fromStdString(out.str()), digest);
    }

    void splitUpdatesMatchOneDigest()
    {
        // Random lengths around the 55/56/64-byte padding bounds, fed in random pieces.
        QRandomGenerator random(20240501);
        for (int round = 0; round < 300; ++round) {
            QByteArray message(int(random.bounded(301)), Qt::Uninitialized);
            for (char &byte : message)
                byte = char(random.bounded(256));
            MD5 md5;
            int done = 0;
            while (done < message.size()) {
                const int part = int(random.bounded(message.size() - done + 1));
                if (round % 2)
                    md5.update(message.constData() + done, unsigned(part));
                else
                    md5.update(reinterpret_cast<const unsigned char *>(message.constData()) + done, unsigned(part));
                done += part;
            }
            md5.finalize();
            QCOMPARE(QByteArray::fromStdString(md5.hexdigest()),
                     QCryptographicHash::hash(message, QCryptographicHash::Md5).toHex());
        }
    }

    void digestIsFixedOnceFinished()
    {
        MD5 md5;
        md5.update("abc", 3);
        QVERIFY(md5.hexdigest().empty());
        const std::string first = md5.finalize().hexdigest();
        md5.update("more", 4);
        md5.finalize();
        QCOMPARE(md5.hexdigest(), first);
        QCOMPARE(first, std::string("900150983cd24fb0d6963f7d28e17f72"));
    }
};

GLINTORA_TEST_MAIN_CORE(TestMd5)
#include "tst_md5.moc"
