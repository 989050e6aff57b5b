// A window of the previous product's main window class, made by the test
// itself so that Lintel finds a "running copy" of it.
#pragma once

#include <windows.h>

class QuilletStandIn
{
public:
    QuilletStandIn();
    ~QuilletStandIn();
    HWND Handle() const { return m_window; }
    bool CloseRequested() const { return s_closeRequested; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM first, LPARAM second);
    HWND m_window = nullptr;
    static bool s_closeRequested;
};
