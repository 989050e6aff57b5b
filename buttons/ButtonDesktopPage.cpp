#include "ButtonDesktopPage.h"

#include "ButtonPageSupport.h"
#include "DesktopChooser.h"
#include "FileButton.h"
#include "VirtualDesktop.h"
#include "../resources/lintel/resource.h"

using namespace buttonpages;

namespace {

const DWORD kHelpIds[] = {
    IDC_BP_CURRENT_DESKTOP, IDH_BP_CURRENT_DESKTOP, IDC_BP_DESKTOP_CHOOSER, IDH_BP_DESKTOP_CHOOSER, 0, 0,
};

// The chooser keeps 16 bits of each: the record keeps 32.
LPARAM CellOf(const CButtonDesktopPage::Values& values)
{
    return static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(LOWORD(values.desktopX), LOWORD(values.desktopY))));
}

} // namespace

CButtonDesktopPage::Values CButtonDesktopPage::ReadButton(const CFileButton& button)
{
    Values values;
    values.useCurrentDesktop = button.UseCurrentDesktop();
    values.desktopX = button.DesktopX();
    values.desktopY = button.DesktopY();
    return values;
}

void CButtonDesktopPage::WriteButton(CFileButton& button, const Values& values)
{
    button.SetUseCurrentDesktop(values.useCurrentDesktop);
    button.SetDesktop(values.desktopX, values.desktopY);
}

CButtonDesktopPage::CButtonDesktopPage(CFileButton* button, const CVirtualDesktop* library)
    : CPropertyPageBase(IDD_BUTTON_DESKTOP, button, nullptr), m_button(button), m_library(library)
{
    SetTitle(IDS_PAGE_DESKTOP);
    if (m_button)
        m_unchanged = ReadButton(*m_button);
    m_edited = m_unchanged;
}

BOOL CButtonDesktopPage::OnInitDialog()
{
    HWND chooser = GetDlgItem(Handle(), IDC_BP_DESKTOP_CHOOSER);
    if (m_library)
        SendMessageA(chooser, kChooserSetGrid, 0, static_cast<LPARAM>(m_library->GetGridSize()));
    return TRUE;
}

BOOL CButtonDesktopPage::OnSetActive()
{
    Check(Handle(), IDC_BP_CURRENT_DESKTOP, m_edited.useCurrentDesktop);
    SendDlgItemMessageA(Handle(), IDC_BP_DESKTOP_CHOOSER, kChooserSetState, m_edited.useCurrentDesktop,
                        CellOf(m_edited));
    return TRUE;
}

BOOL CButtonDesktopPage::OnKillActive()
{
    const DWORD cell =
        static_cast<DWORD>(SendDlgItemMessageA(Handle(), IDC_BP_DESKTOP_CHOOSER, kChooserGetCell, 0, 0));
    m_edited.desktopX = LOWORD(cell);
    m_edited.desktopY = HIWORD(cell);
    m_edited.useCurrentDesktop = IsChecked(Handle(), IDC_BP_CURRENT_DESKTOP);
    return TRUE;
}

BOOL CButtonDesktopPage::OnApply()
{
    if (!m_button)
        return TRUE;
    WriteButton(*m_button, m_edited);
    m_applied = TRUE;
    return TRUE;
}

BOOL CButtonDesktopPage::OnReset()
{
    if (m_button && m_applied)
        WriteButton(*m_button, m_unchanged);
    return TRUE;
}

BOOL CButtonDesktopPage::OnCommand(UINT id, UINT code, HWND)
{
    switch (id) {
    case IDC_BP_CURRENT_DESKTOP:
        if (code == BN_CLICKED) {
            SendDlgItemMessageA(Handle(), IDC_BP_DESKTOP_CHOOSER, kChooserSetState,
                                IsChecked(Handle(), IDC_BP_CURRENT_DESKTOP), -1);
            SetChanged();
        }
        return TRUE;
    case IDC_BP_DESKTOP_CHOOSER:
        // The chooser reports every new cell as a click.
        if (code == BN_CLICKED)
            SetChanged();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CButtonDesktopPage::OnHelp(HELPINFO* helpInfo)
{
    return ShowControlHelp(m_button, helpInfo, kHelpIds);
}
