#include "ShellItems.h"

#include <shlwapi.h>

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
