#include "../list/listfixture.h"
#include "mainwindow.h"
#include "qconverteddlg.h"
#include "qformatdlg.h"
#include "qmaindlg.h"
#include "qzvbasesortmodel.h"
#include "testhome.h"

#include <QDir>

// Converts generated movies through the main window, three to GIF and one to PNG stills,
// then saves the history dialog in table and in thumbnail mode as the X11 platform draws
// it. Run by scripts/screenshot.
class TestHistoryShot : public QObject
{
    Q_OBJECT

private:
    static void convert(MainWindow &window, const QStringList &movies, const QString &format)
    {
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        window.mainDlg()->addImportFile(movies);
        QTRY_COMPARE(window.mainDlg()->rows().size(), movies.size());
        QFormatDlg *popup = QFormatDlg::getFormatWidget(nullptr);
        popup->setFormatId(format);
        popup->settingValueChange(true);
        QSignalSpy converting(window.mainDlg(), &QMainDlg::emitIsStartConverter);
        window.OnConvert();
        QTRY_VERIFY_WITH_TIMEOUT(!converting.isEmpty() && !converting.last().first().toBool(), 240000);
    }

    static void save(QConvertedDlg &dialog, const QString &name)
    {
        QTest::qWait(200);
        const QString path = QStringLiteral(GLINTORA_SCREENSHOT_DIR "/%1").arg(name);
        QVERIFY(dialog.grab().save(path));
        qInfo("saved %s", qPrintable(path));
    }

private slots:
    void shot()
    {
        QTemporaryDir media;
        TestMedia::LivePhoto spec;
        spec.seconds = 1.0;
        spec.audio = false;
        QStringList gifs;
        for (const char *name : {"IMG_0001.MOV", "IMG_0002.MOV", "IMG_0003.MOV"})
            gifs << TestMedia::livePhoto(media.path(), QLatin1String(name), spec);
        const QString stills = TestMedia::livePhoto(media.path(), "IMG_0004.MOV", spec);
        QVERIFY2(!gifs.contains(QString()) && !stills.isEmpty(), qPrintable(TestMedia::lastError()));
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        convert(window, gifs, "GIF");
        convert(window, {stills}, "PNG");

        QVERIFY(QDir().mkpath(QStringLiteral(GLINTORA_SCREENSHOT_DIR)));
        QConvertedDlg dialog(&window);
        window.CenterDlg(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.sortModel()->rowCount(), 4);
        save(dialog, "history-table.png");
        dialog.m_btnIconList->click();
        save(dialog, "history-thumbnails.png");
    }
};

GLINTORA_TEST_MAIN(TestHistoryShot)
#include "tst_historyshot.moc"
