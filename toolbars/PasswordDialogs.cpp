#include "PasswordDialogs.h"

#include "Password.h"
#include "../common/Application.h"
#include "../resources/lintel/resource.h"

#include <string_view>

namespace {

CText TypedText(HWND dialog, int control)
{
    char typed[kMaxPasswordLength + 1] = {};
    GetDlgItemTextA(dialog, control, typed, sizeof typed);
    return CText(typed);
}

void LimitPassword(HWND dialog, int control)
{
    SendDlgItemMessageA(dialog, control, EM_LIMITTEXT, kMaxPasswordLength, 0);
}

} // namespace

CPasswordDialog::CPasswordDialog(HWND owner) : CDialogBase(IDD_ENTER_PASSWORD, nullptr, owner) {}

BOOL CPasswordDialog::OnInitDialog()
{
    LimitPassword(Handle(), IDC_PASSWORD);
    return TRUE;
}

BOOL CPasswordDialog::OnOK()
{
    m_password = ScramblePassword(TypedText(Handle(), IDC_PASSWORD).c_str());
    EndDialog(Handle(), IDOK);
    return TRUE;
}

CChangePasswordDialog::CChangePasswordDialog(HWND owner, CApplication* application, const CText& caption,
                                             const CText& stored)
    : CDialogBase(IDD_CHANGE_PASSWORD, nullptr, owner), m_application(application), m_caption(caption),
      m_stored(stored)
{
}

BOOL CChangePasswordDialog::OnInitDialog()
{
    for (int control : {IDC_CURRENT_PASSWORD, IDC_NEW_PASSWORD, IDC_REENTER_PASSWORD})
        LimitPassword(Handle(), control);
    EnableWindow(GetDlgItem(Handle(), IDC_CURRENT_PASSWORD), !m_stored.IsEmpty());
    // A masked placeholder says a password goes here without giving away
    // its length; it has to be typed over, or the re-entry will differ.
    SetDlgItemTextA(Handle(), IDC_NEW_PASSWORD, "xxxxxxxxxx");
    return TRUE;
}

int CChangePasswordDialog::Message(UINT textId) const
{
    return m_application ? m_application->DisplayMessage(Handle(), textId, m_caption.c_str(),
                                                         MB_OK | MB_ICONEXCLAMATION, kCaptionText)
                         : IDOK;
}

CText CChangePasswordDialog::Typed(int control) const
{
    return TypedText(Handle(), control);
}

BOOL CChangePasswordDialog::OnOK()
{
    if (!m_stored.IsEmpty() && !SamePassword(m_stored, ScramblePassword(Typed(IDC_CURRENT_PASSWORD).c_str()))) {
        Message(IDS_MSG_WRONG_PASSWORD);
        EndDialog(Handle(), IDCANCEL);
        return TRUE;
    }
    const CText typed = Typed(IDC_NEW_PASSWORD);
    if (typed.IsEmpty()) {
        Message(IDS_MSG_NO_NEW_PASSWORD);
        SetFocus(GetDlgItem(Handle(), IDC_NEW_PASSWORD));
        return TRUE;
    }
    if (std::string_view(typed.c_str()) != std::string_view(Typed(IDC_REENTER_PASSWORD).c_str())) {
        Message(IDS_MSG_PASSWORDS_DIFFER);
        SetFocus(GetDlgItem(Handle(), IDC_REENTER_PASSWORD));
        return TRUE;
    }
    m_newPassword = ScramblePassword(typed.c_str());
    EndDialog(Handle(), IDOK);
    return TRUE;
}

BOOL AskForPassword(HWND owner, CApplication* application, const CText& caption, const CText& stored)
{
    CPasswordDialog dialog(owner);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    if (SamePassword(stored, dialog.Password()))
        return TRUE;
    if (application)
        application->DisplayMessage(owner, IDS_MSG_WRONG_PASSWORD, caption.c_str(), MB_OK | MB_ICONEXCLAMATION,
                                    kCaptionText);
    return FALSE;
}
