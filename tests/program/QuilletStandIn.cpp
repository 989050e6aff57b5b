#include "QuilletStandIn.h"

bool QuilletStandIn::s_closeRequested = false;

LRESULT CALLBACK QuilletStandIn::Proc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_CLOSE) {
        // Recorded, not obeyed: the test decides when the window goes.
        s_closeRequested = true;
        return 0;
    }
    return DefWindowProcA(window, message, first, second);
}

QuilletStandIn::QuilletStandIn()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "CQLAppMainWindow";
        registered = RegisterClassExA(&windowClass) != 0;
    }
    s_closeRequested = false;
    m_window = CreateWindowExA(0, "CQLAppMainWindow", "Quillet", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
}

QuilletStandIn::~QuilletStandIn()
{
    if (m_window)
        DestroyWindow(m_window);
}
