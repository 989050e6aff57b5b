// The owner-drawn check lists of the wizard (search types, companies, found
// items): a 13-pixel check picture 2 pixels from the left, an optional small
// icon, then the text.  A press on the check picture, or the space bar,
// posts UM_TOGGLE_CHECK with the item's index to the list's dialog.
#pragma once

#include "../common/ScopedHandle.h"

#include <commctrl.h>

class CCheckList
{
public:
    CCheckList() = default;
    ~CCheckList() { Detach(); }
    CCheckList(const CCheckList&) = delete;
    CCheckList& operator=(const CCheckList&) = delete;

    // Takes over the list box of the dialog; minimumHeight is the least item
    // height whatever the dialog font makes of it.
    void Attach(HWND dialog, int controlId, int minimumHeight);
    void Detach();
    HWND Handle() const { return m_list; }

    // Draws one item; image -1 (or no image list) leaves the icon out.
    void Draw(const DRAWITEMSTRUCT& draw, bool checked, const char* text, HIMAGELIST images, int image) const;
    void Redraw(int index) const;

private:
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM first, LPARAM second, UINT_PTR id,
                                     DWORD_PTR data);

    HWND m_list = nullptr;
    CBitmapHandle m_checked;
    CBitmapHandle m_unchecked;
};
