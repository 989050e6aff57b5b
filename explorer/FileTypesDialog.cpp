#include "FileTypesDialog.h"

#include "../common/Application.h"
#include "../common/Help.h"
#include "../common/TraceLog.h"
#include "../resources/explorer/explorer_res.h"

#include <commctrl.h>

namespace {

// The owner-drawn items must hold the 13-pixel check box whatever the dialog
// font makes of them.
constexpr int kMinItemHeight = 13;

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
        m_list.Detach();
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
    CheckListStyle style;
    style.toggleMessage = UM_FILETYPE_TOGGLE;
    style.checkedBitmap = IDB_CHECKED;
    style.uncheckedBitmap = IDB_UNCHECKED;
    style.minimumHeight = kMinItemHeight;
    m_list.Attach(Handle(), IDC_FILE_TYPE_LIST, style);
    const HWND list = m_list.Handle();
    if (!list)
        return TRUE;
    for (CDocumentType& entry : m_catalogue) {
        const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.description.c_str()));
        if (index == LB_ERR || index == LB_ERRSPACE)
            break;
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
    }
    return TRUE;
}

void CFileTypesDialog::Toggle(int index)
{
    const HWND list = m_list.Handle();
    if (!list)
        return;
    const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == LB_ERR || data == 0)
        return;
    auto* entry = reinterpret_cast<CDocumentType*>(data);
    entry->checked = entry->checked ? 0 : 1;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_list.Redraw(index);
}

void CFileTypesDialog::Reset()
{
    for (CDocumentType& entry : m_catalogue)
        entry.checked = 0;
    if (m_list.Handle())
        InvalidateRect(m_list.Handle(), nullptr, TRUE);
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
    const auto* entry = draw.itemID == static_cast<UINT>(-1) ? nullptr : reinterpret_cast<const CDocumentType*>(draw.itemData);
    m_list.Draw(draw, entry && entry->checked, entry ? entry->description.c_str() : "", nullptr, -1);
    return TRUE;
}
