#include "TextControl.h"

#include "HotClick.h"

#include <new>
#include <vector>

CTextControl::CTextControl(HWND window)
    : m_window(window), m_textColour(GetSysColor(COLOR_WINDOWTEXT)), m_backColour(GetSysColor(COLOR_BTNFACE))
{
}

BOOL CTextControl::RegisterClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = TIPS_TEXT_CONTROL_CLASS;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

CTextControl* CTextControl::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    char className[32]{};
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpA(className, TIPS_TEXT_CONTROL_CLASS) != 0)
        return nullptr;
    return reinterpret_cast<CTextControl*>(GetWindowLongPtrA(window, 0));
}

void CTextControl::SetFont(HFONT font)
{
    m_font = font;
    InvalidateRect(m_window, nullptr, TRUE);
}

void CTextControl::SetTextColor(COLORREF colour)
{
    m_textColour = colour;
    InvalidateRect(m_window, nullptr, TRUE);
}

void CTextControl::SetBackColor(COLORREF colour)
{
    m_backColour = colour;
    InvalidateRect(m_window, nullptr, TRUE);
}

void CTextControl::SetMargins(int horizontal, int vertical)
{
    m_marginX = horizontal;
    m_marginY = vertical;
    InvalidateRect(m_window, nullptr, TRUE);
}

BOOL CTextControl::HasCommand() const
{
    return (GetWindowLongA(m_window, GWL_STYLE) & SS_NOTIFY) != 0;
}

void CTextControl::Draw(HDC dc) const
{
    RECT client{};
    GetClientRect(m_window, &client);
    HBRUSH background = CreateSolidBrush(m_backColour);
    FillRect(dc, &client, background);
    DeleteObject(background);

    const int length = GetWindowTextLengthA(m_window);
    if (length <= 0)
        return;
    std::vector<char> text(length + 1, '\0');
    GetWindowTextA(m_window, text.data(), length + 1);

    HFONT font = m_font;
    if (!font)
        font = reinterpret_cast<HFONT>(SendMessageA(GetParent(m_window), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    ::SetTextColor(dc, m_textColour);
    SetBkMode(dc, TRANSPARENT);

    RECT inside = client;
    InflateRect(&inside, -m_marginX, -m_marginY);
    const DWORD style = GetWindowLongA(m_window, GWL_STYLE);
    UINT format = DT_NOPREFIX | DT_WORDBREAK;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER; break;
    case SS_RIGHT: format |= DT_RIGHT; break;
    default: format |= DT_LEFT; break;
    }
    // The clip keeps a long text out of the margins.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
    DrawTextA(dc, text.data(), length, &inside, format);
    RestoreDC(dc, saved);
    if (oldFont)
        SelectObject(dc, oldFont);
}

LRESULT CALLBACK CTextControl::WindowProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_NCCREATE) {
        auto* self = new (std::nothrow) CTextControl(window);
        if (!self)
            return FALSE;
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcA(window, message, first, second);
    }
    auto* self = reinterpret_cast<CTextControl*>(GetWindowLongPtrA(window, 0));
    if (!self)
        return DefWindowProcA(window, message, first, second);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, 0, 0);
        delete self;
        return DefWindowProcA(window, message, first, second);
    }
    return self->Handle(message, first, second);
}

LRESULT CTextControl::Handle(UINT message, WPARAM first, LPARAM second)
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
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(first);
        if (LOWORD(second))
            InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_SETTEXT: {
        const LRESULT set = DefWindowProcA(m_window, message, first, second);
        InvalidateRect(m_window, nullptr, TRUE);
        return set;
    }
    case WM_ENABLE:
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    default:
        return DefWindowProcA(m_window, message, first, second);
    }
}
