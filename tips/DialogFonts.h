// Fonts of the tip program's dialogs, named by face and point size.
#pragma once

#include "../common/ScopedHandle.h"

enum : UINT { kFontBold = 1, kFontItalic = 2, kFontUnderline = 4 };

// Point sizes become pixel heights at the screen's pixels per logical inch.
CFontHandle MakeDialogFont(const char* face, int points, UINT styles);
