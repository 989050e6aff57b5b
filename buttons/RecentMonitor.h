// CRecentMonitor: watches the user's Recent folder on a thread of its own and
// tells the main window (message 1127) when documents were opened elsewhere.
#pragma once

#include <windows.h>

class CToolbarSet;

class CRecentMonitor
{
public:
    CRecentMonitor(CToolbarSet* toolbarSet, HWND mainWindow);
    ~CRecentMonitor();
    CRecentMonitor(const CRecentMonitor&) = delete;
    CRecentMonitor& operator=(const CRecentMonitor&) = delete;

    // Rebuilds the program buttons' recent-documents lists.
    BOOL Rebuild();

private:
    CToolbarSet* m_toolbarSet;
    HWND m_mainWindow;
};
