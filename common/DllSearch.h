// Where the programs look for the libraries they load at run time.  Windows
// looks in the current folder for a library named without a path, so a file
// left in whatever folder a program happens to be started in (a download
// folder, a share that holds a toolbar file) would run inside it.
#pragma once

#include <windows.h>

// Takes the current folder out of the library search of the whole process.
// Every program calls it first thing at start, before anything is loaded.
// A library (the shell extension) never calls it: the search belongs to the
// process that hosts it.
void RestrictLibrarySearch();

// The folders LoadLibraryFrom may look in, tried in this order.
enum LibraryFolders : unsigned {
    kLibraryInProgramFolder = 0x1,   // the folder of the module this code is built into
    kLibraryInSystemFolder = 0x2,
};

// Loads a library by its file name (no folder in it) from the folders given,
// never through the search for a bare name.  Null when none of them holds it.
HMODULE LoadLibraryFrom(const char* fileName, unsigned folders);
