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
