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
    HRESULT result = S_OK;
    auto keep = [&result](HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    };
    keep(DeleteTree(roots.classes, roots.classesPrefix + "CLSID", kMenuClass, view));
    keep(DeleteTree(roots.classes, roots.classesPrefix + "CLSID", kFindClass, view));
    for (const char* type : kHandlerTypes)
        keep(DeleteTree(roots.classes, roots.classesPrefix + type + "\\shellex\\ContextMenuHandlers", kHandlerName,
                        view));
    keep(DeleteTree(roots.settings, kFindKey, kFindEntry, view));
    keep(DeleteValue(roots.settings, kApprovedKey, kMenuClass, view));
    keep(DeleteValue(roots.settings, kApprovedKey, kFindClass, view));
    return result;
}
