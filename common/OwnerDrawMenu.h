// Owner-drawn popup menus with a 16x16 icon beside each item's text, as the
// program menu and the toolbars' part of it are drawn.
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
    HICON icon = nullptr;       // the icon drawn; never null
    CIconHandle ownedIcon;      // set when the icon was made for this item alone
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

// WM_MEASUREITEM and WM_DRAWITEM for the menu's items (control id 0); FALSE
// for anything that is not an item of ours.
BOOL MeasureProgramMenuItem(MEASUREITEMSTRUCT& item);
BOOL DrawProgramMenuItem(const DRAWITEMSTRUCT& item);
