// "CTextControl": a static text that draws its window text line by line and
// tells its parent when it is clicked (WM_COMMAND with its id and handle).
// Its settings live in the window's extra bytes, so it needs no object.
#pragma once

#include <windows.h>

// Messages that set the control's look; each answers the previous value.
enum : UINT {
    TXM_SETBKMODE = WM_USER + 101,     // wParam: OPAQUE (fills with the background colour first) or TRANSPARENT
    TXM_SETBKCOLOR = WM_USER + 102,    // lParam: COLORREF
    TXM_SETFONT = WM_USER + 103,       // lParam: HFONT, still the caller's; null: the parent's font
    TXM_SETCURSOR = WM_USER + 104,     // lParam: HCURSOR, still the caller's; null: the arrow
    TXM_SETTEXTCOLOR = WM_USER + 105,  // lParam: COLORREF
};

// The window extra bytes of the class: two handles at pointer size, then the
// mode and the two colours.
constexpr int kTextControlFontOffset = 0;
constexpr int kTextControlCursorOffset = sizeof(LONG_PTR);
constexpr int kTextControlModeOffset = 2 * sizeof(LONG_PTR);
constexpr int kTextControlBackgroundOffset = kTextControlModeOffset + sizeof(LONG);
constexpr int kTextControlTextColourOffset = kTextControlBackgroundOffset + sizeof(LONG);
constexpr int kTextControlExtraBytes = kTextControlTextColourOffset + sizeof(LONG);

LRESULT CALLBACK TextControlProc(HWND window, UINT message, WPARAM first, LPARAM second);
