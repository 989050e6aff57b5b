#include "HotClick.h"

#include <windowsx.h>

BOOL HandleHotClick(HWND control, UINT message, WPARAM, LPARAM second, bool& pressed, HCURSOR hotCursor,
                    LRESULT& result)
{
    if (!(GetWindowLongA(control, GWL_STYLE) & SS_NOTIFY))
        return FALSE;
    result = 0;
    switch (message) {
    case WM_SETCURSOR:
        if (!hotCursor)
            return FALSE;
        SetCursor(hotCursor);
        result = TRUE;
        return TRUE;
    case WM_LBUTTONDOWN:
        pressed = true;
        SetCapture(control);
        return TRUE;
    case WM_LBUTTONUP: {
        if (!pressed)
            return TRUE;
        pressed = false;
        if (GetCapture() == control)
            ReleaseCapture();
        RECT client{};
        GetClientRect(control, &client);
        const POINT at{GET_X_LPARAM(second), GET_Y_LPARAM(second)};
        if (PtInRect(&client, at) && IsWindowEnabled(control)) {
            const int id = GetDlgCtrlID(control);
            SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                         reinterpret_cast<LPARAM>(control));
        }
        return TRUE;
    }
    case WM_CAPTURECHANGED:
        pressed = false;
        return TRUE;
    default:
        return FALSE;
    }
}
