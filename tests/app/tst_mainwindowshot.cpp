#include "../list/listfixture.h"
#include "mainwindow.h"
#include "modalwatchdog.h"
#include "qmaindlg.h"
#include "testhome.h"

#include <QDir>

// Saves a picture of the main window as the X11 platform draws it, with three imported
// movies in its list. Run by scripts/screenshot.
class TestMainWindowShot : public QObject
{
    Q_OBJECT

private slots:
    void shot()
    {
        QTemporaryDir media;
        QStringList movies;
        for (const char *name : {"IMG_0001.MOV", "IMG_0002.MOV", "IMG_0003.MOV"}) {
            movies << ListFixture::movie(media.path(), QLatin1String(name));
            QVERIFY2(!movies.last().isEmpty(), qPrintable(TestMedia::lastError()));
        }
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        window.mainDlg()->addImportFile(movies);
        QTRY_COMPARE(window.mainDlg()->rows().size(), 3);
        QTest::qWait(300); // row thumbnails arrive through the event queue
        const QString folder = QStringLiteral(GLINTORA_SCREENSHOT_DIR);
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/mainwindow.png");
        QVERIFY(window.grab().save(path));
        qInfo("saved %s", qPrintable(path));
    }
};

GLINTORA_TEST_MAIN(TestMainWindowShot)
#include "tst_mainwindowshot.moc"
