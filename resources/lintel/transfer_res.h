// Resource ids of clipboard and drag-and-drop transfer: the shortcut menu of
// dropped shortcuts, the messages and the toolbar's trace names.
#pragma once

// The menu shown for a shortcut dropped with the right button
#define IDM_SHORTCUT_MENU          159
#define IDC_SHORTCUT_ADD_TARGET    54
#define IDC_SHORTCUT_ADD_ITSELF    55
#define HELP_SHORTCUT_MENU         475

// Messages of data transfer
#define IDS_MSG_COPY_FAILED        12
#define IDS_MSG_CLIPBOARD_FAILED   13
#define IDS_MSG_PASTE_UNSUPPORTED  14
#define IDS_MSG_NO_FILES_DROPPED   15
#define IDS_MSG_DROPPED_NOT_ADDED  16
#define IDS_MSG_NO_SHORT_NAME      82

// Trace names of the toolbar's transfer methods (texts in trace.rc)
#define TR_COPY                    5095
#define TR_COPY_FAILED             5096
#define TR_PASTE                   5097
#define TR_PASTE_RESULT            5098
#define TR_ADD_FROM_DATA_OBJECT    5099
#define TR_ADD_FROM_DATA_OBJECT_RESULT 5100
#define TR_DROP_ON_BUTTON          5101
#define TR_DROP_ON_BUTTON_RESULT   5102
#define TR_RESOLVE_SHORTCUT        5108
#define TR_RESOLVE_SHORTCUT_RESULT 5109
#define TR_GET_BUTTON_TYPE         5110
#define TR_GET_BUTTON_TYPE_RESULT  5111
#define TR_DRAG_START              5121
#define TR_DRAG_START_RESULT       5122
#define TR_CAN_ACCEPT_DRAG         5123
#define TR_CAN_ACCEPT_DRAG_RESULT  5124
#define TR_GET_SHORTCUT_TYPE       5125
#define TR_GET_SHORTCUT_TYPE_RESULT 5126
