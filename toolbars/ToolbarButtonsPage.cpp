#include "ToolbarButtonsPage.h"

#include "Toolbar.h"
#include "ToolbarPropertySheet.h"
#include "ToolbarSet.h"
#include "../buttons/ToolButton.h"
#include "../common/Application.h"
#include "../resources/lintel/resource.h"

#include <commctrl.h>

CToolbarButtonsPage::CToolbarButtonsPage(CToolbar& toolbar)
    : CToolbarPage(IDD_TBP_BUTTONS, IDS_TBP_BUTTONS, toolbar, nullptr),
      m_openingMenuButtons(toolbar.Settings().showMenuButtons), m_editedMenuButtons(m_openingMenuButtons)
{
}

BOOL CToolbarButtonsPage::OnInitDialog()
{
    HWND list = GetDlgItem(Handle(), IDC_TBP_BUTTON_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    CText title;
    if (!title.LoadString(AppInstance(), IDS_TBP_DESCRIPTION))
        title = "Description";
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 200;
    column.pszText = const_cast<char*>(title.c_str());
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

    const UINT bitmaps[2] = {IDB_TBP_MOVE_UP, IDB_TBP_MOVE_DOWN};
    const int controls[2] = {IDC_TBP_MOVE_UP, IDC_TBP_MOVE_DOWN};
    for (int i = 0; i < 2; ++i) {
        m_moveBitmaps[i].Reset(static_cast<HBITMAP>(
            LoadImageA(AppInstance(), MAKEINTRESOURCEA(bitmaps[i]), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
        SendDlgItemMessageA(Handle(), controls[i], BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(m_moveBitmaps[i].Get()));
    }
    if (CToolbarPropertySheet* sheet = CToolbarPropertySheet::Current())
        sheet->SetButtonsPage(this);
    Refresh();
    Select(0);
    return TRUE;
}

BOOL CToolbarButtonsPage::OnSetActive()
{
    Check(IDC_TBP_SHOW_MENU_BUTTON, m_editedMenuButtons);
    UpdateButtons();
    return TRUE;
}

BOOL CToolbarButtonsPage::OnKillActive()
{
    ReadControls();
    return TRUE;
}

void CToolbarButtonsPage::ReadControls()
{
    m_editedMenuButtons = IsChecked(IDC_TBP_SHOW_MENU_BUTTON);
}

void CToolbarButtonsPage::Refresh()
{
    HWND list = GetDlgItem(Handle(), IDC_TBP_BUTTON_LIST);
    if (!list)
        return;
    const int selected = SelectedIndex();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    CText spaceText;
    if (!spaceText.LoadString(AppInstance(), IDS_TBP_SPACE))
        spaceText = "(Space)";
    for (int i = 0; i < m_toolbar.Count(); ++i) {
        CText text;
        if (m_toolbar.Button(i)->Kind() == kKindSpace)
            text = spaceText;
        else
            m_toolbar.Button(i)->GetDescription(text);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>(text.c_str());
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    Select(selected < m_toolbar.Count() ? selected : m_toolbar.Count() - 1);
    UpdateButtons();
}

int CToolbarButtonsPage::SelectedIndex() const
{
    return ListView_GetNextItem(GetDlgItem(Handle(), IDC_TBP_BUTTON_LIST), -1, LVNI_SELECTED);
}

CToolButton* CToolbarButtonsPage::Selected() const
{
    return m_toolbar.Button(SelectedIndex());
}

void CToolbarButtonsPage::Select(int index) const
{
    if (index < 0)
        return;
    HWND list = GetDlgItem(Handle(), IDC_TBP_BUTTON_LIST);
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, index, FALSE);
}

void CToolbarButtonsPage::UpdateButtons() const
{
    const int index = SelectedIndex();
    const CToolButton* selected = m_toolbar.Button(index);
    const BOOL adding = !m_toolbar.IsRestricted(kProtectAdd);
    const BOOL clipboard = !m_toolbar.IsRestricted(kProtectClipboard);
    Enable(IDC_TBP_ADD, selected && adding);
    Enable(IDC_TBP_ADD_SPACE, adding);
    Enable(IDC_TBP_PROPERTIES,
           selected && selected->Kind() != kKindSpace && !m_toolbar.IsRestricted(kProtectButtonProperties));
    Enable(IDC_TBP_DELETE, selected && !m_toolbar.IsRestricted(kProtectRemove));
    // Reordering is a cut and a paste in one.
    ShowWindow(GetDlgItem(Handle(), IDC_TBP_MOVE_UP), selected && index > 0 && clipboard ? SW_SHOWNA : SW_HIDE);
    ShowWindow(GetDlgItem(Handle(), IDC_TBP_MOVE_DOWN),
               selected && index + 1 < m_toolbar.Count() && clipboard ? SW_SHOWNA : SW_HIDE);
}

void CToolbarButtonsPage::MoveSelected(int step)
{
    const int index = SelectedIndex();
    if (index < 0 || m_toolbar.IsRestricted(kProtectClipboard))
        return;
    if (m_toolbar.SwapButtons(index, index + step))
        Select(index + step);
    UpdateButtons();
}

void CToolbarButtonsPage::DeleteSelected()
{
    CToolButton* button = Selected();
    if (!button || m_toolbar.IsRestricted(kProtectRemove))
        return;
    // The toolbar lists its buttons again on the page.
    m_toolbar.Remove(button);
}

void CToolbarButtonsPage::ShowSelectedProperties()
{
    CToolButton* button = Selected();
    if (!button || button->Kind() == kKindSpace || m_toolbar.IsRestricted(kProtectButtonProperties))
        return;
    // The button's own sheet is modal to the toolbar; this one must wait.
    HWND sheet = Sheet();
    EnableWindow(sheet, FALSE);
    const auto alive = button->AliveToken();
    button->ShowProperties();
    EnableWindow(sheet, TRUE);
    SetForegroundWindow(sheet);
    if (*alive)
        Refresh();
}

void CToolbarButtonsPage::ShowItemMenu(int x, int y)
{
    CToolButton* button = Selected();
    if (!button)
        return;
    if (button->Kind() != kKindSpace) {
        // The button's own menu may delete it; the toolbar then lists its
        // buttons again itself.
        const auto alive = button->AliveToken();
        button->OnRightClick(1);
        if (*alive)
            Refresh();
        return;
    }
    CMenuHandle menus(LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_BUTTON_MENU)));
    if (!menus)
        return;
    HMENU menu = GetSubMenu(menus.Get(), 0);
    for (UINT id : {IDC_BTN_CUT, IDC_BTN_COPY, IDC_BTN_PASTE, IDC_BTN_PROPERTIES})
        EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
    if (m_toolbar.IsRestricted(kProtectRemove))
        EnableMenuItem(menu, IDC_BTN_DELETE, MF_BYCOMMAND | MF_GRAYED);
    SetMenuContextHelpId(menu, HELP_TBP_SPACE_MENU);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, Handle(), nullptr));
    if (chosen == IDC_BTN_DELETE)
        DeleteSelected();
}

BOOL CToolbarButtonsPage::EndLabelEdit(const NMLVDISPINFOA& info)
{
    CToolButton* button = m_toolbar.Button(info.item.iItem);
    if (!button || button->Kind() == kKindSpace || !info.item.pszText)
        return FALSE;
    button->SetDescription(info.item.pszText);
    m_toolbar.SetDirty();
    m_toolbar.Relayout(TRUE);
    return TRUE;
}

BOOL CToolbarButtonsPage::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_TBP_ADD:
        if (Selected() && !m_toolbar.IsRestricted(kProtectAdd))
            m_toolbar.ShowAddMenu();
        break;
    case IDC_TBP_ADD_SPACE:
        if (!m_toolbar.IsRestricted(kProtectAdd))
            m_toolbar.AddButton(kKindSpace, Selected());
        break;
    case IDC_TBP_PROPERTIES:
        ShowSelectedProperties();
        break;
    case IDC_TBP_DELETE:
        DeleteSelected();
        break;
    case IDC_TBP_MOVE_UP:
    case IDC_TBP_MOVE_DOWN:
        MoveSelected(id == IDC_TBP_MOVE_UP ? -1 : 1);
        break;
    case IDC_TBP_SHOW_MENU_BUTTON:
        SetChanged();
        break;
    default:
        return FALSE;
    }
    return TRUE;
}

INT_PTR CToolbarButtonsPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_DESTROY:
        if (CToolbarPropertySheet* sheet = CToolbarPropertySheet::Current())
            sheet->SetButtonsPage(nullptr);
        break;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(first) == GetDlgItem(handle, IDC_TBP_BUTTON_LIST)) {
            int x = static_cast<short>(LOWORD(second));
            int y = static_cast<short>(HIWORD(second));
            // Shift+F10 and the menu key give no point: the menu goes by the item.
            if (second == -1) {
                RECT item{};
                ListView_GetItemRect(GetDlgItem(handle, IDC_TBP_BUTTON_LIST), SelectedIndex(), &item, LVIR_LABEL);
                POINT point{item.left, item.bottom};
                ClientToScreen(GetDlgItem(handle, IDC_TBP_BUTTON_LIST), &point);
                x = point.x;
                y = point.y;
            }
            ShowItemMenu(x, y);
            return TRUE;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(second);
        if (header->idFrom != IDC_TBP_BUTTON_LIST)
            break;
        switch (header->code) {
        case LVN_ITEMCHANGED:
            UpdateButtons();
            return TRUE;
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN*>(second)->wVKey == VK_DELETE)
                DeleteSelected();
            return TRUE;
        case LVN_BEGINLABELEDITA: {
            // A space has no description to edit.
            const auto* info = reinterpret_cast<const NMLVDISPINFOA*>(second);
            const CToolButton* button = m_toolbar.Button(info->item.iItem);
            SetWindowLongPtrA(handle, DWLP_MSGRESULT, !button || button->Kind() == kKindSpace);
            return TRUE;
        }
        case LVN_ENDLABELEDITA:
            SetWindowLongPtrA(handle, DWLP_MSGRESULT,
                              EndLabelEdit(*reinterpret_cast<const NMLVDISPINFOA*>(second)));
            return TRUE;
        default:
            return FALSE;
        }
    }
    default:
        break;
    }
    return CToolbarPage::PageProc(handle, message, first, second);
}

void CToolbarButtonsPage::WriteToToolbar(BOOL opening)
{
    const BOOL value = opening ? m_openingMenuButtons : m_editedMenuButtons;
    if (m_toolbar.Settings().showMenuButtons == value)
        return;
    m_toolbar.ChangeSettings([value](ToolbarSettings& settings) { settings.showMenuButtons = value; });
    if (CToolbarSet* set = m_toolbar.Set())
        set->ArrangeDocked(nullptr);
}
