#include "logindpower.h"
#include "privatebus.h"
#include "testhome.h"

// Stands in for systemd-logind on the private bus: answers the Can* questions as told and
// records the actions asked of it, which it never carries out.
class FakeLogind : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QString answer;
    QStringList calls;

public slots:
    QString CanSuspend() { return record(QStringLiteral("CanSuspend")); }
    QString CanPowerOff() { return record(QStringLiteral("CanPowerOff")); }
    void Suspend(bool interactive) { calls << QStringLiteral("Suspend %1").arg(interactive); }
    void PowerOff(bool interactive) { calls << QStringLiteral("PowerOff %1").arg(interactive); }

private:
    QString record(const QString &question)
    {
        calls << question;
        return answer;
    }
};

class TestLogindBus : public QObject
{
    Q_OBJECT

private:
    PrivateBus m_bus;

private slots:
    void initTestCase()
    {
        if (!m_bus.start())
            QSKIP("no private bus: dbus-daemon is missing or does not start");
    }

    void actsOnlyWhenAllowed_data()
    {
        QTest::addColumn<bool>("sleep");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("sleep yes") << true << "yes" << QStringList{"CanSuspend", "Suspend 1"};
        QTest::newRow("sleep challenge") << true << "challenge" << QStringList{"CanSuspend", "Suspend 1"};
        QTest::newRow("sleep no") << true << "no" << QStringList{"CanSuspend"};
        QTest::newRow("sleep na") << true << "na" << QStringList{"CanSuspend"};
        QTest::newRow("power off yes") << false << "yes" << QStringList{"CanPowerOff", "PowerOff 1"};
        QTest::newRow("power off no") << false << "no" << QStringList{"CanPowerOff"};
    }

    void actsOnlyWhenAllowed()
    {
        QFETCH(bool, sleep);
        QFETCH(QString, answer);
        QFETCH(QStringList, expected);
        FakeLogind fake;
        fake.answer = answer;
        const QString service = QStringLiteral("logind-%1").arg(QTest::currentDataTag());
        QVERIFY(m_bus.serve(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"), &fake,
                            service));
        LogindPower power(m_bus.connect(QStringLiteral("client-%1").arg(QTest::currentDataTag())));
        power.request(sleep ? ZvCommonInterface::PowerAction::Sleep : ZvCommonInterface::PowerAction::ShutDown);
        QTRY_COMPARE_WITH_TIMEOUT(fake.calls.size(), expected.size(), 10000);
        QTest::qWait(200);
        QCOMPARE(fake.calls, expected);
        QDBusConnection::disconnectFromBus(service);
    }
};

GLINTORA_TEST_MAIN_CORE(TestLogindBus)
#include "tst_logindbus.moc"
