// One owner per handle: a move-only holder over a traits type that knows how to
// free the handle and which value means "none".
#pragma once

#include <windows.h>
#include <utility>

template <class Traits>
class CScopedHandle
{
public:
    using Handle = typename Traits::Handle;

    CScopedHandle() noexcept : m_handle(Traits::Invalid()) {}
    explicit CScopedHandle(Handle handle) noexcept : m_handle(handle) {}
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    CScopedHandle(CScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    CScopedHandle& operator=(CScopedHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~CScopedHandle() { Reset(); }

    Handle Get() const noexcept { return m_handle; }
    bool IsValid() const noexcept { return m_handle != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    Handle Release() noexcept
    {
        Handle handle = m_handle;
        m_handle = Traits::Invalid();
        return handle;
    }
    void Reset(Handle handle = Traits::Invalid()) noexcept
    {
        if (IsValid())
            Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle;
};

struct CKernelHandleTraits
{
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

// CreateFile reports failure as INVALID_HANDLE_VALUE rather than null.
struct CFileHandleTraits
{
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct CRegKeyTraits
{
    using Handle = HKEY;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};

template <class T>
struct CGdiObjectTraits
{
    using Handle = T;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

struct CIconTraits
{
    using Handle = HICON;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};

struct CMenuTraits
{
    using Handle = HMENU;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DestroyMenu(h); }
};

struct CGlobalAtomTraits
{
    using Handle = ATOM;
    static Handle Invalid() noexcept { return 0; }
    static void Close(Handle h) noexcept { ::GlobalDeleteAtom(h); }
};

using CHandle = CScopedHandle<CKernelHandleTraits>;
using CFileHandle = CScopedHandle<CFileHandleTraits>;
using CRegKeyHandle = CScopedHandle<CRegKeyTraits>;
using CBitmapHandle = CScopedHandle<CGdiObjectTraits<HBITMAP>>;
using CBrushHandle = CScopedHandle<CGdiObjectTraits<HBRUSH>>;
using CFontHandle = CScopedHandle<CGdiObjectTraits<HFONT>>;
using CIconHandle = CScopedHandle<CIconTraits>;
using CMenuHandle = CScopedHandle<CMenuTraits>;
using CGlobalAtom = CScopedHandle<CGlobalAtomTraits>;
