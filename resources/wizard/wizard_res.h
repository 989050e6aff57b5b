// Resource identifiers of Lintel Wizard.
#pragma once

// Dialogs: the eight pages and the companies dialog.
#define IDD_WELCOME             101
#define IDD_NAME                104
#define IDD_POSITION            105
#define IDD_STYLE               106
#define IDD_SEARCH_TYPES        107
#define IDD_SEARCHING           108
#define IDD_CHOOSE              109
#define IDD_FINISHED            110
#define IDD_COMPANIES           114

// Bitmaps and the icon.
#define IDB_UNCHECKED           111
#define IDB_CHECKED             112
#define IDI_WIZARD              116
#define IDB_WELCOME             118
#define IDB_SCREEN              119
#define IDB_VERTICAL            120
#define IDB_HORIZONTAL          121
#define IDB_STYLE               122
#define IDB_SEARCH              123
#define IDB_CHOOSE              124
#define IDB_FINISHED            125

// Controls.
#define IDC_SIDE_PICTURE        100
#define IDC_PREVIEW             102
#define IDC_POSITION_FIRST      20     // 20..24: floating, top left, top right, bottom left, bottom right
#define IDC_POSITION_LAST       24
#define IDC_VERTICAL            30
#define IDC_HORIZONTAL          31
#define IDC_FOUND_COUNT         123
#define IDC_SEARCH_STATUS       189
#define IDC_NAME                1001
#define IDC_LARGE               1009
#define IDC_NORMAL              1010
#define IDC_SMALL               1011
#define IDC_DESCRIPTIONS_YES    1012
#define IDC_DESCRIPTIONS_NO     1013
#define IDC_SEARCH_PROGRESS     1014
#define IDC_FOUND_LIST          1015
#define IDC_CLEAR_ALL           1016
#define IDC_SELECTED_COUNT      1018
#define IDC_TYPE_LIST           1019
#define IDC_SELECT_ALL          1020
#define IDC_CHOOSE_COMPANIES    1021
#define IDC_TYPE_DESCRIPTION    1022
#define IDC_COMPANY_LIST        1023
#define IDC_COMPANIES_HELP      1025

// Strings.
#define IDS_MSG_START_FAILED    1
#define IDS_HELP_FILE           2      // "Lintel.hlp>Popup"
#define IDS_WIZARD_CAPTION      3      // "New Toolbar Wizard": title and box caption
#define IDS_DEFAULT_NAME        4
#define IDS_MSG_NO_NAME         5
#define IDS_INITIALIZING        6
#define IDS_SEARCHING           7
#define IDS_SEARCH_DONE         8
#define IDS_REG_SHELL_FOLDERS   9
#define IDS_REG_START_MENU      10
#define IDS_REG_COMMON_START    11
#define IDS_MSG_TOO_MANY        12
#define IDS_MSG_BUILD_FAILED    13
#define IDS_MSG_NO_BUTTONS      14
#define IDS_MSG_NO_LINTEL       15
#define IDS_MSG_NO_SEARCH_TYPE  16
#define IDS_TITLE_WELCOME       20
#define IDS_TITLE_NAME          21
#define IDS_TITLE_POSITION      22
#define IDS_TITLE_STYLE         23
#define IDS_TITLE_SEARCHING     24
#define IDS_TITLE_CHOOSE        25
#define IDS_TITLE_FINISHED      26
#define IDS_TYPE_FIRST          1000   // 1000..1003: the search types
#define IDS_TYPE_DESCRIPTION_FIRST 1009   // 1009..1012: what each type finds
#define IDS_COMPANIES           1024   // the company names, one a line

// Help contexts.
#define IDH_WELCOME             700
#define IDH_NAME                701
#define IDH_POSITION            702
#define IDH_STYLE               710
#define IDH_SEARCH_TYPES        715
#define IDH_COMPANIES           720
#define IDH_SEARCHING           721
#define IDH_CHOOSE              722
#define IDH_FINISHED            723

// Private messages.
#define UM_RUN_WIZARD           (WM_USER + 1)     // to the program's window
#define UM_START_SEARCH         (WM_USER + 101)   // to the searching page
#define UM_FILL_LIST            (WM_USER + 102)   // to the search-types and choose pages
#define UM_TOGGLE_CHECK         (WM_USER + 103)   // wParam: the list item whose check flips
#define UM_SEARCH_ENDED         (WM_USER + 104)   // from the search thread; wParam 1 when it ran to its end

#define LINTEL_WIZARD_CLASS     "CToolbarWizard"
