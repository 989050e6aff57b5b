// The class procedure of the tip program's own controls.  Dialog templates
// make them, so no object comes in the create parameters as CWindowBase
// expects: the control's object is made here at WM_NCCREATE, handed to
// CWindowBase's procedure in a copy of the create parameters, and deleted
// once the window has gone (after WM_NCDESTROY).
#pragma once

#include "../common/WindowBase.h"

using CControlFactory = CWindowBase* (*)();

LRESULT SelfMadeControlProc(HWND window, UINT message, WPARAM first, LPARAM second, CControlFactory make);
