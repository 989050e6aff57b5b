// Resource identifiers of Lintel Tips.
#pragma once

// Icon, dialogs, pictures, cursor.
#define IDI_TIPS                101
#define IDD_TIP_OF_THE_DAY      102
#define IDB_TIP_BULB            103
#define IDD_GETTING_STARTED     136
#define IDC_HOT_CURSOR          137
#define IDB_LESSON              139    // a lesson still to take
#define IDB_LESSON_TAKEN        140

// A tip record: resource type "TIPS", id IDR_TIP_FIRST + n, holding the
// string id of the text and the help item (two 32-bit values).
#define IDR_TIP_FIRST           400

// Controls of the Tip of the Day dialog.
#define IDC_TIP_HEADING         1000
#define IDC_TIP_TEXT            1001
#define IDC_NEXT_TIP            1002
#define IDC_WHATS_NEW           1003
#define IDC_MORE_INFO           1004
#define IDC_TIP_PICTURE         1005
#define IDC_SHOW_TIPS           1006

// Controls of the Getting Started dialog: lesson k (0..4) is the picture
// IDC_LESSON_PICTURE + k and the hot text IDC_LESSON_TEXT + k.
#define IDC_LESSON_PICTURE      20
#define IDC_LESSON_TEXT         30
#define IDC_START_HEADING       40
#define IDC_START_WELCOME       41
#define IDC_START_HINT          42
#define IDC_START_LESSONS       43

// Strings.
#define IDS_TIPS_NAME           1      // "Lintel Tip of the Day", also the window title
#define IDS_MSG_INIT_FAILED     2
#define IDS_MSG_WINDOW_FAILED   3
#define IDS_HELP_FILE           4      // "Lintel.hlp>Popup"
#define IDS_REG_KEY_TIPS        5      // the settings key
#define IDS_REG_CURRENT_TIP     6
#define IDS_REG_SHOW_TIPS       7
#define IDS_MSG_START_LINTEL    8
#define IDS_MSG_LINTEL_FAILED   9
#define IDS_MSG_NO_HELP_ITEM    10
#define IDS_REG_LESSON_FORMAT   11     // "Lesson%-1d"
#define IDS_REG_YES             12
#define IDS_REG_NO              13
#define IDS_MISSING_TIP         14
#define IDS_LINTEL_EXE          15     // "Lintel.exe"
#define IDS_REG_TIPS_PATH       16     // "TipsPath", where the installer put this program
#define IDS_TIP_FIRST_TEXT      1024   // texts of the tips

// Help items.
#define IDH_WHATS_NEW           5
#define IDH_FIRST_LESSON        1000

// Messages the window takes.
#define UM_SHOW_TIP_OF_THE_DAY  (WM_USER + 101)
#define UM_SHOW_GETTING_STARTED (WM_USER + 102)
