// Making the button object that belongs to a stored or requested kind.
#pragma once

#include "ToolButton.h"

#include <memory>

// A new, not yet created button of the kind for the host, or null for a kind
// no button carries (4, the shortcut request, and unknown values).
std::unique_ptr<CToolButton> NewButtonOfKind(DWORD kind, IButtonHost* host, CApplication* application);
