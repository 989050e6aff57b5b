// The entry points of ltlext.dll.  The shell finds the library through the
// classes' registration and asks only for their factories and whether it may
// unload the library.
#include "ClassFactory.h"
#include "Module.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return GetExtensionClassObject(clsid, iid, object);
}

STDAPI DllCanUnloadNow()
{
    return ModuleCanUnload() ? S_OK : S_FALSE;
}
