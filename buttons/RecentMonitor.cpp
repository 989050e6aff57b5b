#include "RecentMonitor.h"

#include "../common/TraceLog.h"

CRecentMonitor::CRecentMonitor(CToolbarSet* toolbarSet, HWND mainWindow)
    : m_toolbarSet(toolbarSet), m_mainWindow(mainWindow)
{
    // No watching thread yet: the recent-documents lists come with the
    // program buttons that keep them.
    if (TraceOn())
        LogText("CRecentMonitor: recent-documents monitoring is not available");
}

CRecentMonitor::~CRecentMonitor() = default;

BOOL CRecentMonitor::Rebuild()
{
    if (TraceOn())
        LogText("CRecentMonitor::Rebuild: recent-documents lists are not available");
    return FALSE;
}
