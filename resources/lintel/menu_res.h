// Resource ids of the program menu, the Options dialog and the About box.
#pragma once

// Icons of the program menu's items (16x16; 118 also stands in wherever an
// icon cannot be had).
#define IDI_NO_ICON              118
#define IDI_MENU_SHOW            139
#define IDI_MENU_HIDE            140
#define IDI_MENU_BRING_TO_FRONT  141
#define IDI_MENU_EXIT            142
#define IDI_MENU_ABOUT           161
#define IDI_MENU_EXPLORER        162
#define IDI_MENU_PROPERTIES      168
#define IDI_MENU_CLOSE           169
#define IDI_MENU_ALL_TOOLBARS    170
#define IDI_MENU_NEW_TOOLBAR     171
#define IDI_MENU_OPEN_TOOLBAR    172
#define IDI_MENU_HELP            173
#define IDI_MENU_GETTING_STARTED 179
#define IDI_MENU_TIP_OF_THE_DAY  180

// The hand over the About box's link texts.
#define IDCUR_HAND               150

// Dialogs
#define IDD_ABOUT                100
#define IDD_OPTIONS_GENERAL      103
#define IDD_OPTIONS_TOOLBARS     114
#define IDD_OPTIONS_HOTKEYS      116

// Options, page "General"
#define IDC_OPT_TOOLTIPS         1000
#define IDC_OPT_OPEN_ON_START    1001
#define IDC_OPT_SAVE_ON_CLOSE    1002
#define IDC_OPT_ALLOW_TAB        1035
#define IDC_OPT_ONLY_ONE_OPEN    1046
#define IDC_OPT_ALWAYS_RESOLVE   1180
#define IDC_OPT_NEVER_RESOLVE    1181
#define IDC_OPT_DEFAULT_FOR_FILE 1182
#define IDC_OPT_LET_ME_CHOOSE    1183

// Options, page "Toolbars"
#define IDC_OPT_TOOLBAR_LIST     1041
#define IDC_OPT_NEW              1042
#define IDC_OPT_OPEN             1043
#define IDC_OPT_PROPERTIES       1044
#define IDC_OPT_REMOVE           1066

// Options, page "Hotkeys"
#define IDC_OPT_MENU_HOTKEY      1105
#define IDC_OPT_TOOLBAR_HOTKEY   1106
#define IDC_OPT_SHOWALL_HOTKEY   1128

// About box
#define IDC_ABOUT_ICON           1036
#define IDC_ABOUT_VERSION        1037
#define IDC_ABOUT_TITLE          1038
#define IDC_ABOUT_DESCRIPTION    1039
#define IDC_ABOUT_COPYRIGHT      1040
#define IDC_ABOUT_HELP_LINK      1190
#define IDC_ABOUT_TIP_LINK       1191

// Message texts
#define IDS_MSG_NEW_TOOLBAR_FAILED 6
#define IDS_MSG_HOTKEY_CLASH     63

// Program menu
#define IDS_PMENU_SHOW            2500
#define IDS_PMENU_HIDE            2501
#define IDS_PMENU_BRING_TO_FRONT  2502
#define IDS_PMENU_PROPERTIES      2503
#define IDS_PMENU_CLOSE           2504
#define IDS_PMENU_ALL_TOOLBARS    2505
#define IDS_PMENU_NEW_TOOLBAR     2506
#define IDS_PMENU_OPEN_TOOLBAR    2508
#define IDS_PMENU_OTHER_TOOLBAR   2509
#define IDS_PMENU_EXPLORER        2510
#define IDS_PMENU_OPTIONS         2511
#define IDS_PMENU_HELP_TOPICS     2512
#define IDS_PMENU_ABOUT           2513
#define IDS_PMENU_HELP            2515
#define IDS_PMENU_TIP_OF_THE_DAY  2516
#define IDS_PMENU_GETTING_STARTED 2517
#define IDS_PMENU_EXIT            2518

// Options sheet
#define IDS_OPTIONS_CAPTION      2036
#define IDS_PAGE_TOOLBARS        2041
#define IDS_COLUMN_NAME          2042
#define IDS_PAGE_HOTKEYS         2043
#define IDS_PAGE_GENERAL         2045

// Help contexts of the Options pages' controls (WM_HELP)
#define IDH_OPT_TOOLTIPS         511
#define IDH_OPT_OPEN_ON_START    512
#define IDH_OPT_SAVE_ON_CLOSE    513
#define IDH_OPT_ALLOW_TAB        514
#define IDH_OPT_ONLY_ONE_OPEN    515
#define IDH_OPT_ALWAYS_RESOLVE   516
#define IDH_OPT_NEVER_RESOLVE    517
#define IDH_OPT_DEFAULT_FOR_FILE 518
#define IDH_OPT_LET_ME_CHOOSE    519
#define IDH_OPT_TOOLBAR_LIST     520
#define IDH_OPT_NEW              521
#define IDH_OPT_OPEN             522
#define IDH_OPT_PROPERTIES       523
#define IDH_OPT_REMOVE           524

// Context help id of the program menu
#define IDH_PROGRAM_MENU         400
