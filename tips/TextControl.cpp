#include "TextControl.h"

#include "HotClick.h"
#include "SelfMadeControl.h"
#include "../common/Application.h"

#include <new>
#include <vector>

CTextControl::CTextControl()
    : CWindowBase(TheApplication(), nullptr),
      m_textColour(GetSysColor(COLOR_WINDOWTEXT)),
      m_backColour(GetSysColor(COLOR_BTNFACE))
{
}

BOOL CTextControl::RegisterClass(HINSTANCE instance)
{
    return RegisterSelfMadeControl(instance, TIPS_TEXT_CONTROL_CLASS, ClassProc);
}

CTextControl* CTextControl::FromHandle(HWND window)
{
    return static_cast<CTextControl*>(FindSelfMadeControl(window, TIPS_TEXT_CONTROL_CLASS));
}

void CTextControl::SetFont(HFONT font)
{
    m_font = font;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void CTextControl::SetTextColor(COLORREF colour)
{
    m_textColour = colour;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void CTextControl::SetBackColor(COLORREF colour)
{
    m_backColour = colour;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void CTextControl::SetMargins(int horizontal, int vertical)
{
    m_marginX = horizontal;
    m_marginY = vertical;
    InvalidateRect(Handle(), nullptr, TRUE);
}

BOOL CTextControl::HasCommand() const
{
    return (GetWindowLongA(Handle(), GWL_STYLE) & SS_NOTIFY) != 0;
}

void CTextControl::Draw(HDC dc) const
{
    RECT client{};
    GetClientRect(Handle(), &client);
    HBRUSH background = CreateSolidBrush(m_backColour);
    FillRect(dc, &client, background);
    DeleteObject(background);

    const int length = GetWindowTextLengthA(Handle());
    if (length <= 0)
        return;
    std::vector<char> text(length + 1, '\0');
    GetWindowTextA(Handle(), text.data(), length + 1);

    HFONT font = m_font;
    if (!font)
        font = reinterpret_cast<HFONT>(SendMessageA(GetParent(Handle()), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    ::SetTextColor(dc, m_textColour);
    SetBkMode(dc, TRANSPARENT);

    RECT inside = client;
    InflateRect(&inside, -m_marginX, -m_marginY);
    const DWORD style = GetWindowLongA(Handle(), GWL_STYLE);
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

LRESULT CALLBACK CTextControl::ClassProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    return SelfMadeControlProc(window, message, first, second,
                               []() -> CWindowBase* { return new (std::nothrow) CTextControl(); });
}

LRESULT CTextControl::WindowProc(UINT message, WPARAM first, LPARAM second)
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
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(first);
        if (LOWORD(second))
            InvalidateRect(Handle(), nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_SETTEXT: {
        const LRESULT set = DefaultProc(message, first, second);
        InvalidateRect(Handle(), nullptr, TRUE);
        return set;
    }
    case WM_ENABLE:
        InvalidateRect(Handle(), nullptr, TRUE);
        return 0;
    default:
        return DefaultProc(message, first, second);
    }
}
