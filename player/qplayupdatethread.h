#pragma once

#include "qutilthread.h"

#include "mmc.h"

#include <atomic>

// Refreshes one player every 50 ms on its own thread until it is destroyed.
class QPlayUpdateThread : public QUtilThread
{
public:
    explicit QPlayUpdateThread(MMC_Handle player);
    // Ends the loop (within one refresh and 50 ms) and joins the thread.
    ~QPlayUpdateThread() override;

    bool Start();

protected:
    void OnExecute() override;

private:
    const MMC_Handle m_player;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
};
