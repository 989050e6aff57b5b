// ToolbarSetOptions: the program-wide options the toolbar set keeps in the
// registry between runs, as one plain value with the defaults of a first start.
#pragma once

#include <windows.h>

struct ToolbarSetOptions {
    BOOL saveOnClose = TRUE;      // changed toolbars are saved without asking when they close
    BOOL toolTips = TRUE;
    BOOL allowTab = TRUE;         // toolbars appear on the taskbar
    BOOL openOnStart = TRUE;      // the toolbars of the last run open again
    BOOL onlyOneOpen = FALSE;     // opening a toolbar closes the others
    // Hotkey codes as the hotkey control gives them: the virtual key in the
    // low byte, its HOTKEYF_ modifiers in the high byte.  Only codes that
    // could be registered are kept.
    WORD optionsHotkey = 0x047A;  // Alt+F11
    WORD toolbarHotkey = 0x027B;  // Ctrl+F12
    WORD showAllHotkey = 0x047B;  // Alt+F12
    BOOL newToolbarHelp = TRUE;   // the hint after a toolbar was created
    BOOL convertOldFiles = FALSE; // old-format files convert without asking
    DWORD defaultNew = 3;         // the last "Create New Toolbar" choice: 1 blank, 2 default buttons, 3 wizard
    DWORD shortcuts = 0;          // "Adding shortcuts": 0 default for the file, 1 never resolve, 2 always, 3 ask
};
