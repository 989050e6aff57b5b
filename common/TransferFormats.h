// The registered clipboard formats the programs hand buttons and shell
// objects over in.  Registering a name gives every process the same number,
// so each program registers them once and asks here.
#pragma once

#include <windows.h>

// "CExecButton": a stored button in a storage.
UINT ButtonClipFormat();
// "Shell IDList Array": shell objects as item identifier lists.
UINT ItemListClipFormat();
