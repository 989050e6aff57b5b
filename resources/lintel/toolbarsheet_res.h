// Resource ids of the toolbar property sheet and its pages.
#pragma once

// Pages (the Protection page keeps its resources with the protection code)
#define IDD_TBP_GENERAL           104
#define IDD_TBP_POSITION          105
#define IDD_TBP_BUTTONS           115
#define IDD_TBP_BACKGROUND        122
#define IDD_TBP_STYLE             123
#define IDD_TBP_PROTECTION        164

// Bitmaps of the Buttons page's move buttons
#define IDB_TBP_MOVE_UP           212
#define IDB_TBP_MOVE_DOWN         213

// Texts
#define IDS_TBP_CAPTION           2039
#define IDS_TBP_POSITION          2028
#define IDS_TBP_STYLE             2031
#define IDS_TBP_BACKGROUND        2032
#define IDS_TBP_BUTTONS           2033
#define IDS_TBP_DESCRIPTION       2034
#define IDS_TBP_PROTECTION        2061
#define IDS_TBP_SAMPLE_TEXT       2066
#define IDS_TBP_SPACE             2067

// General
#define IDC_TBP_NAME              1005
#define IDC_TBP_FILE              1006
#define IDC_TBP_BUTTON_COUNT      1020

// Position
#define IDC_TBP_VERTICAL          1007
#define IDC_TBP_HORIZONTAL        1008
#define IDC_TBP_ON_TOP            1012
#define IDC_TBP_DOCKED            1013
#define IDC_TBP_BOTTOM_RIGHT      1014
#define IDC_TBP_TOP_LEFT          1016
#define IDC_TBP_TOP_RIGHT         1017
#define IDC_TBP_BOTTOM_LEFT       1018
#define IDC_TBP_FIXED             1067
#define IDC_TBP_POSITION_PREVIEW  1089
#define IDC_TBP_AUTOHIDE          1130
#define IDC_TBP_SCREEN_STRIP      1133

// Style
#define IDC_TBP_LARGE             1081
#define IDC_TBP_NORMAL            1082
#define IDC_TBP_SMALL             1083
#define IDC_TBP_BORDER            1084
#define IDC_TBP_SHOW_DESCRIPTION  1085
#define IDC_TBP_BUTTON_BACKGROUND 1086
#define IDC_TBP_STYLE_PREVIEW     1088

// Background
#define IDC_TBP_GRADIENT          1077
#define IDC_TBP_END_COLOUR        1080
#define IDC_TBP_GRADIENT_PREVIEW  1087
#define IDC_TBP_START_COLOUR      1149

// Buttons
#define IDC_TBP_BUTTON_LIST       1047
#define IDC_TBP_ADD_SPACE         1061
#define IDC_TBP_ADD               1068
#define IDC_TBP_PROPERTIES        1069
#define IDC_TBP_DELETE            1070
#define IDC_TBP_SHOW_MENU_BUTTON  1114
#define IDC_TBP_MOVE_UP           1131
#define IDC_TBP_MOVE_DOWN         1132

// Help contexts of the pages' controls (WM_HELP)
#define IDH_TBP_NAME              551
#define IDH_TBP_FILE              552
#define IDH_TBP_BUTTON_COUNT      553
#define IDH_TBP_ORIENTATION       561
#define IDH_TBP_ON_TOP            562
#define IDH_TBP_DOCKED            563
#define IDH_TBP_TOP_LEFT          564
#define IDH_TBP_TOP_RIGHT         565
#define IDH_TBP_BOTTOM_LEFT       566
#define IDH_TBP_BOTTOM_RIGHT      567
#define IDH_TBP_FIXED             568
#define IDH_TBP_POSITION_PREVIEW  569
#define IDH_TBP_AUTOHIDE          570
#define IDH_TBP_SCREEN_STRIP      571
#define IDH_TBP_GRADIENT          591
#define IDH_TBP_START_COLOUR      592
#define IDH_TBP_END_COLOUR        593
#define IDH_TBP_GRADIENT_PREVIEW  594
#define HELP_TBP_SPACE_MENU       460
