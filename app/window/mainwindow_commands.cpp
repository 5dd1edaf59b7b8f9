#include "mainwindow.h"

#include "folderlauncher.h"
#include "qaboutdlg.h"
#include "qbasedrawwidget.h"
#include "qconverteddlg.h"
#include "qconverteroperate.h"
#include "qdialogcolseanimation.h"
#include "qformatdlg.h"
#include "qianyutil.h"
#include "qmaindlg.h"
#include "qpreferencesdlg.h"
#include "qshowclosedlg.h"
#include "qvideosettingxml.h"
#include "qzvbasebutton.h"
#include "qzvmenu.h"
#include "showmessage.h"
#include "zvcommoninterface.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QWindow>

namespace {

constexpr unsigned int kWarningYesNo = 0x412;
constexpr int kAnswerYes = 0x4000;

} // namespace

void MainWindow::OnAddFile()
{
    m_mainDlg->OnACtionImport();
}

void MainWindow::OnConvert()
{
    QDir().mkdir(m_editOutPaht->text());
    if (!m_bIsMerger)
        m_mainDlg->OnStartToCoverter();
}

void MainWindow::OnStopConvert()
{
    if (ShowMessage(tr("Are you sure to stop converting?"), QString(), kWarningYesNo, false) == kAnswerYes)
        m_mainDlg->OnStopConvert();
}

void MainWindow::IsStartToConverter(bool bStart)
{
    m_btnConvert->setHidden(bStart);
    m_btnCancel->setHidden(!bStart);
    for (QWidget *control : {static_cast<QWidget *>(m_btnAddFile), static_cast<QWidget *>(m_btnFromt),
                             static_cast<QWidget *>(m_btnSelFolder)})
        control->setEnabled(!bStart);
    m_bIsConverting = bStart;
    m_mainDlg->startConverterChange(bStart);
}

void MainWindow::SetConverterBtn(bool able)
{
    m_btnConvert->setEnabled(able);
}

void MainWindow::OnFormatDlg()
{
    m_formatDlg = QFormatDlg::getFormatWidget(nullptr);
    const QString id =
        QVideoSettingXml::GetItemValue(QStringLiteral("FormatSet"), QStringLiteral("Format_ID"), QStringLiteral("JPG"));
    m_formatDlg->setFormatId(id);
    m_formatDlg->setDefaultValue(id);
    CenterDlg(m_formatDlg);
    // Window managers keep a transient dialog above its main window.
    m_formatDlg->winId();
    if (m_formatDlg->windowHandle() && windowHandle())
        m_formatDlg->windowHandle()->setTransientParent(windowHandle());
    m_formatDlg->exec();
}

void MainWindow::OnFormatChange(QString Format)
{
    m_btnFromt->setText(Format);
    const QImage image(QIAnyUtil::getResourcePath() + QStringLiteral("/image/Format/%1.png").arg(Format));
    const int third = image.height() / 3;
    m_btnFromt->setBtnIcon(image.isNull() ? QImage() : image.copy(0, 2 * third, image.width(), third));
    m_mainDlg->setEditBtnEnable(Format != QLatin1String("WEBP") && Format != QLatin1String("GIF"));
}

void MainWindow::SetOutPath(QString path)
{
    path.replace(QStringLiteral("//"), QStringLiteral("/"));
    QConverterOperate::setConverterPath(path);
    path = QConverterOperate::getConverterPath(); // as the conversions will use it
    m_editOutPaht->setText(path);
    QVideoSettingXml::SetItemValue(QStringLiteral("OutPut_path"), QStringLiteral("path_value"), path);
}

void MainWindow::OnOpenConverterPath()
{
    QString path = m_editOutPaht->text();
    if (!QFileInfo::exists(path)) {
        ShowMessage(tr("Invalid path"), QString(), 0, false);
        return;
    }
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    FolderLauncher::open(QFileInfo(path).absoluteFilePath());
}

void MainWindow::OnConverted()
{
    m_btnConverted->resetCount();
    m_btnConverted->setBtnState(2);
    {
        QConvertedDlg dialog(this);
        CenterDlg(dialog);
        dialog.exec();
    }
    m_btnConverted->setBtnState(0);
}

void MainWindow::OnBtnMin()
{
    showMinimized();
}

void MainWindow::OnClose()
{
    const QString remind = QStringLiteral("REMIND_ITEM");
    const QString closeItem = QStringLiteral("CLOSE_ITEM");
    bool exit = false;
    if (QVideoSettingXml::GetItemValue(remind, QStringLiteral("isShowRemind"), QStringLiteral("Y")) == QLatin1String("Y")) {
        QShowCloseDlg prompt;
        CenterDlg(&prompt);
        if (prompt.exec() != QDialog::Accepted)
            return;
        if (prompt.isNoShowThisDlg())
            QVideoSettingXml::SetItemValue(remind, QStringLiteral("isShowRemind"), QStringLiteral("N"));
        exit = prompt.isCloseDlg();
        QVideoSettingXml::SetItemValue(closeItem, QStringLiteral("bIsCloseDlg"),
                                       exit ? QStringLiteral("Y") : QStringLiteral("N"));
    } else {
        exit = QVideoSettingXml::GetItemValue(closeItem, QStringLiteral("bIsCloseDlg"), QStringLiteral("Y"))
               == QLatin1String("Y");
    }
    if (exit)
        QDialogColseAnimation::ColseTransparentAnimation(*this);
    else
        showMinimized();
}

// Below the button, so it covers none of the title-bar buttons.
void MainWindow::OnMenu()
{
    m_menu->popup(m_btnMenu->mapToGlobal(QPoint(0, m_btnMenu->height())));
}

void MainWindow::OnMaxSize()
{
    QBaseDrawWidget::OnBtnMax();
    m_btnMax->setHidden(isMaxSize());
    m_btnRestore->setHidden(!isMaxSize());
}

void MainWindow::OnRestoreSize()
{
    OnMaxSize();
}

void MainWindow::ActOnHome()
{
    FolderLauncher::openPage(QAboutDlg::homePage());
}

void MainWindow::ActOnHelp()
{
    FolderLauncher::openPage(QAboutDlg::homePage());
}

void MainWindow::ActOnAbout()
{
    QAboutDlg about(this);
    CenterDlg(&about);
    about.exec();
}

void MainWindow::ActOnPreferDlg()
{
    QPreferencesDlg preferences;
    connect(&preferences, &QPreferencesDlg::emitAutoUpdate, this, &MainWindow::setAutoUpdate);
    CenterDlg(&preferences);
    preferences.exec();
    // Cancel too: the field and the setting always follow the process-wide folder.
    SetOutPath(QConverterOperate::getConverterPath());
}

void MainWindow::ActOnUpdates()
{
    ZvCommonInterface::checkForUpdate();
}

void MainWindow::setAutoUpdate(bool bUpdate)
{
    ZvCommonInterface::setAutoCheckUpdate(bUpdate);
}
