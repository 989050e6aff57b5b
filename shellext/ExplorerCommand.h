// The shell's Find menu entry that starts Lintel Explorer.  The shell shows
// it under the name it was registered with, so the object adds no item of
// its own; it only runs the one command.
#pragma once

#include "Module.h"

#include "../common/ComObject.h"

#include <shlobj.h>

class CExplorerCommand final : public CComObject<CExplorerCommand, IShellExtInit, IContextMenu>
{
public:
    static HRESULT Create(REFIID iid, void** object);

    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY key) override;
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR offset, UINT request, UINT* reserved, CHAR* buffer, UINT size) override;

private:
    CExplorerCommand();

    CModuleReference m_module;
};
