#include "../list/listfixture.h"
#include "mainwindow.h"
#include "modalwatchdog.h"
#include "qconverteddlg.h"
#include "qformatdlg.h"
#include "qmaindlg.h"
#include "qpreferencesdlg.h"
#include "qzvbasebutton.h"
#include "testhome.h"

#include <QDir>

// Saves pictures of the main window, with three imported movies in its list, of the
// history after conversions and of both preference pages, as the X11 platform draws
// them. Run by scripts/screenshot.
class TestMainWindowShot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(QStringLiteral(GLINTORA_SCREENSHOT_DIR))); }

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

    // Three movies to GIF and one to PNG stills, then the history in both of its modes.
    void historyShots()
    {
        QTemporaryDir media;
        MainWindow window;
        window.show();
        for (const auto &[names, format] : {std::pair<QStringList, QString>{{"IMG_0001", "IMG_0002", "IMG_0003"}, "GIF"},
                                            {{"IMG_0004"}, "PNG"}}) {
            QStringList movies;
            for (const QString &name : names)
                movies << ListFixture::movie(media.path(), name + ".MOV");
            ModalWatchdog dog;
            ListFixture::expectImport(dog);
            window.mainDlg()->addImportFile(movies);
            QTRY_COMPARE(window.mainDlg()->rows().size(), movies.size());
            QFormatDlg::getFormatWidget(nullptr)->setFormatId(format);
            QFormatDlg::getFormatWidget(nullptr)->settingValueChange(true);
            window.OnConvert();
            QTRY_VERIFY_WITH_TIMEOUT(window.mainDlg()->rows().isEmpty(), 240000);
        }
        QConvertedDlg dialog(&window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const char *name : {"/history-table.png", "/history-thumbnails.png"}) {
            QTest::qWait(200);
            QVERIFY(dialog.grab().save(QStringLiteral(GLINTORA_SCREENSHOT_DIR) + name));
            dialog.m_btnIconList->click();
        }
    }

    // An import that refused many files: the message counts them by reason and its list
    // of names scrolls.
    void importRefusalShot()
    {
        QTemporaryDir media;
        QStringList files{ListFixture::movie(media.path(), QStringLiteral("IMG_0001.MOV"))};
        const QString plain = ListFixture::movie(media.path(), QStringLiteral("IMG_0100.MOV"), 1.0, false);
        QVERIFY2(!files.first().isEmpty() && !plain.isEmpty(), qPrintable(TestMedia::lastError()));
        files << plain;
        for (int i = 101; i < 125; ++i) {
            files << media.filePath(QStringLiteral("IMG_0%1.MOV").arg(i));
            QVERIFY(QFile::copy(plain, files.last()));
        }
        files << media.filePath(QStringLiteral("Album.mov"));
        QVERIFY(QDir().mkpath(files.last()));
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        dog.expect(QStringLiteral("QZVMessageDlg"), QString(), ModalWatchdog::inspectThen([](QWidget *modal) {
            QTest::qWait(200);
            QVERIFY(modal->grab().save(QStringLiteral(GLINTORA_SCREENSHOT_DIR) + "/import-refusals.png"));
        }, ModalWatchdog::reject()));
        window.mainDlg()->addImportFile(files);
        GLINTORA_VERIFY_WATCHDOG(dog);
        QCOMPARE(window.mainDlg()->rows().size(), 1);
    }

    // A batch whose output folder cannot be made: the rows marked failed and the message
    // that names them.
    void failedRowShot()
    {
        QTemporaryDir media;
        QStringList movies;
        for (const char *name : {"IMG_0001.MOV", "IMG_0002.MOV"})
            movies << ListFixture::movie(media.path(), QLatin1String(name));
        QFile(media.filePath("blocker")).open(QIODevice::WriteOnly);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.SetOutPath(media.filePath("blocker") + "/Converted/");
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        window.mainDlg()->addImportFile(movies);
        QTRY_COMPARE(window.mainDlg()->rows().size(), 2);
        bool told = false;
        dog.expect(QStringLiteral("QZVMessageDlg"), QString(), ModalWatchdog::inspectThen([&told](QWidget *modal) {
            QTest::qWait(200);
            QVERIFY(modal->grab().save(QStringLiteral(GLINTORA_SCREENSHOT_DIR) + "/batch-failures.png"));
            told = true;
        }, ModalWatchdog::reject()));
        window.OnConvert();
        QTRY_VERIFY_WITH_TIMEOUT(told, 120000);
        GLINTORA_VERIFY_WATCHDOG(dog);
        QTest::qWait(300);
        QVERIFY(window.grab().save(QStringLiteral(GLINTORA_SCREENSHOT_DIR) + "/failed-rows.png"));
    }

    void preferencesShots()
    {
        QPreferencesDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const char *name : {"/preferences-general.png", "/preferences-convert.png"}) {
            QTest::qWait(200);
            QVERIFY(dialog.grab().save(QStringLiteral(GLINTORA_SCREENSHOT_DIR) + name));
            dialog.findChild<QZVBaseButton *>(QStringLiteral("m_btnConvert"))->click();
        }
    }
};

GLINTORA_TEST_MAIN(TestMainWindowShot)
#include "tst_mainwindowshot.moc"
