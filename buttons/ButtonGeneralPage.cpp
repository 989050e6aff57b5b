#include "ButtonGeneralPage.h"

#include "ButtonPageSupport.h"
#include "FileButton.h"
#include "IconChooserDialog.h"
#include "../common/Application.h"
#include "../resources/lintel/resource.h"

#include <shellapi.h>

using namespace buttonpages;

namespace {

const DWORD kHelpIds[] = {
    IDC_BP_DESCRIPTION,  IDH_BP_DESCRIPTION,  IDC_BP_DEFAULT_ICON, IDH_BP_DEFAULT_ICON,
    IDC_BP_ICON_PREVIEW, IDH_BP_ICON_PREVIEW, IDC_BP_CHANGE_ICON,  IDH_BP_CHANGE_ICON,
    0,                   0,
};

constexpr int kDescriptionLimit = 79;
constexpr int kDescriptionRead = 260;

} // namespace

CButtonGeneralPage::Values CButtonGeneralPage::ReadButton(const CFileButton& button)
{
    Values values;
    values.description = button.Description();
    values.defaultIcon = button.IsDefaultIcon();
    values.iconFile = button.IconFile();
    values.iconIndex = button.IconIndex();
    return values;
}

void CButtonGeneralPage::WriteButton(CFileButton& button, const Values& values)
{
    button.SetDescription(values.description.c_str());
    button.SetIconFile(values.iconFile.c_str());
    button.SetIconIndex(values.iconIndex);
    button.SetDefaultIcon(values.defaultIcon);
    button.UpdateIcon(button.SizeIndex(), TRUE);
    if (button.Handle())
        InvalidateRect(button.Handle(), nullptr, TRUE);
}

CButtonGeneralPage::CButtonGeneralPage(CFileButton* button)
    : CPropertyPageBase(IDD_BUTTON_GENERAL, button, nullptr), m_button(button)
{
    SetTitle(IDS_PAGE_GENERAL);
    if (m_button)
        m_unchanged = ReadButton(*m_button);
    m_edited = m_unchanged;
}

CButtonGeneralPage::~CButtonGeneralPage() = default;

BOOL CButtonGeneralPage::OnInitDialog()
{
    SendDlgItemMessageA(Handle(), IDC_BP_DESCRIPTION, EM_LIMITTEXT, kDescriptionLimit, 0);
    return TRUE;
}

BOOL CButtonGeneralPage::OnSetActive()
{
    SetDlgItemTextA(Handle(), IDC_BP_DESCRIPTION, m_edited.description.c_str());
    Check(Handle(), IDC_BP_DEFAULT_ICON, m_edited.defaultIcon);
    ShowPreview();
    return TRUE;
}

BOOL CButtonGeneralPage::OnKillActive()
{
    m_edited.description = ControlText(Handle(), IDC_BP_DESCRIPTION, kDescriptionRead);
    m_edited.defaultIcon = IsChecked(Handle(), IDC_BP_DEFAULT_ICON);
    return TRUE;
}

BOOL CButtonGeneralPage::OnApply()
{
    if (!m_button)
        return TRUE;
    WriteButton(*m_button, m_edited);
    m_applied = TRUE;
    return TRUE;
}

BOOL CButtonGeneralPage::OnReset()
{
    // Only an earlier Apply of this sheet has anything to undo.
    if (m_button && m_applied)
        WriteButton(*m_button, m_unchanged);
    return TRUE;
}

BOOL CButtonGeneralPage::OnCommand(UINT id, UINT code, HWND)
{
    switch (id) {
    case IDC_BP_DESCRIPTION:
        if (code == EN_CHANGE)
            SetChanged();
        return TRUE;
    case IDC_BP_DEFAULT_ICON:
        if (code == BN_CLICKED) {
            m_edited.defaultIcon = IsChecked(Handle(), IDC_BP_DEFAULT_ICON);
            ShowPreview();
            SetChanged();
        }
        return TRUE;
    case IDC_BP_CHANGE_ICON:
        if (code == BN_CLICKED)
            ChangeIcon();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CButtonGeneralPage::OnHelp(HELPINFO* helpInfo)
{
    return ShowControlHelp(m_button, helpInfo, kHelpIds);
}

void CButtonGeneralPage::ShowPreview()
{
    HICON icon = nullptr;
    if (m_button && m_edited.defaultIcon) {
        icon = m_button->GetTargetIcon(32);
    } else if (!m_edited.iconFile.IsEmpty()) {
        // A negative index names the icon group's resource id.
        PrivateExtractIconsA(m_edited.iconFile.c_str(), m_edited.iconIndex, 32, 32, &icon, nullptr, 1, 0);
    }
    if (!icon)
        icon = static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDI_NO_ICON), IMAGE_ICON, 32, 32, 0));
    SendDlgItemMessageA(Handle(), IDC_BP_ICON_PREVIEW, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    // The static keeps only the handle: the old icon goes once the new one shows.
    m_preview.Reset(icon);
}

void CButtonGeneralPage::ChangeIcon()
{
    if (!m_button)
        return;
    HWND sheet = Sheet();
    CIconChooserDialog dialog(m_button, m_edited.iconFile, m_edited.iconIndex, Handle());
    EnableWindow(sheet, FALSE);
    const INT_PTR result = dialog.DoModal();
    EnableWindow(sheet, TRUE);
    SetForegroundWindow(sheet);
    if (result != IDOK)
        return;
    m_edited.iconFile = dialog.IconFile();
    m_edited.iconIndex = dialog.IconIndex();
    m_edited.defaultIcon = FALSE;
    Check(Handle(), IDC_BP_DEFAULT_ICON, FALSE);
    ShowPreview();
    SetChanged();
}
