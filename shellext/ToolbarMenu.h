// The "Add to" item of the shell's context menu for files and folders: it
// lists the open toolbars and hands the selection to the chosen one by the
// OLE clipboard and UM_ADDBUTTON, as Lintel Explorer does.
#pragma once

#include "Module.h"

#include "../common/ComObject.h"
#include "../common/ComPtr.h"

#include <shellapi.h>
#include <shlobj.h>

class CToolbarMenu final : public CComObject<CToolbarMenu, IShellExtInit, IContextMenu>
{
public:
    static HRESULT Create(REFIID iid, void** object);

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY key) override;
    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR offset, UINT request, UINT* reserved, CHAR* buffer, UINT size) override;

    // More toolbars than this are left off the menu.
    static constexpr int kMaxToolbars = 10;

private:
    CToolbarMenu();

    // The toolbar a command offset stands for, or -1.
    int ToolbarOfCommand(UINT_PTR offset) const;
    // The offset a verb of ours stands for, or -1.
    int CommandOfVerb(const char* verb) const;
    // The language-independent name of an offset's command; FALSE when it has none.
    BOOL VerbOfCommand(UINT_PTR offset, char* verb, int size) const;
    HRESULT AddToToolbar(int toolbar, HWND owner, BOOL quiet);

    CModuleReference m_module;
    CComPtr<IDataObject> m_data;
    // The toolbars the last QueryContextMenu put on the menu, with the
    // titles they had then.
    HWND m_toolbars[kMaxToolbars]{};
    char m_titles[kMaxToolbars][MAX_PATH + 1]{};
    int m_count = 0;
    BOOL m_popup = FALSE;
};
