#include "DialogBase.h"

#include "Application.h"
#include "Error.h"
#include "TraceLog.h"
#include "WindowBase.h"

CDialogBase::CDialogBase(UINT templateId, CWindowBase* parent, HWND parentHandle)
    : m_templateId(templateId), m_parent(parent),
      m_parentHandle(parentHandle ? parentHandle : (parent ? parent->Handle() : nullptr))
{
}

INT_PTR CDialogBase::DoModal()
{
    return DialogBoxParamA(AppInstance(), MAKEINTRESOURCEA(m_templateId), m_parentHandle, StaticDialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialogBase::StaticDialogProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(handle, DWLP_USER, second);
    auto* self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(handle, DWLP_USER));
    if (!self)
        return FALSE;
    INT_PTR result = FALSE;
    RunWithoutEscape([&] { result = self->DialogProc(handle, message, first, second); });
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(handle, DWLP_USER, 0);
    return result;
}

INT_PTR CDialogBase::DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_INITDIALOG:
        m_handle = handle;
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(first), HIWORD(first), reinterpret_cast<HWND>(second));
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(second));
    default:
        return FALSE;
    }
}

BOOL CDialogBase::OnInitDialog() { return TRUE; }

BOOL CDialogBase::OnCommand(UINT id, UINT, HWND)
{
    switch (id) {
    case IDOK: return OnOK();
    case IDCANCEL: return OnCancel();
    default: return FALSE;
    }
}

BOOL CDialogBase::OnNotify(NMHDR*) { return FALSE; }

BOOL CDialogBase::OnOK()
{
    EndDialog(m_handle, IDOK);
    return TRUE;
}

BOOL CDialogBase::OnCancel()
{
    EndDialog(m_handle, IDCANCEL);
    return TRUE;
}
