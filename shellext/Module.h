// The state of the shell extension module: its instance (for its strings) and
// the count of live objects that decides when the shell may unload it.
#pragma once

#include <windows.h>

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

// Live class factories and extension objects.  The shell makes and releases
// objects on several threads at once, so the count only moves by interlocked
// operations.
LONG ModuleObjectCount();
// IClassFactory::LockServer's count, which keeps the module loaded as well.
void LockModule(BOOL lock);
// DllCanUnloadNow's answer: no object alive and no lock held.
BOOL ModuleCanUnload();

// Held by every factory and extension object for its whole life: the count
// rises before the object can be handed out and falls as it is destroyed.
class CModuleReference
{
public:
    CModuleReference();
    ~CModuleReference();
    CModuleReference(const CModuleReference&) = delete;
    CModuleReference& operator=(const CModuleReference&) = delete;
};

// A string of the module's table (empty when it is missing), cut to fit.
void LoadModuleString(UINT id, char* text, int size);
