// What the setup test asks of an installed system from inside Wine:
//
//   install_probe window CLASS TITLE SECONDS   waits for a top-level window (TITLE * for any)
//   install_probe gone CLASS TITLE SECONDS     waits until there is none
//   install_probe extension LIBRARY            creates both shell extension
//                                              classes through the registry and
//                                              checks that LIBRARY served them
//   install_probe icon FILE PROGRAM ID BMP     the shell's icon for FILE is icon
//                                              ID of PROGRAM, and not PROGRAM's
//                                              first icon; BMP gets it drawn
//
// Exit status 0 when the condition holds, 1 when it does not, 2 for usage.
#include <windows.h>
#include <shellapi.h>
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

// A 32-pixel icon drawn on white, as the pixels of a top-down 32-bit DIB.
struct CIconPicture {
    static constexpr int kSize = 32;
    DWORD pixels[kSize * kSize]{};
    bool drawn = false;

    explicit CIconPicture(HICON icon)
    {
        if (!icon)
            return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && bits) {
            HGDIOBJ old = SelectObject(dc, bitmap);
            RECT all{0, 0, kSize, kSize};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            drawn = DrawIconEx(dc, 0, 0, icon, kSize, kSize, 0, nullptr, DI_NORMAL) != FALSE;
            GdiFlush();
            std::memcpy(pixels, bits, sizeof pixels);
            SelectObject(dc, old);
        }
        if (bitmap)
            DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    bool SameAs(const CIconPicture& other) const
    {
        return drawn && other.drawn && std::memcmp(pixels, other.pixels, sizeof pixels) == 0;
    }
    bool Save(const char* path) const
    {
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = kSize;
        header.biHeight = -kSize;
        header.biPlanes = 1;
        header.biBitCount = 32;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + sizeof pixels;
        FILE* out = std::fopen(path, "wb");
        if (!out)
            return false;
        const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                             std::fwrite(&header, sizeof header, 1, out) == 1 &&
                             std::fwrite(pixels, sizeof pixels, 1, out) == 1;
        return std::fclose(out) == 0 && written;
    }
};

HICON ProgramIcon(HMODULE program, int id)
{
    return static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(id), IMAGE_ICON, CIconPicture::kSize,
                                         CIconPicture::kSize, 0));
}

// The icon the shell shows for a document: its type's DefaultIcon as
// SHGetFileInfo reads it, extracted as the shell extracts it.
bool DocumentIconIs(const char* document, const char* program, int id, const char* picture)
{
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(document, 0, &info, sizeof info, SHGFI_ICONLOCATION)) {
        std::printf("no icon location for %s\n", document);
        return false;
    }
    std::printf("%s: icon %s,%d\n", document, info.szDisplayName, info.iIcon);
    HICON large = nullptr;
    if (ExtractIconExA(info.szDisplayName, info.iIcon, &large, nullptr, 1) != 1 || !large) {
        std::printf("no icon at %s,%d\n", info.szDisplayName, info.iIcon);
        return false;
    }
    const CIconPicture shown(large);
    DestroyIcon(large);
    shown.Save(picture);

    HMODULE module = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        std::printf("cannot load %s, error %lu\n", program, GetLastError());
        return false;
    }
    HICON wanted = ProgramIcon(module, id);
    HICON first = ExtractIconA(nullptr, program, 0);
    const CIconPicture document_icon(wanted), program_icon(first);
    if (wanted)
        DestroyIcon(wanted);
    if (first)
        DestroyIcon(first);
    FreeLibrary(module);
    if (!document_icon.drawn || !program_icon.drawn) {
        std::printf("%s has no icon %d or no first icon\n", program, id);
        return false;
    }
    if (!shown.SameAs(document_icon)) {
        std::printf("the shell's icon for %s is not icon %d of %s\n", document, id, program);
        return false;
    }
    if (shown.SameAs(program_icon)) {
        std::printf("the shell's icon for %s is the program's own\n", document);
        return false;
    }
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
    if (argc == 6 && std::strcmp(argv[1], "icon") == 0)
        return DocumentIconIs(argv[2], argv[3], std::atoi(argv[4]), argv[5]) ? 0 : 1;
    std::fprintf(stderr, "usage: install_probe window|gone CLASS TITLE SECONDS | extension LIBRARY"
                         " | icon FILE PROGRAM ID BMP\n");
    return 2;
}
