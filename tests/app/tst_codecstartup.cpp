#include "mainwindow.h"
#include "qianyutil.h"
#include "testhome.h"

#include <QStringList>
#include <QtTest>

// The window's calls into the codec library are routed through these recorders by the
// linker (--wrap), so the test sees the real calls in their real order.
namespace {
QStringList g_calls;
}

extern "C" {
int __real_MMC_SetGlobalOptionA(int option, int value);
int __real_MMC_SetGlobalOptionB(int option, int value);
int __real_MMC_SetConvertingMode(int mode);
int __real_MMC_SetWorkDirectory(const char *dir);
int __real_MMC_SetGlobalOptionC(int *value, int flag);

int __wrap_MMC_SetGlobalOptionA(int option, int value)
{
    g_calls << QStringLiteral("A %1 %2").arg(option).arg(value);
    return __real_MMC_SetGlobalOptionA(option, value);
}

int __wrap_MMC_SetGlobalOptionB(int option, int value)
{
    g_calls << QStringLiteral("B %1 %2").arg(option).arg(value);
    return __real_MMC_SetGlobalOptionB(option, value);
}

int __wrap_MMC_SetConvertingMode(int mode)
{
    g_calls << QStringLiteral("mode %1").arg(mode);
    return __real_MMC_SetConvertingMode(mode);
}

int __wrap_MMC_SetWorkDirectory(const char *dir)
{
    g_calls << QStringLiteral("dir %1").arg(QString::fromUtf8(dir));
    return __real_MMC_SetWorkDirectory(dir);
}

int __wrap_MMC_SetGlobalOptionC(int *value, int flag)
{
    g_calls << QStringLiteral("C %1 %2").arg(value ? *value : -1).arg(flag);
    return __real_MMC_SetGlobalOptionC(value, flag);
}
}

class TestCodecStartup : public QObject
{
    Q_OBJECT

private slots:
    void startUpSetsTheLibraryUpInOrder()
    {
        MainWindow window;
        const QStringList expected{"A 1 1", "B 0 1", "mode 0", "dir " + QIAnyUtil::getAppDataPath(), "C 30 1"};
        QCOMPARE(g_calls, expected);
    }
};

GLINTORA_TEST_MAIN(TestCodecStartup)
#include "tst_codecstartup.moc"
