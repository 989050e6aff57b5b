#include "DllSearch.h"

#include <cstring>

namespace {

using SetDllDirectoryProc = BOOL(WINAPI*)(LPCSTR);
using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

template <class Proc>
Proc KernelProc(HMODULE kernel, const char* name)
{
    // Through void*: the exported address has no type of its own.
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

// The folder of the module that holds this code, without a trailing backslash.
bool ProgramFolder(char (&folder)[MAX_PATH])
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ProgramFolder), &self))
        return false;
    const DWORD length = GetModuleFileNameA(self, folder, MAX_PATH);
    // A path cut short at the buffer's end would name another folder.
    if (length == 0 || length >= MAX_PATH)
        return false;
    char* slash = std::strrchr(folder, '\\');
    if (!slash)
        return false;
    *slash = '\0';
    return true;
}

bool SystemFolder(char (&folder)[MAX_PATH])
{
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    if (folder[length - 1] == '\\')
        folder[length - 1] = '\0';
    return true;
}

// A full path with LOAD_WITH_ALTERED_SEARCH_PATH rather than the
// LOAD_LIBRARY_SEARCH_* flags: those exist only from Windows 8 (or Vista and
// 7 with the 2011 loader update), and older systems, Windows XP among them,
// reject them as an invalid parameter.  A full path names one file on every
// system, and the altered search finds the library's own imports beside it
// first, where its maker put them.  The current folder is not in that search
// once RestrictLibrarySearch has run.
HMODULE LoadFromFolder(const char* folder, const char* fileName)
{
    char path[MAX_PATH]{};
    const size_t folderLength = std::strlen(folder);
    const size_t nameLength = std::strlen(fileName);
    if (folderLength + 1 + nameLength >= sizeof path)
        return nullptr;
    std::memcpy(path, folder, folderLength);
    path[folderLength] = '\\';
    std::memcpy(path + folderLength + 1, fileName, nameLength + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace

void RestrictLibrarySearch()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return;
    // Both calls are newer than the oldest system the programs run on
    // (SetDllDirectory came with Windows XP SP1, SetDefaultDllDirectories with
    // Windows 8 and the 2011 loader update), so they are looked up, not linked.
    // On Windows an empty library folder drops the current folder from the
    // search for bare names and from the altered search alike.  Wine 8 takes
    // an empty folder for none and keeps searching the current folder after
    // the system folder; there only the default directories leave it out.
    if (auto setDllDirectory = KernelProc<SetDllDirectoryProc>(kernel, "SetDllDirectoryA"))
        setDllDirectory("");
    if (auto setDefaultDirectories = KernelProc<SetDefaultDllDirectoriesProc>(kernel, "SetDefaultDllDirectories"))
        setDefaultDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

HMODULE LoadLibraryFrom(const char* fileName, unsigned folders)
{
    // A name with a folder or drive in it would reach outside the folders allowed.
    if (!fileName || !*fileName || std::strpbrk(fileName, "\\/:"))
        return nullptr;
    char folder[MAX_PATH]{};
    if ((folders & kLibraryInProgramFolder) && ProgramFolder(folder)) {
        if (HMODULE library = LoadFromFolder(folder, fileName))
            return library;
    }
    if ((folders & kLibraryInSystemFolder) && SystemFolder(folder)) {
        if (HMODULE library = LoadFromFolder(folder, fileName))
            return library;
    }
    return nullptr;
}
