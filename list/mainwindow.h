#pragma once

#include <QString>

// What the list pane reads of the main window: the folder the file dialog starts in and
// whether a batch runs. Kept apart from the window so that the list works without it.
class MainWindow
{
public:
    static QString open_path;
    static bool m_bIsConverting;
    static bool m_bIsMerger;

    static bool isConverting() { return m_bIsConverting; }
    static bool isMerger() { return m_bIsMerger; }
    // Brings every process-wide value of the window and its list back to its start, so
    // that one test process can build several windows.
    static void resetStaticsForTests();
};
