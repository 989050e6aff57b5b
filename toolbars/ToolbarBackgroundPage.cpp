#include "ToolbarBackgroundPage.h"

#include "Toolbar.h"
#include "ToolbarAppearance.h"
#include "../common/ScopedHandle.h"
#include "../resources/lintel/resource.h"

#include <commdlg.h>

namespace {

const DWORD kHelpIds[] = {
    IDC_TBP_GRADIENT,   IDH_TBP_GRADIENT,   IDC_TBP_START_COLOUR,     IDH_TBP_START_COLOUR,
    IDC_TBP_END_COLOUR, IDH_TBP_END_COLOUR, IDC_TBP_GRADIENT_PREVIEW, IDH_TBP_GRADIENT_PREVIEW,
    0,                  0,
};

COLORREF EntryColour(HWND list, int index)
{
    return static_cast<COLORREF>(SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

} // namespace

CToolbarBackgroundPage::CToolbarBackgroundPage(CToolbar& toolbar)
    : CToolbarPage(IDD_TBP_BACKGROUND, IDS_TBP_BACKGROUND, toolbar, kHelpIds)
{
    const ToolbarSettings& settings = toolbar.Settings();
    m_opening = Values{settings.useGradient, settings.startIsSystem, settings.startColour, settings.endIsSystem,
                       settings.endColour};
    m_edited = m_opening;
}

void CToolbarBackgroundPage::FillList(int control, COLORREF colour, BOOL isSystem) const
{
    HWND list = GetDlgItem(Handle(), control);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    const int selected = ColourIndexFor(colour, isSystem);
    // A colour no name fits opens in "Custom"; otherwise "Custom" offers
    // the colour the dialog starts from.
    const COLORREF custom = selected == kColourCustom ? colour : kInitialCustomColour;
    for (int i = 0; i < kColourCount; ++i) {
        const NamedColour entry = ColourEntry(i, custom);
        const LRESULT index = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name));
        if (index >= 0)
            SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(entry.value));
    }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void CToolbarBackgroundPage::ReadList(int control, BOOL& isSystem, COLORREF& colour) const
{
    HWND list = GetDlgItem(Handle(), control);
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected < 0)
        return;
    isSystem = selected == kColourDefault;
    colour = EntryColour(list, static_cast<int>(selected));
}

BOOL CToolbarBackgroundPage::OnInitDialog()
{
    // The lists are filled once: the custom colour a user picked stays in
    // its entry when the page is left and shown again.
    FillList(IDC_TBP_START_COLOUR, m_edited.startColour, m_edited.startIsSystem);
    FillList(IDC_TBP_END_COLOUR, m_edited.endColour, m_edited.endIsSystem);
    return TRUE;
}

BOOL CToolbarBackgroundPage::OnSetActive()
{
    Check(IDC_TBP_GRADIENT, m_edited.useGradient);
    Enable(IDC_TBP_END_COLOUR, m_edited.useGradient);
    UpdatePreview();
    return TRUE;
}

BOOL CToolbarBackgroundPage::OnKillActive()
{
    ReadControls();
    return TRUE;
}

void CToolbarBackgroundPage::ReadControls()
{
    m_edited.useGradient = IsChecked(IDC_TBP_GRADIENT);
    ReadList(IDC_TBP_START_COLOUR, m_edited.startIsSystem, m_edited.startColour);
    ReadList(IDC_TBP_END_COLOUR, m_edited.endIsSystem, m_edited.endColour);
}

void CToolbarBackgroundPage::UpdatePreview() const
{
    BOOL startSystem = m_edited.startIsSystem;
    BOOL endSystem = m_edited.endIsSystem;
    COLORREF start = m_edited.startColour;
    COLORREF end = m_edited.endColour;
    ReadList(IDC_TBP_START_COLOUR, startSystem, start);
    ReadList(IDC_TBP_END_COLOUR, endSystem, end);
    if (!IsChecked(IDC_TBP_GRADIENT))
        end = start;
    HWND preview = GetDlgItem(Handle(), IDC_TBP_GRADIENT_PREVIEW);
    SendMessageA(preview, kPreviewSet1, 0, static_cast<LPARAM>(start));
    SendMessageA(preview, kPreviewSet2, 0, static_cast<LPARAM>(end));
}

void CToolbarBackgroundPage::ChooseCustom(int control) const
{
    HWND list = GetDlgItem(Handle(), control);
    static COLORREF s_customColours[16] = {};
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = Sheet();
    choice.rgbResult = EntryColour(list, kColourCustom);
    choice.lpCustColors = s_customColours;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (ChooseColorA(&choice))
        SendMessageA(list, CB_SETITEMDATA, kColourCustom, static_cast<LPARAM>(choice.rgbResult));
    InvalidateRect(list, nullptr, TRUE);
}

BOOL CToolbarBackgroundPage::OnCommand(UINT id, UINT code, HWND)
{
    if (id == IDC_TBP_GRADIENT && code == BN_CLICKED) {
        Enable(IDC_TBP_END_COLOUR, IsChecked(IDC_TBP_GRADIENT));
    } else if ((id == IDC_TBP_START_COLOUR || id == IDC_TBP_END_COLOUR) && code == CBN_SELCHANGE) {
        if (SendDlgItemMessageA(Handle(), static_cast<int>(id), CB_GETCURSEL, 0, 0) == kColourCustom)
            ChooseCustom(static_cast<int>(id));
    } else {
        return FALSE;
    }
    UpdatePreview();
    SetChanged();
    return TRUE;
}

void CToolbarBackgroundPage::DrawEntry(const DRAWITEMSTRUCT& item) const
{
    if (item.itemID == static_cast<UINT>(-1))
        return;
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT swatch{item.rcItem.left + 2, item.rcItem.top + 2, item.rcItem.left + 22, item.rcItem.bottom - 2};
    {
        CBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(item.itemData)));
        FillRect(dc, &swatch, brush.Get());
        FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    char name[64] = {};
    if (SendMessageA(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0) < static_cast<LRESULT>(sizeof name))
        SendMessageA(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(name));
    RECT text = item.rcItem;
    text.left = swatch.right + 4;
    const COLORREF oldText = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &item.rcItem);
}

INT_PTR CToolbarBackgroundPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(second);
        if (item && item->CtlType == ODT_COMBOBOX) {
            DrawEntry(*item);
            return TRUE;
        }
    }
    return CToolbarPage::PageProc(handle, message, first, second);
}

void CToolbarBackgroundPage::WriteToToolbar(BOOL opening)
{
    const Values& values = opening ? m_opening : m_edited;
    const ToolbarSettings& now = m_toolbar.Settings();
    if (now.useGradient == values.useGradient && now.startIsSystem == values.startIsSystem
        && now.startColour == values.startColour && now.endIsSystem == values.endIsSystem
        && now.endColour == values.endColour)
        return;
    // The toolbar hands the buttons their new background and repaints.
    m_toolbar.ChangeSettings([&values](ToolbarSettings& settings) {
        settings.useGradient = values.useGradient;
        settings.startIsSystem = values.startIsSystem;
        settings.startColour = values.startColour;
        settings.endIsSystem = values.endIsSystem;
        settings.endColour = values.endColour;
    });
    if (m_toolbar.Handle())
        RedrawWindow(m_toolbar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}
