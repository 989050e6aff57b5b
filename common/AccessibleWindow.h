// What screen readers learn of a window drawn by the program itself: its
// name and role.  The system's standard object for the window answers
// everything else (place, state, parent, focus), so the window only adds
// what the system cannot know.  oleacc is loaded when first asked for, as
// the programs also start on systems without it.
#pragma once

#include <windows.h>

// The answer to WM_GETOBJECT: for the client object, one with the given name
// (in the ANSI code page) and MSAA role; 0 for every other object, which the
// default window procedure then answers.
LRESULT AnswerAccessibleObject(HWND window, WPARAM flags, LPARAM objectId, const char* name, long role);
// Tells accessibility clients that the keyboard focus is now on the window's
// client object (a button the toolbar draws as focused while it holds the
// focus itself).
void NotifyAccessibleFocus(HWND window);
