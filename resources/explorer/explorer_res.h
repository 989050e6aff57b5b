// Resource identifiers of Lintel Explorer.
#pragma once

// Icons, bitmaps, menu, accelerators, dialogs.
#define IDI_EXPLORER            101
#define IDR_EXPLORER_MENU       107
#define IDB_EXPLORER_TOOLBAR    112
#define IDD_FILE_TYPES          115
#define IDB_CHECKED             116
#define IDB_UNCHECKED           117
#define IDR_EXPLORER_ACCEL      118
#define IDD_EXPLORER_ABOUT      119

// Child windows of the Explorer window.
#define IDC_RESULT_LIST         101
#define IDC_TOOLBAR             102
#define IDC_FOLDER_COMBO        103
#define IDC_TYPE_COMBO          104
#define IDC_STATUS_BAR          105

// Controls of the File Types dialog and the About box.
#define IDC_FILE_TYPE_LIST      1017
#define IDC_FILE_TYPES_RESET    1018
#define IDC_FILE_TYPES_HELP     1019
#define IDC_ABOUT_VERSION       1020
#define IDC_ABOUT_LINTEL        1021

// Commands (menu 107, the toolbar, accelerators 118).
#define IDM_BROWSE              1
#define IDM_SEARCH_FOR_FIRST    2      // 2..8: search type = id - 1
#define IDM_SEARCH_FOR_LAST     8
#define IDM_START_SEARCH        10
#define IDM_STOP_SEARCH         11
#define IDM_COPY                20
#define IDM_ADD_TO_TOOLBAR      21
#define IDM_LARGE_ICONS         30
#define IDM_SMALL_ICONS         31
#define IDM_LIST                32
#define IDM_DETAILS             33
#define IDM_AUTO_ARRANGE        34
#define IDM_HELP_TOPICS         40
#define IDM_ABOUT               41
#define IDM_TOOLBAR_FIRST       1001   // 1001 + k: toolbar entry k
#define IDM_TOOLBAR_LAST        1999
#define IDM_EXIT                3002

// Strings.
#define IDS_EXPLORER_NAME       1      // "Lintel Explorer", also the window title
#define IDS_MSG_START_FAILED    2
#define IDS_MSG_WINDOW_FAILED   3
#define IDS_HELP_FILE           4      // "Lintel.hlp>Popup"
#define IDS_BROWSE_TITLE        5
#define IDS_COLUMN_NAME         9
#define IDS_COLUMN_LOCATION     10
#define IDS_SEARCHING           12     // "Searching " + location
#define IDS_SEARCH_DONE         13     // final status line, a wsprintf format
#define IDS_INITIALIZING        16
#define IDS_NO_TOOLBARS         42
#define IDS_ATOM_FAILED         43     // the toolbar name could not be handed over
#define IDS_FILE_FOLDER         44     // "File Folder", first entry of the document types
#define IDS_CANCEL              45
#define IDS_TIP_FOLDER_COMBO    1002
#define IDS_TIP_TYPE_COMBO      1003
// Toolbar tooltips: the command id + 1000.
#define IDS_TIP_BASE            1000
#define IDS_SEARCH_TYPE_FIRST   3001   // 3001..3007: the seven search types
#define IDS_REG_EXPLORER_KEY    8000
#define IDS_REG_RECENT          8001
#define IDS_REG_NUM_RECENT      8002
#define IDS_REG_LIST_STYLE      8003
#define IDS_REG_AUTO_ARRANGE    8004
#define IDS_REG_RECENT_FORMAT   8005   // "Recent%02d"
#define IDS_REG_PROGRAM_FILES   8006   // "ProgramFilesDir"
#define IDS_REG_WINDOWS_KEY     8008   // "Software\Microsoft\Windows\CurrentVersion"
#define IDS_REG_SIZE            8011

// Help contexts.
#define IDH_FILE_TYPES          136
#define IDH_DEFAULT             800
#define IDH_VIEW_MENU           803
#define IDH_OBJECT_MENU         805

// Private messages of the Explorer's own windows.
#define UM_FILETYPE_TOGGLE      (WM_USER + 101)   // to the File Types dialog: wParam item index
