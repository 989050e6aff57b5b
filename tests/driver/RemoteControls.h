// Reading and driving the common controls of another process's window, as a
// test sees them from outside.  Messages whose parameters point at memory go
// through a buffer made inside the other process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// A window's text by WM_GETTEXT (a control's own text, which GetWindowText
// does not ask another process for): a status bar's first part, a
// drop-down list's selected entry.
std::string ControlText(HWND control);

// The texts of every entry of a combo box.
std::vector<std::string> ComboTexts(HWND combo);

// The texts of every entry of a list box that keeps strings (owner-drawn
// ones too, with LBS_HASSTRINGS).
std::vector<std::string> ListBoxTexts(HWND list);

// The list view's items: the text of one column for every item, in list order.
std::vector<std::string> ListViewTexts(HWND list, int column = 0);
// Selects one item (and focuses it); false when the list would not.
bool ListViewSelect(HWND list, int item);
// The screen rectangle of an item.
bool ListViewItemRect(HWND list, int item, RECT& rect);

// The state bits of a toolbar button (TBSTATE_*), or -1.
int ToolbarButtonState(HWND toolbar, int command);

} // namespace driver
