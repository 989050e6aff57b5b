#include "TextControl.h"

#include "../common/ScopedHandle.h"

#include <string>

namespace {

LONG_PTR Setting(HWND window, int offset)
{
    return offset < kTextControlModeOffset ? GetWindowLongPtrA(window, offset) : GetWindowLongA(window, offset);
}

// Stores a setting, redraws, and answers the value it replaced.
LRESULT ChangeSetting(HWND window, int offset, LONG_PTR value)
{
    const LONG_PTR previous = offset < kTextControlModeOffset
                                  ? SetWindowLongPtrA(window, offset, value)
                                  : SetWindowLongA(window, offset, static_cast<LONG>(value));
    InvalidateRect(window, nullptr, TRUE);
    return previous;
}

void Paint(HWND window, HDC dc)
{
    RECT client{};
    GetClientRect(window, &client);
    const int mode = static_cast<int>(Setting(window, kTextControlModeOffset));
    const auto background = static_cast<COLORREF>(Setting(window, kTextControlBackgroundOffset));
    if (mode == OPAQUE) {
        CBrushHandle brush(CreateSolidBrush(background));
        if (brush)
            FillRect(dc, &client, brush.Get());
    }

    auto font = reinterpret_cast<HFONT>(Setting(window, kTextControlFontOffset));
    if (!font)
        font = reinterpret_cast<HFONT>(SendMessageA(GetParent(window), WM_GETFONT, 0, 0));
    const int saved = SaveDC(dc);
    if (font)
        SelectObject(dc, font);
    SetBkMode(dc, mode == TRANSPARENT ? TRANSPARENT : OPAQUE);
    SetBkColor(dc, background);
    SetTextColor(dc, static_cast<COLORREF>(Setting(window, kTextControlTextColourOffset)));

    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;

    int top = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        size_t length = end - start;
        // Texts from files and resources may end their lines in CR LF.
        if (length > 0 && text[start + length - 1] == '\r')
            --length;
        if (length > 0)
            TextOutA(dc, 0, top, text.data() + start, static_cast<int>(length));
        top += lineHeight;
        start = end + 1;
    }
    RestoreDC(dc, saved);
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongA(window, kTextControlModeOffset, OPAQUE);
        SetWindowLongA(window, kTextControlBackgroundOffset, static_cast<LONG>(GetSysColor(COLOR_BTNFACE)));
        SetWindowLongA(window, kTextControlTextColourOffset, static_cast<LONG>(GetSysColor(COLOR_BTNTEXT)));
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        if (dc)
            Paint(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(window, reinterpret_cast<HDC>(first));
        return 0;
    case WM_ERASEBKGND:
        // An opaque control fills itself while painting; erasing first would flicker.
        if (Setting(window, kTextControlModeOffset) == OPAQUE)
            return TRUE;
        break;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(window, message, first, second);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case WM_SETCURSOR: {
        auto cursor = reinterpret_cast<HCURSOR>(Setting(window, kTextControlCursorOffset));
        if (cursor && LOWORD(second) == HTCLIENT) {
            SetCursor(cursor);
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONUP:
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
        return 0;
    case TXM_SETBKMODE:
        return ChangeSetting(window, kTextControlModeOffset, first == TRANSPARENT ? TRANSPARENT : OPAQUE);
    case TXM_SETBKCOLOR:
        return ChangeSetting(window, kTextControlBackgroundOffset, second);
    case TXM_SETFONT:
        return ChangeSetting(window, kTextControlFontOffset, second);
    case TXM_SETCURSOR:
        return ChangeSetting(window, kTextControlCursorOffset, second);
    case TXM_SETTEXTCOLOR:
        return ChangeSetting(window, kTextControlTextColourOffset, second);
    default:
        break;
    }
    return DefWindowProcA(window, message, first, second);
}

} // namespace

LRESULT CALLBACK TextControlProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    // Nothing may leave a window procedure by exception.
    try {
        return HandleMessage(window, message, first, second);
    } catch (...) {
        return DefWindowProcA(window, message, first, second);
    }
}
