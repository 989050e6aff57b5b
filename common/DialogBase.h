// CDialogBase: a modal dialog box from a template, with its object kept in the
// dialog's user slot from WM_INITDIALOG on.
#pragma once

#include <windows.h>

class CWindowBase;

class CDialogBase
{
public:
    CDialogBase(UINT templateId, CWindowBase* parent, HWND parentHandle = nullptr);
    virtual ~CDialogBase() = default;
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // The button that ended the dialog: 1 for OK, 2 for Cancel; -1 when the
    // dialog could not be made.
    virtual INT_PTR DoModal();
    virtual INT_PTR DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second);
    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(UINT id, UINT code, HWND control);
    virtual BOOL OnNotify(NMHDR* header);
    virtual BOOL OnOK();
    virtual BOOL OnCancel();

    HWND Handle() const { return m_handle; }
    UINT TemplateId() const { return m_templateId; }

    static INT_PTR CALLBACK StaticDialogProc(HWND handle, UINT message, WPARAM first, LPARAM second);

protected:
    UINT m_templateId;
    CWindowBase* m_parent;
    HWND m_parentHandle;
    HWND m_handle = nullptr;
};
