// CBitmapControl: draws a bitmap aligned left, centred or right and top,
// centred or bottom on a background colour.  With SS_NOTIFY a click sends
// WM_COMMAND with its control id to the parent, as CTextControl does.
// Made by dialog templates (class "CBitmapControl"), like CTextControl.
#pragma once

#include "../common/WindowBase.h"

#include <windows.h>

#define TIPS_BITMAP_CONTROL_CLASS "CBitmapControl"

// Alignment styles of the control (the low byte of its window style).
enum : DWORD {
    BCS_LEFT = 0x00,
    BCS_HCENTER = 0x01,
    BCS_RIGHT = 0x02,
    BCS_TOP = 0x00,
    BCS_VCENTER = 0x04,
    BCS_BOTTOM = 0x08,
};

class CBitmapControl : public CWindowBase
{
public:
    static BOOL RegisterClass(HINSTANCE instance);
    static CBitmapControl* FromHandle(HWND window);

    // Not owned.
    void SetBitmap(HBITMAP bitmap);
    void SetBackColor(COLORREF colour);
    void SetHotCursor(HCURSOR cursor) { m_hotCursor = cursor; }
    HBITMAP Bitmap() const { return m_bitmap; }
    BOOL HasCommand() const;

    // Where the bitmap of the given size lands in a client area of the given
    // size under an alignment style.
    static POINT Place(DWORD style, SIZE client, SIZE bitmap);

    void Draw(HDC dc) const;

private:
    CBitmapControl();
    static LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM first, LPARAM second);
    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;

    HBITMAP m_bitmap = nullptr;
    COLORREF m_backColour;
    HCURSOR m_hotCursor = nullptr;
    bool m_pressed = false;
};
