// CComObject: the IUnknown every COM class of the programs shares.  A class
// names the interfaces it answers in a table, the way shlwapi's QITAB does,
// and the trace lines its reference counting writes.
//
//   class CDropSource final : public CComObject<CDropSource, IDropSource> { ... };
//   const CComInterface kDropSourceInterfaces[] = {COM_INTERFACE(CDropSource, IDropSource)};
//   CDropSource::CDropSource() : CComObject(kDropSourceInterfaces, {nullptr, "AddRef called", ...}) {}
//
// An object starts with one reference, which its creator owns; the last
// Release deletes it.
#pragma once

#include "TraceLog.h"

#include <objbase.h>

#include <cstddef>

// One interface a class answers.  MinGW's GCC has no __declspec(uuid), so
// the IID is named, and the cast is a function rather than an offset
// computed from a made-up address.
struct CComInterface {
    const IID* iid;
    void* (*cast)(void* object);
};

template <class Class, class Interface>
void* CastComObject(void* object)
{
    return static_cast<Interface*>(static_cast<Class*>(object));
}

#define COM_INTERFACE(Class, Interface) CComInterface{&IID_##Interface, &CastComObject<Class, Interface>}

// The trace lines of one class: on QueryInterface, AddRef, Release and just
// before deletion.  A null text writes no line.
struct CComTraceTexts {
    const char* queryInterface;
    const char* addRef;
    const char* release;
    const char* deleting;
};

// The table walk behind QueryInterface.  IUnknown is the first entry's
// interface, so that every interface of the object gives the same IUnknown
// pointer (COM identity).
HRESULT QueryComInterface(void* object, const CComInterface* interfaces, size_t count, REFIID iid, void** result);

template <class Derived, class... Interfaces>
class CComObject : public Interfaces...
{
public:
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        TraceText(m_texts.queryInterface);
        return QueryComInterface(static_cast<Derived*>(this), m_interfaces, m_interfaceCount, iid, object);
    }

    STDMETHODIMP_(ULONG) AddRef() override
    {
        TraceText(m_texts.addRef);
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }

    STDMETHODIMP_(ULONG) Release() override
    {
        TraceText(m_texts.release);
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            TraceText(m_texts.deleting);
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    // The table is a static array of the class (its entries are kept by
    // address); the texts are copied.
    template <size_t N>
    CComObject(const CComInterface (&interfaces)[N], const CComTraceTexts& texts)
        : m_interfaces(interfaces), m_interfaceCount(N), m_texts(texts)
    {
    }
    virtual ~CComObject() = default;

private:
    static void TraceText(const char* text)
    {
        if (text)
            Trace(text);
    }

    LONG m_references = 1;
    const CComInterface* m_interfaces;
    size_t m_interfaceCount;
    CComTraceTexts m_texts;
};
