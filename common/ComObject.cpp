#include "ComObject.h"

HRESULT QueryComInterface(void* object, const CComInterface* interfaces, size_t count, REFIID iid, void** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (!object || !interfaces || count == 0)
        return E_NOINTERFACE;
    const CComInterface* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
        found = &interfaces[0];
    } else {
        for (size_t i = 0; i < count && !found; ++i) {
            if (IsEqualIID(iid, *interfaces[i].iid))
                found = &interfaces[i];
        }
    }
    if (!found)
        return E_NOINTERFACE;
    auto* unknown = static_cast<IUnknown*>(found->cast(object));
    unknown->AddRef();
    *result = unknown;
    return S_OK;
}
