// Bitmaps in streams: the colour and mask bitmaps of button icons are stored
// as a BITMAPINFOHEADER, a colour table and the pixel rows.
#pragma once

#include "ScopedHandle.h"

#include <objidl.h>

BOOL ReadBitmapFromStream(IStream* stream, CBitmapHandle& bitmap);
BOOL WriteBitmapToStream(HBITMAP bitmap, IStream* stream);
