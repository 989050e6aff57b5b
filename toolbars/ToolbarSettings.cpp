#include "ToolbarSettings.h"

namespace {

// A 32-bit boolean of the record: anything but 0 and 1 takes the fallback.
BOOL Flag(BOOL value, BOOL fallback)
{
    return value == 0 || value == 1 ? value : fallback;
}

int InRange(int value, int lowest, int highest, int fallback)
{
    return value >= lowest && value <= highest ? value : fallback;
}

} // namespace

void ToolbarSettings::Sanitise()
{
    hidden = Flag(hidden, FALSE);
    docked = Flag(docked, FALSE);
    orientation = orientation == kVertical || orientation == kHorizontal ? orientation : kVertical;
    buttonsPerLine = InRange(buttonsPerLine, 1, 16, 1);
    alwaysOnTop = Flag(alwaysOnTop, FALSE);
    // The colour flags fall back to "own colour", unlike a new toolbar's.
    useGradient = Flag(useGradient, FALSE);
    startIsSystem = Flag(startIsSystem, FALSE);
    endIsSystem = Flag(endIsSystem, FALSE);
    buttonSize = InRange(buttonSize, 0, 2, 1);
    border = InRange(border, 0, 5, 3);
    showDescription = Flag(showDescription, FALSE);
    showButtonBackground = Flag(showButtonBackground, TRUE);
    showMenuButtons = Flag(showMenuButtons, TRUE);
    autohide = Flag(autohide, TRUE);

    protection.enabled = Flag(protection.enabled, FALSE);
    protection.passwordRequired = Flag(protection.passwordRequired, FALSE);
    if (protection.level > 0x7F)
        protection.level = kProtectDrag;
    protection.quickUnlockOption = Flag(protection.quickUnlockOption, FALSE);
    if (!protection.passwordRequired)
        protection.quickUnlockOption = FALSE;
}

void ToolbarSettings::FollowSystemColours(COLORREF buttonFace)
{
    if (startIsSystem)
        startColour = buttonFace;
    if (endIsSystem)
        endColour = buttonFace;
}
