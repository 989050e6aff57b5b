// Resource ids of the folder and group buttons: their hold menus and messages.
#pragma once

// Messages
#define IDS_MSG_MENU_OUT_OF_MEMORY 39
#define IDS_MSG_OWN_TOOLBAR        70

// Texts of the folder contents menu
#define IDS_FOLDER_OPEN            2022
#define IDS_FOLDER_NO_FILES        2025

// Help contexts of the hold menus
#define HELP_FOLDER_MENU           473
#define HELP_GROUP_MENU            474
