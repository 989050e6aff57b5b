#include "ExplorerCommand.h"

#include "CommandText.h"

#include "../common/RegistryKey.h"
#include "../resources/shellext/shellext_res.h"

#include <shellapi.h>

#include <new>

namespace {

const CComInterface kCommandInterfaces[] = {
    COM_INTERFACE(CExplorerCommand, IShellExtInit),
    COM_INTERFACE(CExplorerCommand, IContextMenu),
};

} // namespace

CExplorerCommand::CExplorerCommand() : CComObject(kCommandInterfaces, {nullptr, nullptr, nullptr, nullptr}) {}

HRESULT CExplorerCommand::Create(REFIID iid, void** object)
{
    CExplorerCommand* command = new (std::nothrow) CExplorerCommand();
    if (!command)
        return E_OUTOFMEMORY;
    const HRESULT hr = command->QueryInterface(iid, object);
    command->Release();
    return hr;
}

STDMETHODIMP CExplorerCommand::Initialize(PCIDLIST_ABSOLUTE, IDataObject*, HKEY)
{
    return S_OK;
}

STDMETHODIMP CExplorerCommand::QueryContextMenu(HMENU, UINT, UINT, UINT, UINT)
{
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
}

STDMETHODIMP CExplorerCommand::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    if (!info || info->cbSize < sizeof(CMINVOKECOMMANDINFO) || !IS_INTRESOURCE(info->lpVerb)
        || reinterpret_cast<UINT_PTR>(info->lpVerb) != 0)
        return E_INVALIDARG;

    char keyName[128]{};
    char valueName[64]{};
    LoadModuleString(IDS_EXT_REG_KEY, keyName, sizeof keyName);
    LoadModuleString(IDS_EXT_EXPLORER_VALUE, valueName, sizeof valueName);
    CText path;
    try {
        CRegistryKey key;
        if (!key.OpenKey(HKEY_LOCAL_MACHINE, keyName, CRegistryKey::kRead) || !key.GetStringValue(valueName, path))
            return E_FAIL;
    } catch (...) {
        // The text class throws when memory runs out; nothing may pass into the shell.
        return E_OUTOFMEMORY;
    }
    if (path.IsEmpty() || path.Length() > MAX_PATH)
        return E_FAIL;

    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.hwnd = info->hwnd;
    execute.lpFile = path.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&execute) ? S_OK : E_FAIL;
}

STDMETHODIMP CExplorerCommand::GetCommandString(UINT_PTR offset, UINT request, UINT*, CHAR* buffer, UINT size)
{
    const CCommandRequest asked = CommandRequestOf(request);
    if (asked == CCommandRequest::kOther)
        return E_NOTIMPL;
    if (asked == CCommandRequest::kValidate)
        return offset == 0 ? S_OK : S_FALSE;
    if (offset != 0)
        return E_INVALIDARG;
    char text[128]{};
    LoadModuleString(asked == CCommandRequest::kHelpText ? IDS_EXT_EXPLORER_HELP : IDS_EXT_EXPLORER_VERB, text,
                     sizeof text);
    return WriteCommandText(request, text, buffer, size);
}
