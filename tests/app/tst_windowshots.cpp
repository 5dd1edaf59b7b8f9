#include "deletionreport.h"
#include "mainwindow.h"
#include "modalwatchdog.h"
#include "qaboutdlg.h"
#include "qformatdlg.h"
#include "qloadingdlg.h"
#include "qprogressdlg.h"
#include "qshowclosedlg.h"
#include "qzvbasebutton.h"
#include "qzvmessagedlg.h"
#include "screenshotfolder.h"
#include "showmessage.h"
#include "testhome.h"

#include <QMenu>

// Saves pictures of the windows and dialogs that the other screenshot tests do not
// reach, as the X server shows them: the empty main window with its menu open and with
// a focus ring, the about box, the close
// prompt, a message box of each kind, a deletion's outcomes, the format popup and the
// loading and progress dialogs. Run by scripts/screenshot.
class TestWindowShots : public QObject
{
    Q_OBJECT

private:
    static void shoot(QWidget &window, const QString &name)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(200); // a compositor blends the window in after it is exposed
        QVERIFY(ScreenshotFolder::saveFromScreen(&window, name));
    }

private slots:
    void initTestCase() { QVERIFY(ScreenshotFolder::prepareScreen()); }

    // The main menu open below its button, and the ring that Tab puts on a control.
    void mainWindowMenuAndFocus()
    {
        MainWindow window;
        shoot(window, QStringLiteral("mainwindow-empty.png"));
        auto *menuButton = window.findChild<QZVBaseButton *>(QStringLiteral("m_btnMenu"));
        menuButton->click();
        auto *menu = window.findChild<QMenu *>();
        QTRY_VERIFY(menu->isVisible());
        QTest::qWait(200);
        QVERIFY(ScreenshotFolder::saveFromScreen(&window, QStringLiteral("main-menu.png")));
        menu->close();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        menuButton->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(menuButton, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != menuButton);
        QTest::qWait(200);
        QVERIFY(ScreenshotFolder::saveFromScreen(&window, QStringLiteral("mainwindow-focus.png")));
    }

    void aboutBox()
    {
        QAboutDlg about;
        shoot(about, QStringLiteral("about.png"));
    }

    void closePrompt()
    {
        QShowCloseDlg prompt;
        shoot(prompt, QStringLiteral("close-prompt.png"));
    }

    void messageBoxes_data()
    {
        QTest::addColumn<uint>("style");
        QTest::addColumn<QString>("text");
        QTest::newRow("message-plain") << 0u << QStringLiteral("The output folder was created.");
        QTest::newRow("message-warning") << uint(QZVMessageDlg::WarningIcon | QZVMessageDlg::OkCancelButtons)
                                         << QStringLiteral("Are you sure to stop converting?");
        QTest::newRow("message-success") << uint(QZVMessageDlg::SuccessIcon)
                                         << QStringLiteral("Conversion finished.");
        QTest::newRow("message-error") << uint(QZVMessageDlg::ErrorIcon) << QStringLiteral("Invalid path");
        QTest::newRow("message-question") << uint(QZVMessageDlg::WarningIcon | QZVMessageDlg::YesNoButtons)
                                          << QStringLiteral("A newer version is available. Download it now?");
        QTest::newRow("message-restart") << uint(QZVMessageDlg::RestartButtons)
                                         << QStringLiteral("The language changes after a restart.");
        DeletionReport deletion;
        deletion.add(QOutputDeleter::StillsDeleted, QDir::homePath() + QStringLiteral("/Converted/beach/"));
        deletion.add(QOutputDeleter::Changed, QDir::homePath() + QStringLiteral("/Converted/beach.gif"));
        QTest::newRow("message-deletion") << 0u << deletion.message();
    }

    void messageBoxes()
    {
        QFETCH(uint, style);
        QFETCH(QString, text);
        const QString name = QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".png");
        ModalWatchdog dog;
        dog.expect(QStringLiteral("QZVMessageDlg"), QString(),
                   ModalWatchdog::inspectThen(
                       [name](QWidget *box) {
                           QVERIFY(QTest::qWaitForWindowExposed(box));
                           QTest::qWait(200);
                           QVERIFY(ScreenshotFolder::saveFromScreen(box, name));
                       },
                       ModalWatchdog::reject()));
        ShowMessage(text, QString(), style, false);
        GLINTORA_VERIFY_WATCHDOG(dog);
    }

    void formatPopup()
    {
        shoot(*QFormatDlg::getFormatWidget(nullptr), QStringLiteral("format-popup.png"));
        QFormatDlg::getFormatWidget(nullptr)->hide();
    }

    void loadingDialog()
    {
        QLoadingDlg loading;
        loading.setAddFilePath(QStringLiteral("/home/user/Pictures/IMG_0002.MOV"));
        loading.setAddCount(QStringLiteral("2/3"));
        loading.setProgressVale(66.0f);
        shoot(loading, QStringLiteral("loading.png"));
    }

    void progressDialog()
    {
        QProgressDlg progress;
        progress.setValue(40);
        shoot(progress, QStringLiteral("progress.png"));
    }
};

GLINTORA_TEST_MAIN(TestWindowShots)
#include "tst_windowshots.moc"
