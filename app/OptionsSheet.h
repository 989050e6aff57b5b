// The Options dialog: a property sheet over the toolbar set's options, with
// the pages General, Toolbars and Hotkeys.  Only one is up at a time.
#pragma once

#include "../common/PropertyPage.h"

class CToolbarSet;
class CMainWindow;

class COptionsSheet : public CPropertySheetBase
{
public:
    COptionsSheet(CToolbarSet* set, CMainWindow* owner);
    ~COptionsSheet() override;

    // Shows the sheet modally; does nothing while another Options sheet is up.
    // FALSE when it was not shown.
    BOOL Run();

    static BOOL IsOpen() { return s_open; }

private:
    CToolbarSet* m_set;
    static BOOL s_open;
};

// Page "General": the switches and the "Adding shortcuts" choice.
class COptionsGeneralPage : public CPropertyPageBase
{
public:
    explicit COptionsGeneralPage(CToolbarSet* set);

    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnHelp(HELPINFO* helpInfo) override;
    BOOL OnSetActive() override;
    BOOL OnApply() override;
    BOOL OnReset() override;

private:
    struct Values {
        BOOL toolTips;
        BOOL openOnStart;
        BOOL saveOnClose;
        BOOL allowTab;
        BOOL onlyOneOpen;
        DWORD shortcuts;
    };
    Values ReadSet() const;
    void WriteSet(const Values& values) const;
    void ShowValues(const Values& values) const;
    Values ReadControls() const;
    // Open-on-start means nothing unless toolbars are saved when they close.
    void CoupleOpenOnStart() const;

    CToolbarSet* m_set;
    Values m_start;
    BOOL m_applied = FALSE;
};

// Page "Toolbars": the open toolbars, and buttons to add, open, change and
// close them.
class COptionsToolbarsPage : public CPropertyPageBase
{
public:
    explicit COptionsToolbarsPage(CToolbarSet* set);

    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnHelp(HELPINFO* helpInfo) override;
    BOOL OnSetActive() override;

private:
    void FillList() const;
    void UpdateButtons() const;
    // The window of the selected toolbar, or null when none is selected or it
    // has gone in the meantime.
    HWND SelectedToolbar() const;

    CToolbarSet* m_set;
};

// Page "Hotkeys": the three hotkeys of the program.
class COptionsHotkeysPage : public CPropertyPageBase
{
public:
    explicit COptionsHotkeysPage(CToolbarSet* set);

    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnSetActive() override;

private:
    // TRUE when every hotkey could be registered.
    BOOL ApplyHotkeys();
    void ShowHotkeys() const;

    CToolbarSet* m_set;
};
