// CToolbarPropertySheet: the modal "Toolbar properties" sheet over one
// toolbar.  One exists at a time in the whole program; while it is open the
// "Properties..." commands of every toolbar are greyed, and the toolbar's
// own changes to its buttons reach the Buttons page through it.
#pragma once

#include "../common/PropertyPage.h"

#include <vector>

class CToolbar;
class CToolbarButtonsPage;

class CToolbarPropertySheet : public CPropertySheetBase
{
public:
    ~CToolbarPropertySheet() override;

    // Builds the pages over the toolbar, shows the sheet and returns once it
    // has closed.  FALSE when a toolbar sheet is already open or the sheet
    // could not be shown.
    static BOOL Run(CToolbar& toolbar);
    static BOOL IsOpen() { return s_current != nullptr; }
    // The open sheet, or null.
    static CToolbarPropertySheet* Current() { return s_current; }
    // Lists the toolbar's buttons again on the Buttons page, when the open
    // sheet is the toolbar's and that page is on screen.
    static void ButtonsChanged(const CToolbar& toolbar);

    // The dialog templates of the pages a toolbar gets, in sheet order.
    static std::vector<UINT> PageTemplates(CToolbar& toolbar);

    CToolbar& Toolbar() const { return m_toolbar; }
    // The Buttons page tells the sheet while its window exists.
    void SetButtonsPage(CToolbarButtonsPage* page) { m_buttonsPage = page; }

private:
    explicit CToolbarPropertySheet(CToolbar& toolbar);
    void AddPages();

    CToolbar& m_toolbar;
    CToolbarButtonsPage* m_buttonsPage = nullptr;
    static CToolbarPropertySheet* s_current;
};
