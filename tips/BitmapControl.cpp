#include "BitmapControl.h"

#include "HotClick.h"

#include <new>

CBitmapControl::CBitmapControl(HWND window) : m_window(window), m_backColour(GetSysColor(COLOR_BTNFACE)) {}

BOOL CBitmapControl::RegisterClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = TIPS_BITMAP_CONTROL_CLASS;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

CBitmapControl* CBitmapControl::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    char className[32]{};
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpA(className, TIPS_BITMAP_CONTROL_CLASS) != 0)
        return nullptr;
    return reinterpret_cast<CBitmapControl*>(GetWindowLongPtrA(window, 0));
}

void CBitmapControl::SetBitmap(HBITMAP bitmap)
{
    m_bitmap = bitmap;
    InvalidateRect(m_window, nullptr, TRUE);
}

void CBitmapControl::SetBackColor(COLORREF colour)
{
    m_backColour = colour;
    InvalidateRect(m_window, nullptr, TRUE);
}

BOOL CBitmapControl::HasCommand() const
{
    return (GetWindowLongA(m_window, GWL_STYLE) & SS_NOTIFY) != 0;
}

POINT CBitmapControl::Place(DWORD style, SIZE client, SIZE bitmap)
{
    POINT at{0, 0};
    if (style & BCS_RIGHT)
        at.x = client.cx - bitmap.cx;
    else if (style & BCS_HCENTER)
        at.x = (client.cx - bitmap.cx) / 2;
    if (style & BCS_BOTTOM)
        at.y = client.cy - bitmap.cy;
    else if (style & BCS_VCENTER)
        at.y = (client.cy - bitmap.cy) / 2;
    return at;
}

void CBitmapControl::Draw(HDC dc) const
{
    RECT client{};
    GetClientRect(m_window, &client);
    HBRUSH background = CreateSolidBrush(m_backColour);
    FillRect(dc, &client, background);
    DeleteObject(background);
    BITMAP info{};
    if (!m_bitmap || !GetObjectA(m_bitmap, sizeof info, &info))
        return;
    const SIZE clientSize{client.right, client.bottom};
    const SIZE bitmapSize{info.bmWidth, info.bmHeight};
    const POINT at = Place(static_cast<DWORD>(GetWindowLongA(m_window, GWL_STYLE)), clientSize, bitmapSize);
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, m_bitmap);
    BitBlt(dc, at.x, at.y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

LRESULT CALLBACK CBitmapControl::WindowProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_NCCREATE) {
        auto* self = new (std::nothrow) CBitmapControl(window);
        if (!self)
            return FALSE;
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcA(window, message, first, second);
    }
    auto* self = reinterpret_cast<CBitmapControl*>(GetWindowLongPtrA(window, 0));
    if (!self)
        return DefWindowProcA(window, message, first, second);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, 0, 0);
        delete self;
        return DefWindowProcA(window, message, first, second);
    }
    return self->Handle(message, first, second);
}

LRESULT CBitmapControl::Handle(UINT message, WPARAM first, LPARAM second)
{
    LRESULT result = 0;
    if (HandleHotClick(m_window, message, first, second, m_pressed, m_hotCursor, result))
        return result;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(m_window, &paint);
        if (dc) {
            Draw(dc);
            EndPaint(m_window, &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        Draw(reinterpret_cast<HDC>(first));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case STM_SETIMAGE:
        if (first != IMAGE_BITMAP)
            return 0;
        {
            HBITMAP old = m_bitmap;
            SetBitmap(reinterpret_cast<HBITMAP>(second));
            return reinterpret_cast<LRESULT>(old);
        }
    case STM_GETIMAGE:
        return first == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(m_bitmap) : 0;
    default:
        return DefWindowProcA(m_window, message, first, second);
    }
}
