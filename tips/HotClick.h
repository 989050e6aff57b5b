// The click behaviour CTextControl and CBitmapControl share when they have a
// command (SS_NOTIFY): a press captures the mouse, a release over the control
// sends WM_COMMAND with the control id to the parent, and the hot cursor
// shows while the pointer is over it.
#pragma once

#include <windows.h>

// Serves the mouse and cursor messages of a hot control; TRUE when the
// message was taken (its result is then in result).
BOOL HandleHotClick(HWND control, UINT message, WPARAM first, LPARAM second, bool& pressed, HCURSOR hotCursor,
                    LRESULT& result);
