#include "ItemId.h"

#include "ComPtr.h"
#include "Error.h"
#include "TraceLog.h"

#include <climits>
#include <cstring>

namespace {

CComPtr<IMalloc> ShellAllocator()
{
    CComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.put())))
        allocator.Reset();
    return allocator;
}

BYTE* ShellAllocate(size_t bytes)
{
    CComPtr<IMalloc> allocator = ShellAllocator();
    if (!allocator || bytes == 0 || bytes > ULONG_MAX)
        return nullptr;
    auto* memory = static_cast<BYTE*>(allocator->Alloc(static_cast<ULONG>(bytes)));
    if (memory)
        std::memset(memory, 0, bytes);
    return memory;
}

// Item counts are little-endian and need not be aligned.
UINT CountAt(const BYTE* bytes)
{
    return bytes[0] | (static_cast<UINT>(bytes[1]) << 8);
}

} // namespace

CItemId::CItemId()
{
    Create(2);
}

CItemId::CItemId(int folderId)
{
    Set(folderId);
}

CItemId::CItemId(const CItemId& other)
{
    Set(other);
}

CItemId::CItemId(LPCITEMIDLIST list)
{
    Set(list);
}

CItemId::~CItemId()
{
    Free();
}

UINT CItemId::Length(LPCITEMIDLIST list) const
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(list ? list : m_list);
    if (!bytes)
        return 0;
    UINT length = 0;
    for (UINT count = CountAt(bytes); count != 0; count = CountAt(bytes + length))
        length += count;
    return length + 2;
}

BOOL CItemId::IsDesktop() const
{
    return Length() <= 2;
}

BOOL CItemId::TakeCopy(const void* data, UINT length)
{
    BYTE* copy = ShellAllocate(length);
    if (!copy)
        return FALSE;
    std::memcpy(copy, data, length);
    Free();
    m_list = reinterpret_cast<LPITEMIDLIST>(copy);
    return TRUE;
}

BOOL CItemId::Set(LPCITEMIDLIST list)
{
    if (!list)
        return FALSE;
    return TakeCopy(list, Length(list));
}

BOOL CItemId::Set(const CItemId& item)
{
    return Set(item.m_list);
}

BOOL CItemId::Set(const CText& text)
{
    Trace(" > CItemId::Set(text)");
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())) || !desktop) {
        Trace(" < CItemId::Set(text) - no desktop");
        return FALSE;
    }
    Trace(" Desktop valid - parse");
    wchar_t* name = nullptr;
    if (!text.ToUnicode(&name)) {
        Trace(" < CItemId::Set(text) failed");
        return FALSE;
    }
    ULONG eaten = 0;
    LPITEMIDLIST parsed = nullptr;
    const HRESULT hr = desktop->ParseDisplayName(nullptr, nullptr, name, &eaten, &parsed, nullptr);
    CText::FreeUnicode(name);
    if (FAILED(hr) || !parsed) {
        TraceResult(hr);
        Trace(" < CItemId::Set(text) failed");
        return FALSE;
    }
    Free();
    m_list = parsed;
    Trace(" < CItemId::Set(text) OK");
    return TRUE;
}

BOOL CItemId::Set(int folderId)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folderId, &list)) || !list)
        return FALSE;
    Free();
    m_list = list;
    return TRUE;
}

BOOL CItemId::Get(LPITEMIDLIST* list) const
{
    if (!list)
        return FALSE;
    *list = m_list;
    return m_list != nullptr;
}

BOOL CItemId::Append(LPCITEMIDLIST list)
{
    if (!m_list || !list)
        return FALSE;
    const UINT ownItems = Length() - 2;   // the own terminator is dropped
    const UINT added = Length(list);
    BYTE* joined = ShellAllocate(static_cast<size_t>(ownItems) + added);
    if (!joined)
        return FALSE;
    std::memcpy(joined, m_list, ownItems);
    std::memcpy(joined + ownItems, list, added);
    Free();
    m_list = reinterpret_cast<LPITEMIDLIST>(joined);
    return TRUE;
}

short CItemId::Compare(const CItemId& item) const
{
    if (!m_list || !item.m_list)
        return 0;
    const UINT ownLength = Length();
    const UINT otherLength = item.Length();
    const int difference = std::memcmp(m_list, item.m_list, ownLength < otherLength ? ownLength : otherLength);
    if (difference != 0)
        return difference < 0 ? -1 : 1;
    if (ownLength != otherLength)
        return ownLength < otherLength ? -1 : 1;
    return 0;
}

UINT CItemId::CheckedLength(const void* data, size_t available)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    if (!bytes)
        return 0;
    size_t offset = 0;
    for (;;) {
        if (available - offset < 2)
            return 0;   // no room left for even a terminator
        const UINT count = CountAt(bytes + offset);
        if (count == 0)
            break;
        // A count of 1 cannot even hold itself, and walking by it would read
        // the next item from the middle of this one.
        if (count < 2 || count > available - offset)
            return 0;
        offset += count;
    }
    const size_t length = offset + 2;
    return length <= UINT_MAX ? static_cast<UINT>(length) : 0;
}

BOOL CItemId::Read(IStream* stream)
{
    Trace(" > CItemId::Read");
    if (!stream) {
        Trace(" < CItemId::Read failed");
        return FALSE;
    }
    BYTE lengthBytes[2]{};
    ULONG got = 0;
    HRESULT hr = stream->Read(lengthBytes, sizeof lengthBytes, &got);
    TraceResult(hr);
    if (FAILED(hr) || got != sizeof lengthBytes) {
        Trace(" < CItemId::Read failed");
        return FALSE;
    }
    const UINT length = CountAt(lengthBytes);
    if (length == 0) {
        Trace(" < CItemId::Read empty");
        return FALSE;
    }
    // The length is 16 bits, so the buffer is never large; what matters is that
    // the bytes really are one list ending exactly at the stated length, or
    // every later walk over it would run off the end.
    BYTE* buffer = length >= 2 ? ShellAllocate(length) : nullptr;
    if (!buffer) {
        Trace(" < CItemId::Read failed");
        return FALSE;
    }
    hr = stream->Read(buffer, length, &got);
    TraceResult(hr);
    if (FAILED(hr) || got != length || CheckedLength(buffer, length) != length) {
        FreeShellMemory(buffer);
        Trace(" < CItemId::Read failed");
        return FALSE;
    }
    Free();
    m_list = reinterpret_cast<LPITEMIDLIST>(buffer);
    Trace(" < CItemId::Read OK");
    return TRUE;
}

BOOL CItemId::Write(IStream* stream) const
{
    Trace(" > CItemId::Write");
    const UINT length = Length();
    // No list cannot be written, and the length field holds only 16 bits.
    if (!stream || !m_list || length > 0xFFFF) {
        Trace(" < CItemId::Write failed");
        return FALSE;
    }
    const BYTE lengthBytes[2] = {static_cast<BYTE>(length & 0xFF), static_cast<BYTE>(length >> 8)};
    ULONG written = 0;
    HRESULT hr = stream->Write(lengthBytes, sizeof lengthBytes, &written);
    TraceResult(hr);
    if (FAILED(hr) || written != sizeof lengthBytes) {
        Trace(" < CItemId::Write failed");
        return FALSE;
    }
    hr = stream->Write(m_list, length, &written);
    TraceResult(hr);
    if (FAILED(hr) || written != length) {
        Trace(" < CItemId::Write failed");
        return FALSE;
    }
    Trace(" < CItemId::Write OK");
    return TRUE;
}

BOOL CItemId::Split(CItemId* last)
{
    Trace(" > CItemId::Split");
    if (!m_list || !last)
        throw CError("Split: Invalid id lists");

    BYTE* bytes = reinterpret_cast<BYTE*>(m_list);
    UINT finalOffset = 0;
    UINT offset = 0;
    for (UINT count = CountAt(bytes); count != 0; count = CountAt(bytes + offset)) {
        finalOffset = offset;
        offset += count;
    }
    // The final item with a terminator of its own; the desktop's list has no
    // item, and its final part is the desktop again.
    const UINT finalCount = offset - finalOffset;
    CItemId finalItem(static_cast<LPCITEMIDLIST>(nullptr));
    if (!finalItem.Create(finalCount + 2))
        throw CError("Out of memory");
    std::memcpy(finalItem.m_list, bytes + finalOffset, finalCount);

    bytes[finalOffset] = 0;
    bytes[finalOffset + 1] = 0;
    // Handing over the new list cannot fail, so the own list is never cut
    // without the target receiving its final item.
    LPITEMIDLIST previous = last->m_list;
    last->m_list = finalItem.m_list;
    finalItem.m_list = previous;

    if (finalOffset == 0) {
        Trace(" < CItemId::Split - I am the only one!");
        return FALSE;
    }
    Trace(" < CItemId::Split OK");
    return TRUE;
}

BOOL CItemId::Create(UINT size)
{
    if (size < 2)
        return FALSE;
    BYTE* list = ShellAllocate(size);
    if (!list)
        return FALSE;
    Free();
    m_list = reinterpret_cast<LPITEMIDLIST>(list);
    return TRUE;
}

void CItemId::Free()
{
    if (!m_list)
        return;
    CComPtr<IMalloc> allocator = ShellAllocator();
    if (allocator)
        allocator->Free(m_list);
    else
        Trace(" Failed to free item id list");
    m_list = nullptr;
}

void CItemId::FreeShellMemory(void* memory)
{
    if (!memory)
        return;
    CComPtr<IMalloc> allocator = ShellAllocator();
    if (allocator)
        allocator->Free(memory);
}
