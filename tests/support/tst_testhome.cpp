#include "screenshotfolder.h"
#include "testhome.h"

#include <QStandardPaths>

class TestTestHome : public QObject
{
    Q_OBJECT

private slots:
    void userFoldersLieInTheTemporaryHome()
    {
        const QString home = QDir::homePath();
        QVERIFY(home.contains("glintora-test-"));
        for (auto location : {QStandardPaths::GenericDataLocation, QStandardPaths::DocumentsLocation,
                              QStandardPaths::GenericConfigLocation, QStandardPaths::TempLocation}) {
            const QString folder = QStandardPaths::writableLocation(location);
            QVERIFY2(folder.startsWith(home), qPrintable(folder));
        }
    }

    // A copied build tree must not write its pictures into the tree it came from.
    void screenshotsGoWhereTheRunSays()
    {
        const QByteArray kept = qgetenv("GLINTORA_SCREENSHOT_DIR");
        qunsetenv("GLINTORA_SCREENSHOT_DIR");
        QCOMPARE(ScreenshotFolder::path(), QDir::current().absoluteFilePath(QStringLiteral("screenshots")));
        const QString chosen = QDir::temp().absoluteFilePath(QStringLiteral("run-7"));
        qputenv("GLINTORA_SCREENSHOT_DIR", chosen.toLocal8Bit());
        QCOMPARE(ScreenshotFolder::path(), chosen);
        qputenv("GLINTORA_SCREENSHOT_DIR", kept);
    }
};

GLINTORA_TEST_MAIN(TestTestHome)
#include "tst_testhome.moc"
