#include "ToolbarStylePage.h"

#include "Toolbar.h"
#include "ToolbarAppearance.h"
#include "ToolbarSet.h"
#include "../resources/lintel/resource.h"

#include <commctrl.h>

namespace {

struct SizeChoice {
    int control;
    int size;
};
const SizeChoice kSizes[] = {{IDC_TBP_LARGE, 2}, {IDC_TBP_NORMAL, 1}, {IDC_TBP_SMALL, 0}};

} // namespace

CToolbarStylePage::CToolbarStylePage(CToolbar& toolbar)
    : CToolbarPage(IDD_TBP_STYLE, IDS_TBP_STYLE, toolbar, nullptr)
{
    const ToolbarSettings& settings = toolbar.Settings();
    m_opening = Values{settings.buttonSize, settings.border, settings.showDescription, settings.showButtonBackground};
    m_edited = m_opening;
}

BOOL CToolbarStylePage::OnInitDialog()
{
    SendDlgItemMessageA(Handle(), IDC_TBP_BORDER, TBM_SETRANGE, FALSE, MAKELPARAM(0, 5));
    return TRUE;
}

BOOL CToolbarStylePage::OnSetActive()
{
    int selected = IDC_TBP_NORMAL;
    for (const SizeChoice& choice : kSizes) {
        if (choice.size == m_edited.buttonSize)
            selected = choice.control;
    }
    CheckRadioButton(Handle(), IDC_TBP_LARGE, IDC_TBP_SMALL, selected);
    SendDlgItemMessageA(Handle(), IDC_TBP_BORDER, TBM_SETPOS, TRUE, m_edited.border);
    Check(IDC_TBP_SHOW_DESCRIPTION, m_edited.showDescription);
    Check(IDC_TBP_BUTTON_BACKGROUND, m_edited.showButtonBackground);
    UpdatePreview();
    return TRUE;
}

BOOL CToolbarStylePage::OnKillActive()
{
    ReadControls();
    return TRUE;
}

void CToolbarStylePage::ReadControls()
{
    for (const SizeChoice& choice : kSizes) {
        if (IsChecked(choice.control))
            m_edited.buttonSize = choice.size;
    }
    m_edited.border = static_cast<int>(SendDlgItemMessageA(Handle(), IDC_TBP_BORDER, TBM_GETPOS, 0, 0));
    m_edited.showDescription = IsChecked(IDC_TBP_SHOW_DESCRIPTION);
    m_edited.showButtonBackground = IsChecked(IDC_TBP_BUTTON_BACKGROUND);
}

void CToolbarStylePage::UpdatePreview() const
{
    HWND preview = GetDlgItem(Handle(), IDC_TBP_STYLE_PREVIEW);
    int size = m_edited.buttonSize;
    for (const SizeChoice& choice : kSizes) {
        if (IsChecked(choice.control))
            size = choice.size;
    }
    const LRESULT border = SendDlgItemMessageA(Handle(), IDC_TBP_BORDER, TBM_GETPOS, 0, 0);
    SendMessageA(preview, kPreviewSet1, static_cast<WPARAM>(border), 0);
    SendMessageA(preview, kPreviewSet2, static_cast<WPARAM>(size), 0);
    SendMessageA(preview, kPreviewSet3, IsChecked(IDC_TBP_SHOW_DESCRIPTION) ? 1 : 0, 0);
    SendMessageA(preview, kPreviewSet4, IsChecked(IDC_TBP_BUTTON_BACKGROUND) ? 1 : 0, 0);
}

INT_PTR CToolbarStylePage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_HSCROLL && reinterpret_cast<HWND>(second) == GetDlgItem(handle, IDC_TBP_BORDER)) {
        UpdatePreview();
        SetChanged();
        return TRUE;
    }
    return CToolbarPage::PageProc(handle, message, first, second);
}

BOOL CToolbarStylePage::OnCommand(UINT, UINT code, HWND)
{
    if (code != BN_CLICKED)
        return FALSE;
    UpdatePreview();
    SetChanged();
    return TRUE;
}

void CToolbarStylePage::WriteToToolbar(BOOL opening)
{
    const Values& values = opening ? m_opening : m_edited;
    const ToolbarSettings& now = m_toolbar.Settings();
    if (now.buttonSize == values.buttonSize && now.border == values.border
        && now.showDescription == values.showDescription && now.showButtonBackground == values.showButtonBackground)
        return;
    // The buttons learn a new size from the toolbar, which also lays them out again.
    m_toolbar.ChangeSettings([&values](ToolbarSettings& settings) {
        settings.buttonSize = values.buttonSize;
        settings.border = values.border;
        settings.showDescription = values.showDescription;
        settings.showButtonBackground = values.showButtonBackground;
    });
    if (CToolbarSet* set = m_toolbar.Set())
        set->ArrangeDocked(nullptr);
    // Buttons that keep their place are not drawn again by the layout.
    if (m_toolbar.Handle())
        RedrawWindow(m_toolbar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}
