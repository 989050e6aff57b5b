// Resource ids of the button property pages and the "Choose an icon" dialog.
#pragma once

// Pages and dialogs
#define IDD_BUTTON_GENERAL        155
#define IDD_BUTTON_TARGET         156
#define IDD_BUTTON_STARTUP        157
#define IDD_CHOOSE_ICON           158
#define IDD_BUTTON_DESKTOP        184

// General page
#define IDC_BP_DESCRIPTION        1031
#define IDC_BP_DEFAULT_ICON       1060
#define IDC_BP_ICON_PREVIEW       1140
#define IDC_BP_CHANGE_ICON        1142

// Target page
#define IDC_BP_FILE               1024
#define IDC_BP_START_IN           1025
#define IDC_BP_FILE_BROWSE        1096
#define IDC_BP_FOLDER_BROWSE      1097
#define IDC_BP_PARAMETERS         1098

// Startup page
#define IDC_BP_ALLOW_DROPS        1026
#define IDC_BP_CONVERT_83         1062
#define IDC_BP_SHOW_STATE         1144
#define IDC_BP_LEFT_CLICK_GROUP   1151
#define IDC_BP_OPEN_TARGET        1152
#define IDC_BP_START_EVERY        1153

// Desktop page
#define IDC_BP_CURRENT_DESKTOP    1178
#define IDC_BP_DESKTOP_CHOOSER    1179

// "Choose an icon"
#define IDC_ICON_FILE             1057
#define IDC_ICON_LIST             1058
#define IDC_ICON_BROWSE           1059
#define IDC_ICON_HELP             1039

// Messages
#define IDS_MSG_NO_FILENAME       38
#define IDS_MSG_NO_FOLDER         42
#define IDS_MSG_ICON_FILE_TYPE    45
#define IDS_MSG_ICON_NOT_32BIT    46
#define IDS_MSG_ICON_NO_FILE      47
#define IDS_MSG_ICON_INVALID      48
#define IDS_MSG_ICON_NONE_CHOSEN  49

// Texts
#define IDS_ICON_FILTER           2006
#define IDS_SELECT_FOLDER         2047
#define IDS_PAGE_STARTUP          2049
#define IDS_PAGE_TARGET           2055
#define IDS_PAGE_DESKTOP          2064

// Help contexts
#define IDH_BP_DESCRIPTION        641
#define IDH_BP_DEFAULT_ICON       642
#define IDH_BP_ICON_PREVIEW       643
#define IDH_BP_CHANGE_ICON        644
#define IDH_CHOOSE_ICON           650
#define IDH_BP_SHOW_STATE         671
#define IDH_BP_ALLOW_DROPS        672
#define IDH_BP_CONVERT_83         673
#define IDH_BP_OPEN_TARGET        674
#define IDH_BP_START_EVERY        675
#define IDH_BP_CURRENT_DESKTOP    681
#define IDH_BP_DESKTOP_CHOOSER    682
