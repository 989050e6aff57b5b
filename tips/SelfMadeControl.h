// The class procedure of the tip program's own controls.  Dialog templates
// make them, so no object comes in the create parameters as CWindowBase
// expects: the control's object is made here at WM_NCCREATE, handed to
// CWindowBase's procedure in a copy of the create parameters, and deleted
// once the window has gone (after WM_NCDESTROY).
#pragma once

#include "../common/WindowBase.h"

using CControlFactory = CWindowBase* (*)();

LRESULT SelfMadeControlProc(HWND window, UINT message, WPARAM first, LPARAM second, CControlFactory make);

// Registers a control class whose windows come from SelfMadeControlProc.
BOOL RegisterSelfMadeControl(HINSTANCE instance, const char* className, WNDPROC procedure);

// The object behind a window of that class, or null for any other window.
CWindowBase* FindSelfMadeControl(HWND window, const char* className);
