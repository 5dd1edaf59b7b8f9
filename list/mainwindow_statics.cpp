#include "mainwindow.h"

#include "videoconvertbar.h"

QString MainWindow::open_path;
bool MainWindow::m_bIsConverting = false;
bool MainWindow::m_bIsMerger = false;

void MainWindow::resetStaticsForTests()
{
    open_path.clear();
    m_bIsConverting = false;
    m_bIsMerger = false;
    VideoConvertBar::resetStopFlag();
}
