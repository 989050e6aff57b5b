// ToolbarSettings: what the toolbar record of a toolbar file holds, as one
// plain value.  The toolbar keeps one, the record reader fills it and the
// record writer saves it, and the grid arithmetic takes it as it is.
#pragma once

#include "../buttons/ButtonHost.h"
#include "../common/Text.h"

#include <windows.h>

enum : int { kVertical = 1, kHorizontal = 2 };

// Where a toolbar stands.
enum DockCorner : int {
    kCornerTopLeft = 5,
    kCornerTopRight = 6,
    kCornerBottomLeft = 9,
    kCornerBottomRight = 10,
    kCornerFixed = 128,
};

// The protection part of the record; only files after version 0x21000 hold it.
struct ToolbarProtection {
    BOOL enabled = FALSE;
    BOOL passwordRequired = FALSE;
    // Kept in the counted form the protection dialogs hand over.
    CText password;
    DWORD level = kProtectDrag;   // ProtectionFlags
    BOOL quickUnlockOption = FALSE;
};

struct ToolbarSettings {
    CText name;
    // The window's top-left corner when the toolbar was saved (16 bits each
    // on disk), and whether the window was hidden then.
    POINT position{0, 0};
    BOOL hidden = FALSE;
    BOOL docked = FALSE;
    int dockCorner = kCornerBottomRight;   // DockCorner
    int orientation = kVertical;
    int buttonsPerLine = 1;                // 1 to 16
    BOOL alwaysOnTop = FALSE;
    BOOL autohide = FALSE;
    // The background: one colour, or a gradient from the start to the end
    // colour; a colour that follows the system is the button-face colour.
    BOOL useGradient = FALSE;
    BOOL startIsSystem = TRUE;
    COLORREF startColour = 0;
    BOOL endIsSystem = TRUE;
    COLORREF endColour = 0;
    BOOL showMenuButtons = TRUE;
    int buttonSize = 1;                    // 0 small, 1 normal, 2 large
    int border = 3;                        // 0 to 5 pixels round the buttons
    BOOL showDescription = FALSE;
    BOOL showButtonBackground = TRUE;
    ToolbarProtection protection;

    // Every value out of its range takes the value a damaged file gets for
    // it, which is not always the value of a new toolbar: a toolbar file is
    // never rejected for a bad value.  The quick-unlock option needs a
    // password to unlock with and is cleared without one.
    void Sanitise();
    ToolbarSettings Validated() const
    {
        ToolbarSettings copy(*this);
        copy.Sanitise();
        return copy;
    }

    // The colours that follow the system take its button-face colour.
    void FollowSystemColours(COLORREF buttonFace);
    // What a button is drawn on: the gradient's end, or the one colour.
    COLORREF ButtonColour() const { return useGradient ? endColour : startColour; }
    // A password that is required but empty would lock the owner out.
    bool LocksOwnerOut() const { return protection.passwordRequired && protection.password.IsEmpty(); }
};
