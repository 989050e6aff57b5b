#include "ToolbarPage.h"

#include "Toolbar.h"
#include "ToolbarHost.h"
#include "ToolbarSet.h"

CToolbarPage::CToolbarPage(UINT templateId, UINT titleId, CToolbar& toolbar, const DWORD* helpIds)
    : CPropertyPageBase(templateId, &toolbar, nullptr), m_toolbar(toolbar), m_helpIds(helpIds)
{
    SetTitle(titleId);
}

BOOL CToolbarPage::OnHelp(HELPINFO* helpInfo)
{
    if (!helpInfo || helpInfo->iContextType != HELPINFO_WINDOW || !m_helpIds)
        return TRUE;
    CToolbarSet* set = m_toolbar.Set();
    if (set && set->Host())
        set->Host()->Help(HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(m_helpIds), static_cast<HWND>(helpInfo->hItemHandle));
    return TRUE;
}

BOOL CToolbarPage::OnSetActive()
{
    return TRUE;
}

BOOL CToolbarPage::OnApply()
{
    // The page has been shown, or the sheet would not ask it.
    if (Handle())
        ReadControls();
    WriteToToolbar(FALSE);
    m_applied = TRUE;
    return TRUE;
}

BOOL CToolbarPage::OnReset()
{
    if (m_applied) {
        WriteToToolbar(TRUE);
        m_applied = FALSE;
    }
    return TRUE;
}

void CToolbarPage::Check(int control, BOOL checked) const
{
    CheckDlgButton(Handle(), control, checked ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CToolbarPage::IsChecked(int control) const
{
    return IsDlgButtonChecked(Handle(), control) == BST_CHECKED;
}

void CToolbarPage::Enable(int control, BOOL enabled) const
{
    EnableWindow(GetDlgItem(Handle(), control), enabled);
}
