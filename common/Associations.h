// What the system says about documents and folders.
#pragma once

#include "Text.h"

// The program registered to open a document, from its extension's class.
BOOL GetAssociatedExe(const CText& document, CText& program);
// The user's documents folder, or "C:\\" when there is none.
void GetDefaultFolder(CText& folder);
