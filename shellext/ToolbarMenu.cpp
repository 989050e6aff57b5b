#include "ToolbarMenu.h"

#include "CommandText.h"

#include "../common/ControlMessages.h"
#include "../common/ScopedHandle.h"
#include "../common/ToolbarWindows.h"
#include "../common/TraceLog.h"
#include "../resources/shellext/shellext_res.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const CComInterface kMenuInterfaces[] = {
    COM_INTERFACE(CToolbarMenu, IShellExtInit),
    COM_INTERFACE(CToolbarMenu, IContextMenu),
};

// Menu texts longer than this are cut.
constexpr int kMenuTextLength = 62;

struct CToolbarList {
    HWND* windows;
    int count;
};

BOOL CALLBACK CollectToolbar(HWND window, LPARAM data)
{
    auto* list = reinterpret_cast<CToolbarList*>(data);
    char className[64]{};
    if (GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, LINTEL_TOOLBAR_CLASS) == 0)
        list->windows[list->count++] = window;
    return list->count < CToolbarMenu::kMaxToolbars;
}

// A menu item's text: cut to the menu's length, with each ampersand doubled
// so that a name shows as it is rather than as a mnemonic.
void MenuLabel(const char* text, char* label, int size)
{
    int written = 0;
    for (int i = 0; text[i] && i < kMenuTextLength && written + 2 < size; ++i) {
        label[written++] = text[i];
        if (text[i] == '&')
            label[written++] = '&';
    }
    label[written] = '\0';
}

} // namespace

CToolbarMenu::CToolbarMenu() : CComObject(kMenuInterfaces, {nullptr, nullptr, nullptr, nullptr}) {}

HRESULT CToolbarMenu::Create(REFIID iid, void** object)
{
    CToolbarMenu* menu = new (std::nothrow) CToolbarMenu();
    if (!menu)
        return E_OUTOFMEMORY;
    const HRESULT hr = menu->QueryInterface(iid, object);
    menu->Release();
    return hr;
}

STDMETHODIMP CToolbarMenu::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY)
{
    if (data)
        data->AddRef();
    m_data.Reset(data);
    return S_OK;
}

STDMETHODIMP CToolbarMenu::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags)
{
    m_count = 0;
    m_popup = FALSE;
    CToolbarList found{m_toolbars, 0};
    EnumWindows(CollectToolbar, reinterpret_cast<LPARAM>(&found));
    if (found.count == 0 || (flags & 0x0F) == CMF_DEFAULTONLY || firstId > lastId)
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    for (int i = 0; i < found.count; ++i) {
        m_titles[i][0] = '\0';
        GetWindowTextA(m_toolbars[i], m_titles[i], sizeof m_titles[i]);
    }

    char label[2 * kMenuTextLength + 1]{};
    if (found.count == 1) {
        char name[MAX_PATH + 1]{};
        if (m_titles[0][0])
            lstrcpynA(name, m_titles[0], sizeof name);
        else
            LoadModuleString(IDS_EXT_TOOLBAR, name, sizeof name);
        char format[64]{};
        LoadModuleString(IDS_EXT_ADD_TO, format, sizeof format);
        char text[MAX_PATH + 64]{};
        std::snprintf(text, sizeof text, format, name);
        MenuLabel(text, label, sizeof label);
        if (!InsertMenuA(menu, index, MF_BYPOSITION | MF_STRING, firstId, label))
            return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
        m_count = 1;
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
    }

    // The items take firstId + 1 onwards; toolbars whose id would pass
    // lastId are left off.
    const UINT room = lastId - firstId;
    const int shown = room < static_cast<UINT>(found.count) ? static_cast<int>(room) : found.count;
    if (shown == 0)
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    CMenuHandle popup(CreatePopupMenu());
    if (!popup)
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    char unknown[64]{};
    LoadModuleString(IDS_EXT_UNKNOWN, unknown, sizeof unknown);
    for (int i = 0; i < shown; ++i) {
        MenuLabel(m_titles[i][0] ? m_titles[i] : unknown, label, sizeof label);
        if (!AppendMenuA(popup.Get(), MF_STRING, firstId + 1 + i, label))
            return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    }
    char popupText[64]{};
    LoadModuleString(IDS_EXT_ADD_TO_POPUP, popupText, sizeof popupText);
    if (!InsertMenuA(menu, index, MF_BYPOSITION | MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Get()),
                     popupText))
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    popup.Release();   // the menu owns it now
    m_count = shown;
    m_popup = TRUE;
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, shown + 1);
}

int CToolbarMenu::ToolbarOfCommand(UINT_PTR offset) const
{
    if (offset == 0)
        return m_count == 1 && !m_popup ? 0 : -1;
    return offset - 1 < static_cast<UINT_PTR>(m_count) ? static_cast<int>(offset - 1) : -1;
}

BOOL CToolbarMenu::VerbOfCommand(UINT_PTR offset, char* verb, int size) const
{
    if (ToolbarOfCommand(offset) < 0)
        return FALSE;
    char base[32]{};
    LoadModuleString(IDS_EXT_ADD_VERB, base, sizeof base);
    if (offset == 0)
        std::snprintf(verb, static_cast<size_t>(size), "%s", base);
    else
        std::snprintf(verb, static_cast<size_t>(size), "%s%u", base, static_cast<unsigned>(offset));
    return TRUE;
}

int CToolbarMenu::CommandOfVerb(const char* verb) const
{
    for (int offset = 0; offset <= m_count; ++offset) {
        char known[48]{};
        if (VerbOfCommand(static_cast<UINT_PTR>(offset), known, sizeof known) && lstrcmpiA(known, verb) == 0)
            return offset;
    }
    return -1;
}

STDMETHODIMP CToolbarMenu::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    if (!info || info->cbSize < sizeof(CMINVOKECOMMANDINFO))
        return E_INVALIDARG;
    UINT_PTR offset = 0;
    if (IS_INTRESOURCE(info->lpVerb)) {
        offset = reinterpret_cast<UINT_PTR>(info->lpVerb);
    } else {
        // A verb by name is taken only when it is one GetCommandString gave.
        const int named = CommandOfVerb(info->lpVerb);
        if (named < 0)
            return E_INVALIDARG;
        offset = static_cast<UINT_PTR>(named);
    }
    const int toolbar = ToolbarOfCommand(offset);
    if (toolbar < 0)
        return E_INVALIDARG;
    return AddToToolbar(toolbar, info->hwnd, (info->fMask & CMIC_MASK_FLAG_NO_UI) != 0);
}

HRESULT CToolbarMenu::AddToToolbar(int toolbar, HWND owner, BOOL quiet)
{
    // The window was found when the menu was built; since then the toolbar
    // may have closed, the main program ended, or the handle gone to another
    // program's window.
    HWND main = FindMainProgramWindow();
    // Without the main program no toolbar can take the selection, and the
    // user has nothing to be told about a window that is not Lintel's.
    if (!main)
        return E_FAIL;
    if (!IsToolbarWindowOf(m_toolbars[toolbar], main)) {
        if (!quiet) {
            char text[256]{};
            LoadModuleString(IDS_EXT_TOOLBAR_GONE, text, sizeof text);
            MessageBoxA(owner, text, m_titles[toolbar], MB_OK | MB_ICONEXCLAMATION | (owner ? 0 : MB_TASKMODAL));
        }
        return E_FAIL;
    }
    char name[MAX_PATH + 1]{};
    if (GetWindowTextA(m_toolbars[toolbar], name, sizeof name) <= 0)
        return E_FAIL;
    StripProtectedMark(name);
    if (!m_data)
        return E_FAIL;

    // The atom first: a name too long for one (256 characters or more) fails
    // here, before the clipboard has changed, and a failed atom is 0, which
    // posted would mean the toolbar in slot 0.
    CGlobalAtom atom(GlobalAddAtomA(name));
    if (!atom)
        return E_FAIL;
    HRESULT hr = OleSetClipboard(m_data.Get());
    if (FAILED(hr)) {
        TraceResult(hr);
        return E_FAIL;
    }
    // Rendered now, the selection no longer needs the shell's object, which
    // goes when the menu does.
    hr = OleFlushClipboard();
    if (FAILED(hr)) {
        TraceResult(hr);
        OleSetClipboard(nullptr);
        return E_FAIL;
    }
    if (!PostMessageA(main, UM_ADDBUTTON, atom.Get(), 0))
        return E_FAIL;
    atom.Release();   // the main program deletes it
    return S_OK;
}

STDMETHODIMP CToolbarMenu::GetCommandString(UINT_PTR offset, UINT request, UINT*, CHAR* buffer, UINT size)
{
    const BOOL onMenu = ToolbarOfCommand(offset) >= 0 || (offset == 0 && m_popup);
    const CCommandRequest asked = CommandRequestOf(request);
    if (asked == CCommandRequest::kOther)
        return E_NOTIMPL;
    if (asked == CCommandRequest::kValidate)
        return onMenu ? S_OK : S_FALSE;
    if (!onMenu)
        return E_INVALIDARG;
    char text[256]{};
    if (asked == CCommandRequest::kHelpText) {
        LoadModuleString(offset == 0 && m_popup ? IDS_EXT_CHOOSE_HELP : IDS_EXT_ADD_HELP, text, sizeof text);
    } else if (!VerbOfCommand(offset, text, sizeof text)) {
        return E_INVALIDARG;
    }
    return WriteCommandText(request, text, buffer, size);
}
