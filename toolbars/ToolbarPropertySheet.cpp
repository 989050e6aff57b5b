#include "ToolbarPropertySheet.h"

#include "ProtectionPage.h"
#include "ToolbarBackgroundPage.h"
#include "ToolbarButtonsPage.h"
#include "ToolbarGeneralPage.h"
#include "ToolbarPositionPage.h"
#include "ToolbarStylePage.h"
#include "Toolbar.h"
#include "ToolbarSet.h"
#include "../common/Application.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <new>

namespace {

using PageMaker = CPropertyPageBase* (*)(CToolbar&);

template <class Page>
CPropertyPageBase* MakePage(CToolbar& toolbar)
{
    return new (std::nothrow) Page(toolbar);
}

// The pages in sheet order.  A toolbar whose properties are locked keeps
// only the pages marked for it; a maker that answers null leaves its page out.
struct SheetPage {
    UINT templateId;
    PageMaker make;
    bool whenLocked;
};

const SheetPage kPages[] = {
    {IDD_TBP_GENERAL, MakePage<CToolbarGeneralPage>, true},
    {IDD_TBP_POSITION, MakePage<CToolbarPositionPage>, false},
    {IDD_TBP_STYLE, MakePage<CToolbarStylePage>, false},
    {IDD_TBP_BACKGROUND, MakePage<CToolbarBackgroundPage>, false},
    {IDD_TBP_PROTECTION, MakeProtectionPage, true},
    {IDD_TBP_BUTTONS, MakePage<CToolbarButtonsPage>, false},
};

} // namespace

CToolbarPropertySheet* CToolbarPropertySheet::s_current = nullptr;

CToolbarPropertySheet::CToolbarPropertySheet(CToolbar& toolbar) : CPropertySheetBase(&toolbar, &toolbar), m_toolbar(toolbar)
{
}

CToolbarPropertySheet::~CToolbarPropertySheet()
{
    // The pages go before the sheet's pointers to them.
    Clear();
    m_buttonsPage = nullptr;
}

void CToolbarPropertySheet::AddPages()
{
    const bool locked = ToolbarPropertiesLocked(m_toolbar);
    for (const SheetPage& page : kPages) {
        if (locked && !page.whenLocked)
            continue;
        Add(page.make(m_toolbar));
    }
}

std::vector<UINT> CToolbarPropertySheet::PageTemplates(CToolbar& toolbar)
{
    CToolbarPropertySheet sheet(toolbar);
    sheet.AddPages();
    std::vector<UINT> templates;
    for (CPropertyPageBase* page = sheet.First(); page; page = page->Next())
        templates.push_back(static_cast<UINT>(reinterpret_cast<UINT_PTR>(page->Record().pszTemplate)));
    return templates;
}

BOOL CToolbarPropertySheet::Run(CToolbar& toolbar)
{
    if (s_current) {
        if (TraceOn())
            LogText("CToolbarPropertySheet::Run: a sheet is already open");
        return FALSE;
    }
    CToolbarPropertySheet sheet(toolbar);
    sheet.AddPages();
    if (sheet.PageCount() == 0)
        return FALSE;

    // The mark and the set's count must fall however the sheet ends.
    struct OpenMark {
        CToolbarPropertySheet* sheet;
        CToolbarSet* set;
        explicit OpenMark(CToolbarPropertySheet* opened) : sheet(opened), set(opened->m_toolbar.Set())
        {
            s_current = sheet;
            if (set) {
                set->PropertiesOpened(TRUE);
                set->RefreshToolbarsPage();
            }
        }
        ~OpenMark()
        {
            s_current = nullptr;
            if (set) {
                set->PropertiesOpened(FALSE);
                set->RefreshToolbarsPage();
            }
        }
    } mark(&sheet);

    CText caption;
    if (!caption.LoadString(AppInstance(), IDS_TBP_CAPTION))
        caption = "Toolbar properties";
    return sheet.Show(caption) != 0;
}

void CToolbarPropertySheet::ButtonsChanged(const CToolbar& toolbar)
{
    if (s_current && &s_current->m_toolbar == &toolbar && s_current->m_buttonsPage)
        s_current->m_buttonsPage->Refresh();
}
