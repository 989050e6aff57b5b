// Resource ids of toolbar protection: the Protection page, the two password
// dialogs and their messages.
#pragma once

// Dialogs
#define IDD_PROTECTION_PAGE        164
#define IDD_ENTER_PASSWORD         165
#define IDD_CHANGE_PASSWORD        166

// Controls of the Protection page
#define IDC_PROTECT_TOOLBAR        1157
#define IDC_PASSWORD_REQUIRED      1158
#define IDC_SET_PASSWORD           1159
#define IDC_ALLOW_ADD              1164
#define IDC_ALLOW_REMOVE           1165
#define IDC_ALLOW_DRAG             1166
#define IDC_ALLOW_BUTTON_PROPERTIES 1167
#define IDC_ALLOW_CLIPBOARD        1168
#define IDC_ALLOW_TARGET_MENU      1169
#define IDC_ALLOW_TOOLBAR_PROPERTIES 1170
#define IDC_QUICK_UNLOCK_OPTION    1171

// Controls of the password dialogs
#define IDC_PASSWORD               1160
#define IDC_CURRENT_PASSWORD       1161
#define IDC_NEW_PASSWORD           1162
#define IDC_REENTER_PASSWORD       1163

// Messages
#define IDS_MSG_WRONG_PASSWORD     71
#define IDS_MSG_NO_NEW_PASSWORD    72
#define IDS_MSG_PASSWORDS_DIFFER   73
#define IDS_MSG_PROTECTION_ON_OK   74
#define IDS_MSG_NO_PROTECTION      75

// Help contexts of the Protection page's controls
#define HELP_PROTECT_TOOLBAR       601
#define HELP_PASSWORD_REQUIRED     602
#define HELP_SET_PASSWORD          603
#define HELP_ALLOW_ADD             604
#define HELP_ALLOW_REMOVE          605
#define HELP_ALLOW_DRAG            606
#define HELP_ALLOW_BUTTON_PROPERTIES 607
#define HELP_ALLOW_CLIPBOARD       608
#define HELP_ALLOW_TARGET_MENU     609
#define HELP_ALLOW_TOOLBAR_PROPERTIES 610
#define HELP_QUICK_UNLOCK_OPTION   611

// Trace names (texts in protection.rc)
#define TR_SET_PROTECTION          5190
#define TR_SET_PROTECTION_RESULT   5191
#define TR_QUICK_LOCK              5192
#define TR_QUICK_LOCK_RESULT       5193
