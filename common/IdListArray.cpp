#include "IdListArray.h"

#include "TraceLog.h"

#include <cstring>

namespace {

DWORD DwordAt(const BYTE* bytes)
{
    DWORD value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

} // namespace

CIdListArray::CIdListArray(HGLOBAL memory)
{
    Trace(" > CIdListArray::CIdListArray");
    if (!memory) {
        Trace(" < CIdListArray::CIdListArray - no data");
        return;
    }
    const SIZE_T size = GlobalSize(memory);
    const BYTE* data = static_cast<const BYTE*>(GlobalLock(memory));
    if (!data) {
        Trace(" < CIdListArray::CIdListArray - no data");
        return;
    }
    m_memory = memory;
    m_data = data;
    m_size = size;
    // The count must leave room for its own n + 1 offsets; written this way
    // the test cannot overflow whatever count the data claims.  Data whose
    // count does not fit is not an array at all, and nothing of it is used.
    const SIZE_T offsetSlots = size >= sizeof(DWORD) ? size / sizeof(DWORD) - 1 : 0;
    const DWORD count = offsetSlots ? DwordAt(data) : 0;
    if (offsetSlots == 0 || count >= offsetSlots) {
        Trace(" < CIdListArray::CIdListArray - bad count");
        return;
    }
    m_usable = true;
    m_count = count;
    m_folder = ListAt(0);
    Trace(m_folder ? " < CIdListArray::CIdListArray OK" : " < CIdListArray::CIdListArray - no folder");
}

CIdListArray::~CIdListArray()
{
    if (m_memory)
        GlobalUnlock(m_memory);
}

LPCITEMIDLIST CIdListArray::ListAt(UINT index) const
{
    if (!m_usable || index > m_count)
        return nullptr;
    const DWORD offset = DwordAt(m_data + sizeof(DWORD) * (static_cast<SIZE_T>(index) + 1));
    if (offset >= m_size)
        return nullptr;
    if (CItemId::CheckedLength(m_data + offset, m_size - offset) == 0)
        return nullptr;
    return reinterpret_cast<LPCITEMIDLIST>(m_data + offset);
}

BOOL CIdListArray::GetItem(UINT index, CItemId& item) const
{
    LPCITEMIDLIST list = ListAt(index);
    if (!list) {
        Trace(" < CIdListArray::GetItem failed");
        return FALSE;
    }
    return item.Set(list);
}
