#include "../list/listfixture.h"
#include "mainwindow.h"
#include "modalwatchdog.h"
#include "qconverteddlg.h"
#include "qformatdlg.h"
#include "qmaindlg.h"
#include "qpreferencesdlg.h"
#include "qzvbasebutton.h"
#include "qzvmenu.h"
#include "videoconvertbar.h"
#include "screenshotfolder.h"
#include "testhome.h"

#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

// Saves pictures of the main window, with three imported movies in its list, of its row
// menu and its list reached by Tab, of the update check's message, of the history after
// conversions and of both preference pages, of an import that refused files and of a
// batch that failed rows, as the X11 platform draws them. Run by scripts/screenshot.
class TestMainWindowShot : public QObject
{
    Q_OBJECT

private:
    // Popups and message boxes are windows of their own: the picture is taken from the
    // screen, over the part that holds them and the main window.
    static void saveScreen(const QRect &area, const char *name)
    {
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        QVERIFY(ScreenshotFolder::save(screen.copy(area.intersected(screen.rect())), QLatin1String(name)));
    }

private slots:
    void initTestCase() { QVERIFY(ScreenshotFolder::prepareScreen()); }

    void shot()
    {
        QTemporaryDir media;
        QStringList movies;
        for (const char *name : {"IMG_0001.MOV", "IMG_0002.MOV", "h264-landscape.MOV"}) {
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

        // Then the row menu, opened on the second row.
        QWidget *row = window.mainDlg()->rows().at(1);
        const QPoint spot(row->width() / 3, row->height() / 2);
        QCursor::setPos(row->mapToGlobal(spot));
        QTest::mousePress(row, Qt::RightButton, {}, spot);
        QMenu *menu = window.mainDlg()->contextMenu();
        QTRY_VERIFY(menu->isVisible());
        QTest::qWait(200); // the menu's first paint
        saveScreen(window.frameGeometry().united(menu->geometry()), "row-menu.png");
        menu->hide();

        // The list reached by Tab, and the mouse over the row of a longer name.
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.findChild<QWidget *>(QStringLiteral("m_btnConverted"))->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCursor::setPos(window.mainDlg()->rows().at(2)->mapToGlobal(spot));
        QTest::qWait(200);
        QVERIFY(ScreenshotFolder::saveFromScreen(&window, QStringLiteral("mainwindow-list-focus.png")));
    }

    // The answer of "Check for Updates" over the main window.
    void updateMessageShot()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ModalWatchdog dog;
        dog.expect("QZVMessageDlg", QString(), ModalWatchdog::inspectThen([&window](QWidget *box) {
            QVERIFY(QTest::qWaitForWindowExposed(box));
            QTest::qWait(200);
            saveScreen(window.frameGeometry().united(box->frameGeometry()), "update-message.png");
        }, ModalWatchdog::reject()));
        window.ActOnUpdates();
        GLINTORA_VERIFY_WATCHDOG(dog);
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
        files << media.filePath(QStringLiteral("empty.mp4"));
        QVERIFY(QFile(files.last()).open(QIODevice::WriteOnly));
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        dog.expect(QStringLiteral("QZVMessageDlg"), QString(), ModalWatchdog::inspectThen([](QWidget *modal) {
            QTest::qWait(200);
            QVERIFY(ScreenshotFolder::saveFromScreen(modal, QStringLiteral("import-refusals.png")));
            QScrollBar *names = static_cast<QZVMessageDlg *>(modal)->scrollingMessage()->verticalScrollBar();
            names->setValue(names->maximum()); // down to the files that cannot be read
            QTest::qWait(200);
            QVERIFY(ScreenshotFolder::saveFromScreen(modal, QStringLiteral("import-refusals-end.png")));
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
            QVERIFY(ScreenshotFolder::saveFromScreen(modal, QStringLiteral("batch-failures.png")));
            told = true;
        }, ModalWatchdog::reject()));
        window.OnConvert();
        QTRY_VERIFY_WITH_TIMEOUT(told, 120000);
        GLINTORA_VERIFY_WATCHDOG(dog);
        QTest::qWait(300);
        QVERIFY(ScreenshotFolder::saveFromScreen(&window, QStringLiteral("failed-rows.png")));
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
