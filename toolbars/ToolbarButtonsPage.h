// The Buttons page of the toolbar property sheet.  It works on the
// toolbar's live list of buttons, not on a copy: adding, deleting,
// reordering and renaming happen at once, and the toolbar tells the page
// whenever its buttons change.  Only the menu-button switch waits for Apply.
#pragma once

#include "ToolbarPage.h"

#include "../common/ScopedHandle.h"

class CToolButton;

class CToolbarButtonsPage : public CToolbarPage
{
public:
    explicit CToolbarButtonsPage(CToolbar& toolbar);

    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    // Lists the toolbar's buttons again, keeping the selection where it can.
    void Refresh();

protected:
    void ReadControls() override;
    void WriteToToolbar(BOOL opening) override;

private:
    int SelectedIndex() const;
    CToolButton* Selected() const;
    void Select(int index) const;
    void UpdateButtons() const;
    void MoveSelected(int step);
    void DeleteSelected();
    void ShowSelectedProperties();
    void ShowItemMenu(int x, int y);
    BOOL EndLabelEdit(const NMLVDISPINFOA& info);

    BOOL m_openingMenuButtons;
    BOOL m_editedMenuButtons;
    CBitmapHandle m_moveBitmaps[2];
};
