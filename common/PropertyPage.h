// CPropertyPageBase: one page of a property sheet or wizard, and
// CPropertySheetBase: the list of pages and the modal sheet that shows them.
#pragma once

#include "Text.h"

#include <commctrl.h>

class CWindowBase;

class CPropertyPageBase
{
public:
    // owner and data are the two owner values a page keeps for its subclass.
    CPropertyPageBase(UINT templateId, void* owner, void* data);
    virtual ~CPropertyPageBase() = default;
    CPropertyPageBase(const CPropertyPageBase&) = delete;
    CPropertyPageBase& operator=(const CPropertyPageBase&) = delete;

    virtual INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second);
    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(UINT id, UINT code, HWND control);
    virtual BOOL OnHelp(HELPINFO* helpInfo);
    virtual BOOL OnHelpButton();
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();      // TRUE while the page's values are valid
    virtual BOOL OnApply();
    virtual BOOL OnReset();
    virtual BOOL OnWizardNext(int& target);   // target: a page's template id, -1 for the next
    virtual BOOL OnWizardBack(int& target);
    virtual BOOL OnWizardFinish();

    // The page's title: a string-table id (0 keeps the default "General").
    void SetTitle(UINT titleId);

    const PROPSHEETPAGEA& Record() const { return m_record; }
    HWND Handle() const { return m_handle; }
    HWND Sheet() const { return m_handle ? GetParent(m_handle) : nullptr; }
    void SetChanged() const;
    void SetUnchanged() const;

    CPropertyPageBase* Next() const { return m_next; }
    CPropertyPageBase* Previous() const { return m_previous; }

    static INT_PTR CALLBACK StaticPageProc(HWND handle, UINT message, WPARAM first, LPARAM second);

protected:
    PROPSHEETPAGEA m_record{};
    void* m_owner;
    void* m_data;
    HWND m_handle = nullptr;

private:
    friend class CPropertySheetBase;
    CPropertyPageBase* m_next = nullptr;
    CPropertyPageBase* m_previous = nullptr;
};

class CPropertySheetBase
{
public:
    CPropertySheetBase(void* owner, CWindowBase* ownerWindow);
    virtual ~CPropertySheetBase();
    CPropertySheetBase(const CPropertySheetBase&) = delete;
    CPropertySheetBase& operator=(const CPropertySheetBase&) = delete;

    // The sheet takes ownership of the page.
    void Add(CPropertyPageBase* page);
    // Destroys the pages from the last to the first.
    void Clear();
    // Shows the pages as a modal sheet (extraFlags: PSH_WIZARD for a wizard).
    // Returns 1 once the sheet has closed, 0 when it could not be shown.
    int Show(const CText& caption, DWORD extraFlags = 0);

    int PageCount() const { return m_count; }
    CPropertyPageBase* First() const { return m_first; }
    // What PropertySheet returned the last time the sheet was shown.
    INT_PTR LastResult() const { return m_lastResult; }

protected:
    void* m_owner;
    CWindowBase* m_ownerWindow;
    int m_count = 0;
    CPropertyPageBase* m_first = nullptr;
    CPropertyPageBase* m_last = nullptr;
    INT_PTR m_lastResult = 0;
};
