#include "ProtectionPage.h"

#include "PasswordDialogs.h"
#include "Toolbar.h"
#include "ToolbarPage.h"
#include "../common/Application.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <new>

namespace {

const DWORD kProtectionHelpIds[] = {
    IDC_PROTECT_TOOLBAR, HELP_PROTECT_TOOLBAR,
    IDC_PASSWORD_REQUIRED, HELP_PASSWORD_REQUIRED,
    IDC_SET_PASSWORD, HELP_SET_PASSWORD,
    IDC_ALLOW_ADD, HELP_ALLOW_ADD,
    IDC_ALLOW_REMOVE, HELP_ALLOW_REMOVE,
    IDC_ALLOW_DRAG, HELP_ALLOW_DRAG,
    IDC_ALLOW_BUTTON_PROPERTIES, HELP_ALLOW_BUTTON_PROPERTIES,
    IDC_ALLOW_CLIPBOARD, HELP_ALLOW_CLIPBOARD,
    IDC_ALLOW_TARGET_MENU, HELP_ALLOW_TARGET_MENU,
    IDC_ALLOW_TOOLBAR_PROPERTIES, HELP_ALLOW_TOOLBAR_PROPERTIES,
    IDC_QUICK_UNLOCK_OPTION, HELP_QUICK_UNLOCK_OPTION,
    0, 0,
};

// The "Allow" boxes in the order of the bits they clear: 1164 clears 0x01.
constexpr int kAllowBoxes = IDC_ALLOW_TOOLBAR_PROPERTIES - IDC_ALLOW_ADD + 1;

DWORD BitOf(int allowBox)
{
    return 1u << (allowBox - IDC_ALLOW_ADD);
}

bool IsAllowBox(UINT control)
{
    return control >= IDC_ALLOW_ADD && control <= IDC_ALLOW_TOOLBAR_PROPERTIES;
}

class CProtectionPage : public CToolbarPage
{
public:
    explicit CProtectionPage(CToolbar& toolbar)
        : CToolbarPage(IDD_PROTECTION_PAGE, IDS_TBP_PROTECTION, toolbar, kProtectionHelpIds),
          m_opening(toolbar.Settings().protection), m_edited(m_opening)
    {
    }

    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;

protected:
    void ReadControls() override;
    void WriteToToolbar(BOOL opening) override;

private:
    void Fill();
    void UpdateEnabling() const;
    // Asks for the page's password unless it was given during this sheet.
    BOOL Confirmed();
    BOOL ChangePassword();
    // What comes before an apply; FALSE refuses it and keeps the sheet open.
    BOOL MayApply();
    int Message(UINT textId, UINT style) const;

    ToolbarProtection m_opening;
    ToolbarProtection m_edited;
    BOOL m_confirmed = FALSE;
    BOOL m_filling = FALSE;
    BOOL m_turnedOnTold = FALSE;
};

INT_PTR CProtectionPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    // The base always accepts an apply; this page may refuse one.
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(second)->code == PSN_APPLY) {
        const BOOL applied = MayApply() && OnApply();
        if (applied)
            SetUnchanged();
        SetWindowLongPtrA(handle, DWLP_MSGRESULT, applied ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
        return TRUE;
    }
    return CToolbarPage::PageProc(handle, message, first, second);
}

int CProtectionPage::Message(UINT textId, UINT style) const
{
    CApplication* application = m_toolbar.App();
    return application ? application->DisplayMessage(Handle(), textId, m_toolbar.Name().c_str(), style, kCaptionText)
                       : IDOK;
}

void CProtectionPage::Fill()
{
    m_filling = TRUE;
    Check(IDC_PROTECT_TOOLBAR, m_edited.enabled);
    Check(IDC_PASSWORD_REQUIRED, m_edited.passwordRequired);
    for (int box = IDC_ALLOW_ADD; box < IDC_ALLOW_ADD + kAllowBoxes; ++box)
        Check(box, (m_edited.level & BitOf(box)) == 0);
    Check(IDC_QUICK_UNLOCK_OPTION, m_edited.quickUnlockOption && m_edited.passwordRequired);
    m_filling = FALSE;
    UpdateEnabling();
}

void CProtectionPage::UpdateEnabling() const
{
    const BOOL enabled = IsChecked(IDC_PROTECT_TOOLBAR);
    const BOOL required = IsChecked(IDC_PASSWORD_REQUIRED);
    Enable(IDC_SET_PASSWORD, required);
    for (int box = IDC_ALLOW_ADD; box < IDC_ALLOW_ADD + kAllowBoxes; ++box)
        Enable(box, enabled);
    Enable(IDC_QUICK_UNLOCK_OPTION, enabled && required);
}

BOOL CProtectionPage::OnSetActive()
{
    Fill();
    return TRUE;
}

void CProtectionPage::ReadControls()
{
    m_edited.enabled = IsChecked(IDC_PROTECT_TOOLBAR);
    m_edited.passwordRequired = IsChecked(IDC_PASSWORD_REQUIRED);
    DWORD level = 0;
    for (int box = IDC_ALLOW_ADD; box < IDC_ALLOW_ADD + kAllowBoxes; ++box) {
        if (!IsChecked(box))
            level |= BitOf(box);
    }
    m_edited.level = level;
    m_edited.quickUnlockOption = IsChecked(IDC_QUICK_UNLOCK_OPTION) && m_edited.passwordRequired;
}

BOOL CProtectionPage::OnKillActive()
{
    ReadControls();
    // Told once a sheet: the sheet's Cancel would still take it back.
    if (m_edited.enabled && !m_opening.enabled && !m_turnedOnTold) {
        m_turnedOnTold = TRUE;
        Message(IDS_MSG_PROTECTION_ON_OK, MB_OK | MB_ICONINFORMATION);
    }
    return TRUE;
}

BOOL CProtectionPage::Confirmed()
{
    if (!m_confirmed)
        m_confirmed = AskForPassword(Handle(), m_toolbar.App(), m_toolbar.Name(), m_edited.password);
    return m_confirmed;
}

BOOL CProtectionPage::ChangePassword()
{
    CChangePasswordDialog dialog(Handle(), m_toolbar.App(), m_toolbar.Name(), m_edited.password);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    m_edited.password = dialog.NewPassword();
    m_confirmed = FALSE;
    return TRUE;
}

BOOL CProtectionPage::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED || m_filling)
        return FALSE;
    const BOOL ticked = IsChecked(static_cast<int>(id));
    switch (id) {
    case IDC_PROTECT_TOOLBAR:
    case IDC_QUICK_UNLOCK_OPTION:
        if (IsChecked(IDC_PASSWORD_REQUIRED) && !Confirmed()) {
            Check(static_cast<int>(id), !ticked);
            return TRUE;
        }
        if (id == IDC_PROTECT_TOOLBAR && !ticked)
            Check(IDC_QUICK_UNLOCK_OPTION, FALSE);
        break;
    case IDC_PASSWORD_REQUIRED:
        if (ticked) {
            // A required password has to exist first.
            if (m_edited.password.IsEmpty() && !ChangePassword()) {
                Check(IDC_PASSWORD_REQUIRED, FALSE);
                return TRUE;
            }
        } else if (!Confirmed()) {
            Check(IDC_PASSWORD_REQUIRED, TRUE);
            return TRUE;
        }
        break;
    case IDC_SET_PASSWORD:
        if (!ChangePassword())
            return TRUE;
        break;
    default:
        if (!IsAllowBox(id))
            return FALSE;
        if (IsChecked(IDC_PASSWORD_REQUIRED) && !Confirmed()) {
            Check(static_cast<int>(id), !ticked);
            return TRUE;
        }
        break;
    }
    UpdateEnabling();
    SetChanged();
    return TRUE;
}

BOOL CProtectionPage::MayApply()
{
    if (!Handle())
        return TRUE;
    ReadControls();
    if (!m_edited.enabled || m_edited.level != 0)
        return TRUE;
    switch (Message(IDS_MSG_NO_PROTECTION, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        if (m_edited.passwordRequired && !Confirmed())
            return FALSE;
        // The apply reads the boxes again.
        m_filling = TRUE;
        Check(IDC_PROTECT_TOOLBAR, FALSE);
        Check(IDC_QUICK_UNLOCK_OPTION, FALSE);
        m_filling = FALSE;
        UpdateEnabling();
        return TRUE;
    default:
        return TRUE;
    }
}

void CProtectionPage::WriteToToolbar(BOOL opening)
{
    ToolbarProtection wanted = opening ? m_opening : m_edited;
    if (!wanted.passwordRequired)
        wanted.password = "";
    m_toolbar.SetPasswordSettings(wanted.password, wanted.passwordRequired, wanted.quickUnlockOption);
    if (!wanted.quickUnlockOption && m_toolbar.IsQuickUnlocked())
        m_toolbar.ToggleQuickLock(Handle());
    if (!m_toolbar.SetProtection(wanted.enabled, wanted.level, wanted.password) && TraceOn())
        LogText(opening ? "Failed to reset protection" : "Failed to change protection");
}

} // namespace

CPropertyPageBase* MakeProtectionPage(CToolbar& toolbar)
{
    return new (std::nothrow) CProtectionPage(toolbar);
}

bool ToolbarPropertiesLocked(const CToolbar& toolbar)
{
    return toolbar.IsRestricted(kProtectToolbarProperties) != FALSE;
}
