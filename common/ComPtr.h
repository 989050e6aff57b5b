// An owning COM interface pointer.  put() releases what it held before handing
// out the address, so reusing one pointer for a second out-parameter never leaks.
#pragma once

#include <objbase.h>

template <class T>
class CComPtr
{
public:
    CComPtr() noexcept = default;
    explicit CComPtr(T* p) noexcept : m_p(p) {}      // takes over a reference
    CComPtr(const CComPtr& other) noexcept : m_p(other.m_p) { if (m_p) m_p->AddRef(); }
    CComPtr(CComPtr&& other) noexcept : m_p(other.Detach()) {}
    CComPtr& operator=(const CComPtr& other) noexcept
    {
        if (other.m_p)
            other.m_p->AddRef();
        Reset(other.m_p);
        return *this;
    }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }
    ~CComPtr() { Reset(); }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    T** put() noexcept
    {
        Reset();
        return &m_p;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    T* Detach() noexcept
    {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    void Reset(T* p = nullptr) noexcept
    {
        T* old = m_p;
        m_p = p;
        if (old)
            old->Release();
    }

private:
    T* m_p = nullptr;
};
