#include "FileTypesDialog.h"

#include "../common/Application.h"
#include "../common/Help.h"
#include "../common/TraceLog.h"
#include "../resources/explorer/explorer_res.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {

constexpr int kMinItemHeight = 13;
constexpr int kCheckSize = 13;
constexpr int kCheckLeft = 2;
constexpr int kTextLeft = 17;
// A press toggles only inside the check box, so that a click on the text
// merely selects.
constexpr int kCheckHitLeft = 2;
constexpr int kCheckHitRight = 15;
constexpr UINT_PTR kListSubclassId = 1;

} // namespace

CFileTypesDialog::CFileTypesDialog(CWindowBase* parent, HWND parentHandle, std::vector<CDocumentType>& catalogue,
                                   CTypeFilter& filter)
    : CDialogBase(IDD_FILE_TYPES, parent, parentHandle), m_catalogue(catalogue), m_filter(filter)
{
}

INT_PTR CFileTypesDialog::DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(second);
        if (!draw || draw->CtlID != IDC_FILE_TYPE_LIST)
            return FALSE;
        return OnDrawItem(*draw);
    }
    case UM_FILETYPE_TOGGLE:
        Toggle(static_cast<int>(first));
        return TRUE;
    case WM_NCDESTROY:
        if (m_list)
            RemoveWindowSubclass(m_list, ListProc, kListSubclassId);
        m_list = nullptr;
        return FALSE;
    default:
        return CDialogBase::DialogProc(handle, message, first, second);
    }
}

BOOL CFileTypesDialog::OnInitDialog()
{
    // Cancel puts the checks back as they were when the dialog opened.
    m_checksAtOpen.clear();
    for (const CDocumentType& entry : m_catalogue)
        m_checksAtOpen.push_back(entry.checked);
    m_list = GetDlgItem(Handle(), IDC_FILE_TYPE_LIST);
    if (!m_list)
        return TRUE;
    // The owner-drawn items must hold the 13-pixel check box whatever the
    // dialog font makes of them.
    const LRESULT height = SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0);
    if (height != LB_ERR && height < kMinItemHeight)
        SendMessageA(m_list, LB_SETITEMHEIGHT, 0, MAKELPARAM(kMinItemHeight, 0));
    m_checked.Reset(LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_CHECKED)));
    m_unchecked.Reset(LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_UNCHECKED)));
    for (CDocumentType& entry : m_catalogue) {
        const LRESULT index = SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.description.c_str()));
        if (index == LB_ERR || index == LB_ERRSPACE)
            break;
        SendMessageA(m_list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
    }
    SetWindowSubclass(m_list, ListProc, kListSubclassId, reinterpret_cast<DWORD_PTR>(Handle()));
    return TRUE;
}

LRESULT CALLBACK CFileTypesDialog::ListProc(HWND list, UINT message, WPARAM first, LPARAM second, UINT_PTR,
                                            DWORD_PTR data)
{
    const auto dialog = reinterpret_cast<HWND>(data);
    if (message == WM_LBUTTONDOWN) {
        const int x = GET_X_LPARAM(second);
        if (x > kCheckHitLeft && x < kCheckHitRight) {
            const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, second);
            // The high word is set when the point lies below the last item.
            if (hit != LB_ERR && HIWORD(hit) == 0)
                PostMessageA(dialog, UM_FILETYPE_TOGGLE, LOWORD(hit), 0);
        }
    } else if (message == WM_KEYDOWN && first == VK_SPACE) {
        const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR)
            PostMessageA(dialog, UM_FILETYPE_TOGGLE, static_cast<WPARAM>(selected), 0);
        return 0;
    }
    return DefSubclassProc(list, message, first, second);
}

void CFileTypesDialog::Toggle(int index)
{
    if (!m_list)
        return;
    const LRESULT data = SendMessageA(m_list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == LB_ERR || data == 0)
        return;
    auto* entry = reinterpret_cast<CDocumentType*>(data);
    entry->checked = entry->checked ? 0 : 1;
    SendMessageA(m_list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    RECT item{};
    if (SendMessageA(m_list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
        InvalidateRect(m_list, &item, FALSE);
}

void CFileTypesDialog::Reset()
{
    for (CDocumentType& entry : m_catalogue)
        entry.checked = 0;
    if (m_list)
        InvalidateRect(m_list, nullptr, TRUE);
}

BOOL CFileTypesDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_FILE_TYPES_RESET:
        Reset();
        return TRUE;
    case IDC_FILE_TYPES_HELP:
        if (ShowHelp(IDH_FILE_TYPES))
            m_helpUsed = true;
        return TRUE;
    default:
        return CDialogBase::OnCommand(id, code, control);
    }
}

BOOL CFileTypesDialog::ShowHelp(UINT topic)
{
    CText helpFile;
    if (!helpFile.LoadString(AppInstance(), IDS_HELP_FILE))
        return FALSE;
    return ::ShowHelp(Handle(), helpFile.c_str(), HELP_CONTEXT, topic);
}

BOOL CFileTypesDialog::OnCancel()
{
    for (size_t i = 0; i < m_catalogue.size() && i < m_checksAtOpen.size(); ++i)
        m_catalogue[i].checked = m_checksAtOpen[i];
    return CDialogBase::OnCancel();
}

BOOL CFileTypesDialog::OnOK()
{
    for (const CDocumentType& entry : m_catalogue) {
        if (entry.checked)
            m_filter.Add(entry.description);
    }
    return CDialogBase::OnOK();
}

BOOL CFileTypesDialog::OnDrawItem(const DRAWITEMSTRUCT& draw)
{
    HDC dc = draw.hDC;
    RECT area = draw.rcItem;
    const auto* entry = draw.itemID == static_cast<UINT>(-1) ? nullptr : reinterpret_cast<const CDocumentType*>(draw.itemData);
    if (!entry) {
        if (draw.itemState & ODS_FOCUS)
            DrawFocusRect(dc, &area);
        return TRUE;
    }
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    HBITMAP check = entry->checked ? m_checked.Get() : m_unchecked.Get();
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

    const COLORREF oldText = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT text = area;
    text.left += kTextLeft;
    DrawTextA(dc, entry->description.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);

    if (draw.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &area);
    return TRUE;
}
