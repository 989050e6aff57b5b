// CIdListArray: reads the "Shell IDList Array" clipboard data: a 32-bit item
// count n, then n + 1 32-bit offsets from the start of the data; entry 0 is the
// parent folder's list, entries 1 to n the items' lists relative to it.  The
// data comes from another program, so every count and offset is checked
// against the real size of the memory before anything is read through it.
#pragma once

#include "ItemId.h"

class CIdListArray
{
public:
    explicit CIdListArray(HGLOBAL memory);
    ~CIdListArray();
    CIdListArray(const CIdListArray&) = delete;
    CIdListArray& operator=(const CIdListArray&) = delete;

    // The number of items (0 when the data is unusable).
    UINT Count() const { return m_count; }
    // The folder's list; null when its entry is bad.
    LPCITEMIDLIST Folder() const { return m_folder; }

    // Copies entry index (0 = the folder, 1 to Count() = the items).  FALSE
    // when the index is out of range or the entry is not one well-formed list
    // lying wholly inside the memory.
    BOOL GetItem(UINT index, CItemId& item) const;

private:
    LPCITEMIDLIST ListAt(UINT index) const;

    HGLOBAL m_memory = nullptr;
    const BYTE* m_data = nullptr;
    SIZE_T m_size = 0;
    bool m_usable = false;   // the count fits the memory
    UINT m_count = 0;
    LPCITEMIDLIST m_folder = nullptr;
};
