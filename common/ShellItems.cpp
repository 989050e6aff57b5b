#include "ShellItems.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <initializer_list>

namespace {

// The 256-pixel list came with later versions of Windows than the headers
// the program is built for; older systems refuse it and the 48-pixel one stands.
constexpr int kJumboList = 4;   // SHIL_JUMBO

// IID_IImageList, which the import libraries do not all carry.
const IID kImageListIid = {0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

DWORD_PTR FileInfo(LPCITEMIDLIST item, const char* path, SHFILEINFOA& info, UINT flags)
{
    if (item)
        return SHGetFileInfoA(reinterpret_cast<LPCSTR>(item), 0, &info, sizeof info, flags | SHGFI_PIDL);
    return path && *path ? SHGetFileInfoA(path, 0, &info, sizeof info, flags) : 0;
}

HICON FromIconLocation(LPCITEMIDLIST item, const char* path, int side)
{
    SHFILEINFOA info{};
    if (!FileInfo(item, path, info, SHGFI_ICONLOCATION) || !info.szDisplayName[0])
        return nullptr;
    HICON icon = nullptr;
    const UINT got = PrivateExtractIconsA(info.szDisplayName, info.iIcon, side, side, &icon, nullptr, 1, LR_DEFAULTCOLOR);
    if (got != 0 && got != 0xFFFFFFFFu && icon)
        return icon;
    if (icon)
        DestroyIcon(icon);
    return nullptr;
}

HICON FromSystemImageList(LPCITEMIDLIST item, const char* path, int side)
{
    SHFILEINFOA info{};
    if (!FileInfo(item, path, info, SHGFI_SYSICONINDEX))
        return nullptr;
    // The lists' sides follow the system's DPI (small and large) or are
    // fixed (48 and 256), so each is asked rather than assumed.
    IUnknown* best = nullptr;
    int bestSide = 0;
    for (int which : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, kJumboList}) {
        void* list = nullptr;
        if (FAILED(SHGetImageList(which, kImageListIid, &list)) || !list)
            continue;
        auto* unknown = static_cast<IUnknown*>(list);
        // The shell's IImageList is the image list itself.
        auto images = static_cast<HIMAGELIST>(list);
        int width = 0;
        int height = 0;
        const bool usable = ImageList_GetIconSize(images, &width, &height) && width > 0
                            && info.iIcon < ImageList_GetImageCount(images);
        const bool fits = width >= side;
        const bool bestFits = bestSide >= side;
        if (usable && (!best || (fits && (!bestFits || width < bestSide)) || (!fits && !bestFits && width > bestSide))) {
            if (best)
                best->Release();
            best = unknown;
            bestSide = width;
        } else {
            unknown->Release();
        }
    }
    if (!best)
        return nullptr;
    HICON icon = ImageList_GetIcon(reinterpret_cast<HIMAGELIST>(best), info.iIcon, ILD_TRANSPARENT);
    best->Release();
    return icon;
}

} // namespace

BOOL NextShellItem(IEnumIDList* items, CItemId& item)
{
    LPITEMIDLIST fetched = nullptr;
    ULONG count = 0;
    if (items->Next(1, &fetched, &count) != S_OK || count != 1 || !fetched) {
        CItemId::FreeShellMemory(fetched);
        return FALSE;
    }
    item.Set(fetched);
    CItemId::FreeShellMemory(fetched);
    return TRUE;
}

BOOL ShellDisplayName(IShellFolder* folder, const CItemId& item, DWORD flags, CText& name)
{
    STRRET returned{};
    if (FAILED(folder->GetDisplayNameOf(item.List(), flags, &returned)))
        return FALSE;
    char* text = nullptr;
    if (FAILED(StrRetToStrA(&returned, item.List(), &text)) || !text)
        return FALSE;
    struct Freed {
        char* text;
        ~Freed() { CoTaskMemFree(text); }
    } freed{text};
    name = text;
    return TRUE;
}

HICON ShellIconAtSide(LPCITEMIDLIST item, const char* path, int side)
{
    if (side <= 0)
        return nullptr;
    HICON icon = FromIconLocation(item, path, side);
    return icon ? icon : FromSystemImageList(item, path, side);
}
