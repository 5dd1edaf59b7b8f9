#include "../list/listfixture.h"
#include "askmessagedlg.h"
#include "historyrecord.h"
#include "mainwindow.h"
#include "modalwatchdog.h"
#include "photoconverterinfo.h"
#include "qconverteroperate.h"
#include "qconverteddlg.h"
#include "qeditdlg.h"
#include "qformatdlg.h"
#include "qianyutil.h"
#include "qimageviewerdlg.h"
#include "qloadingdlg.h"
#include "qmaindlg.h"
#include "qpreferencesdlg.h"
#include "qshowclosedlg.h"
#include "qstorefile.h"
#include "qvideosettingxml.h"
#include "qzvbasebutton.h"
#include "qzvfocusmark.h"
#include "qzvmessagedlg.h"
#include "storenotice.h"
#include "tabchain.h"
#include "testhome.h"
#include "urlrecorder.h"
#include "videoconvertbar.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>

#include <QAbstractButton>
#include <QPointer>

#include <memory>
#include <tuple>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    UrlRecorder m_urls;

    // The guide the resource folder ships; every help link leads there, never to the web.
    static QUrl helpPage()
    {
        return QUrl::fromLocalFile(QIAnyUtil::getResourcePath() + "/help/index.html");
    }

    static QZVBaseButton *button(MainWindow &window, const char *name)
    {
        return window.findChild<QZVBaseButton *>(QLatin1String(name));
    }

    static QZVBaseButton *rowButton(VideoConvertBar *row, const char *toolTip)
    {
        for (QZVBaseButton *candidate : row->findChildren<QZVBaseButton *>()) {
            if (candidate->toolTip() == QLatin1String(toolTip))
                return candidate;
        }
        return nullptr;
    }

    // A window shown as a user meets it: the main window with its selected row under the
    // pointer, the history with an entry.
    static std::unique_ptr<QWidget> windowNamed(const QString &name, const QString &media, ModalWatchdog &dog)
    {
        std::unique_ptr<QWidget> window;
        if (name == "main window") {
            auto *main = new MainWindow;
            window.reset(main);
            main->show();
            ListFixture::expectImport(dog);
            main->mainDlg()->addImportFile({ListFixture::movie(media, "IMG_0001.MOV")});
            if (!QTest::qWaitFor([main] { return main->mainDlg()->rows().size() == 1; }, 30000))
                return window; // the test fails on the missing row's controls
            VideoConvertBar *row = main->mainDlg()->rows().first();
            QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(200, 10));
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(row, &enter);
        } else if (name == "history") {
            HistoryRecord::save(media + "/IMG_0001.png");
            window = std::make_unique<QConvertedDlg>();
        } else if (name == "format") {
            window.reset(QFormatDlg::getFormatWidget(nullptr));
        } else if (name == "preferences") {
            window = std::make_unique<QPreferencesDlg>();
        } else if (name == "close prompt") {
            window = std::make_unique<QShowCloseDlg>();
        } else if (name == "delete prompt") {
            window = std::make_unique<AskMessageDlg>();
        } else if (name == "message box") {
            auto box = std::make_unique<QZVMessageDlg>();
            box->setMessage("Are you sure to stop converting?");
            box->setStyle(QZVMessageDlg::WarningIcon | QZVMessageDlg::YesNoButtons);
            window = std::move(box);
        } else if (name == "frame picker") {
            window = std::make_unique<QEditDlg>();
        } else if (name == "frame viewer") {
            window = std::make_unique<QImageViewerDlg>();
        } else if (name == "import progress") {
            window = std::make_unique<QLoadingDlg>();
        }
        window->show();
        return window;
    }

    static QString setting(const char *item, const char *key)
    {
        return QVideoSettingXml::GetItemValue(QLatin1String(item), QLatin1String(key), QStringLiteral("<none>"));
    }

private slots:
    void initTestCase()
    {
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_urls, "open");
    }

    void init()
    {
        MainWindow::resetStaticsForTests();
        QFile::remove(QIAnyUtil::getAppDataPath() + "/VideoDefaultSetting.xml");
        QFile::remove(QIAnyUtil::getAppDataPath() + "/PhotoConverterSetting.xml");
        m_urls.urls.clear();
    }

    void startUpWithoutSettings()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString output = QIAnyUtil::getDocumentPath() + "/Converted/";
        QCOMPARE(setting("OutPut_path", "path_value"), output);
        QVERIFY(QFileInfo(output).isDir());
        QCOMPARE(setting("Open_path", "Open_path_value"), QString("."));
        QCOMPARE(MainWindow::open_path, QString("."));
        QCOMPARE(button(window, "m_btnFromt")->text(), QString("JPG"));
        QCOMPARE(QConverterOperate::g_converterInfo->extension, QString("jpg"));
        QVERIFY(!button(window, "m_btnConvert")->isEnabled());
        for (const char *hidden : {"m_btnCancel", "m_btnRestore", "m_btnSelFolder"})
            QVERIFY2(button(window, hidden)->isHidden(), hidden);
        QVERIFY(window.findChild<QLabel *>("m_labOutput")->isHidden());
        QVERIFY(window.findChild<QLineEdit *>("m_editOutPaht")->isHidden());

        QCOMPARE(window.size(), QSize(536, 656));
        QCOMPARE(window.mainDlg()->geometry(), QRect(8, 80, 520, 508));
        QCOMPARE(button(window, "m_btnAddFile")->geometry(), QRect(148, 43, 100, 22));
        QCOMPARE(button(window, "m_btnConverted")->geometry(), QRect(303, 32, 110, 32));
        QCOMPARE(button(window, "m_btnClose")->pos(), QPoint(13, 13));
        QCOMPARE(button(window, "m_btnMin")->pos(), QPoint(33, 13));
        QCOMPARE(button(window, "m_btnMax")->pos(), QPoint(53, 13));
    }

    void convertedOpensTheHistoryCentred()
    {
        MainWindow window;
        window.move(100, 10);
        window.show();
        QZVBaseButton *converted = button(window, "m_btnConverted");
        converted->addItemCount();
        QRect seen;
        ModalWatchdog dog;
        dog.expect("QConvertedDlg", "QConvertedDlg", ModalWatchdog::inspectThen(
                       [&seen](QWidget *dialog) { seen = dialog->geometry(); }, ModalWatchdog::clickButton("m_btnTitleClose")));
        QTest::mouseClick(converted, Qt::LeftButton);
        GLINTORA_VERIFY_WATCHDOG(dog);
        const QPoint centred = window.mapToGlobal(QPoint((536 - 548) / 2, (656 - 600) / 2));
        QVERIFY(seen == QRect(centred, QSize(548, 600)) && converted->itmeCount() == 0);
    }

    void storedValuesAreNormalisedOrReplaced_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("used");
        QTest::newRow("doubled slashes") << "//mine//" << "/mine/";
        // Still-image folders are named by appending to the folder.
        QTest::newRow("no closing slash") << "/mine" << "/mine/";
    }

    void storedValuesAreNormalisedOrReplaced()
    {
        QFETCH(QString, stored);
        QFETCH(QString, used);
        QVideoSettingXml::GetItemValue("FormatSet", "Format_ID", "JPG");
        QVideoSettingXml::SetItemValue("FormatSet", "Format_ID", "M4V");
        const QString folder = QIAnyUtil::getDocumentPath() + stored;
        QVideoSettingXml::GetItemValue("OutPut_path", "path_value", folder);
        QVideoSettingXml::SetItemValue("OutPut_path", "path_value", folder);
        MainWindow window;
        QCOMPARE(setting("FormatSet", "Format_ID"), QString("JPG"));
        QCOMPARE(button(window, "m_btnFromt")->text(), QString("JPG"));
        QCOMPARE(QConverterOperate::getConverterPath(), QIAnyUtil::getDocumentPath() + used);
        QCOMPARE(setting("OutPut_path", "path_value"), QIAnyUtil::getDocumentPath() + used);
    }

    void formatApplyFillsTheOutputRecord_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("format");
        QTest::addColumn<uint>("codecId");
        QTest::addColumn<bool>("animation");
        QTest::addColumn<QString>("animationFormat");
        QTest::addColumn<int>("frameFormat");
        QTest::newRow("JPG") << "JPG" << "jpeg" << 8u << false << "mp4" << -1;
        QTest::newRow("PNG") << "PNG" << "png" << 62u << true << "apng" << -1;
        QTest::newRow("BMP") << "BMP" << "bmp" << 79u << false << "mp4" << -1;
        QTest::newRow("GIF") << "GIF" << "gif" << 98u << true << "gif" << -1;
        QTest::newRow("WEBP") << "WEBP" << "webp" << 0x57454250u << true << "webp" << -1;
        QTest::newRow("TIFF") << "TIFF" << "tiff" << 97u << false << "mp4" << 2;
    }

    void formatApplyFillsTheOutputRecord()
    {
        QFETCH(QString, title);
        MainWindow window;
        QFormatDlg *dialog = QFormatDlg::getFormatWidget(nullptr);
        QSignalSpy names(dialog, &QFormatDlg::sendSuffixChange);
        dialog->setFormatId(title);
        dialog->settingValueChange(false);
        QCOMPARE(setting("FormatSet", "Format_ID"), QString("JPG"));
        dialog->settingValueChange(true);
        QCOMPARE(names.count(), 2);
        QCOMPARE(names.last().first().toString(), title);
        const PhotoConverterInfo *info = QConverterOperate::g_converterInfo;
        QTEST(info->format, "format");
        QCOMPARE(info->extension, title.toLower());
        QTEST(info->codecId, "codecId");
        QTEST(info->supportAnimation, "animation");
        QTEST(info->animationFormat, "animationFormat");
        QTEST(info->frameFormat, "frameFormat");
        QCOMPARE(setting("FormatSet", "Format_ID"), title);
        QCOMPARE(button(window, "m_btnFromt")->text(), title);
    }

    // Start-up applies the stored WEBP; then three openings: GIF chosen with a width, then
    // edits left by Cancel, which the next opening replaces with the stored values.
    void storedFormatAndTheFormatButton()
    {
        QVideoSettingXml::GetItemValue("FormatSet", "Format_ID", "JPG");
        QVideoSettingXml::SetItemValue("FormatSet", "Format_ID", "WEBP");
        PhotoConverterInfo options;
        options.width = 300;
        options.quality = 70;
        QVideoSettingXml::SetDefaultPtConvertInfo("WEBP", &options);
        MainWindow window;
        const PhotoConverterInfo *info = QConverterOperate::g_converterInfo;
        QCOMPARE(QStringList({info->format, info->extension, button(window, "m_btnFromt")->text()}),
                 QStringList({"webp", "webp", "WEBP"}));
        QCOMPARE(QList<int>({info->width, info->height, info->quality, info->supportAnimation}),
                 QList<int>({300, 0, 70, 1}));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint centre =
            window.mapToGlobal(QPoint((window.width() - 516) / 2, (window.height() - 434) / 2));
        ModalWatchdog dog;
        dog.expect("QFormatDlg", "QFormatDlg", ModalWatchdog::inspectThen([&](QWidget *modal) {
            auto *popup = static_cast<QFormatDlg *>(modal);
            QCOMPARE(popup->pos(),
                     QPoint(centre.x() < 1 ? 50 : centre.x(), centre.y() < 1 ? 50 : centre.y()));
            QCOMPARE(popup->windowHandle()->transientParent(), window.windowHandle());
            QCOMPARE(popup->m_editW->text(), QString("300"));
            const QRect gif = popup->m_listView->visualRect(popup->m_listView->model()->index(3, 0));
            QTest::mouseClick(popup->m_listView->viewport(), Qt::LeftButton, {}, gif.center());
            QTest::keyClicks(popup->m_editW, "321");
        }, ModalWatchdog::clickButton("m_btnOk")));
        for (const char *typed : {"9", ""}) {
            dog.expect("QFormatDlg", "QFormatDlg", ModalWatchdog::inspectThen([typed](QWidget *modal) {
                auto *popup = static_cast<QFormatDlg *>(modal);
                const QString shown =
                    popup->m_listView->currentIndex().data().toString() + popup->m_editW->text();
                QCOMPARE(shown, QString("GIF321"));
                QTest::keyClicks(popup->m_editW, typed);
            }, ModalWatchdog::clickButton("m_btnCancel")));
        }
        for (int opening = 0; opening < 3; ++opening)
            button(window, "m_btnFromt")->click();
        GLINTORA_VERIFY_WATCHDOG(dog);
        const QString stored = setting("FormatSet", "Format_ID");
        QCOMPARE(QStringList({info->extension, button(window, "m_btnFromt")->text(), stored}),
                 QStringList({"gif", "GIF", "GIF"}));
        QCOMPARE(info->width, 321);
    }

    void commandsSwitchTheControls()
    {
        MainWindow window;
        window.IsStartToConverter(true);
        QVERIFY(MainWindow::isConverting());
        QVERIFY(button(window, "m_btnConvert")->isHidden());
        QVERIFY(!button(window, "m_btnCancel")->isHidden());
        QVERIFY(!button(window, "m_btnAddFile")->isEnabled());
        window.IsStartToConverter(false);
        window.IsStartToConverter(false);
        QVERIFY(!MainWindow::isConverting());
        QVERIFY(!button(window, "m_btnConvert")->isHidden());
        QVERIFY(button(window, "m_btnCancel")->isHidden());
        QVERIFY(button(window, "m_btnFromt")->isEnabled());

        window.SetOutPath(QIAnyUtil::getDocumentPath() + "/missing/");
        ModalWatchdog dog;
        dog.expect("QZVMessageDlg", QString(), ModalWatchdog::reject());
        window.OnOpenConverterPath();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QVERIFY(m_urls.urls.isEmpty());
        const QString existing = QIAnyUtil::getDocumentPath() + "/Converted/";
        window.SetOutPath(existing);
        window.OnOpenConverterPath();
        QCOMPARE(m_urls.urls, QList<QUrl>{QUrl::fromLocalFile(existing)});
        // No file manager takes the folder: the button must not stay silent.
        UrlRecorder refusing;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &refusing, "noSuchSlot");
        QString said;
        dog.expect("QZVMessageDlg", QString(), ModalWatchdog::inspectThen([&said](QWidget *modal) {
            said = static_cast<QZVMessageDlg *>(modal)->message();
        }, ModalWatchdog::reject()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("noSuchSlot"));
        window.OnOpenConverterPath();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");
        QVERIFY2(said.startsWith("No file manager could open the folder"), qPrintable(said));
    }

    void mainMenuOpensBelowTheTitleBarButtons()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        button(window, "m_btnMenu")->click();
        auto *menu = window.findChild<QMenu *>();
        QTRY_VERIFY(menu->isVisible());
        for (const char *name : {"m_btnMenu", "m_btnMin", "m_btnClose"}) {
            const QZVBaseButton *titleButton = button(window, name);
            const QRect onScreen(titleButton->mapToGlobal(QPoint(0, 0)), titleButton->size());
            QVERIFY2(!menu->geometry().intersects(onScreen), name);
        }
        const QZVBaseButton *menuButton = button(window, "m_btnMenu");
        QCOMPARE(menu->geometry().top(), menuButton->mapToGlobal(QPoint(0, menuButton->height())).y());
        menu->close();
    }

    // Every window's Tab round goes in reading order and reaches each of its controls.
    void tabFollowsReadingOrder_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *window : {"main window", "history", "format", "preferences", "close prompt", "delete prompt",
                                   "message box", "frame picker", "frame viewer", "import progress"})
            QTest::newRow(window) << QString(window);
    }

    void tabFollowsReadingOrder()
    {
        QFETCH(QString, window);
        QTemporaryDir media;
        ModalWatchdog dog;
        const std::unique_ptr<QWidget> shown = windowNamed(window, media.path(), dog);
        QApplication::setActiveWindow(shown.get());
        QVERIFY(QTest::qWaitForWindowActive(shown.get()));
        const QStringList against = TabChain::againstReadingOrder(*shown);
        QVERIFY2(against.isEmpty(), qPrintable(against.join(", ")));
        const QStringList unreached = TabChain::unreached(*shown);
        QVERIFY2(unreached.isEmpty(), qPrintable(unreached.join(", ")));
        GLINTORA_VERIFY_WATCHDOG(dog);
    }

    // The window shown and active, with one imported row.
    static bool showWithOneRow(MainWindow &window, ModalWatchdog &dog, const QString &media)
    {
        window.show();
        ListFixture::expectImport(dog);
        window.mainDlg()->addImportFile({ListFixture::movie(media, "IMG_0001.MOV")});
        if (!QTest::qWaitFor([&window] { return window.mainDlg()->rows().size() == 1; }, 30000))
            return false;
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }

    // The list, flush with its pane's edges, wears the ring inside them.
    void listWearsTheRingInsideItsPane()
    {
        QTemporaryDir media;
        MainWindow window;
        ModalWatchdog dog;
        QVERIFY(showWithOneRow(window, dog, media.path()));
        QWidget *list = window.mainDlg()->listView();
        list->setFocus(Qt::MouseFocusReason);
        const QPoint edge = list->mapTo(&window, QPoint(list->width() / 2, 1));
        const QRgb unmarked = window.grab().toImage().pixel(edge);
        TabChain::visited(window);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QZVFocusMark::markedWidget(), list);
        QVERIFY(window.grab().toImage().pixel(edge) != unmarked);
    }

    // The focus that comes back to the window after the preview, or stays through a batch,
    // must not rest on Close, where two presses of Return quit and lose the list.
    void returnTwiceKeepsTheProgram_data()
    {
        QTest::addColumn<bool>("batch");
        QTest::newRow("after the preview") << false;
        QTest::newRow("after a batch") << true;
    }

    void returnTwiceKeepsTheProgram()
    {
        QFETCH(bool, batch);
        QTemporaryDir media;
        MainWindow window;
        ModalWatchdog dog;
        QVERIFY(showWithOneRow(window, dog, media.path()));
        VideoConvertBar *row = window.mainDlg()->rows().first();
        if (batch) {
            window.SetOutPath(media.path() + "/out/");
            QSignalSpy converting(window.mainDlg(), &QMainDlg::emitIsStartConverter);
            QTest::mouseClick(button(window, "m_btnConvert"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!converting.isEmpty() && !converting.last().first().toBool(), 120000);
        } else {
            // The pointer goes over to the preview; the row's buttons hide under the focus.
            dog.expect("QPlayDlg", QString(), [row](QWidget *preview) {
                QEvent leave(QEvent::Leave);
                QCoreApplication::sendEvent(row, &leave);
                preview->close();
            });
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(row, &enter);
            QTest::mouseClick(rowButton(row, "Play"), Qt::LeftButton);
        }
        const int rows = window.mainDlg()->rows().size();
        QApplication::setActiveWindow(&window); // as the window manager does once the preview has gone
        for (int press = 0; press < 2; ++press)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QVERIFY(window.isVisible());
        QCOMPARE(window.mainDlg()->rows().size(), rows);
    }

    void closeButtonFollowsTheStoredChoice_data()
    {
        QTest::addColumn<QString>("remind");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("remindAfter");
        QTest::addColumn<QString>("closeAfter");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("ask, exit, ticked") << "Y" << "Y" << "exit ticked" << "N" << "Y" << "closed";
        QTest::newRow("ask, minimise") << "Y" << "Y" << "minimise" << "Y" << "N" << "minimised";
        QTest::newRow("ask, closed unanswered") << "Y" << "N" << "reject" << "Y" << "N" << "shown";
        QTest::newRow("no question, exit") << "N" << "Y" << "" << "N" << "Y" << "closed";
        QTest::newRow("no question, lower case") << "N" << "y" << "" << "N" << "y" << "minimised";
        QTest::newRow("no question, N") << "N" << "N" << "" << "N" << "N" << "minimised";
    }

    void closeButtonFollowsTheStoredChoice()
    {
        QFETCH(QString, remind);
        QFETCH(QString, close);
        QFETCH(QString, answer);
        for (const auto &[item, key, value] : {std::tuple<const char *, const char *, QString>{"REMIND_ITEM", "isShowRemind", remind},
                                              {"CLOSE_ITEM", "bIsCloseDlg", close}}) {
            QVideoSettingXml::GetItemValue(item, key, value);
            QVideoSettingXml::SetItemValue(item, key, value);
        }
        auto owned = std::make_unique<MainWindow>();
        QPointer<MainWindow> alive(owned.get());
        owned->show();
        ModalWatchdog dog;
        if (answer == "reject") {
            dog.expect("QShowCloseDlg", QString(), ModalWatchdog::reject());
        } else if (!answer.isEmpty()) {
            dog.expect("QShowCloseDlg", QString(), [answer](QWidget *prompt) {
                if (answer == "exit ticked")
                    prompt->findChild<QAbstractButton *>("m_chkNote")->click();
                prompt->findChild<QAbstractButton *>(answer == "minimise" ? "m_radioMin" : "m_radioClose")->click();
                prompt->findChild<QAbstractButton *>("m_btnOk")->click();
            });
        }
        owned->OnClose();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QTEST(setting("REMIND_ITEM", "isShowRemind"), "remindAfter");
        QTEST(setting("CLOSE_ITEM", "bIsCloseDlg"), "closeAfter");
        QFETCH(QString, outcome);
        if (outcome == "closed")
            QTRY_VERIFY_WITH_TIMEOUT(!alive->isVisible(), 2000);
        else
            QCOMPARE(alive->isMinimized(), outcome == "minimised");
    }

    void aboutShowsTheVersionAndOpensTheHomePage()
    {
        MainWindow window;
        QString version;
        ModalWatchdog dog;
        dog.expect("QAboutDlg", QString(), ModalWatchdog::inspectThen([&version](QWidget *about) {
            QCOMPARE(about->size(), QSize(400, 250));
            for (const char *name : {"m_labVisit", "m_labHome"}) {
                auto *label = about->findChild<QLabel *>(name);
                QVERIFY2(label->width() >= label->sizeHint().width(), name);
            }
            version = about->findChild<QLabel *>("m_labVersion")->text();
            emit about->findChild<QLabel *>("m_labHome")->linkActivated("elsewhere");
        }, ModalWatchdog::reject()));
        window.ActOnAbout();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QCOMPARE(version, QString("Version 1.0.0"));
        QCOMPARE(m_urls.urls, QList<QUrl>{helpPage()});
    }

    void helpAndHomeOpenTheShippedGuide_data()
    {
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("browser");
        QTest::newRow("Help") << true << true;
        QTest::newRow("Home") << false << true;
        QTest::newRow("Help, no browser") << true << false;
        QTest::newRow("Home, no browser") << false << false;
    }

    // Without a browser, the user hears which page could not be opened.
    void helpAndHomeOpenTheShippedGuide()
    {
        QFETCH(bool, help);
        QFETCH(bool, browser);
        MainWindow window;
        UrlRecorder refusing;
        QString said;
        ModalWatchdog dog;
        if (!browser) {
            QDesktopServices::setUrlHandler(QStringLiteral("file"), &refusing, "noSuchSlot");
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("noSuchSlot"));
            dog.expect("QZVMessageDlg", QString(), ModalWatchdog::inspectThen([&said](QWidget *modal) {
                said = static_cast<QZVMessageDlg *>(modal)->message();
            }, ModalWatchdog::reject()));
        }
        help ? window.ActOnHelp() : window.ActOnHome();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");
        GLINTORA_VERIFY_WATCHDOG(dog);
        QCOMPARE(m_urls.urls, browser ? QList<QUrl>{helpPage()} : QList<QUrl>());
        QCOMPARE(said.contains(helpPage().toLocalFile()), !browser);
        QVERIFY(QFileInfo(helpPage().toLocalFile()).isFile());
    }

    void checkForUpdatesTellsTheUser()
    {
        MainWindow window;
        QString shown;
        ModalWatchdog dog;
        dog.expect("QZVMessageDlg", QString(), ModalWatchdog::inspectThen([&shown](QWidget *box) {
            shown = static_cast<QZVMessageDlg *>(box)->message();
        }, ModalWatchdog::reject()));
        window.ActOnUpdates();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QVERIFY2(shown.contains("package manager"), qPrintable(shown));
    }

    void closingEmptiesTheTemporaryFramesAndKeepsTheFolder()
    {
        const QString temporary = QIAnyUtil::getAppDataPath() + "/TemporaryData/";
        QVERIFY(QDir().mkpath(temporary + "123456"));
        QFile(temporary + "123456/f.jpg").open(QIODevice::WriteOnly);
        auto window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(window->close());
        QVERIFY(QFileInfo(temporary).isDir());
        QVERIFY(QDir(temporary).isEmpty());
    }

    // A data folder that cannot be made (its name links to a missing mount point) is not
    // replaced by the shared folder above it: nothing there is deleted, the user is told once.
    void unmakeableDataFolderLeavesTheSharedFolderAlone()
    {
        const QString data = QIAnyUtil::getAppDataPath();
        const QString stray = QFileInfo(data).path() + "/TemporaryData/other.jpg";
        QVERIFY(QDir().mkpath(QFileInfo(stray).path()) && QFile(stray).open(QIODevice::WriteOnly));
        QDir(data).removeRecursively();
        const QString mountPoint = QDir::homePath() + "/unmounted";
        QVERIFY(QFile::link(mountPoint, data));
        StoreNotice::Install();
        QString message;
        ModalWatchdog dog;
        dog.expect("QZVMessageDlg", QString(), ModalWatchdog::inspectThen([&message](QWidget *box) {
            message = static_cast<QZVMessageDlg *>(box)->message();
        }, ModalWatchdog::clickButton("m_btnOk")));
        auto window = std::make_unique<MainWindow>();
        window->show();
        QTRY_COMPARE(dog.handledSteps(), 1);
        QVERIFY(window->close());
        QCoreApplication::processEvents(); // a second box would come now
        QStoreFile::setTroubleNotice({});
        QFile::remove(data);
        QVERIFY(QFileInfo::exists(stray));
        QVERIFY2(message.contains(data) && message.contains(mountPoint), qPrintable(message));
        GLINTORA_VERIFY_WATCHDOG(dog);
    }
};

GLINTORA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
