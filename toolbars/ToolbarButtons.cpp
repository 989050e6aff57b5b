// Buttons made for shell objects and paths.
#include "Toolbar.h"

#include "../buttons/ButtonFactory.h"
#include "../common/ItemId.h"
#include "../common/TraceLog.h"

BOOL CToolbar::AddButtonFromItemIds(const CItemId&, const CItemId&)
{
    if (TraceOn())
        LogText("CToolbar::AddButtonFromItemIds: buttons with a target are not available");
    return FALSE;
}

BOOL CToolbar::AddButtonFromPath(const char*)
{
    if (TraceOn())
        LogText("CToolbar::AddButtonFromPath: buttons with a target are not available");
    return FALSE;
}

BOOL CToolbar::Paste()
{
    if (TraceOn())
        LogText("CToolbar::Paste: the clipboard is not available");
    return FALSE;
}
