#include "ShellExtensionSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace shellext {

const CLSID kToolbarMenuClass = {0xC43D4080, 0xE099, 0x11D0, {0xA1, 0x91, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const CLSID kExplorerCommandClass = {0xC43D4081, 0xE099, 0x11D0, {0xA1, 0x91, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

std::wstring Wide(const std::string& text)
{
    const int chars = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(chars > 0 ? chars : 1, L'\0');
    if (chars > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], chars);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

struct IdListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

// The library stays registered for the whole run and is removed at its end,
// so that no later run of another build finds this build's path.
class RegisteredLibrary : public ::testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_EQ(RunRegistrationTool("register \"" + LibraryPath() + "\""), 0);
    }
    void TearDown() override { RunRegistrationTool("unregister \"" + LibraryPath() + "\""); }
};

[[maybe_unused]] ::testing::Environment* const g_registered =
    ::testing::AddGlobalTestEnvironment(new RegisteredLibrary);

BOOL CALLBACK CollectTitle(HWND window, LPARAM data)
{
    char className[64]{};
    if (GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, "CToolbarWindow") == 0)
        reinterpret_cast<std::vector<std::string>*>(data)->push_back(driver::WindowText(window));
    return TRUE;
}

} // namespace

std::string LibraryPath()
{
    return driver::ProgramFolder() + "\\ltlext.dll";
}

REGSAM OwnView()
{
    return sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

REGSAM OtherView()
{
    return sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

int RunRegistrationTool(const std::string& arguments)
{
    const std::string output = driver::MakeTempFolder("ltlextreg") + "\\output.txt";
    driver::Process tool;
    if (!tool.StartWithOutput(driver::ProgramFolder() + "\\ltlextreg.exe", arguments, driver::ProgramFolder(),
                              output))
        return -1;
    if (!tool.WaitForExit(30000)) {
        tool.Kill();
        return -1;
    }
    return static_cast<int>(tool.ExitCode());
}

const LibraryExports& Exports()
{
    static const LibraryExports exports = [] {
        LibraryExports loaded;
        loaded.module = LoadLibraryA(LibraryPath().c_str());
        if (loaded.module) {
            loaded.getClassObject = reinterpret_cast<decltype(loaded.getClassObject)>(
                reinterpret_cast<void*>(GetProcAddress(loaded.module, "DllGetClassObject")));
            loaded.canUnloadNow = reinterpret_cast<decltype(loaded.canUnloadNow)>(
                reinterpret_cast<void*>(GetProcAddress(loaded.module, "DllCanUnloadNow")));
        }
        return loaded;
    }();
    return exports;
}

CComPtr<IDataObject> ShellDataObject(const std::vector<std::string>& paths)
{
    CComPtr<IDataObject> data;
    if (paths.empty())
        return data;
    const size_t slash = paths.front().find_last_of('\\');
    if (slash == std::string::npos)
        return data;
    const std::string folderPath = paths.front().substr(0, slash);
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())))
        return data;
    std::wstring wideFolder = Wide(folderPath);
    ITEMIDLIST* rawFolder = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &wideFolder[0], nullptr, &rawFolder, nullptr)))
        return data;
    const std::unique_ptr<ITEMIDLIST, IdListFree> folderId(rawFolder);
    CComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(folderId.get(), nullptr, IID_IShellFolder, folder.put_void())))
        return data;
    std::vector<std::unique_ptr<ITEMIDLIST, IdListFree>> items;
    std::vector<LPCITEMIDLIST> itemIds;
    for (const std::string& path : paths) {
        std::wstring name = Wide(path.substr(slash + 1));
        ITEMIDLIST* item = nullptr;
        if (path.compare(0, slash + 1, folderPath + "\\") != 0
            || FAILED(folder->ParseDisplayName(nullptr, nullptr, &name[0], nullptr, &item, nullptr)))
            return data;
        items.emplace_back(item);
        itemIds.push_back(item);
    }
    folder->GetUIObjectOf(nullptr, static_cast<UINT>(itemIds.size()), itemIds.data(), IID_IDataObject, nullptr,
                          data.put_void());
    return data;
}

CComPtr<IContextMenu> MakeMenuObject(REFCLSID clsid, IDataObject* data)
{
    CComPtr<IContextMenu> menu;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, menu.put_void());
    EXPECT_EQ(hr, S_OK) << std::hex << hr;
    if (!menu)
        return menu;
    CComPtr<IShellExtInit> init;
    hr = menu->QueryInterface(IID_IShellExtInit, init.put_void());
    EXPECT_EQ(hr, S_OK);
    if (init) {
        EXPECT_EQ(init->Initialize(nullptr, data, nullptr), S_OK);
    }
    return menu;
}

std::vector<MenuEntry> MenuEntries(HMENU menu)
{
    std::vector<MenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[512]{};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        MenuEntry entry;
        entry.text = text;
        entry.popup = info.hSubMenu != nullptr;
        if (entry.popup)
            entry.items = MenuEntries(info.hSubMenu);
        else
            entry.id = info.wID;
        entries.push_back(entry);
    }
    return entries;
}

std::string Describe(const std::vector<MenuEntry>& entries)
{
    std::string text = "[";
    for (const MenuEntry& entry : entries) {
        text += " \"" + entry.text + "\"";
        if (entry.popup)
            text += Describe(entry.items);
        else
            text += "#" + std::to_string(entry.id);
    }
    return text + " ]";
}

HRESULT InvokeOffset(IContextMenu* menu, UINT offset, DWORD mask, HWND owner)
{
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(offset);
    info.nShow = SW_SHOWNORMAL;
    return menu->InvokeCommand(&info);
}

HRESULT InvokeVerb(IContextMenu* menu, const char* verb, DWORD mask)
{
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    info.lpVerb = verb;
    info.nShow = SW_SHOWNORMAL;
    return menu->InvokeCommand(&info);
}

std::vector<std::string> EnumeratedToolbarTitles()
{
    std::vector<std::string> titles;
    EnumWindows(CollectTitle, reinterpret_cast<LPARAM>(&titles));
    return titles;
}

} // namespace shellext
