// Making the button object that belongs to a stored or requested kind.
#pragma once

#include "ToolButton.h"

// A new, not yet created button of the kind for the toolbar, or null for a
// kind no button carries (4, the shortcut request, and unknown values).
CToolButton* NewButtonOfKind(DWORD kind, CToolbar* toolbar);
