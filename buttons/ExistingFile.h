// Whether a path names an existing file.  Only a full path ("C:\..." or
// "\\server\share\...") can: a bare name would be looked for in the current
// folder, and "www.example.com" must never become a file because someone
// left a file of that name there.  The file's attributes tell, at any path
// length (the old 16-bit file calls give up at 128 characters).
#pragma once

#include <windows.h>

BOOL IsFullPath(const char* path);
// FALSE for a folder.
BOOL IsExistingFile(const char* path);
