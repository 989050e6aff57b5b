// One owner per handle: a move-only holder over a traits type that knows how to
// free the handle and which value means "none".
//
// Every kind of holder counts the handles it holds at the moment (LiveCount):
// GetGuiResources answers 0 under Wine, so these counts are what the leak
// checks can see of the program's own GDI and USER objects.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <utility>

template <class Traits>
class CScopedHandle
{
public:
    using Handle = typename Traits::Handle;

    CScopedHandle() noexcept : m_handle(Traits::Invalid()) {}
    explicit CScopedHandle(Handle handle) noexcept : m_handle(handle)
    {
        if (IsValid())
            s_live.fetch_add(1, std::memory_order_relaxed);
    }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    CScopedHandle(CScopedHandle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = Traits::Invalid(); }
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

    // The handle leaves the holder's care, and its count.
    Handle Release() noexcept
    {
        Handle handle = m_handle;
        if (IsValid())
            s_live.fetch_sub(1, std::memory_order_relaxed);
        m_handle = Traits::Invalid();
        return handle;
    }
    void Reset(Handle handle = Traits::Invalid()) noexcept
    {
        if (IsValid()) {
            Traits::Close(m_handle);
            s_live.fetch_sub(1, std::memory_order_relaxed);
        }
        m_handle = handle;
        if (IsValid())
            s_live.fetch_add(1, std::memory_order_relaxed);
    }

    // Handles that holders of this kind hold now, in this module.
    static long LiveCount() noexcept { return s_live.load(std::memory_order_relaxed); }

private:
    Handle m_handle;
    static inline std::atomic<long> s_live{0};
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

struct CImageListTraits
{
    using Handle = HIMAGELIST;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::ImageList_Destroy(h); }
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
using CImageListHandle = CScopedHandle<CImageListTraits>;
using CGlobalAtom = CScopedHandle<CGlobalAtomTraits>;

// The counts the leak checks print, by kind.  The numbers are the wParam of
// the main window's UM_LIVEHANDLES, so a program outside can read them.
enum LiveHandleKind : int {
    kLiveBitmaps = 0,
    kLiveOtherGdiObjects = 1,   // brushes and fonts
    kLiveIcons = 2,
    kLiveImageLists = 3,
    kLiveMenus = 4,
    kLiveAtoms = 5,
    kLiveKindCount
};
struct LiveHandleCounts {
    long bitmaps = 0;
    long otherGdiObjects = 0;
    long icons = 0;
    long imageLists = 0;
    long menus = 0;
    long atoms = 0;

    long Of(int kind) const noexcept
    {
        switch (kind) {
        case kLiveBitmaps: return bitmaps;
        case kLiveOtherGdiObjects: return otherGdiObjects;
        case kLiveIcons: return icons;
        case kLiveImageLists: return imageLists;
        case kLiveMenus: return menus;
        case kLiveAtoms: return atoms;
        default: return -1;
        }
    }
    bool operator==(const LiveHandleCounts& other) const noexcept
    {
        for (int kind = 0; kind < kLiveKindCount; ++kind) {
            if (Of(kind) != other.Of(kind))
                return false;
        }
        return true;
    }
};
inline LiveHandleCounts CurrentLiveHandles() noexcept
{
    LiveHandleCounts counts;
    counts.bitmaps = CBitmapHandle::LiveCount();
    counts.otherGdiObjects = CBrushHandle::LiveCount() + CFontHandle::LiveCount();
    counts.icons = CIconHandle::LiveCount();
    counts.imageLists = CImageListHandle::LiveCount();
    counts.menus = CMenuHandle::LiveCount();
    counts.atoms = CGlobalAtom::LiveCount();
    return counts;
}
