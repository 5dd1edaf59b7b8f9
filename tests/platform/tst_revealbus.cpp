#include "filemanagerreveal.h"
#include "testhome.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

// Stands in for the desktop's file manager on the private bus.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    bool answer = true;
    QList<QStringList> calls;
    QString startupId;

public slots:
    void ShowItems(const QStringList &uris, const QString &startup)
    {
        calls.append(uris);
        startupId = startup;
        if (!answer)
            setDelayedReply(true);
    }
};

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestRevealBus : public QObject
{
    Q_OBJECT

private:
    QProcess m_daemon;
    QString m_address;
    UrlRecorder m_recorder;
    QString m_file;

    QDBusConnection connect(const QString &name) { return QDBusConnection::connectToBus(m_address, name); }

    void serveFake(FakeFileManager *fake, const QString &connectionName)
    {
        QDBusConnection service = connect(connectionName);
        QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), fake,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
        QVERIFY(m_daemon.waitForReadyRead(10000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_recorder, "open");

        QDir home(QDir::homePath());
        QVERIFY(home.mkpath(QStringLiteral("clips")));
        m_file = home.filePath(QStringLiteral("clips/My clip é.gif"));
        QFile file(m_file);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    void init() { m_recorder.urls.clear(); }

    void fileManagerSelectsTheFile()
    {
        FakeFileManager fake;
        serveFake(&fake, QStringLiteral("answering"));
        FileManagerReveal(connect(QStringLiteral("client1"))).reveal(m_file);
        QTRY_COMPARE_WITH_TIMEOUT(fake.calls.size(), 1, 10000);
        const QString uri = fake.calls.first().value(0);
        QVERIFY(uri.startsWith(QLatin1String("file:///")));
        QVERIFY(uri.endsWith(QLatin1String("/clips/My%20clip%20%C3%A9.gif")));
        QCOMPARE(fake.startupId, QString());
        QTest::qWait(200);
        QCOMPARE(fake.calls.size(), 1);
        QVERIFY(m_recorder.urls.isEmpty());
        QDBusConnection::disconnectFromBus(QStringLiteral("answering"));
    }

    void silentFileManagerFallsBackWithoutBlocking()
    {
        FakeFileManager fake;
        fake.answer = false;
        serveFake(&fake, QStringLiteral("silent"));
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(20);
        FileManagerReveal(connect(QStringLiteral("client2")), 500).reveal(m_file);
        QTRY_COMPARE_WITH_TIMEOUT(m_recorder.urls.size(), 1, 10000);
        QVERIFY(ticks > 0);
        QCOMPARE(m_recorder.urls.first(), QUrl::fromLocalFile(QFileInfo(m_file).absolutePath()));
        QTest::qWait(200);
        QCOMPARE(m_recorder.urls.size(), 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("silent"));
    }

    void noServiceOpensTheFolder()
    {
        FileManagerReveal(connect(QStringLiteral("client3"))).reveal(m_file);
        QTRY_COMPARE_WITH_TIMEOUT(m_recorder.urls.size(), 1, 3000);
        QCOMPARE(m_recorder.urls.first(), QUrl::fromLocalFile(QFileInfo(m_file).absolutePath()));
    }
};

GLINTORA_TEST_MAIN_CORE(TestRevealBus)
#include "tst_revealbus.moc"
