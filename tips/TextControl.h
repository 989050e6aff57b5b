// CTextControl: a static text that draws its window text in a font, text
// colour and background colour of its own, inside margins.  With SS_NOTIFY
// it is a hot text: a click sends WM_COMMAND with its control id to the
// parent, and the pointer turns into the hot cursor over it.
//
// The controls are made by dialog templates (class "CTextControl"), so the
// object is made by the window itself when it is created and deleted with it;
// the dialog reaches it through FromHandle.
#pragma once

#include "../common/WindowBase.h"

#include <windows.h>

#define TIPS_TEXT_CONTROL_CLASS "CTextControl"

class CTextControl : public CWindowBase
{
public:
    static BOOL RegisterClass(HINSTANCE instance);
    static CTextControl* FromHandle(HWND window);

    // Not owned: the caller keeps the font and the cursor alive while the
    // control uses them.  A null font means the parent's.
    void SetFont(HFONT font);
    void SetTextColor(COLORREF colour);
    void SetBackColor(COLORREF colour);
    void SetMargins(int horizontal, int vertical);
    void SetHotCursor(HCURSOR cursor) { m_hotCursor = cursor; }

    COLORREF TextColor() const { return m_textColour; }
    BOOL HasCommand() const;

    // Draws the control into a device context, as WM_PAINT does.
    void Draw(HDC dc) const;

private:
    CTextControl();
    static LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM first, LPARAM second);
    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;

    HFONT m_font = nullptr;
    COLORREF m_textColour;
    COLORREF m_backColour;
    int m_marginX = 0;
    int m_marginY = 0;
    HCURSOR m_hotCursor = nullptr;
    bool m_pressed = false;
};
