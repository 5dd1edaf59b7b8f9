#include "testhome.h"
#include "zvcommoninterface.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

// The installed list (beside the test binaries) is absent, so InitInfoToFile always acts.
class TestInfoPlist : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }

    static QByteArray plist(const QByteArray &entries)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + entries
               + "</dict>\n</plist>\n";
    }

private slots:
    void missingKeysAreAddedAndOthersKept()
    {
        const QString path = write("Info.plist",
                                   plist("<key>list</key><array><string>x</string><integer>7</integer></array>"
                                         "<key>n</key><integer>-3</integer><key>r</key><real>2.50</real>"
                                         "<key>d</key><data>AAEC</data><key>off</key><false/>"
                                         "<key>CFBundleVersion</key><string>0.9</string>"
                                         "<key>when</key><date>2020-01-02T03:04:05Z</date>"
                                         "<key>CFBundleName</key><string>Old</string>"));
        QVERIFY(ZvCommonInterface::isNeedInitInfoFile());
        ZvCommonInterface::InitInfoToFile(path.toStdString());

        // The system's own reader checks what any other reader would see.
        QProcess python;
        python.start("/usr/bin/python3",
                     {"-c", "import plistlib,sys,json,base64; d=plistlib.load(open(sys.argv[1],'rb'));"
                            "d['d']=base64.b64encode(d['d']).decode(); print(json.dumps(d, sort_keys=True, default=str))",
                      path});
        QVERIFY(python.waitForFinished());
        QCOMPARE(python.exitCode(), 0);
        const QByteArray expected =
            R"({"CFBundleDisplayName": "Calvetrin Glintora", "CFBundleIdentifier": "com.Calvetrin.CalvetrinGlintora", )"
            R"("CFBundleName": "Old", "CFBundleShortVersionString": "1.0.0", "CFBundleVersion": "1.0.0.0", )"
            R"("NSAppTransportSecurity": {"NSAllowsArbitraryLoads": true}, "SUEnableSystemProfiling": true, )"
            R"("SUFeedURL": "https://www.calvetrin.com/api/product/version?pid=%1&ver=%2", )"
            R"("SUPublicDSAKeyFile": "DSAKeyFile.pem", "d": "AAEC", "list": ["x", 7], "n": -3, "off": false, "r": 2.5, )"
            R"("when": "2020-01-02 03:04:05"})";
        QCOMPARE(python.readAllStandardOutput().trimmed(), expected);

        // The user's keys keep their order and exact text; a replaced key keeps its place.
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(written.readAll()).remove(QRegularExpression("\\s"));
        QVERIFY(text.contains("<key>r</key><real>2.50</real><key>d</key><data>AAEC</data><key>off</key><false/>"
                              "<key>CFBundleVersion</key><string>1.0.0.0</string>"
                              "<key>when</key><date>2020-01-02T03:04:05Z</date>"
                              "<key>CFBundleName</key><string>Old</string>"
                              "<key>CFBundleShortVersionString</key>"));
    }

    void listsThatCannotBeRewrittenStayByteIdentical_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("comment") << plist("<!-- mine --><key>a</key><string>b</string>");
        QTest::newRow("binary") << QByteArray("bplist00\xd1\x01\x02QaQb\x08\x0b\x0d", 19);
        QTest::newRow("truncated") << plist("<key>a</key><string>b</string>").left(60);
        QTest::newRow("not a dictionary") << QByteArray("<plist version=\"1.0\"><array/></plist>");
    }

    void listsThatCannotBeRewrittenStayByteIdentical()
    {
        QFETCH(QByteArray, bytes);
        const QString path = write("kept.plist", bytes);
        const QDateTime stamp = QFileInfo(path).lastModified();
        ZvCommonInterface::InitInfoToFile(path.toStdString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        QCOMPARE(QFileInfo(path).lastModified(), stamp);
    }

    void missingListIsNotCreated()
    {
        ZvCommonInterface::InitInfoToFile(m_dir.filePath("none.plist").toStdString());
        QVERIFY(!QFileInfo::exists(m_dir.filePath("none.plist")));
        QCOMPARE(ZvCommonInterface::getAppVersion(), QString("1.0.0"));
    }
};

GLINTORA_TEST_MAIN_CORE(TestInfoPlist)
#include "tst_infoplist.moc"
