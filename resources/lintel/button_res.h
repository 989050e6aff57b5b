// Resource ids of the buttons: context and hold menus, dialogs, messages.
#pragma once

// Menus
#define IDM_BUTTON_MENU           102
#define IDM_HOLD_MENU             152

// Commands of the button menu (ids 2 to 6 are fixed: the toolbar's space
// buttons use the same menu)
#define IDC_BTN_CUT               2
#define IDC_BTN_COPY              3
#define IDC_BTN_PASTE             4
#define IDC_BTN_DELETE            5
#define IDC_BTN_PROPERTIES        6

// Commands of the hold menu of program buttons
#define IDC_HOLD_CLEAR_RECENT     53
#define IDC_HOLD_OPEN_WITH        54
// The entries of the recent documents list follow from this id on.
#define IDC_HOLD_FIRST_RECENT     101

// The commands of the target's own context menu, inserted as "Target"
#define IDC_TARGET_FIRST          101
#define IDC_TARGET_LAST           1000

// "Open with parameters"
#define IDD_OPEN_WITH_PARAMETERS  163
#define IDC_OPEN_WITH_EDIT        1154
#define IDC_OPEN_WITH_BROWSE      1155

// Messages of starting a target
#define IDS_MSG_FILE_NOT_FOUND    22
#define IDS_MSG_PATH_NOT_FOUND    23
#define IDS_MSG_ACCESS_DENIED     24
#define IDS_MSG_OUT_OF_MEMORY     25
#define IDS_MSG_DLL_NOT_FOUND     26
#define IDS_MSG_SHARING_VIOLATION 27
#define IDS_MSG_ASSOC_INCOMPLETE  28
#define IDS_MSG_NO_ASSOCIATION    29
#define IDS_MSG_START_FAILED      30

// Texts
#define IDS_BUTTON_PROPERTIES     2002
#define IDS_ALL_FILES_FILTER      2046
#define IDS_SHOW_MINIMIZED        2056
#define IDS_SHOW_MAXIMIZED        2057
#define IDS_SHOW_NORMAL           2058
#define IDS_NO_RECENT_FILES       2070
#define IDS_TARGET_MENU           2071

// Help contexts
#define HELP_BUTTON_MENU          460
#define HELP_HOLD_MENU            470

// Trace names of the button kinds (the texts are in trace.rc); "Read" and
// "Write" are the toolbar's texts (TR_READ, TR_WRITE).
#define TR_CEXECBUTTON            5127
#define TR_CEXECBUTTON_DTOR       5128
#define TR_BUTTON_CREATE          5129
#define TR_EXECUTE                5130
#define TR_EXECUTE_RESULT         5131
#define TR_READ2                  5132
#define TR_READ2_RESULT           5133
#define TR_WRITE2                 5134
#define TR_WRITE2_RESULT          5135
#define TR_CHECK_FILE_OK          5136
#define TR_CHECK_FILE_OK_RESULT   5137
#define TR_GET_ASSOCIATED_INFO    5138
#define TR_GET_ASSOCIATED_INFO_RESULT 5139
#define TR_GET_OBJECT_DATA        5140
#define TR_GET_OBJECT_DATA_RESULT 5141
#define TR_GET_SHORTCUT_DATA      5142
#define TR_GET_SHORTCUT_DATA_RESULT 5143
#define TR_CFOLDERBUTTON          5144
#define TR_CFOLDERBUTTON_DTOR     5145
#define TR_CGROUPBUTTON           5146
#define TR_CGROUPBUTTON_DTOR      5147
#define TR_CURLBUTTON             5148
#define TR_CURLBUTTON_DTOR        5149
#define TR_CFILEBUTTON            5150
#define TR_CFILEBUTTON_DTOR       5151
#define TR_SET_FILE               5152
#define TR_SET_FILE_RESULT        5153
