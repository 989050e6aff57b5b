// Owner-drawn popup menus with a 16x16 icon beside each item's text, as the
// program menu and the toolbars' part of it are drawn.  On a monitor above
// 96 dpi every size of an item is scaled, the icon too, and a program icon
// is taken from its resource at that size.
//
// Whoever adds items uses the Add... functions below: each item carries a
// CMenuItemData record as its item data, which the drawing reads and
// CProgramMenu frees with the menu.
#pragma once

#include "ScopedHandle.h"
#include "Text.h"

// What an owner-drawn item shows.
struct CMenuItemData {
    CText text;
    HICON icon = nullptr;       // the icon drawn at 96 dpi; never null
    CIconHandle ownedIcon;      // set when the icon was made for this item alone
    UINT iconId = 0;            // the program's icon resource icon came from, if any
    CIconHandle sizedIcon;      // the resource's icon at sizedSide, made when first drawn there
    int sizedSide = 0;
};

// Appends an owner-drawn item.  iconId names an icon resource of the program
// (0 or a missing one: the "no icon" icon).  flags: MF_GRAYED, and
// MF_MENUBREAK or MF_MENUBARBREAK to start a new column.
BOOL AddMenuItem(HMENU menu, UINT id, const char* text, UINT iconId, UINT flags = 0);
// The same with an icon made for this item (a button's icon, say); the menu
// owns it from here on, also when the call fails.
BOOL AddMenuItem(HMENU menu, UINT id, const char* text, HICON ownedIcon, UINT flags = 0);
// An owner-drawn item that opens a submenu; the menu owns the submenu from
// here on, also when the call fails.
BOOL AddSubmenu(HMENU menu, UINT id, const char* text, UINT iconId, HMENU submenu, UINT flags = 0);
BOOL AddSubmenu(HMENU menu, UINT id, const char* text, HICON ownedIcon, HMENU submenu, UINT flags = 0);
BOOL AddSeparator(HMENU menu, UINT flags = 0);

// The record of the item at a position, or null (separators have none).
const CMenuItemData* MenuItemData(HMENU menu, int position);

// Owns a popup menu filled by the functions above: destroying it frees every
// item's record, in the submenus too, and then the menu.
class CProgramMenu
{
public:
    CProgramMenu() : m_menu(CreatePopupMenu()) {}
    ~CProgramMenu();
    CProgramMenu(const CProgramMenu&) = delete;
    CProgramMenu& operator=(const CProgramMenu&) = delete;

    HMENU Handle() const { return m_menu.Get(); }

private:
    CMenuHandle m_menu;
};

// The icon resource shown for items without an icon of their own; each
// program sets its own once at start.
void SetMenuNoIcon(UINT iconId);

// The side of an item's icon on a monitor of dpi.
int MenuIconSide(int dpi);

// WM_MEASUREITEM and WM_DRAWITEM for the menu's items (control id 0), at
// the DPI of the window that owns the menu; FALSE for anything that is not
// an item of ours.
BOOL MeasureProgramMenuItem(MEASUREITEMSTRUCT& item, int dpi = 96);
BOOL DrawProgramMenuItem(const DRAWITEMSTRUCT& item, int dpi = 96);
