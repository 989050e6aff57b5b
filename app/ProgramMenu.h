// The program menu: the popup that the tray icon and the menu hotkey bring up.
// It lists the open toolbars and the program-wide commands, every item
// owner-drawn with a 16x16 icon beside its text (common/OwnerDrawMenu.h).
#pragma once

#include "../common/OwnerDrawMenu.h"
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

// Fills the program menu: the toolbars' part, then the program's commands.
// recentFiles are the names the "Open toolbar" submenu lists (none: a plain
// "Open toolbar" item).  Returns the number of items at the top level.
int BuildMenu(HMENU menu, CToolbarSet& set, const std::vector<CText>& recentFiles = {});

// Pops the menu up at the mouse and lets the user choose; the command arrives
// at the main window as WM_COMMAND.  FALSE when there was nothing to show.
BOOL ShowProgramMenu(CMainWindow& window);

