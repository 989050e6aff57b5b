#include "PropertyPage.h"

#include "Application.h"
#include "Error.h"
#include "TraceLog.h"
#include "WindowBase.h"

#include <cstring>
#include <new>

CPropertyPageBase::CPropertyPageBase(UINT templateId, void* owner, void* data) : m_owner(owner), m_data(data)
{
    // The first-version record is all the pages need, and every comctl32 takes it.
    m_record.dwSize = PROPSHEETPAGEA_V1_SIZE;
    m_record.dwFlags = PSP_USETITLE;
    m_record.hInstance = AppInstance();
    m_record.pszTemplate = MAKEINTRESOURCEA(templateId);
    m_record.pszTitle = "General";
    m_record.pfnDlgProc = StaticPageProc;
    m_record.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertyPageBase::SetTitle(UINT titleId)
{
    if (titleId)
        m_record.pszTitle = MAKEINTRESOURCEA(titleId);
}

INT_PTR CALLBACK CPropertyPageBase::StaticPageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_INITDIALOG) {
        // The sheet hands over its own copy of the record; its parameter is us.
        auto* record = reinterpret_cast<PROPSHEETPAGEA*>(second);
        SetWindowLongPtrA(handle, DWLP_USER, record ? record->lParam : 0);
    }
    auto* self = reinterpret_cast<CPropertyPageBase*>(GetWindowLongPtrA(handle, DWLP_USER));
    if (!self)
        return FALSE;
    INT_PTR result = FALSE;
    RunWithoutEscape([&] { result = self->PageProc(handle, message, first, second); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(handle, DWLP_USER, 0);
        self->m_handle = nullptr;
    }
    return result;
}

namespace {

INT_PTR SetResult(HWND page, LONG_PTR result)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

} // namespace

INT_PTR CPropertyPageBase::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_INITDIALOG:
        m_handle = handle;
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(first), HIWORD(first), reinterpret_cast<HWND>(second));
    case WM_HELP:
        return OnHelp(reinterpret_cast<HELPINFO*>(second));
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(second);
        switch (header->code) {
        case PSN_SETACTIVE:
            OnSetActive();
            return SetResult(handle, 0);
        case PSN_KILLACTIVE:
            return SetResult(handle, OnKillActive() ? FALSE : TRUE);
        case PSN_APPLY:
            if (OnApply())
                SetUnchanged();
            return SetResult(handle, PSNRET_NOERROR);
        case PSN_RESET:
            if (OnReset())
                SetUnchanged();
            return SetResult(handle, 0);
        case PSN_HELP:
            OnHelpButton();
            return TRUE;
        case PSN_WIZNEXT:
        case PSN_WIZBACK: {
            int target = -1;
            const BOOL moved = header->code == PSN_WIZNEXT ? OnWizardNext(target) : OnWizardBack(target);
            if (!moved)
                return SetResult(handle, -1);
            return SetResult(handle, target != -1 ? target : 0);
        }
        case PSN_WIZFINISH:
            return SetResult(handle, OnWizardFinish() ? 0 : 1);
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

BOOL CPropertyPageBase::OnInitDialog() { return TRUE; }

BOOL CPropertyPageBase::OnCommand(UINT, UINT, HWND)
{
    SetChanged();
    return TRUE;
}

BOOL CPropertyPageBase::OnHelp(HELPINFO*) { return TRUE; }
BOOL CPropertyPageBase::OnHelpButton() { return TRUE; }

BOOL CPropertyPageBase::OnSetActive()
{
    DWORD buttons = m_previous ? PSWIZB_BACK : 0;
    buttons |= m_next ? PSWIZB_NEXT : PSWIZB_FINISH;
    PropSheet_SetWizButtons(Sheet(), buttons);
    return TRUE;
}

BOOL CPropertyPageBase::OnKillActive() { return TRUE; }
BOOL CPropertyPageBase::OnApply() { return TRUE; }
BOOL CPropertyPageBase::OnReset() { return TRUE; }
BOOL CPropertyPageBase::OnWizardNext(int& target) { target = -1; return TRUE; }
BOOL CPropertyPageBase::OnWizardBack(int& target) { target = -1; return TRUE; }
BOOL CPropertyPageBase::OnWizardFinish() { return TRUE; }

void CPropertyPageBase::SetChanged() const
{
    if (m_handle)
        PropSheet_Changed(Sheet(), m_handle);
}

void CPropertyPageBase::SetUnchanged() const
{
    if (m_handle)
        PropSheet_UnChanged(Sheet(), m_handle);
}

CPropertySheetBase::CPropertySheetBase(void* owner, CWindowBase* ownerWindow)
    : m_owner(owner), m_ownerWindow(ownerWindow)
{
}

CPropertySheetBase::~CPropertySheetBase()
{
    Clear();
}

void CPropertySheetBase::Add(CPropertyPageBase* page)
{
    if (!page)
        return;
    page->m_previous = m_last;
    page->m_next = nullptr;
    if (m_last)
        m_last->m_next = page;
    else
        m_first = page;
    m_last = page;
    ++m_count;
}

void CPropertySheetBase::Clear()
{
    while (m_last) {
        CPropertyPageBase* page = m_last;
        m_last = page->m_previous;
        delete page;
    }
    m_first = nullptr;
    m_count = 0;
}

int CPropertySheetBase::Show(const CText& caption, DWORD extraFlags)
{
    if (m_count == 0)
        return 0;
    // The sheet steps through the block by each record's own size, so the
    // records are packed at their first-version size, not the structure's.
    const size_t recordSize = PROPSHEETPAGEA_V1_SIZE;
    auto* records = new (std::nothrow) unsigned char[recordSize * static_cast<size_t>(m_count)];
    if (!records)
        return 0;
    size_t offset = 0;
    for (CPropertyPageBase* page = m_first; page; page = page->m_next) {
        memcpy(records + offset, &page->Record(), recordSize);
        offset += recordSize;
    }

    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | extraFlags;
    header.hwndParent = m_ownerWindow ? m_ownerWindow->Handle() : nullptr;
    header.hInstance = AppInstance();
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(m_count);
    header.nStartPage = 0;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(records);
    m_lastResult = PropertySheetA(&header);
    delete[] records;
    return 1;
}
