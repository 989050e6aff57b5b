// The small steps of a walk through shell folders that the searches share,
// and the shell's own icon of an item at a size of the caller's choosing.
#pragma once

#include "ItemId.h"
#include "Text.h"

#include <shlobj.h>

// The next item of an enumeration, owned by item; FALSE at the end.
BOOL NextShellItem(IEnumIDList* items, CItemId& item);
// The item's name as its folder gives it for the SHGDN flags.
BOOL ShellDisplayName(IShellFolder* folder, const CItemId& item, DWORD flags, CText& name);

// The icon the shell shows for an item (an absolute item-id list, or a path
// when item is null) at side pixels: the image of that size from the file
// the shell takes the icon from, else the system image list whose icons are
// the smallest not smaller than side (the largest list when none is).  The
// icon may be larger than side, never smaller unless the shell has nothing
// larger; null when the shell has no icon for the item.
HICON ShellIconAtSide(LPCITEMIDLIST item, const char* path, int side);
