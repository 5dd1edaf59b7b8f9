#include "filemanagerreveal.h"
#include "privatebus.h"
#include "testhome.h"
#include "urlrecorder.h"

#include <QDBusConnection>
#include <QDBusContext>
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

class TestRevealBus : public QObject
{
    Q_OBJECT

private:
    PrivateBus m_bus;
    UrlRecorder m_recorder;
    const FileManagerReveal::FolderOpener m_open = [this](const QString &folder) {
        m_recorder.open(QUrl::fromLocalFile(folder));
    };
    QString m_file;

    void serveFake(FakeFileManager *fake, const QString &connectionName)
    {
        QVERIFY(m_bus.serve(QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
                            fake, connectionName));
    }

private slots:
    void initTestCase()
    {
        if (!m_bus.start())
            QSKIP("no private bus: dbus-daemon is missing or does not start");

        QDir home(QDir::homePath());
        QVERIFY(home.mkpath(QStringLiteral("clips")));
        m_file = home.filePath(QStringLiteral("clips/My clip é.gif"));
        QFile file(m_file);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void init() { m_recorder.urls.clear(); }

    void fileManagerSelectsTheFile()
    {
        FakeFileManager fake;
        serveFake(&fake, QStringLiteral("answering"));
        FileManagerReveal(m_bus.connect(QStringLiteral("client1")), m_open).reveal(m_file);
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

    void folderIsSelectedInItsParent()
    {
        FakeFileManager fake;
        serveFake(&fake, QStringLiteral("folder"));
        FileManagerReveal(m_bus.connect(QStringLiteral("client4")), m_open).reveal(QFileInfo(m_file).absolutePath() + "/");
        QTRY_VERIFY_WITH_TIMEOUT(fake.calls.size() == 1 && fake.calls.first().value(0).endsWith("/clips"), 10000);
        QDBusConnection::disconnectFromBus(QStringLiteral("folder"));
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
        FileManagerReveal(m_bus.connect(QStringLiteral("client2")), m_open, 500).reveal(m_file);
        QTRY_COMPARE_WITH_TIMEOUT(m_recorder.urls.size(), 1, 10000);
        QVERIFY(ticks > 0);
        QCOMPARE(m_recorder.urls.first(), QUrl::fromLocalFile(QFileInfo(m_file).absolutePath()));
        QTest::qWait(200);
        QCOMPARE(m_recorder.urls.size(), 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("silent"));
    }

    void noServiceOpensTheFolder()
    {
        FileManagerReveal(m_bus.connect(QStringLiteral("client3")), m_open).reveal(m_file);
        QTRY_COMPARE_WITH_TIMEOUT(m_recorder.urls.size(), 1, 3000);
        QCOMPARE(m_recorder.urls.first(), QUrl::fromLocalFile(QFileInfo(m_file).absolutePath()));
    }
};

GLINTORA_TEST_MAIN_CORE(TestRevealBus)
#include "tst_revealbus.moc"
