// What the button property pages share: reading and setting their controls,
// their messages and their help.
#pragma once

#include "../common/PropertyPage.h"
#include "../common/Text.h"

#include <windows.h>

class CFileButton;

namespace buttonpages {

// The text of a control, at most limit characters.
CText ControlText(HWND dialog, int control, int limit);
void Check(HWND dialog, int control, BOOL checked);
BOOL IsChecked(HWND dialog, int control);
void Enable(HWND dialog, int control, BOOL enabled);
// The pages' messages: caption "Button Properties", an exclamation mark, OK.
void ShowPageMessage(const CFileButton* button, HWND page, UINT textId);
// Help on a control of a page: the toolbar's help with the page's table of
// control and help ids (pairs, ending in zeros).
BOOL ShowControlHelp(const CFileButton* button, const HELPINFO* helpInfo, const DWORD* helpIds);

} // namespace buttonpages
