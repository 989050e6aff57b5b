// The class factory of every served class: the class table entry says what
// it makes.
#pragma once

#include "ExtensionClasses.h"
#include "Module.h"

#include "../common/ComObject.h"

class CClassFactory final : public CComObject<CClassFactory, IClassFactory>
{
public:
    explicit CClassFactory(const CExtensionClass& made);

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CModuleReference m_module;
    const CExtensionClass& m_made;
};

// The factory of a served class, answering iid; CLASS_E_CLASSNOTAVAILABLE for
// any other class.
HRESULT GetExtensionClassObject(REFCLSID clsid, REFIID iid, void** object);
