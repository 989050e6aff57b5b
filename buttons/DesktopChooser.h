// The desktop chooser: a small grid of the virtual-desktop product's desktops
// in which the user picks the one a button opens its target on.  The button
// properties' desktop page hosts it and talks to it with the messages below.
#pragma once

#include <windows.h>

constexpr const char* kDesktopChooserClass = "MultivaControlClass";

// The control's state lives in its window extra bytes, one LONG each (none of
// it is a pointer, so 32 bits are enough on 64-bit Windows too).
constexpr int kChooserGridOffset = 0;       // columns low word, rows high word
constexpr int kChooserCellOffset = 4;       // column low word, row high word
constexpr int kChooserDisabledOffset = 8;   // non-zero: drawn inert
constexpr int kDesktopChooserExtraBytes = 3 * sizeof(LONG);

// wParam: the disabled flag (TRUE while "use current desktop" is ticked);
// lParam: the selected cell (column low word, row high word), or -1 to keep
// the current one.  Answers 1.
constexpr UINT kChooserSetState = WM_USER + 101;
// Answers the selected cell (column low word, row high word).
constexpr UINT kChooserGetCell = WM_USER + 102;
// lParam: the grid size (columns low word, rows high word).  Answers 1.
constexpr UINT kChooserSetGrid = WM_USER + 103;

// When the user picks another cell (a click or an arrow key) the control
// tells its parent with WM_COMMAND, BN_CLICKED and its own id, so that a
// property page can mark itself changed.

LRESULT CALLBACK DesktopChooserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the window class for the given module; TRUE when it is (or was
// already) registered.
BOOL RegisterDesktopChooserClass(HINSTANCE instance);
