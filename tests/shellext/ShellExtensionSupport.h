// What the tests of ltlext.dll share: the library registered from the build
// for the whole run (as setup registers it), its objects made the way the
// shell makes them, the shell's own data objects for real files, and the
// items a context menu handler put on a menu.
#pragma once

#include "driver/Driver.h"

#include <common/ComPtr.h>

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace shellext {

extern const CLSID kToolbarMenuClass;     // {C43D4080-E099-11D0-A191-444553540000}
extern const CLSID kExplorerCommandClass; // {C43D4081-E099-11D0-A191-444553540000}

std::string LibraryPath();

// The registry view of the library of this build: the one of the tests' own
// bitness, as a shell loads only a library of its own bitness.
REGSAM OwnView();
REGSAM OtherView();

// Runs ltlextreg with the arguments and gives its exit code (or -1).
int RunRegistrationTool(const std::string& arguments);

// The library's exports, from a reference of the test's own so that COM's
// unloading of unused libraries never pulls it away during a test.
struct LibraryExports {
    HMODULE module = nullptr;
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
};
const LibraryExports& Exports();

// The shell's data object for existing files of one folder, from the
// folder's own GetUIObjectOf, as the shell hands it to IShellExtInit.
CComPtr<IDataObject> ShellDataObject(const std::vector<std::string>& paths);

// A context menu object of the class, made by CoCreateInstance and given
// the data object (null: none).
CComPtr<IContextMenu> MakeMenuObject(REFCLSID clsid, IDataObject* data);

struct MenuEntry {
    std::string text;
    UINT id = 0;
    bool popup = false;
    std::vector<MenuEntry> items;   // a popup's own items
    bool operator==(const MenuEntry& other) const
    {
        return text == other.text && id == other.id && popup == other.popup && items == other.items;
    }
};
std::vector<MenuEntry> MenuEntries(HMENU menu);
std::string Describe(const std::vector<MenuEntry>& entries);

// InvokeCommand with a command offset, as the shell calls it for a chosen item.
HRESULT InvokeOffset(IContextMenu* menu, UINT offset, DWORD mask = 0, HWND owner = nullptr);
HRESULT InvokeVerb(IContextMenu* menu, const char* verb, DWORD mask = 0);

// The titles of the top-level toolbar windows in the order the system
// enumerates them now.
std::vector<std::string> EnumeratedToolbarTitles();

} // namespace shellext
