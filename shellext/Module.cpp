#include "Module.h"

namespace {

HINSTANCE g_instance = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

} // namespace

HINSTANCE ModuleInstance() { return g_instance; }
void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

LONG ModuleObjectCount()
{
    return InterlockedCompareExchange(&g_objects, 0, 0);
}

void LockModule(BOOL lock)
{
    if (lock)
        InterlockedIncrement(&g_locks);
    else if (InterlockedDecrement(&g_locks) < 0)
        InterlockedIncrement(&g_locks);   // an unlock without its lock is ignored
}

BOOL ModuleCanUnload()
{
    return ModuleObjectCount() == 0 && InterlockedCompareExchange(&g_locks, 0, 0) == 0;
}

CModuleReference::CModuleReference() { InterlockedIncrement(&g_objects); }
CModuleReference::~CModuleReference() { InterlockedDecrement(&g_objects); }

void LoadModuleString(UINT id, char* text, int size)
{
    if (size <= 0)
        return;
    if (LoadStringA(g_instance, id, text, size) <= 0)
        text[0] = '\0';
}
