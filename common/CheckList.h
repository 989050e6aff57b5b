// The owner-drawn check lists of the companion programs (the Explorer's file
// types, the wizard's search types, companies and found items): a 13-pixel
// check picture 2 pixels from the left, an optional small icon, then the
// text.  A press on the check picture, or the space bar, posts the program's
// toggle message with the item's index to the list's dialog.
#pragma once

#include "ScopedHandle.h"

#include <commctrl.h>

// What one program's check lists are made of.
struct CheckListStyle
{
    UINT toggleMessage = 0;     // posted to the dialog, wParam the item's index
    int checkedBitmap = 0;      // the program's own check pictures
    int uncheckedBitmap = 0;
    int minimumHeight = 0;      // the least item height whatever the dialog font makes of it
    // A list sized in dialog units keeps only the whole rows that fit, so the
    // last one never shows cut in half (lists with LBS_NOINTEGRALHEIGHT only).
    bool wholeRows = false;
};

class CCheckList
{
public:
    CCheckList() = default;
    ~CCheckList() { Detach(); }
    CCheckList(const CCheckList&) = delete;
    CCheckList& operator=(const CCheckList&) = delete;

    // Takes over the list box of the dialog.
    void Attach(HWND dialog, int controlId, const CheckListStyle& style);
    void Detach();
    HWND Handle() const { return m_list; }

    // Draws one item; image -1 (or no image list) leaves the icon out.
    void Draw(const DRAWITEMSTRUCT& draw, bool checked, const char* text, HIMAGELIST images, int image) const;
    void Redraw(int index) const;

private:
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM first, LPARAM second, UINT_PTR id,
                                     DWORD_PTR data);

    HWND m_list = nullptr;
    HWND m_dialog = nullptr;
    UINT m_toggleMessage = 0;
    CBitmapHandle m_checked;
    CBitmapHandle m_unchecked;
};
