// The program menu: the popup that the tray icon and the menu hotkey bring up.
// It lists the open toolbars and the program-wide commands, and every item in
// it is owner-drawn with a 16x16 icon beside its text.
//
// Whoever adds items to it (the toolbar set adds the toolbars' part) uses the
// Add... functions below: each item carries a CMenuItemData record as its item
// data, which the drawing reads and CProgramMenu frees with the menu.
#pragma once

#include "../common/ScopedHandle.h"
#include "../common/Text.h"

#include <vector>

class CMainWindow;
class CToolbarSet;

// Command identifiers of the program menu.
namespace MenuCommand {
enum : UINT {
    AllToolbars = 1,      // submenu
    ToggleHidden = 2,
    BringToFront = 3,
    CloseAll = 4,
    NewToolbar = 5,
    OpenToolbar = 6,
    OtherToolbar = 7,
    LaunchExplorer = 8,
    Options = 9,
    HelpMenu = 10,        // submenu
    HelpTopics = 11,
    TipOfTheDay = 12,
    GettingStarted = 13,
    About = 14,
    Exit = 16,
    FirstRecent = 100,    // 100 to 109: the recently opened toolbar files
};
}

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

    HMENU Handle() const { return m_menu; }

private:
    HMENU m_menu;
};

// Fills the program menu: the toolbars' part, then the program's commands.
// recentFiles are the names the "Open toolbar" submenu lists (none: a plain
// "Open toolbar" item).  Returns the number of items at the top level.
int BuildMenu(HMENU menu, CToolbarSet& set, const std::vector<CText>& recentFiles = {});

// Pops the menu up at the mouse and lets the user choose; the command arrives
// at the main window as WM_COMMAND.  FALSE when there was nothing to show.
BOOL ShowProgramMenu(CMainWindow& window);

// WM_MEASUREITEM and WM_DRAWITEM for the menu's items (control id 0); FALSE
// for anything that is not an item of ours.
BOOL MeasureProgramMenuItem(MEASUREITEMSTRUCT& item);
BOOL DrawProgramMenuItem(const DRAWITEMSTRUCT& item);
