// The toolbar's protection: the protection state itself, the password check
// and the quick lock that lifts the protection until the next save.
#include "Toolbar.h"

#include "Password.h"
#include "PasswordDialogs.h"
#include "../common/Application.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

namespace {

enum : unsigned long {
    kProtectionSet = 1,
    kProtectionNoPassword = 2,
    kProtectionWrongPassword = 3,
};

enum : unsigned long {
    kQuickLockToggled = 1,
    kQuickLockNotOffered = 2,
    kQuickLockRefused = 3,
};

} // namespace

BOOL CToolbar::SetProtection(BOOL enabled, DWORD level, const CText& password)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_SET_PROTECTION);
    ToolbarProtection& protection = m_settings.protection;
    if (protection.passwordRequired) {
        if (password.IsEmpty()) {
            trace.Result(TR_SET_PROTECTION_RESULT, kProtectionNoPassword);
            return FALSE;
        }
        if (!SamePassword(protection.password, password)) {
            trace.Result(TR_SET_PROTECTION_RESULT, kProtectionWrongPassword);
            return FALSE;
        }
    }
    protection.enabled = enabled ? TRUE : FALSE;
    protection.level = level & 0x7F;
    m_dirty = 1;
    SetTitle(nullptr);
    trace.Result(TR_SET_PROTECTION_RESULT, kProtectionSet);
    return TRUE;
}

void CToolbar::SetPasswordSettings(const CText& password, BOOL required, BOOL quickUnlockOption)
{
    ToolbarProtection& protection = m_settings.protection;
    protection.password = password;
    protection.passwordRequired = required ? TRUE : FALSE;
    // Quick unlock asks for the password, so it needs one.
    protection.quickUnlockOption = quickUnlockOption && required ? TRUE : FALSE;
    m_dirty = 1;
}

BOOL CToolbar::ConfirmPassword(HWND owner)
{
    return AskForPassword(owner ? owner : Handle(), App(), m_settings.name, m_settings.protection.password);
}

BOOL CToolbar::ToggleQuickLock(HWND owner)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_QUICK_LOCK);
    const ToolbarProtection& protection = m_settings.protection;
    // Unlocking needs a password to unlock with; locking again never stays
    // behind a password that is no longer asked.
    if (!m_quickUnlocked && (!protection.passwordRequired || !protection.quickUnlockOption)) {
        trace.Result(TR_QUICK_LOCK_RESULT, kQuickLockNotOffered);
        return FALSE;
    }
    if (protection.passwordRequired && !ConfirmPassword(owner)) {
        trace.Result(TR_QUICK_LOCK_RESULT, kQuickLockRefused);
        return FALSE;
    }
    m_quickUnlocked = !m_quickUnlocked;
    SetTitle(nullptr);
    trace.Result(TR_QUICK_LOCK_RESULT, kQuickLockToggled);
    return TRUE;
}
