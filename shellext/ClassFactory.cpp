#include "ClassFactory.h"

#include <new>

namespace {

const CComInterface kFactoryInterfaces[] = {COM_INTERFACE(CClassFactory, IClassFactory)};

} // namespace

CClassFactory::CClassFactory(const CExtensionClass& made)
    : CComObject(kFactoryInterfaces, {nullptr, nullptr, nullptr, nullptr}), m_made(made)
{
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return m_made.create(iid, object);
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock)
{
    LockModule(lock);
    return S_OK;
}

HRESULT GetExtensionClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    const CExtensionClass* made = FindExtensionClass(clsid);
    if (!made)
        return CLASS_E_CLASSNOTAVAILABLE;
    CClassFactory* factory = new (std::nothrow) CClassFactory(*made);
    if (!factory)
        return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}
