// Resource identifiers of ltlext.dll.  The shell loads the library into its
// own process, so every text it shows comes from this table, never from the
// host's resources.
#pragma once

#define IDS_EXT_REG_KEY          1
#define IDS_EXT_EXPLORER_VALUE   2
#define IDS_EXT_ADD_TO           3
#define IDS_EXT_TOOLBAR          4
#define IDS_EXT_UNKNOWN          5
#define IDS_EXT_CHOOSE_HELP      6
#define IDS_EXT_ADD_HELP         7
#define IDS_EXT_EXPLORER_HELP    8
#define IDS_EXT_ADD_TO_POPUP     9
#define IDS_EXT_EXPLORER_FILE    10
#define IDS_EXT_TOOLBAR_GONE     11
#define IDS_EXT_ADD_VERB         12
#define IDS_EXT_EXPLORER_VERB    13
#define IDS_EXT_MENU_NAME        14
#define IDS_EXT_FIND_NAME        15
#define IDS_EXT_FIND_MENU_TEXT   16
