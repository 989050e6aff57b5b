// The classes the module serves and how each is made.
#pragma once

#include <objbase.h>

#include <cstddef>

extern const CLSID CLSID_LintelToolbarMenu;     // {C43D4080-E099-11D0-A191-444553540000}
extern const CLSID CLSID_LintelExplorerCommand; // {C43D4081-E099-11D0-A191-444553540000}

// One served class: a new object answering iid, or the failure.
struct CExtensionClass {
    const CLSID* clsid;
    HRESULT (*create)(REFIID iid, void** object);
};

const CExtensionClass* FindExtensionClass(REFCLSID clsid);
