#include "ShellFolder.h"

#include "AnsiPath.h"
#include "TraceLog.h"

#include <cstring>
#include <new>

namespace {

// The shell's Unicode name is freed even when taking it raises CError.
struct CShellString
{
    wchar_t* text = nullptr;
    ~CShellString() { CItemId::FreeShellMemory(text); }
};

} // namespace

CShellFolder::CShellFolder()
{
    Trace(" > CShellFolder::CShellFolder");
    if (FAILED(SHGetDesktopFolder(m_folder.put())) || !m_folder) {
        Trace(" < CShellFolder::CShellFolder - no desktop");
        return;
    }
    m_valid = TRUE;
    Trace(" < CShellFolder::CShellFolder OK");
}

CShellFolder::CShellFolder(const CItemId& folder)
{
    Trace(" > CShellFolder::CShellFolder");
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())) || !desktop) {
        Trace(" < CShellFolder::CShellFolder - no desktop");
        return;
    }
    if (folder.IsDesktop()) {
        m_folder = desktop;
    } else {
        m_id.Set(folder);
        const HRESULT hr = desktop->BindToObject(folder.List(), nullptr, IID_IShellFolder, m_folder.put_void());
        if (FAILED(hr) || !m_folder) {
            TraceResult(hr);
            m_folder.Reset();
            Trace(" < CShellFolder::CShellFolder - no root");
            return;
        }
    }
    m_valid = TRUE;
    Trace(" < CShellFolder::CShellFolder OK");
}

CShellFolder::CShellFolder(const CShellFolder& other)
    : m_id(other.m_id), m_folder(other.m_folder), m_valid(other.m_valid)
{
}

CShellFolder::~CShellFolder() = default;

void CShellFolder::Release()
{
    m_folder.Reset();
    m_valid = FALSE;
}

BOOL CShellFolder::ParseDisplayName(const CText& text, CItemId& item) const
{
    Trace(" > CShellFolder::ParseDisplayName");
    wchar_t* name = nullptr;
    if (!m_folder || !text.ToUnicode(&name)) {
        Trace(" < CShellFolder::ParseDisplayName failed");
        return FALSE;
    }
    ULONG eaten = 0;
    LPITEMIDLIST parsed = nullptr;
    const HRESULT hr = m_folder->ParseDisplayName(nullptr, nullptr, name, &eaten, &parsed, nullptr);
    CText::FreeUnicode(name);
    if (FAILED(hr) || !parsed) {
        TraceResult(hr);
        Trace(" < CShellFolder::ParseDisplayName failed");
        return FALSE;
    }
    const BOOL taken = item.Set(parsed);
    CItemId::FreeShellMemory(parsed);
    Trace(taken ? " < CShellFolder::ParseDisplayName OK" : " < CShellFolder::ParseDisplayName failed");
    return taken;
}

BOOL CShellFolder::GetAttributes(const CItemId& item, ULONG& attributes) const
{
    LPCITEMIDLIST list = item.List();
    if (!m_folder || !list)
        return FALSE;
    ULONG asked = 0xFFFFFFFF;
    const HRESULT hr = m_folder->GetAttributesOf(1, &list, &asked);
    if (FAILED(hr)) {
        TraceResult(hr);
        return FALSE;
    }
    attributes = asked;
    return TRUE;
}

BOOL CShellFolder::IsAttrSet(const CItemId& item, ULONG mask) const
{
    ULONG attributes = 0;
    return GetAttributes(item, attributes) && (attributes & mask) != 0;
}

BOOL CShellFolder::GetDisplayName(const CItemId& item, CText& text, bool* unwritable) const
{
    Trace(" > CShellFolder::GetDisplayName");
    if (unwritable)
        *unwritable = false;
    LPCITEMIDLIST list = item.List();
    STRRET name{};
    const HRESULT hr = m_folder && list ? m_folder->GetDisplayNameOf(list, SHGDN_FORPARSING, &name) : E_FAIL;
    if (FAILED(hr)) {
        TraceResult(hr);
        Trace(" < CShellFolder::GetDisplayName failed");
        return FALSE;
    }
    BOOL taken = FALSE;
    switch (name.uType) {
    case STRRET_WSTR: {
        CShellString owned;
        owned.text = name.pOleStr;
        if (owned.text) {
            // A file's path with letters the code page lacks is named by its
            // short path, which opens the same file.
            if (AnsiPathOf(owned.text, text) == AnsiPathForm::kNoForm) {
                text = owned.text;
                if (unwritable)
                    *unwritable = true;
            }
            taken = TRUE;
        }
        break;
    }
    case STRRET_OFFSET: {
        // The name lies inside the item; it must end before the item does.
        const UINT length = item.Length();
        const char* start = reinterpret_cast<const char*>(list) + name.uOffset;
        if (name.uOffset < length && std::memchr(start, 0, length - name.uOffset)) {
            text = start;
            taken = TRUE;
        }
        break;
    }
    case STRRET_CSTR:
        if (std::memchr(name.cStr, 0, sizeof name.cStr)) {
            text = name.cStr;
            taken = TRUE;
        }
        break;
    default:
        break;
    }
    Trace(taken ? " < CShellFolder::GetDisplayName OK" : " < CShellFolder::GetDisplayName failed");
    return taken;
}

BOOL CShellFolder::GetUIObject(const CItemId& item, REFIID iid, void** object) const
{
    LPCITEMIDLIST list = item.List();
    if (!m_folder || !list)
        return FALSE;
    const HRESULT hr = m_folder->GetUIObjectOf(nullptr, 1, &list, iid, nullptr, object);
    if (FAILED(hr) || !*object) {
        TraceResult(hr);
        return FALSE;
    }
    return TRUE;
}

BOOL CShellFolder::GetContextMenu(const CItemId& item, CComPtr<IContextMenu>& menu) const
{
    return GetUIObject(item, IID_IContextMenu, menu.put_void());
}

BOOL CShellFolder::GetExtractIcon(const CItemId& item, CComPtr<IExtractIconA>& extract) const
{
    return GetUIObject(item, IID_IExtractIconA, extract.put_void());
}

BOOL CShellFolder::GetDropTarget(const CItemId& item, CComPtr<IDropTarget>& target) const
{
    return GetUIObject(item, IID_IDropTarget, target.put_void());
}

BOOL CShellFolder::GetDataObject(const CItemId& item, CComPtr<IDataObject>& data) const
{
    return GetUIObject(item, IID_IDataObject, data.put_void());
}

BOOL CShellFolder::EnumObjects(DWORD flags, std::unique_ptr<CEnumIdList>& enumerator) const
{
    Trace(" > CShellFolder::EnumObjects");
    enumerator.reset(new (std::nothrow) CEnumIdList(*this, flags));
    if (!enumerator || !enumerator->IsValid()) {
        enumerator.reset();
        Trace(" < CShellFolder::EnumObjects failed");
        return FALSE;
    }
    Trace(" < CShellFolder::EnumObjects OK");
    return TRUE;
}

DWORD_PTR CShellFolder::GetInfo(const CItemId& item, SHFILEINFOA& info, UINT flags) const
{
    Trace(" > CShellFolder::GetInfo");
    CItemId full(m_id);
    if (!full.Append(item)) {
        Trace(" < CShellFolder::GetInfo failed");
        return 0;
    }
    const DWORD_PTR result =
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(full.List()), 0, &info, sizeof info, flags | SHGFI_PIDL);
    if (TraceOn())
        LogFormat(" dwResult=%08lx", static_cast<unsigned long>(result));
    Trace(" < CShellFolder::GetInfo");
    return result;
}

CEnumIdList::CEnumIdList(const CShellFolder& folder, DWORD flags) : m_folder(folder)
{
    IShellFolder* shellFolder = m_folder.Interface();
    if (!shellFolder)
        return;
    // A folder with nothing to list may answer S_FALSE and no enumerator.
    const HRESULT hr = shellFolder->EnumObjects(nullptr, flags, m_enum.put());
    if (FAILED(hr) || !m_enum) {
        TraceResult(hr);
        m_enum.Reset();
    }
}

BOOL CEnumIdList::Next(CItemId& item)
{
    if (!m_enum)
        return FALSE;
    LPITEMIDLIST fetched = nullptr;
    ULONG count = 0;
    const HRESULT hr = m_enum->Next(1, &fetched, &count);
    if (hr != S_OK || count != 1 || !fetched) {
        CItemId::FreeShellMemory(fetched);
        return FALSE;
    }
    const BOOL taken = item.Set(fetched);
    CItemId::FreeShellMemory(fetched);
    return taken;
}
