// Finding and starting the companion programs of the system: each is found
// through its value under the machine's settings key, else beside the
// program that asks.
#pragma once

#include "Text.h"

// The path of a companion: valueNameId names its value under the machine's
// settings key, fileNameId its file name; both are string ids of the calling
// program's table.
BOOL GetLTLAppLocation(UINT valueNameId, UINT fileNameId, CText& path);
// Starts a companion with the shell.  With showErrors a failure shows
// message 20 (no path) or 65 (it would not start).
BOOL LaunchLTLApp(UINT valueNameId, UINT fileNameId, BOOL showErrors, const char* parameters);
