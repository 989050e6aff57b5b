// Resource ids of the toolbar windows and their buttons.
#pragma once

// Icons: overlays preloaded into every toolbar's image lists
#define IDI_OVERLAY_BROKEN        118
#define IDI_OVERLAY_DROP          119

// Bitmaps of the two menu buttons
#define IDB_TOOLBAR_MENU_BUTTON   132
#define IDB_PROGRAM_MENU_BUTTON   176

// Menus
#define IDM_TOOLBAR_MENU          101
#define IDM_ADD_MENU              138

// Commands of the toolbar menu
#define IDC_TB_HIDE               106
#define IDC_TB_SAVE               107
#define IDC_TB_SAVE_AS            108
#define IDC_TB_PROPERTIES         109
#define IDC_TB_CLOSE              110
#define IDC_TB_DOCK               119
#define IDC_TB_UNDOCK             120
#define IDC_TB_HORIZONTAL         121
#define IDC_TB_VERTICAL           122
#define IDC_TB_ALWAYS_ON_TOP      123
#define IDC_TB_SHOW_MENU_BUTTON   125
#define IDC_TB_ADD_FILE           126
#define IDC_TB_ADD_FOLDER         127
#define IDC_TB_ADD_SHORTCUT       128
#define IDC_TB_LAUNCH_EXPLORER    129
#define IDC_TB_AUTOHIDE           130
#define IDC_TB_PASTE              131
#define IDC_TB_QUICK_LOCK         132
#define IDC_TB_ADD_URL            40038

// Texts
#define IDS_BLANK_BUTTON          2001
#define IDS_TOOLBAR_MENU_TIP      2011
#define IDS_PROGRAM_MENU_TIP      2012
#define IDS_MENU_HIDE             2020
#define IDS_MENU_SHOW             2021
#define IDS_NO_DESCRIPTION        2026
#define IDS_DEFAULT_TOOLBAR_NAME  2035
#define IDS_QUICK_LOCK            2062
#define IDS_QUICK_UNLOCK          2063
#define IDS_MENU_SCREEN_STRIP     2072

// Messages
#define IDS_MSG_SAVE_FAILED       18
#define IDS_MSG_BAD_BUTTON        21
#define IDS_MSG_OLD_FORMAT        62
#define IDS_SAVE_AS_TITLE         2038
#define IDS_SAVE_FILTER           2044
#define IDS_MSG_MAX_BUTTONS       19
#define IDS_MSG_SAVE_NOW          61
#define IDS_MSG_EXPLORER_SHORTCUT 64
#define IDS_MSG_CLOSE_ANYWAY      68

// Help contexts
#define HELP_TOOLBAR              50
#define HELP_TOOLBAR_MENU         430
#define HELP_ADD_MENU             432

#define IDC_DIALOG_HELP           1039

// The conversion question
#define IDD_CONVERT_FILE          129
#define IDC_CONVERT_ALWAYS        1101
#define IDC_CONVERT_HELP          IDC_DIALOG_HELP
#define HELP_CONVERT_FILE         7

// New toolbars
#define IDD_CREATE_NEW_TOOLBAR    181
#define IDC_NEW_BLANK             1172
#define IDC_NEW_DEFAULT_BUTTONS   1173
#define IDC_NEW_WIZARD            1174
#define IDD_NEW_TOOLBAR_HINT      120
#define IDC_HINT_DONT_SHOW        1064
#define HELP_CREATE_NEW_TOOLBAR   52
#define HELP_NEW_TOOLBAR_HINT     2
#define IDS_NUMBERED_TOOLBAR_NAME 2054

// Control messages of the companions
#define IDS_MSG_NO_SUCH_TOOLBAR   66
#define IDS_MSG_ADD_FAILED        67
#define IDS_MSG_WIZARD_FAILED     80
#define IDS_MSG_WIZARD_BUTTONS    81
