// CItemId: one owned shell item identifier list.  Buttons, wizard data,
// recent-folder lists and clipboard data name shell objects this way, so that
// objects without a file-system path (the control panel, printers) can be
// named too.  The list lives in shell memory and is freed with the shell's
// allocator.
#pragma once

#include "Text.h"

#include <shellapi.h>
#include <shlobj.h>

class CItemId
{
public:
    // The desktop's list: the terminator alone.
    CItemId();
    // A special folder (CSIDL number); no list when the shell has none.
    explicit CItemId(int folderId);
    CItemId(const CItemId& other);
    explicit CItemId(LPCITEMIDLIST list);
    virtual ~CItemId();

    // Bytes of the given list, or of the own list when null, terminator
    // included; 0 when there is no list.
    virtual UINT Length(LPCITEMIDLIST list = nullptr) const;
    // TRUE for the desktop's list and for no list at all.
    virtual BOOL IsDesktop() const;

    // The Set forms return FALSE and leave the list as it was when there is
    // nothing to take (a null list, a name the desktop cannot parse, a special
    // folder the system does not have).
    virtual BOOL Set(LPCITEMIDLIST list);
    virtual BOOL Set(const CItemId& item);
    virtual BOOL Set(const CText& text);
    virtual BOOL Set(int folderId);

    CItemId& operator=(LPCITEMIDLIST list) { Set(list); return *this; }
    CItemId& operator=(const CItemId& item) { Set(item); return *this; }
    CItemId& operator=(const CText& text) { Set(text); return *this; }
    CItemId& operator=(int folderId) { Set(folderId); return *this; }

    // Hands out the own list, which stays owned by this object.
    virtual BOOL Get(LPITEMIDLIST* list) const;
    LPCITEMIDLIST List() const { return m_list; }

    // Joins a list to the own one (the own terminator is dropped); nothing
    // happens unless both lists exist.
    virtual BOOL Append(LPCITEMIDLIST list);
    BOOL Append(const CItemId& item) { return Append(item.m_list); }
    CItemId& operator+=(const CItemId& item) { Append(item); return *this; }

    // 0 when equal or when either list is missing; otherwise -1 or 1 from the
    // first differing byte, and a list that begins another one is the lesser.
    short Compare(const CItemId& item) const;

    // The stream form: a 16-bit length, then the list with its terminator.
    BOOL Read(IStream* stream);
    BOOL Write(IStream* stream) const;

    // Moves the final item into *last and cuts it from the own list.  FALSE
    // when that leaves the desktop's list.  A missing own list or target is a
    // programming error and raises CError.
    BOOL Split(CItemId* last);

    // A zero-filled list of the given size from the shell allocator, replacing
    // the own one.
    BOOL Create(UINT size);
    void Free();

    // The length of a list that must lie within `available` bytes: 0 unless
    // its item counts walk exactly to a terminator inside that room.
    static UINT CheckedLength(const void* data, size_t available);
    // Frees memory the shell handed out (lists, Unicode names).
    static void FreeShellMemory(void* memory);

private:
    BOOL TakeCopy(const void* data, UINT length);

    LPITEMIDLIST m_list = nullptr;
};
