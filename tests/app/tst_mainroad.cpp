#include "../list/listfixture.h"
#include "convertedinfo.h"
#include "mainwindow.h"
#include "modalwatchdog.h"
#include "qconverteroperate.h"
#include "qformatdlg.h"
#include "qianyutil.h"
#include "qmaindlg.h"
#include "qvideosettingxml.h"
#include "qzvbasebutton.h"
#include "videoconvertbar.h"
#include "testhome.h"
#include "zvcommoninterface.h"

#include <QDir>
#include <QImageReader>
#include <QScreen>

using Power = ZvCommonInterface::PowerAction;

// The whole road through the window: movies in, the format chosen, one batch converted,
// files, history records, badge and after-batch action out.
class TestMainRoad : public QObject
{
    Q_OBJECT

private:
    QStringList m_power;

    static void chooseFormat(const QString &title)
    {
        QFormatDlg *dialog = QFormatDlg::getFormatWidget(nullptr);
        dialog->setFormatId(title);
        dialog->settingValueChange(true);
    }

    static void convertAll(MainWindow &window)
    {
        QSignalSpy converting(window.mainDlg(), &QMainDlg::emitIsStartConverter);
        window.OnConvert();
        QTRY_VERIFY_WITH_TIMEOUT(!converting.isEmpty() && !converting.last().first().toBool(), 240000);
        QVERIFY(!MainWindow::isConverting());
    }

private slots:
    void initTestCase()
    {
        ZvCommonInterface::setPowerHandler(
            [this](Power action) { m_power << (action == Power::Sleep ? "sleep" : "down"); });
    }

    void cleanupTestCase() { ZvCommonInterface::setPowerHandler({}); }

    void moviesBecomeAnimationsAndStills()
    {
        MainWindow::resetStaticsForTests();
        QTemporaryDir media;
        const QString folder = media.path();
        QStringList inputs;
        inputs << ListFixture::movie(folder, "short.mov", 1.0);
        QFile::copy(inputs.last(), folder + "/short.JPG");
        inputs << ListFixture::movie(folder, "long.mov", 11.0);
        QFile::copy(inputs.last(), folder + "/long.JPG");
        inputs << ListFixture::movie(folder, "alone.mov", 11.0);  // long, no still: refused
        inputs << ListFixture::movie(folder, "plain.mov", 1.0, false);  // no identifier: refused
        inputs << ListFixture::movie(folder, "single.mov", 1.0);
        for (const QString &input : inputs)
            QVERIFY2(!input.isEmpty(), qPrintable(TestMedia::lastError()));

        MainWindow window;
        window.show();
        const QString output = QDir(folder).filePath("out") + "/";
        window.SetOutPath(output);
        QVideoSettingXml::GetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "0");
        QVideoSettingXml::SetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "1");
        ModalWatchdog dog;
        QString refusals;
        ListFixture::expectImport(dog, refusals);
        window.mainDlg()->addImportFile(inputs);
        QTRY_COMPARE(window.mainDlg()->rows().size(), 3);
        QVERIFY2(refusals.contains("alone.mov") && refusals.contains("plain.mov"), qPrintable(refusals));
        QVERIFY(window.findChild<QZVBaseButton *>("m_btnConvert")->isEnabled());

        chooseFormat("GIF");
        convertAll(window);
        for (const auto &[name, frames] : {std::pair<QString, int>{"short", 10}, {"long", 110}, {"single", 10}}) {
            QImageReader gif(output + name + ".gif");
            int read = 0;
            while (!gif.read().isNull())
                ++read;
            QCOMPARE(read, frames);
        }
        QCOMPARE(window.findChild<QZVBaseButton *>("m_btnConverted")->itmeCount(), 3);
        QList<convertedInfo *> records;
        QVideoSettingXml::analysisConvertedInfo(&records);
        QCOMPARE(records.size(), 3);
        for (const convertedInfo *record : qAsConst(records))
            QVERIFY(QFileInfo::exists(record->imgPath));
        qDeleteAll(records);
        QVERIFY(window.mainDlg()->rows().isEmpty());
        QCOMPARE(m_power, QStringList{"sleep"});

        // Again, to stills: one file per frame in a folder named after the movie.
        QVideoSettingXml::SetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "0");
        // The same watchdog: a second one would refuse the modal this one expects.
        ListFixture::expectImport(dog);
        window.mainDlg()->addImportFile({inputs.first()});
        QTRY_COMPARE(window.mainDlg()->rows().size(), 1);
        chooseFormat("PNG");
        convertAll(window);
        const QStringList stills = QDir(output + "short").entryList({"short_*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(stills.size(), 10);
        QCOMPARE(stills.first(), QString("short_001.png"));
        QCOMPARE(m_power, QStringList{"sleep"});
        GLINTORA_VERIFY_WATCHDOG(dog);
    }

    // A newly chosen format shows on the rows at once, not when the mouse next passes.
    void rowsShowANewFormatAtOnce()
    {
        MainWindow::resetStaticsForTests();
        QTemporaryDir media;
        const QString movie = ListFixture::movie(media.path(), "row.mov");
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        window.mainDlg()->addImportFile({movie});
        QTRY_COMPARE(window.mainDlg()->rows().size(), 1);
        const VideoConvertBar *row = window.mainDlg()->rows().first();
        const QRect area(row->mapTo(&window, QPoint()), row->size());
        // What the screen shows against what a full repaint would show now.
        const auto shown = [&window, area] {
            return window.screen()->grabWindow(window.winId(), area.x(), area.y(), area.width(), area.height())
                .toImage().convertToFormat(QImage::Format_ARGB32);
        };
        const auto current = [&window, area] { return window.grab(area).toImage().convertToFormat(QImage::Format_ARGB32); };
        for (const char *format : {"GIF", "PNG", "JPG"}) {
            chooseFormat(format);
            QTRY_VERIFY2(shown() == current(), format);
        }
    }

    void closingDuringABatchStopsIt()
    {
        MainWindow::resetStaticsForTests();
        QTemporaryDir media;
        const QString movie = ListFixture::movie(media.path(), "long.mov", 11.0);
        QFile::copy(movie, media.path() + "/long.JPG");
        m_power.clear();
        QVideoSettingXml::SetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "1");
        auto window = std::make_unique<MainWindow>();
        window->show();
        window->SetOutPath(media.path() + "/out/");
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        window->mainDlg()->addImportFile({movie});
        QTRY_COMPARE(window->mainDlg()->rows().size(), 1);
        chooseFormat("GIF");
        window->OnConvert();
        QTRY_VERIFY(MainWindow::isConverting());
        QVERIFY(window->close());
        window.reset();
        QVERIFY(m_power.isEmpty());
    }
};

GLINTORA_TEST_MAIN(TestMainRoad)
#include "tst_mainroad.moc"
