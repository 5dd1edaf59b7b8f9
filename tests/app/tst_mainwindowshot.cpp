#include "../list/listfixture.h"
#include "mainwindow.h"
#include "modalwatchdog.h"
#include "qconverteddlg.h"
#include "qformatdlg.h"
#include "qmaindlg.h"
#include "qpreferencesdlg.h"
#include "qzvbasebutton.h"
#include "screenshotfolder.h"
#include "testhome.h"

// Saves pictures of the main window, with three imported movies in its list, of the
// history after conversions and of both preference pages, as the X11 platform draws
// them. Run by scripts/screenshot.
class TestMainWindowShot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(ScreenshotFolder::prepareScreen()); }

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
        QVERIFY(ScreenshotFolder::saveFromScreen(&window, QStringLiteral("mainwindow.png")));
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
        for (const char *name : {"history-table.png", "history-thumbnails.png"}) {
            QTest::qWait(200);
            QVERIFY(ScreenshotFolder::saveFromScreen(&dialog, QLatin1String(name)));
            dialog.m_btnIconList->click();
        }
    }

    void preferencesShots()
    {
        QPreferencesDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const char *name : {"preferences-general.png", "preferences-convert.png"}) {
            QTest::qWait(200);
            QVERIFY(ScreenshotFolder::saveFromScreen(&dialog, QLatin1String(name)));
            dialog.findChild<QZVBaseButton *>(QStringLiteral("m_btnConvert"))->click();
        }
    }
};

GLINTORA_TEST_MAIN(TestMainWindowShot)
#include "tst_mainwindowshot.moc"
