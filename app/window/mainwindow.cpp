#include "mainwindow.h"

#include "mmc.h"
#include "photoconverterinfo.h"
#include "qconverteroperate.h"
#include "qformatdlg.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qmaindlg.h"
#include "qvideosettingxml.h"
#include "qzvbasebutton.h"
#include "qzvmenu.h"
#include "showmessage.h"
#include "taborder.h"
#include "suupdater.h"
#include "zvcommoninterface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>

namespace {

// Handed to the codec library at start-up; it must live for the whole run.
int g_globalOptionValue = 30;

QString resource(const QString &path)
{
    return QIAnyUtil::getResourcePath() + path;
}

QZVBaseButton *makeButton(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *button = new QZVBaseButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    QPalette palette = label->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, QColor(172, 170, 171));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    label->setPalette(palette);
    label->setFont(QFont(QStringLiteral("Tahoma"), 11));
    return label;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QZVMainWindow(parent)
{
    setupUi();
    Init();
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}

MainWindow::~MainWindow()
{
    delete m_menu;
    delete m_helpMenu;
    delete m_mainDlg;
    delete m_formatDlg;
    delete QConverterOperate::g_converterInfo;
    QConverterOperate::g_converterInfo = nullptr;
}

void MainWindow::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWindow"));
    resize(770, 465);
    // A click may take the focus from a control; Tab never stops on the window itself,
    // where no ring could show it.
    setFocusPolicy(Qt::ClickFocus);
    centralWidget = new QWidget(this);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    m_btnClose = makeButton(centralWidget, "m_btnClose", QRect(360, 0, 31, 21));
    m_btnMin = makeButton(centralWidget, "m_btnMin", QRect(320, 0, 31, 21));
    m_btnMenu = makeButton(centralWidget, "m_btnMenu", QRect(280, 0, 31, 21));
    m_editOutPaht = new QLineEdit(centralWidget);
    m_editOutPaht->setObjectName(QStringLiteral("m_editOutPaht"));
    m_editOutPaht->setGeometry(270, 380, 131, 20);
    m_btnConvert = makeButton(centralWidget, "m_btnConvert", QRect(660, 380, 75, 23));
    m_btnOpen = makeButton(centralWidget, "m_btnOpen", QRect(450, 380, 75, 23));
    m_btnFromt = makeButton(centralWidget, "m_btnFromt", QRect(70, 380, 101, 25));
    m_btnFromt->setFont(QFont(QStringLiteral("Tahoma")));
    m_btnFromt->setText(QStringLiteral("Lossless M4V"));
    m_labOutput = makeLabel(centralWidget, "m_labOutput", QRect(180, 380, 71, 21));
    m_labFormat = makeLabel(centralWidget, "m_labFormat", QRect(10, 380, 71, 21));
    m_btnSelFolder = makeButton(centralWidget, "m_btnSelFolder", QRect(410, 380, 31, 21));
    m_btnSelFolder->setText(QStringLiteral("..."));
    m_btnCancel = makeButton(centralWidget, "m_btnCancel", QRect(660, 350, 75, 23));
    m_btnAddFile = makeButton(centralWidget, "m_btnAddFile", QRect(20, 340, 61, 31));
    m_btnRestore = makeButton(centralWidget, "m_btnRestore", QRect(330, 30, 31, 21));
    m_btnMax = makeButton(centralWidget, "m_btnMax", QRect(290, 30, 31, 21));
    // A desktop's title bar never takes the keyboard: a Return meant for the list or a
    // closed dialog must not land on Close.
    for (QZVBaseButton *button : {m_btnClose, m_btnMin, m_btnMenu, m_btnRestore, m_btnMax}) {
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::NoFocus);
    }
    m_btnConverted = makeButton(centralWidget, "m_btnConverted", QRect(550, 370, 75, 23));
    setCentralWidget(centralWidget);
    setWindowTitle(QStringLiteral("MainWindow"));
}

void MainWindow::Init()
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_MouseTracking);
    centralWidget->setAttribute(Qt::WA_MouseTracking);
    setAttribute(Qt::WA_TranslucentBackground);
    setBackgroundImage(resource(QStringLiteral("/image/background.png")), true);
    QFont windowFont = font();
    windowFont.setFamily(QStringLiteral("Tahoma"));
    setAlignment(Qt::AlignCenter);
    windowFont.setPixelSize(13);
    setFont(windowFont);
    setMoveTopHeight(30);
    setWindowTitle(QStringLiteral("Calvetrin Glintora"));
    setDlgTitle(QStringLiteral("Calvetrin Glintora"));
    setTransparentW(6, 6, 6, 6);
    setMinimumSize(536, 656);
    QPalette windowPalette = palette();
    windowPalette.setBrush(QPalette::WindowText, QColor(53, 53, 53, 255));
    setPalette(windowPalette);
    resize(536, 656);
    if (!QConverterOperate::g_converterInfo) {
        auto *info = new PhotoConverterInfo;
        info->format = QStringLiteral("png");
        QConverterOperate::g_converterInfo = info;
    }
    InitBtn();
    OnInitCtrl();
    InitMenu();
    InitLogInfo();
    InitAppInfo();
    setGlobalFunction();
    InitOpenPath();
    InitDlg();
    InitTabOrder();
}

void MainWindow::InitBtn()
{
    m_btnClose->setButtonImage(resource(QStringLiteral("/image/btn_close.png")), true);
    m_btnMin->setButtonImage(resource(QStringLiteral("/image/btn_min.png")), true);
    m_btnMenu->setButtonImage(resource(QStringLiteral("/image/btn_meun.png")), true);
    connect(m_btnMin, &QZVBaseButton::clicked, this, &MainWindow::OnBtnMin);
    connect(m_btnClose, &QZVBaseButton::clicked, this, &MainWindow::OnClose);
    connect(m_btnMenu, &QZVBaseButton::clicked, this, &MainWindow::OnMenu);
    m_btnMax->setEnabled(false);
    m_btnRestore->hide();
    m_btnMax->setButtonImage(resource(QStringLiteral("/image/btn_max.png")), true);
    m_btnRestore->setButtonImage(resource(QStringLiteral("/image/btn_restore.png")), true);
    connect(m_btnMax, &QZVBaseButton::clicked, this, &MainWindow::OnMaxSize);
    connect(m_btnRestore, &QZVBaseButton::clicked, this, &MainWindow::OnRestoreSize);

    m_btnAddFile->setButtonImage(resource(QStringLiteral("/image/btn_add.png")), true);
    m_btnConverted->setButtonImage(resource(QStringLiteral("/image/btn_converted.png")), true);
    m_btnAddFile->setTextRect(QRect(33, 0, 0, 0));
    // Vertically centred on the whole button, level with the clock.
    m_btnConverted->setTextRect(QRect(38, 0, 0, 0));
    m_btnAddFile->resize(100, 22);
    m_btnConverted->resize(110, 32);
    m_btnAddFile->setText(tr("Add file"));
    m_btnConverted->setText(tr("Converted"));
    for (QZVBaseButton *button : {m_btnAddFile, m_btnConverted}) {
        QInitCtrlStyle::InitFont(button, 15);
        button->widenToText();
        button->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // Hover keeps the ink: a grey text would read as disabled.
        button->setTextColor(QColor(53, 53, 53), QColor(53, 53, 53), QColor(53, 53, 53), QColor(167, 167, 167));
    }
    m_btnConverted->setTagRect(QRect(18, 2, 17, 17));
    m_btnConverted->setTagBgAlternateColor(QColor(255, 0, 0), QColor(255, 0, 0));
    m_btnConverted->setTagPixelSize(10);

    m_btnConvert->setButtonImage(resource(QStringLiteral("/image/btn_convert.png")), true);
    m_btnCancel->setButtonImage(resource(QStringLiteral("/image/btn_stop.png")), true);
    m_btnConvert->setEnabled(false);
    m_btnCancel->hide();
    m_btnOpen->setButtonImage(resource(QStringLiteral("/image/btn_open.png")), true);
    m_btnFromt->setButtonImage(resource(QStringLiteral("/image/btn_format.png")), true);
    m_btnFromt->setIconRect(QRect(5, 4, 18, 18));
    QInitCtrlStyle::InitFont(m_btnFromt, 13);
    m_btnFromt->setTextColor(QColor(108, 108, 108), QColor(108, 108, 108), QColor(108, 108, 108),
                             QColor(167, 167, 167));

    connect(m_btnAddFile, &QZVBaseButton::clicked, this, &MainWindow::OnAddFile);
    connect(m_btnFromt, &QZVBaseButton::clicked, this, &MainWindow::OnFormatDlg);
    connect(m_btnOpen, &QZVBaseButton::clicked, this, &MainWindow::OnOpenConverterPath);
    connect(m_btnConvert, &QZVBaseButton::clicked, this, &MainWindow::OnConvert);
    connect(m_btnCancel, &QZVBaseButton::clicked, this, &MainWindow::OnStopConvert);
    connect(m_btnConverted, &QZVBaseButton::clicked, this, &MainWindow::OnConverted);
}

void MainWindow::OnInitCtrl()
{
    m_labOutput->hide();
    m_editOutPaht->hide();
    m_btnSelFolder->hide();
    for (QLabel *label : {m_labFormat, m_labOutput}) {
        QInitCtrlStyle::InitFont(label, 13);
        QInitCtrlStyle::InitPalette(label, QPalette::WindowText, QColor(53, 53, 53));
    }
    QString folder = QIAnyUtil::getDefaultConvertPath();
    QDir().mkdir(folder);
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    SetOutPath(QVideoSettingXml::GetItemValue(QStringLiteral("OutPut_path"), QStringLiteral("path_value"), folder));
    retranslateUi();
}

void MainWindow::retranslateUi()
{
    m_btnClose->setToolTip(tr("Close"));
    m_btnMenu->setToolTip(tr("Menu"));
    m_btnMin->setToolTip(tr("Minimize"));
    m_btnAddFile->setToolTip(tr("Add file"));
    m_btnConvert->setToolTip(tr("Convert"));
    m_btnCancel->setToolTip(tr("Cancel"));
    m_btnOpen->setToolTip(tr("Open"));
    m_labFormat->setText(tr("Format:"));
    m_labOutput->setText(tr("Output:"));
    m_labFormat->adjustSize();
    m_labOutput->adjustSize();
}

void MainWindow::InitMenu()
{
    m_actHome = new QAction(tr("Home"), this);
    m_actHelp = new QAction(tr("Help"), this);
    m_actAbout = new QAction(QStringLiteral("About"), this);
    m_actPreferences = new QAction(QStringLiteral("Preferences"), this);
    m_actUpdates = new QAction(tr("Check for Updates"), this);

    m_menu = new QZVMenu(this);
    QInitCtrlStyle::InitZvMenu(m_menu);
    m_menu->addAction(m_actPreferences);
    m_menu->addSeparator();
    m_menu->addActions({m_actHome, m_actHelp, m_actUpdates});
    m_menu->addSeparator();
    m_menu->addAction(m_actAbout);
    m_menu->setAutoFillBackground(true);

    // A menu bar that the desktop does not show natively would be drawn inside this
    // frameless window and push its layout down: the title band's menu button serves then.
    auto *bar = new QMenuBar(this);
    if (bar->isNativeMenuBar()) {
        m_menuBar = bar;
        m_helpMenu = m_menuBar->addMenu(tr("Help"));
        m_helpMenu->addActions({m_actPreferences, m_actAbout, m_actHelp, m_actHome});
        m_helpMenu->addSeparator();
        m_helpMenu->addAction(m_actUpdates);
        setMenuBar(m_menuBar);
    } else {
        delete bar;
        m_btnMenu->show();
    }

    connect(m_actHome, &QAction::triggered, this, &MainWindow::ActOnHome);
    connect(m_actHelp, &QAction::triggered, this, &MainWindow::ActOnHelp);
    connect(m_actAbout, &QAction::triggered, this, &MainWindow::ActOnAbout);
    connect(m_actUpdates, &QAction::triggered, this, &MainWindow::ActOnUpdates);
    connect(m_actPreferences, &QAction::triggered, this, &MainWindow::ActOnPreferDlg);
    // The update check's answer is meant for the user, not only for the log.
    SUUpdater::setPresenter([](const QString &text) { ShowMessage(text, QString(), 0, false); });
}

void MainWindow::InitLogInfo()
{
    QConverterOperate::setLogFilePath(QIAnyUtil::getAppDataPath() + QStringLiteral("/log.txt"));
}

void MainWindow::InitAppInfo()
{
    ZvCommonInterface::InitInfoToFile((QIAnyUtil::getApplicationDirPath() + QStringLiteral("Info.plist")).toStdString());
}

void MainWindow::setGlobalFunction()
{
    MMC_SetGlobalOptionA(1, 1);
    MMC_SetGlobalOptionB(0, 1);
    MMC_SetConvertingMode(0);
    MMC_SetWorkDirectory(QIAnyUtil::getAppDataPath().toUtf8().constData());
    MMC_SetGlobalOptionC(&g_globalOptionValue, 1);
}

void MainWindow::InitOpenPath()
{
    open_path = QVideoSettingXml::GetItemValue(QStringLiteral("Open_path"), QStringLiteral("Open_path_value"),
                                               QStringLiteral("."));
}

void MainWindow::InitDlg()
{
    m_mainDlg = new QMainDlg(this);
    connect(m_mainDlg, &QMainDlg::seedIsAddItem, this, &MainWindow::SetConverterBtn);
    connect(m_mainDlg, &QMainDlg::emitIsStartConverter, this, &MainWindow::IsStartToConverter);
    connect(m_mainDlg, &QMainDlg::emitConvertedFinish, m_btnConverted, &QZVBaseButton::addItemCount);
    m_formatDlg = QFormatDlg::getFormatWidget(nullptr);
    connect(m_formatDlg, &QFormatDlg::sendSuffixChange, this, &MainWindow::OnFormatChange);
    m_formatDlg->setFormatId(
        QVideoSettingXml::GetItemValue(QStringLiteral("FormatSet"), QStringLiteral("Format_ID"), QStringLiteral("JPG")));
    m_formatDlg->settingValueChange(false);
}

// Reading order: the two buttons under the title band, the list, then the bottom row. The
// title band's buttons take no keyboard focus.
void MainWindow::InitTabOrder()
{
    TabOrder::chain({m_btnAddFile, m_btnConverted, m_mainDlg->listView(), m_btnFromt, m_btnOpen, m_btnConvert,
                     m_btnCancel});
}

// A control hidden or disabled under the focus, or one a closed dialog left hidden, would
// hand the focus to the first control of the window; the list keeps it instead.
bool MainWindow::focusListIfFocusLost()
{
    const QWidget *focus = focusWidget();
    QWidget *list = m_mainDlg ? m_mainDlg->listView() : nullptr;
    if ((focus && focus->isVisible() && focus->isEnabled()) || !list || !list->isVisible() || !list->isEnabled())
        return false;
    list->setFocus(Qt::OtherFocusReason);
    return true;
}

bool MainWindow::focusNextPrevChild(bool next)
{
    return focusListIfFocusLost() || QZVMainWindow::focusNextPrevChild(next);
}

// Activation comes before Qt restores the focus, which then finds the list.
void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        focusListIfFocusLost();
    QZVMainWindow::changeEvent(event);
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    QZVMainWindow::paintEvent(event);
}

void MainWindow::resetControlLocation()
{
    const int w = width();
    const int h = height();
    m_btnClose->move(13, 13);
    m_btnMin->move(33, 13);
    m_btnMax->move(53, 13);
    m_btnRestore->move(53, 13);
    m_btnMenu->move(73, 13);
    m_btnAddFile->move(w / 2 - 120, (72 - m_btnAddFile->height()) / 2 + 18);
    m_btnConverted->move(w / 2 + 35, (72 - m_btnConverted->height()) / 2 + 12);
    const auto bottomRowY = [h](QWidget *widget) { return h - 8 - (widget->height() + 60) / 2; };
    m_labFormat->move(22, bottomRowY(m_labFormat));
    m_btnFromt->move(m_labFormat->geometry().right() + 5, bottomRowY(m_btnFromt));
    m_btnOpen->move(m_btnFromt->geometry().right() + 10, bottomRowY(m_btnOpen));
    m_btnConvert->move(w - 22 - m_btnConvert->width(), bottomRowY(m_btnConvert));
    m_btnCancel->setGeometry(m_btnConvert->geometry());
    if (m_mainDlg)
        m_mainDlg->setGeometry(8, 80, w - 16, h - 148);
    setTitleRect(QRect(0, 8, 0, 0));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Tearing the pane down stops a running batch without its after-batch action.
    if (m_bIsConverting) {
        delete m_mainDlg;
        m_mainDlg = nullptr;
        m_bIsConverting = false;
    }
    const QString temporary = QIAnyUtil::getAppDataPath() + QStringLiteral("/TemporaryData/");
    // The frame picker's files go; the folder itself stays.
    if (QFileInfo::exists(temporary) && QIAnyUtil::removeFolderContent(temporary))
        QDir().mkpath(temporary);
    QZVMainWindow::closeEvent(event);
}
