#include "qplayupdatethread.h"

#include "zvcommoninterface.h"

QPlayUpdateThread::QPlayUpdateThread(MMC_Handle player)
    : m_player(player)
{
}

QPlayUpdateThread::~QPlayUpdateThread()
{
    m_stop = true;
    // A thread that never started sets no flag.
    while (!m_finished && IsThreadRunning())
        ZvCommonInterface::Sleep(10000);
    WaitThreadFinished();
}

bool QPlayUpdateThread::Start()
{
    return StartThread();
}

void QPlayUpdateThread::OnExecute()
{
    while (!m_stop) {
        MMC_PlayerRefresh(m_player);
        ZvCommonInterface::Sleep(50000);
    }
    m_finished = true;
}
