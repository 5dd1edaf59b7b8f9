#include "suupdater.h"
#include "testhome.h"
#include "zvcommoninterface.h"
#include "kernelversion.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

class TestCommonInterface : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString touch(const QString &name, const QByteArray &content = "keep")
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }

private slots:
    void cleanup()
    {
        ZvCommonInterface::setRevealHandler(nullptr);
        SUUpdater::setPresenter(nullptr);
    }

    void revealNormalisesSeparators_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("revealed");

        const QString root = m_dir.path();
        const QString plain = touch("a.gif"), backslashed = touch("a\\b.gif"), inFolder = touch("d/x.gif");
        const QString accented = touch(QString::fromUtf8("ü/ß.png"));
        QTest::newRow("plain") << plain << plain;
        QTest::newRow("doubled slash") << root + "//a.gif" << plain;
        QTest::newRow("existing backslash name kept") << backslashed << backslashed;
        QTest::newRow("foreign backslashes") << root + "/d\\x.gif" << inFolder;
        QTest::newRow("non-ASCII") << root + QString::fromUtf8("/ü//ß.png") << accented;
    }

    void revealNormalisesSeparators()
    {
        QFETCH(QString, given);
        QFETCH(QString, revealed);
        QStringList seen;
        ZvCommonInterface::setRevealHandler([&seen](const QString &path) { seen << path; });
        ZvCommonInterface::showFileInFolder(given.toUtf8().toStdString());
        QCOMPARE(seen, QStringList{revealed});
    }

    void revealOfMissingPathOnlyLogs()
    {
        QStringList seen;
        ZvCommonInterface::setRevealHandler([&seen](const QString &path) { seen << path; });
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("does not exist.*gone\\.gif"));
        ZvCommonInterface::showFileInFolder(m_dir.filePath("gone.gif").toStdString());
        QVERIFY(seen.isEmpty());
    }

    void withoutBackEndARevealOnlyLogs()
    {
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("reveal.*a\\.gif"));
        ZvCommonInterface::showFileInFolder(touch("a.gif").toStdString());
    }

    void updateCheckNeverClaimsACheck()
    {
        QStringList shown;
        SUUpdater::setPresenter([&shown](const QString &text) { shown << text; });
        ZvCommonInterface::checkForUpdate();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains(ZvCommonInterface::getAppVersion()));
        QVERIFY(shown[0].contains("package manager"));
        QVERIFY(!shown[0].contains(QRegularExpression("up to date|latest|no update",
                                                      QRegularExpression::CaseInsensitiveOption)));
        ZvCommonInterface::setAutoCheckUpdate(true);
        QVERIFY(SUUpdater::sharedUpdater()->automaticallyChecksForUpdates());
        ZvCommonInterface::setAutoCheckUpdate(false);
        QVERIFY(!SUUpdater::sharedUpdater()->automaticallyChecksForUpdates());
    }

    // The check runs again in a child under strace, which lists every socket it opens.
    void updateCheckOpensNoNetworkSocket()
    {
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        QProcess strace;
        // Leak checking does not work under a tracer.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ASAN_OPTIONS", "detect_leaks=0");
        strace.setProcessEnvironment(environment);
        strace.start("strace", {"-f", "-e", "trace=socket", QCoreApplication::applicationFilePath(),
                                "updateCheckNeverClaimsACheck"});
        QVERIFY(strace.waitForFinished(60000));
        const QString trace = QString::fromLocal8Bit(strace.readAllStandardError());
        if (trace.contains("PTRACE_TRACEME") || trace.contains("Operation not permitted"))
            QSKIP("tracing is not permitted here");
        QCOMPARE(strace.exitCode(), 0);
        QVERIFY2(!trace.contains("AF_INET"), qPrintable(trace));
    }

    void writabilityProbeLeavesExistingFilesAlone()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath("Calvetrin Glintora.txt");
        QFile::link(dir.filePath("target-not-created"), dir.filePath("Calvetrin Glintora1.txt"));
        QFile keep(first);
        keep.open(QIODevice::WriteOnly);
        keep.write("keep");
        keep.close();
        const QDateTime stamp = QFileInfo(first).lastModified();
        QVERIFY(ZvCommonInterface::isWritableDir(dir.path()));  // no trailing "/": probed inside
        QCOMPARE(QFileInfo(first).lastModified(), stamp);
        QVERIFY(keep.open(QIODevice::ReadOnly));
        QCOMPARE(keep.readAll(), QByteArray("keep"));
        QVERIFY(!QFileInfo::exists(dir.filePath("target-not-created")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size(), 2);

        for (int n = 2; n < 100; ++n)
            QFile(dir.filePath(QString("Calvetrin Glintora%1.txt").arg(n))).open(QIODevice::WriteOnly);
        QVERIFY(ZvCommonInterface::isWritableDir(dir.path() + "/"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size(), 100);
        QVERIFY(!ZvCommonInterface::isWritableDir(dir.filePath("missing/")));
    }

    void kernelReleaseIsParsed_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("version");
        QTest::newRow("debian") << "6.1.0-18-amd64" << true << "6.1.0";
        QTest::newRow("four parts") << "5.15.133.1-microsoft-standard-WSL2" << true << "5.15.133";
        QTest::newRow("two parts") << "6.8" << true << "6.8.0";
        QTest::newRow("one part") << "4" << true << "4.0.0";
        QTest::newRow("empty") << "" << false << "0.0.0";
        QTest::newRow("no number") << "abc" << false << "0.0.0";
    }

    void kernelReleaseIsParsed()
    {
        QFETCH(QString, release);
        QFETCH(bool, ok);
        QFETCH(QString, version);
        KernelVersion parsed;
        QCOMPARE(KernelVersion::parse(release, parsed), ok);
        QCOMPARE(QString("%1.%2.%3").arg(parsed.major).arg(parsed.minor).arg(parsed.patch), version);
    }

    void systemVersionMatchesRunningKernel()
    {
        QProcess uname;
        uname.start("uname", {"-r"});
        QVERIFY(uname.waitForFinished());
        KernelVersion expected;
        QVERIFY(KernelVersion::parse(QString::fromLatin1(uname.readAll()), expected));
        const QString numbers = QString("%1.%2.%3").arg(expected.major).arg(expected.minor).arg(expected.patch);
        QCOMPARE(ZvCommonInterface::getSystemVersion(), numbers);
        QVERIFY(ZvCommonInterface::SystemVersionInfo().startsWith("Linux " + numbers));
    }

    void utf8BecomesOwnedUtf32_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QVector<uint>>("units");
        QTest::newRow("latin") << QByteArray("h\xC3\xA9llo") << true << QVector<uint>{'h', 0xE9, 'l', 'l', 'o'};
        QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80") << true << QVector<uint>{0x1F600};
        QTest::newRow("empty") << QByteArray("") << true << QVector<uint>{};
        QTest::newRow("truncated") << QByteArray("\xC3") << false << QVector<uint>{};
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << false << QVector<uint>{};
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false << QVector<uint>{};
        QTest::newRow("above range") << QByteArray("\xF4\x90\x80\x80") << false << QVector<uint>{};
        QTest::newRow("stray byte") << QByteArray("\xFF") << false << QVector<uint>{};
    }

    void utf8BecomesOwnedUtf32()
    {
        QFETCH(QByteArray, utf8);
        QFETCH(bool, valid);
        QFETCH(QVector<uint>, units);
        const auto text = ZvCommonInterface::ConvertCharToUtft32(utf8.constData());
        QCOMPARE(text.has_value(), valid);
        if (valid)
            QCOMPARE(QVector<uint>(text->begin(), text->end()), units);
        QVERIFY(!ZvCommonInterface::ConvertCharToUtft32(nullptr));
        const auto a = ZvCommonInterface::ConvertCharToUtft32("A");
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(a->c_str()), 4), QByteArray("A\0\0\0", 4));
    }

    void negativeSleepReturnsAtOnce()
    {
        // Taken as an unsigned count, -1 would sleep 71 minutes, far past the test's time limit.
        ZvCommonInterface::Sleep(-1);
        ZvCommonInterface::Sleep(0);
    }
};

GLINTORA_TEST_MAIN_CORE(TestCommonInterface)
#include "tst_zvcommoninterface.moc"
