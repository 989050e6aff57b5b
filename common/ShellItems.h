// The small steps of a walk through shell folders that the searches share.
#pragma once

#include "ItemId.h"
#include "Text.h"

#include <shlobj.h>

// The next item of an enumeration, owned by item; FALSE at the end.
BOOL NextShellItem(IEnumIDList* items, CItemId& item);
// The item's name as its folder gives it for the SHGDN flags.
BOOL ShellDisplayName(IShellFolder* folder, const CItemId& item, DWORD flags, CText& name);
