#include "testhome.h"
#include "zvcommoninterface.h"

class TestCommonInterface : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ZvCommonInterface::setRevealHandler(nullptr); }

    void revealNormalisesSeparators_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("revealed");

        QTest::newRow("plain") << "/home/u/a.gif" << "/home/u/a.gif";
        QTest::newRow("doubled slash") << "/home/u/out//a_001.png" << "/home/u/out/a_001.png";
        QTest::newRow("backslashes") << "C:\\out\\a.gif" << "C:/out/a.gif";
        QTest::newRow("non-ASCII") << QString::fromUtf8("/home/ü//ß.png") << QString::fromUtf8("/home/ü/ß.png");
    }

    void revealNormalisesSeparators()
    {
        QFETCH(QString, given);
        QFETCH(QString, revealed);
        QStringList seen;
        ZvCommonInterface::setRevealHandler([&seen](const QString &path) { seen << path; });
        ZvCommonInterface::showFileInFolder(given.toStdString());
        QCOMPARE(seen, QStringList{revealed});
    }

    void withoutBackEndARevealOnlyLogs()
    {
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("reveal.*a\\.gif"));
        ZvCommonInterface::showFileInFolder("/tmp/a.gif");
    }
};

GLINTORA_TEST_MAIN_CORE(TestCommonInterface)
#include "tst_zvcommoninterface.moc"
