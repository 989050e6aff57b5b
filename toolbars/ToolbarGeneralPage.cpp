#include "ToolbarGeneralPage.h"

#include "ProtectionPage.h"
#include "Toolbar.h"
#include "../resources/lintel/resource.h"

#include <cstdio>
#include <cstring>

namespace {

const DWORD kHelpIds[] = {
    IDC_TBP_NAME, IDH_TBP_NAME, IDC_TBP_FILE, IDH_TBP_FILE, IDC_TBP_BUTTON_COUNT, IDH_TBP_BUTTON_COUNT, 0, 0,
};

constexpr int kMaxName = 260;

// Posted by the page to itself once the sheet around it is made.
constexpr UINT kPlaceSheet = WM_APP + 21;

} // namespace

CToolbarGeneralPage::CToolbarGeneralPage(CToolbar& toolbar)
    : CToolbarPage(IDD_TBP_GENERAL, IDS_PAGE_GENERAL, toolbar, kHelpIds), m_opening(toolbar.Name()),
      m_edited(toolbar.Name())
{
}

BOOL CToolbarGeneralPage::OnInitDialog()
{
    SendDlgItemMessageA(Handle(), IDC_TBP_NAME, EM_LIMITTEXT, kMaxName, 0);
    if (ToolbarPropertiesLocked(m_toolbar))
        SendDlgItemMessageA(Handle(), IDC_TBP_NAME, EM_SETREADONLY, TRUE, 0);
    PostMessageA(Handle(), kPlaceSheet, 0, 0);
    return TRUE;
}

INT_PTR CToolbarGeneralPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    if (message != kPlaceSheet)
        return CToolbarPage::PageProc(handle, message, first, second);
    // Left alone the sheet opens at the corner of the work area, over the
    // toolbars at the top left; it goes to the middle of the toolbar's screen.
    HMONITOR monitor = MonitorFromWindow(m_toolbar.Handle() ? m_toolbar.Handle() : Sheet(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT sheet{};
    if (GetMonitorInfoA(monitor, &info) && GetWindowRect(Sheet(), &sheet)) {
        const RECT& area = info.rcWork;
        const int width = sheet.right - sheet.left;
        const int height = sheet.bottom - sheet.top;
        SetWindowPos(Sheet(), nullptr, area.left + (area.right - area.left - width) / 2,
                     area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetForegroundWindow(Sheet());
    return TRUE;
}

BOOL CToolbarGeneralPage::OnSetActive()
{
    SetDlgItemTextA(Handle(), IDC_TBP_NAME, m_edited.c_str());
    SetDlgItemTextA(Handle(), IDC_TBP_FILE, m_toolbar.FileName().c_str());
    char count[16];
    snprintf(count, sizeof count, "%d", m_toolbar.Count());
    SetDlgItemTextA(Handle(), IDC_TBP_BUTTON_COUNT, count);
    return TRUE;
}

BOOL CToolbarGeneralPage::OnKillActive()
{
    ReadControls();
    return TRUE;
}

BOOL CToolbarGeneralPage::OnCommand(UINT id, UINT code, HWND)
{
    if (id != IDC_TBP_NAME || code != EN_CHANGE)
        return FALSE;
    SetChanged();
    return TRUE;
}

void CToolbarGeneralPage::ReadControls()
{
    char name[kMaxName + 1] = {};
    GetDlgItemTextA(Handle(), IDC_TBP_NAME, name, sizeof name);
    m_edited = name;
}

void CToolbarGeneralPage::WriteToToolbar(BOOL opening)
{
    const CText& name = opening ? m_opening : m_edited;
    // An empty name is never given to a toolbar; the sheet still closes.
    // The name compares as written: a change of letter case is a change.
    if (name.IsEmpty() || strcmp(name.c_str(), m_toolbar.Name().c_str()) == 0)
        return;
    m_toolbar.SetTitle(name.c_str());
}
