#include "CheckList.h"

#include "../common/Application.h"
#include "../resources/wizard/wizard_res.h"

#include <windowsx.h>

namespace {

constexpr int kCheckSize = 13;
constexpr int kCheckLeft = 2;
constexpr int kTextLeft = 17;
constexpr int kIconSize = 16;
// Only a press on the check picture toggles; one on the text just selects.
constexpr int kCheckHitLeft = 2;
constexpr int kCheckHitRight = 15;
constexpr UINT_PTR kSubclassId = 1;

} // namespace

void CCheckList::Attach(HWND dialog, int controlId, int minimumHeight)
{
    Detach();
    m_list = GetDlgItem(dialog, controlId);
    if (!m_list)
        return;
    LRESULT height = SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0);
    if (height != LB_ERR && height < minimumHeight) {
        SendMessageA(m_list, LB_SETITEMHEIGHT, 0, MAKELPARAM(minimumHeight, 0));
        height = minimumHeight;
    }
    // The list was sized in dialog units for the font's item height; with a
    // taller item its last row would show cut in half.  It keeps the whole
    // rows that fit.
    if (height > 0 && (GetWindowLongA(m_list, GWL_STYLE) & LBS_NOINTEGRALHEIGHT)) {
        RECT window{};
        RECT client{};
        GetWindowRect(m_list, &window);
        GetClientRect(m_list, &client);
        const int frame = (window.bottom - window.top) - client.bottom;
        const int rows = client.bottom / static_cast<int>(height);
        if (rows > 0 && client.bottom % height != 0)
            SetWindowPos(m_list, nullptr, 0, 0, window.right - window.left,
                         frame + rows * static_cast<int>(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_checked.Reset(LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_CHECKED)));
    m_unchecked.Reset(LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_UNCHECKED)));
    SetWindowSubclass(m_list, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(dialog));
}

void CCheckList::Detach()
{
    if (m_list && IsWindow(m_list))
        RemoveWindowSubclass(m_list, ListProc, kSubclassId);
    m_list = nullptr;
}

LRESULT CALLBACK CCheckList::ListProc(HWND list, UINT message, WPARAM first, LPARAM second, UINT_PTR,
                                      DWORD_PTR data)
{
    const auto dialog = reinterpret_cast<HWND>(data);
    if (message == WM_LBUTTONDOWN) {
        const int x = GET_X_LPARAM(second);
        if (x > kCheckHitLeft && x < kCheckHitRight) {
            const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, second);
            // The high word is set for a point below the last item.
            if (hit != LB_ERR && HIWORD(hit) == 0)
                PostMessageA(dialog, UM_TOGGLE_CHECK, LOWORD(hit), 0);
        }
    } else if (message == WM_KEYDOWN && first == VK_SPACE) {
        const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR)
            PostMessageA(dialog, UM_TOGGLE_CHECK, static_cast<WPARAM>(selected), 0);
        return 0;
    }
    return DefSubclassProc(list, message, first, second);
}

void CCheckList::Redraw(int index) const
{
    if (!m_list)
        return;
    RECT item{};
    if (SendMessageA(m_list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
        InvalidateRect(m_list, &item, FALSE);
}

void CCheckList::Draw(const DRAWITEMSTRUCT& draw, bool checked, const char* text, HIMAGELIST images, int image) const
{
    HDC dc = draw.hDC;
    RECT area = draw.rcItem;
    if (draw.itemID == static_cast<UINT>(-1)) {
        if (draw.itemState & ODS_FOCUS)
            DrawFocusRect(dc, &area);
        return;
    }
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    HBITMAP check = checked ? m_checked.Get() : m_unchecked.Get();
    if (check) {
        HDC memory = CreateCompatibleDC(dc);
        if (memory) {
            HGDIOBJ previous = SelectObject(memory, check);
            const int top = area.top + (area.bottom - area.top - kCheckSize) / 2;
            BitBlt(dc, area.left + kCheckLeft, top, kCheckSize, kCheckSize, memory, 0, 0, SRCCOPY);
            SelectObject(memory, previous);
            DeleteDC(memory);
        }
    }
    RECT textArea = area;
    textArea.left += kTextLeft;
    if (images) {
        if (image >= 0)
            ImageList_Draw(images, image, dc, textArea.left, area.top + (area.bottom - area.top - kIconSize) / 2,
                           ILD_TRANSPARENT);
        textArea.left += kIconSize + 3;
    }
    const COLORREF oldText = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, text ? text : "", -1, &textArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    if (draw.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &area);
}
