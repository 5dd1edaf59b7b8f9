#include "mainwindow.h"

#include "qformatdlg.h"
#include "qplayerwidget.h"
#include "videoconvertbar.h"

QString MainWindow::open_path = QStringLiteral(".");
bool MainWindow::m_bIsConverting = false;
bool MainWindow::m_bIsMerger = false;

void MainWindow::resetStaticsForTests()
{
    open_path = QStringLiteral(".");
    m_bIsConverting = false;
    m_bIsMerger = false;
    VideoConvertBar::resetStopFlag();
    QFormatDlg::resetInstanceForTests();
    QPlayerWidget::resetStaticsForTests();
}
