#include "ToolbarPositionPage.h"

#include "Toolbar.h"
#include "ToolbarAppearance.h"
#include "ToolbarSet.h"
#include "../resources/lintel/resource.h"

namespace {

const DWORD kHelpIds[] = {
    IDC_TBP_VERTICAL,     IDH_TBP_ORIENTATION,  IDC_TBP_HORIZONTAL, IDH_TBP_ORIENTATION,
    IDC_TBP_ON_TOP,       IDH_TBP_ON_TOP,       IDC_TBP_DOCKED,     IDH_TBP_DOCKED,
    IDC_TBP_TOP_LEFT,     IDH_TBP_TOP_LEFT,     IDC_TBP_TOP_RIGHT,  IDH_TBP_TOP_RIGHT,
    IDC_TBP_BOTTOM_LEFT,  IDH_TBP_BOTTOM_LEFT,  IDC_TBP_BOTTOM_RIGHT, IDH_TBP_BOTTOM_RIGHT,
    IDC_TBP_FIXED,        IDH_TBP_FIXED,        IDC_TBP_POSITION_PREVIEW, IDH_TBP_POSITION_PREVIEW,
    IDC_TBP_AUTOHIDE,     IDH_TBP_AUTOHIDE,     IDC_TBP_SCREEN_STRIP, IDH_TBP_SCREEN_STRIP,
    0,                    0,
};

struct CornerChoice {
    int control;
    int corner;
};
const CornerChoice kCorners[] = {
    {IDC_TBP_TOP_LEFT, kCornerTopLeft},       {IDC_TBP_TOP_RIGHT, kCornerTopRight},
    {IDC_TBP_BOTTOM_LEFT, kCornerBottomLeft}, {IDC_TBP_BOTTOM_RIGHT, kCornerBottomRight},
    {IDC_TBP_FIXED, kCornerFixed},
};

} // namespace

CToolbarPositionPage::CToolbarPositionPage(CToolbar& toolbar)
    : CToolbarPage(IDD_TBP_POSITION, IDS_TBP_POSITION, toolbar, kHelpIds)
{
    const ToolbarSettings& settings = toolbar.Settings();
    m_opening = Values{settings.docked,     settings.alwaysOnTop,    settings.orientation,
                       settings.dockCorner, settings.buttonsPerLine, settings.autohide,
                       toolbar.ScreenStripOption()};
    m_edited = m_opening;
    if (toolbar.Handle())
        GetWindowRect(toolbar.Handle(), &m_openingRect);
}

void CToolbarPositionPage::ShowValues(const Values& values) const
{
    CheckRadioButton(Handle(), IDC_TBP_VERTICAL, IDC_TBP_HORIZONTAL,
                     values.orientation == kHorizontal ? IDC_TBP_HORIZONTAL : IDC_TBP_VERTICAL);
    Check(IDC_TBP_ON_TOP, values.alwaysOnTop);
    Check(IDC_TBP_DOCKED, values.docked);
    Check(IDC_TBP_AUTOHIDE, values.autohide);
    Check(IDC_TBP_SCREEN_STRIP, values.screenStrip);
    for (const CornerChoice& choice : kCorners)
        Check(choice.control, choice.corner == values.dockCorner);
    EnableCorners();
    EnableScreenStrip();
    UpdatePreview();
}

void CToolbarPositionPage::EnableCorners() const
{
    const BOOL docked = IsChecked(IDC_TBP_DOCKED);
    for (const CornerChoice& choice : kCorners)
        Enable(choice.control, docked);
}

void CToolbarPositionPage::EnableScreenStrip() const
{
    // Only a toolbar docked in a corner runs along an edge; an autohide one
    // would take its strip back and forth with every hover.
    BOOL alongEdge = IsChecked(IDC_TBP_DOCKED) && !IsChecked(IDC_TBP_AUTOHIDE);
    if (alongEdge && IsChecked(IDC_TBP_FIXED))
        alongEdge = FALSE;
    Enable(IDC_TBP_SCREEN_STRIP, alongEdge);
}

void CToolbarPositionPage::ReadControls()
{
    m_edited.orientation = IsChecked(IDC_TBP_HORIZONTAL) ? kHorizontal : kVertical;
    m_edited.alwaysOnTop = IsChecked(IDC_TBP_ON_TOP);
    m_edited.docked = IsChecked(IDC_TBP_DOCKED);
    m_edited.autohide = IsChecked(IDC_TBP_AUTOHIDE);
    m_edited.screenStrip = IsChecked(IDC_TBP_SCREEN_STRIP);
    for (const CornerChoice& choice : kCorners) {
        if (IsChecked(choice.control))
            m_edited.dockCorner = choice.corner;
    }
}

void CToolbarPositionPage::UpdatePreview() const
{
    HWND preview = GetDlgItem(Handle(), IDC_TBP_POSITION_PREVIEW);
    int corner = m_edited.dockCorner;
    for (const CornerChoice& choice : kCorners) {
        if (IsChecked(choice.control))
            corner = choice.corner;
    }
    const int perLine = m_edited.buttonsPerLine > 6 ? 6 : m_edited.buttonsPerLine;
    SendMessageA(preview, kPreviewSet1, IsChecked(IDC_TBP_HORIZONTAL) ? 1 : 0, 0);
    SendMessageA(preview, kPreviewSet2, static_cast<WPARAM>(perLine), 0);
    SendMessageA(preview, kPreviewSet3, static_cast<WPARAM>(PreviewPlace(IsChecked(IDC_TBP_DOCKED), corner)), 0);
    SendMessageA(preview, kPreviewSet4, IsChecked(IDC_TBP_AUTOHIDE) ? 1 : 0, 0);
}

BOOL CToolbarPositionPage::OnSetActive()
{
    ShowValues(m_edited);
    return TRUE;
}

BOOL CToolbarPositionPage::OnKillActive()
{
    ReadControls();
    return TRUE;
}

BOOL CToolbarPositionPage::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED)
        return FALSE;
    if (id == IDC_TBP_DOCKED)
        EnableCorners();
    EnableScreenStrip();
    UpdatePreview();
    SetChanged();
    return TRUE;
}

void CToolbarPositionPage::WriteToToolbar(BOOL opening)
{
    const Values& values = opening ? m_opening : m_edited;
    const ToolbarSettings& now = m_toolbar.Settings();
    const bool same = now.docked == values.docked && now.alwaysOnTop == values.alwaysOnTop
                      && now.orientation == values.orientation && now.dockCorner == values.dockCorner
                      && now.autohide == values.autohide;
    if (!same) {
        m_toolbar.ChangeSettings([&values, opening](ToolbarSettings& settings) {
            settings.docked = values.docked;
            settings.alwaysOnTop = values.alwaysOnTop;
            settings.orientation = values.orientation;
            settings.dockCorner = values.dockCorner;
            settings.autohide = values.autohide;
            // Going back restores the line length a change of orientation refitted.
            if (opening)
                settings.buttonsPerLine = values.buttonsPerLine;
        });
        m_toolbar.SetCollapsed(values.autohide);
        if (CToolbarSet* set = m_toolbar.Set())
            set->ArrangeDocked(nullptr);
        // A floating toolbar goes back to where it stood: docking kept its
        // old place nowhere in the settings.
        if (opening && !values.docked && m_toolbar.Handle() && m_openingRect.right > m_openingRect.left)
            SetWindowPos(m_toolbar.Handle(), nullptr, m_openingRect.left, m_openingRect.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // After the docking: the strip is claimed along the edge just chosen.
    if (m_toolbar.ScreenStripOption() != values.screenStrip)
        m_toolbar.SetScreenStripOption(values.screenStrip);
}
