// Finding the main program and its toolbars from another program, and the
// name a sender hands back for a toolbar it found by its window.
#pragma once

#include <windows.h>

// The main program's hidden window, or null when it is not running.
HWND FindMainProgramWindow();

// True when the window is a top-level toolbar window of the process that owns
// main.  A handle kept across a menu's life may since have been destroyed and
// reused by any program, so it is checked before anything is sent to it.
BOOL IsToolbarWindowOf(HWND window, HWND main);

// A protected toolbar shows " (P)" after its name in its title; this cuts
// the mark off the title in place, so that the name handed over is the
// toolbar's own.
void StripProtectedMark(char* title);
