// What the setup test asks of an installed system from inside Wine:
//
//   install_probe window CLASS TITLE SECONDS   waits for a top-level window (TITLE * for any)
//   install_probe gone CLASS TITLE SECONDS     waits until there is none
//   install_probe extension LIBRARY            creates both shell extension
//                                              classes through the registry and
//                                              checks that LIBRARY served them
//
// Exit status 0 when the condition holds, 1 when it does not, 2 for usage.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const CLSID kMenuClass = {0xC43D4080, 0xE099, 0x11D0, {0xA1, 0x91, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const CLSID kFindClass = {0xC43D4081, 0xE099, 0x11D0, {0xA1, 0x91, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

bool WaitForWindow(const char* className, const char* title, int seconds, bool present)
{
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    for (;;) {
        const bool found = FindWindowA(className, std::strcmp(title, "*") == 0 ? nullptr : title) != nullptr;
        if (found == present)
            return true;
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0)
            return false;
        Sleep(100);
    }
}

bool CreatesFromLibrary(const CLSID& clsid, const char* what, const char* library)
{
    IContextMenu* menu = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                                  reinterpret_cast<void**>(&menu));
    if (FAILED(hr) || !menu) {
        std::printf("%s: CoCreateInstance failed, HR=%08lx\n", what, static_cast<unsigned long>(hr));
        return false;
    }
    IShellExtInit* init = nullptr;
    hr = menu->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init));
    if (init)
        init->Release();
    // The object's code lies in the module that served it.
    HMODULE server = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<const char*>(*reinterpret_cast<void**>(menu)), &server);
    char path[MAX_PATH]{};
    if (server)
        GetModuleFileNameA(server, path, MAX_PATH);
    menu->Release();
    if (FAILED(hr)) {
        std::printf("%s: no IShellExtInit, HR=%08lx\n", what, static_cast<unsigned long>(hr));
        return false;
    }
    if (lstrcmpiA(path, library) != 0) {
        std::printf("%s: served by \"%s\", not \"%s\"\n", what, path, library);
        return false;
    }
    std::printf("%s: served by %s\n", what, path);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && (std::strcmp(argv[1], "window") == 0 || std::strcmp(argv[1], "gone") == 0)) {
        const bool present = std::strcmp(argv[1], "window") == 0;
        return WaitForWindow(argv[2], argv[3], std::atoi(argv[4]), present) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "extension") == 0) {
        if (FAILED(CoInitialize(nullptr)))
            return 1;
        const bool served = CreatesFromLibrary(kMenuClass, "toolbar menu", argv[2]) &&
                            CreatesFromLibrary(kFindClass, "Explorer search", argv[2]);
        CoUninitialize();
        return served ? 0 : 1;
    }
    std::fprintf(stderr, "usage: install_probe window|gone CLASS TITLE SECONDS | extension LIBRARY\n");
    return 2;
}
