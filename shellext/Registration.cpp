#include "Registration.h"

#include "../common/ScopedHandle.h"

#include <shlwapi.h>

#include <cstring>
#include <string>

namespace {

constexpr const char kMenuClass[] = "{C43D4080-E099-11D0-A191-444553540000}";
constexpr const char kFindClass[] = "{C43D4081-E099-11D0-A191-444553540000}";
constexpr const char kMenuClassName[] = "Lintel toolbar menu";
constexpr const char kFindClassName[] = "Lintel Explorer search";
constexpr const char kHandlerName[] = "Lintel";
constexpr const char kFindEntry[] = "LintelExplorer";
constexpr const char kFindMenuText[] = "With Lintel &Explorer...";
constexpr const char kExplorerFile[] = "Lintel Explorer.exe";
// Types whose context menus carry the item: every file, and folders.
constexpr const char* kHandlerTypes[] = {"*", "Folder"};
constexpr const char kFindKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FindExtensions\\Static";
// Windows NT loads only the extensions listed here when the administrator
// restricts the shell to approved ones.
constexpr const char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

struct CRoots {
    HKEY classes;
    std::string classesPrefix;
    HKEY settings;
};

CRoots RootsOf(CRegistrationScope scope)
{
    if (scope == CRegistrationScope::kMachine)
        return {HKEY_CLASSES_ROOT, "", HKEY_LOCAL_MACHINE};
    return {HKEY_CURRENT_USER, "Software\\Classes\\", HKEY_CURRENT_USER};
}

HRESULT SetText(HKEY root, const std::string& key, const char* name, const std::string& value, REGSAM view)
{
    HKEY opened = nullptr;
    LONG status = RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | view,
                                  nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    CRegKeyHandle holder(opened);
    status = RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
    return HRESULT_FROM_WIN32(status);
}

// Deletes parent\name with everything below it; a missing key is no failure.
HRESULT DeleteTree(HKEY root, const std::string& parent, const char* name, REGSAM view)
{
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExA(root, parent.c_str(), 0, KEY_ALL_ACCESS | view, &opened);
    if (status == ERROR_FILE_NOT_FOUND)
        return S_OK;
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    CRegKeyHandle holder(opened);
    // The handle is already in the view, so the keys below it are too.
    status = static_cast<LONG>(SHDeleteKeyA(opened, name));
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT DeleteValue(HKEY root, const std::string& key, const char* name, REGSAM view)
{
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE | view, &opened);
    if (status == ERROR_FILE_NOT_FOUND)
        return S_OK;
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    CRegKeyHandle holder(opened);
    status = RegDeleteValueA(opened, name);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

REGSAM OtherViewThan(REGSAM view)
{
    return view == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

// The kernel's full name of a key as a view opens it, which tells whether two
// views reach the same key.  Which keys WOW64 redirects differs between
// versions of Windows (since Windows 7 the file-type keys of HKCR, "*\shellex"
// among them, are shared and CLSID is not; Wine redirects all of HKCR and
// none of HKCU), so it is asked, never assumed.
std::wstring KernelName(HKEY root, const std::string& key, REGSAM view)
{
    using QueryKey = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QueryKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey")));
    constexpr int kKeyNameInformation = 3;
    HKEY opened = nullptr;
    if (!query || RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return std::wstring();
    CRegKeyHandle holder(opened);
    alignas(ULONG) BYTE buffer[2048]{};
    ULONG size = 0;
    if (query(opened, kKeyNameInformation, buffer, sizeof buffer, &size) != 0 || size < sizeof(ULONG))
        return std::wstring();
    ULONG nameBytes = 0;
    memcpy(&nameBytes, buffer, sizeof nameBytes);
    if (nameBytes > size - sizeof(ULONG) || nameBytes > sizeof buffer - sizeof(ULONG))
        return std::wstring();
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer + sizeof(ULONG)), nameBytes / sizeof(wchar_t));
}

// Both views open the very same key (as on 32-bit Windows, or for a key
// WOW64 shares); false when either view lacks it.
bool SharedBetweenViews(HKEY root, const std::string& key)
{
    const std::wstring own = KernelName(root, key, KEY_WOW64_64KEY);
    return !own.empty() && own == KernelName(root, key, KEY_WOW64_32KEY);
}

// The library of the other bitness is registered in its own view: its menu
// class names a library of that bitness.  A CLSID key shared between the
// views holds only the library registered last.
bool RegisteredInView(const CRoots& roots, REGSAM view)
{
    HKEY opened = nullptr;
    const std::string server = roots.classesPrefix + "CLSID\\" + kMenuClass + "\\InprocServer32";
    if (RegOpenKeyExA(roots.classes, server.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return false;
    CRegKeyHandle holder(opened);
    char library[MAX_PATH + 1]{};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    if (RegQueryValueExA(opened, "", nullptr, &type, reinterpret_cast<BYTE*>(library), &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return false;
    return RegistryViewOfLibrary(library) == view;
}

} // namespace

REGSAM RegistryViewOfLibrary(const char* libraryPath)
{
    if (!libraryPath)
        return 0;
    CFileHandle file(CreateFileA(libraryPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 0;
    IMAGE_DOS_HEADER dos{};
    DWORD read = 0;
    if (!ReadFile(file.Get(), &dos, sizeof dos, &read, nullptr) || read != sizeof dos || dos.e_magic != IMAGE_DOS_SIGNATURE
        || dos.e_lfanew <= 0 || dos.e_lfanew > 64 * 1024)
        return 0;
    if (SetFilePointer(file.Get(), dos.e_lfanew, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return 0;
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    if (!ReadFile(file.Get(), &signature, sizeof signature, &read, nullptr) || read != sizeof signature
        || signature != IMAGE_NT_SIGNATURE || !ReadFile(file.Get(), &header, sizeof header, &read, nullptr)
        || read != sizeof header || !(header.Characteristics & IMAGE_FILE_DLL))
        return 0;
    switch (header.Machine) {
    case IMAGE_FILE_MACHINE_I386: return KEY_WOW64_32KEY;
    case IMAGE_FILE_MACHINE_AMD64: return KEY_WOW64_64KEY;
    default: return 0;
    }
}

HRESULT RegisterShellExtension(const char* libraryPath, CRegistrationScope scope)
{
    const REGSAM view = RegistryViewOfLibrary(libraryPath);
    if (!view)
        return E_INVALIDARG;
    const CRoots roots = RootsOf(scope);
    const std::string library(libraryPath);
    const size_t slash = library.find_last_of('\\');
    const std::string explorer = (slash == std::string::npos ? std::string() : library.substr(0, slash + 1))
                                 + kExplorerFile;

    const std::string clsid = roots.classesPrefix + "CLSID\\";
    struct Value {
        HKEY root;
        std::string key;
        const char* name;
        std::string text;
    };
    const Value values[] = {
        {roots.classes, clsid + kMenuClass, "", kMenuClassName},
        {roots.classes, clsid + kMenuClass + "\\InprocServer32", "", library},
        {roots.classes, clsid + kMenuClass + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {roots.classes, clsid + kFindClass, "", kFindClassName},
        {roots.classes, clsid + kFindClass + "\\InprocServer32", "", library},
        {roots.classes, clsid + kFindClass + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {roots.classes, roots.classesPrefix + kHandlerTypes[0] + "\\shellex\\ContextMenuHandlers\\" + kHandlerName, "",
         kMenuClass},
        {roots.classes, roots.classesPrefix + kHandlerTypes[1] + "\\shellex\\ContextMenuHandlers\\" + kHandlerName, "",
         kMenuClass},
        {roots.settings, std::string(kFindKey) + "\\" + kFindEntry, "", kFindClass},
        {roots.settings, std::string(kFindKey) + "\\" + kFindEntry + "\\0", "", kFindMenuText},
        {roots.settings, std::string(kFindKey) + "\\" + kFindEntry + "\\0\\DefaultIcon", "", explorer + ",0"},
        {roots.settings, kApprovedKey, kMenuClass, kMenuClassName},
        {roots.settings, kApprovedKey, kFindClass, kFindClassName},
    };
    for (const Value& value : values) {
        const HRESULT hr = SetText(value.root, value.key, value.name, value.text, view);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT UnregisterShellExtension(REGSAM view, CRegistrationScope scope)
{
    if (view != KEY_WOW64_32KEY && view != KEY_WOW64_64KEY)
        return E_INVALIDARG;
    const CRoots roots = RootsOf(scope);
    // With the library of the other bitness still registered, a key both
    // views share is still its key: it goes with the last of the two.
    const bool otherStays = RegisteredInView(roots, OtherViewThan(view));
    HRESULT result = S_OK;
    auto keep = [&result](HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    };
    auto removeTree = [&](HKEY root, const std::string& parent, const char* name) {
        if (!(otherStays && SharedBetweenViews(root, parent + "\\" + name)))
            keep(DeleteTree(root, parent, name, view));
    };
    auto removeValue = [&](HKEY root, const std::string& key, const char* name) {
        if (!(otherStays && SharedBetweenViews(root, key)))
            keep(DeleteValue(root, key, name, view));
    };
    removeTree(roots.classes, roots.classesPrefix + "CLSID", kMenuClass);
    removeTree(roots.classes, roots.classesPrefix + "CLSID", kFindClass);
    for (const char* type : kHandlerTypes)
        removeTree(roots.classes, roots.classesPrefix + type + "\\shellex\\ContextMenuHandlers", kHandlerName);
    removeTree(roots.settings, kFindKey, kFindEntry);
    removeValue(roots.settings, kApprovedKey, kMenuClass);
    removeValue(roots.settings, kApprovedKey, kFindClass);
    return result;
}
