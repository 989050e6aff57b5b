// Resource identifiers of Lintel.exe.
#pragma once

// Trace names of the code every program shares.
#include "../common/common_res.h"

// The program menu, Options dialog and About box keep theirs in a header of their own.
#include "menu_res.h"
#include "toolbarsheet_res.h"
#include "toolbar_res.h"
#include "button_res.h"
#include "address_res.h"
#include "folder_res.h"
#include "properties_res.h"
#include "transfer_res.h"
#include "protection_res.h"

// Icons and cursors
#define IDI_LINTEL               101
#define IDI_LINTEL_HIDDEN        102

// Dialogs
#define IDD_OPEN_PROGRESS        134

// Controls of the progress dialog
#define IDC_PROGRESS_FILE        1112
#define IDC_PROGRESS_BAR         1113
#define IDC_PROGRESS_CAPTION     1186

// Message texts (DisplayMessage)
#define IDS_MSG_OLE_FAILED       1
#define IDS_MSG_INIT_FAILED      2
#define IDS_MSG_MAINWND_FAILED   3
#define IDS_MSG_SET_FAILED       4
#define IDS_MSG_TRAY_FAILED      5
#define IDS_MSG_READ_FAILED      7
#define IDS_MSG_ADD_TO_LIST      8
#define IDS_MSG_CREATE_TOOLBAR   9
#define IDS_MSG_OPEN_TOOLBAR     10
#define IDS_MSG_COMMAND_LINE     44
#define IDS_MSG_MAX_TOOLBARS     51
#define IDS_MSG_QUILLET          54
#define IDS_MSG_STARTUP_OPEN     79

// Program texts
#define IDS_INTRO_HELP_FILE      76
#define IDS_APP_NAME             2003
#define IDS_MINIMIZED            2004
#define IDS_HELP_FILE            2005
#define IDS_OPEN_FILTER          2010
#define IDS_VERSION_PREFIX       2023
#define IDS_CREATING             2065

// Registry names
#define IDS_REG_NUM_TOOLBARS     3032
#define IDS_REG_TOOLTIPS         3033
#define IDS_REG_SAVE_ON_CLOSE    3034
#define IDS_REG_OPEN_ON_START    3035
#define IDS_REG_ALLOW_TAB        3036
#define IDS_REG_ONLY_ONE_OPEN    3037
#define IDS_REG_NEW_TOOLBAR_HELP 3038
#define IDS_REG_RECENT           3039
#define IDS_REG_NUM_RECENT       3040
#define IDS_REG_DEFAULT_NEW      3041
#define IDS_REG_OPTIONS_HOTKEY   3042
#define IDS_REG_TOOLBAR_HOTKEY   3043
#define IDS_REG_CONVERT_OLD      3047
#define IDS_REG_SHOWALL_HOTKEY   3048
#define IDS_REG_SHOW_TIPS        3050
#define IDS_REG_EXPLORER_PATH    3052
#define IDS_REG_EXPLORER_EXE     3053
#define IDS_REG_TIPS_PATH        3056
#define IDS_REG_TIPS_EXE         3057
#define IDS_REG_NEWWIZ_PATH      3058
#define IDS_REG_NEWWIZ_EXE       3059
#define IDS_REG_SHORTCUTS        3060

// Trace names: classes, methods and free texts (5000 to 5159)
#define TR_CMAINAPP              5000
#define TR_CMAINAPP_DTOR         5001
#define TR_INITIALISE            5002
#define TR_FOUND_PREVIOUS        5003
#define TR_STOPPING_DOUBLE       5004
#define TR_OLE_FAILED            5005
#define TR_REGISTERING_CLASSES   5006
#define TR_CREATE                5007
#define TR_COMMAND_LINE_EMPTY    5008
#define TR_CREATE_RESULT         5009
#define TR_TERMINATE             5010
#define TR_OPEN_FROM_CMDLINE     5011
#define TR_ATOM_FAILED           5012
#define TR_POSTING_OPEN          5013
#define TR_DISPLAY_MESSAGE       5032
#define TR_RUNNING_NT4           5044
#define TR_RUNNING_NT4_RESULT    5045
#define TR_CHECK_QUILLET         5046
#define TR_QUILLET_RUNNING       5047
#define TR_CLOSING_QUILLET       5048
#define TR_CREATING_MAIN_WINDOW  5049
#define TR_CMAINWINDOW           5050
#define TR_CMAINWINDOW_DTOR      5051
#define TR_ONCREATE              5052
#define TR_ONCREATE_RESULT       5053
#define TR_INITIALISE_RESULT     5054
#define TR_UM_ADDBUTTON          5055
#define TR_UM_ADDBUTTON_RESULT   5056
#define TR_TOOLBAR_NAME          5057
#define TR_UM_CREATETB           5058
#define TR_FILE                  5059
#define TR_ONCOMMAND             5060
#define TR_DEFAULT_COMMAND       5061
#define TR_ONTIMER               5062
#define TR_ONCLOSE               5063
#define TR_ONDESTROY             5064
#define TR_OPEN_FROM_CMDLINE_RESULT 5065
#define TR_CREATE_WIZARD_TOOLBAR 5066
#define TR_CREATE_WIZARD_TOOLBAR_RESULT 5067
#define TR_CTOOLBARSET           5068
#define TR_CTOOLBARSET_DTOR      5069
#define TR_REMOVE                5081
#define TR_REMOVE_RESULT         5082
#define TR_CREATE_NEW_TOOLBAR    5070
#define TR_OPEN                  5071
#define TR_OPEN_RESULT           5072
#define TR_ADD_FROM_FILE         5073
#define TR_ADD_FROM_FILE_RESULT  5074
#define TR_CREATE_BLANK_TOOLBAR  5075
#define TR_CREATE_BLANK_TOOLBAR_RESULT 5076
#define TR_ADD_BUTTON_TO_TOOLBAR 5077
#define TR_ADD_BUTTON_TO_TOOLBAR_RESULT 5078
#define TR_COMPLETE_NEW_TOOLBAR  5079
#define TR_COMPLETE_NEW_FAILED   5080
#define TR_HOTKEYS_CHANGED       5083
#define TR_HOTKEYS_CHANGED_RESULT 5084
#define TR_READ_STATUS           5085
#define TR_READ_STATUS_RESULT    5086
#define TR_WRITE_STATUS          5087
#define TR_WRITE_STATUS_RESULT   5088
#define TR_ADD_NEW_RESULT        5089
#define TR_SAVE_NEW              5090
#define TR_DIRECTORY             5091
#define TR_SAVE_NEW_RESULT       5092
#define TR_CTOOLBAR              5093
#define TR_CTOOLBAR_DTOR         5094
#define TR_REMOVE_PTR            5103
#define TR_ADD_BUTTON            5104
#define TR_ADD_BUTTON_RESULT     5105
#define TR_STORE_CREATION_DATA   5106
#define TR_STORE_CREATION_DATA_RESULT 5107
#define TR_WRITE_TO_FILE         5114
#define TR_WRITE_TO_FILE_RESULT  5115
#define TR_READ                  5116
#define TR_READ_RESULT           5117
#define TR_BUTTON_COUNT          5118
#define TR_WRITE                 5119
#define TR_WRITE_RESULT          5120
#define TR_INSERT_AFTER          5112
#define TR_INSERT_AFTER_RESULT   5113
#define TR_CTOOLBUTTON           5154
#define TR_CTOOLBUTTON_DTOR      5155
#define TR_READ_ICON             5156
#define TR_READ_ICON_RESULT      5157
#define TR_WRITE_ICON            5158
#define TR_WRITE_ICON_RESULT     5159
