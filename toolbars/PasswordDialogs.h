// The two password dialogs of toolbar protection: asking for the password
// (dialog 165) and setting a new one (dialog 166).  Both hand back the
// scrambled form only.
#pragma once

#include "../common/DialogBase.h"
#include "../common/Text.h"

class CApplication;

class CPasswordDialog : public CDialogBase
{
public:
    explicit CPasswordDialog(HWND owner);
    BOOL OnInitDialog() override;
    BOOL OnOK() override;
    // The typed password, scrambled, once the dialog ended with OK.
    const CText& Password() const { return m_password; }

private:
    CText m_password;
};

class CChangePasswordDialog : public CDialogBase
{
public:
    // stored: the scrambled password in force (empty: none yet).  Messages
    // go out through the application with the caption given.
    CChangePasswordDialog(HWND owner, CApplication* application, const CText& caption, const CText& stored);
    BOOL OnInitDialog() override;
    BOOL OnOK() override;
    // The new password, scrambled, once the dialog ended with OK.
    const CText& NewPassword() const { return m_newPassword; }

private:
    int Message(UINT textId) const;
    CText Typed(int control) const;

    CApplication* m_application;
    CText m_caption;
    CText m_stored;
    CText m_newPassword;
};

// Asks for the password with dialog 165 and compares it with the stored
// (scrambled) one; a wrong password is told with its message.  FALSE when it
// was wrong or the dialog was cancelled.
BOOL AskForPassword(HWND owner, CApplication* application, const CText& caption, const CText& stored);
