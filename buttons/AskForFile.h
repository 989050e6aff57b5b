// The open-file dialog the button dialogs browse with.
#pragma once

#include <windows.h>

// Asks for an existing file with the filter of string filterId (its bars
// standing for the separators), or fallbackFilter when the string table
// lacks it.  FALSE when the user cancels.
BOOL AskForFile(HWND owner, UINT filterId, const char* fallbackFilter, char (&file)[MAX_PATH]);
