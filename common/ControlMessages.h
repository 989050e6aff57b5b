// Window identity and the messages the programs send each other.  The main
// program is the top-level window of class "LintelMainWindow" titled "Lintel".
#pragma once

#include <windows.h>

#define LINTEL_MAIN_CLASS    "LintelMainWindow"
#define LINTEL_TOOLBAR_CLASS "CToolbarWindow"
#define LINTEL_TIPS_CLASS    "LintelTipsWindow"
#define QUILLET_MAIN_CLASS   "CQLAppMainWindow"

enum : UINT {
    UM_TRAYNOTIFY     = WM_USER + 101,   // tray callback: wParam icon id, lParam mouse message
    UM_OPENFILE       = WM_USER + 102,   // lParam: global atom with a toolbar file's path
    UM_RECENTCHANGED  = WM_USER + 103,   // from the recent-documents monitor thread
    UM_ADDBUTTON      = WM_USER + 191,   // wParam: slot 0..9, or a global atom with a toolbar name
    UM_SHOWABOUT      = WM_USER + 192,
    UM_HELPREQUEST    = WM_USER + 193,   // wParam low word 0 help / 1 training card; lParam context
    UM_CREATETB       = WM_USER + 194,   // lParam: global atom with a wizard data file's path
    UM_TCARDCLOSED    = WM_USER + 198,   // to the tip program
    UM_LIVEHANDLES    = WM_USER + 199,   // wParam: LiveHandleKind; returns the count held now, -1 for no such kind
};
