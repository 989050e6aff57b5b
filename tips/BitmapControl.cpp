#include "BitmapControl.h"

#include "HotClick.h"
#include "SelfMadeControl.h"
#include "../common/Application.h"

#include <new>

CBitmapControl::CBitmapControl()
    : CWindowBase(TheApplication(), nullptr), m_backColour(GetSysColor(COLOR_BTNFACE)) {}

BOOL CBitmapControl::RegisterClass(HINSTANCE instance)
{
    return RegisterSelfMadeControl(instance, TIPS_BITMAP_CONTROL_CLASS, ClassProc);
}

CBitmapControl* CBitmapControl::FromHandle(HWND window)
{
    return static_cast<CBitmapControl*>(FindSelfMadeControl(window, TIPS_BITMAP_CONTROL_CLASS));
}

void CBitmapControl::SetBitmap(HBITMAP bitmap)
{
    m_bitmap = bitmap;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void CBitmapControl::SetBackColor(COLORREF colour)
{
    m_backColour = colour;
    InvalidateRect(Handle(), nullptr, TRUE);
}

BOOL CBitmapControl::HasCommand() const
{
    return (GetWindowLongA(Handle(), GWL_STYLE) & SS_NOTIFY) != 0;
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
    GetClientRect(Handle(), &client);
    HBRUSH background = CreateSolidBrush(m_backColour);
    FillRect(dc, &client, background);
    DeleteObject(background);
    BITMAP info{};
    if (!m_bitmap || !GetObjectA(m_bitmap, sizeof info, &info))
        return;
    const SIZE clientSize{client.right, client.bottom};
    const SIZE bitmapSize{info.bmWidth, info.bmHeight};
    const POINT at = Place(static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), clientSize, bitmapSize);
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, m_bitmap);
    BitBlt(dc, at.x, at.y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

LRESULT CALLBACK CBitmapControl::ClassProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    return SelfMadeControlProc(window, message, first, second,
                               []() -> CWindowBase* { return new (std::nothrow) CBitmapControl(); });
}

LRESULT CBitmapControl::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    LRESULT result = 0;
    if (HandleHotClick(Handle(), message, first, second, m_pressed, m_hotCursor, result))
        return result;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(Handle(), &paint);
        if (dc) {
            Draw(dc);
            EndPaint(Handle(), &paint);
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
        return DefaultProc(message, first, second);
    }
}
