// CShellFolder: one shell folder, named by its item identifier list and bound
// to its IShellFolder, with the questions the programs ask about the items in
// it.  CEnumIdList walks the items of such a folder.
#pragma once

#include "ComPtr.h"
#include "ItemId.h"

#include <memory>

class CEnumIdList;

class CShellFolder
{
public:
    // The desktop.
    CShellFolder();
    // The folder the list names (an absolute list, as the desktop sees it).
    explicit CShellFolder(const CItemId& folder);
    CShellFolder(const CShellFolder& other);
    CShellFolder& operator=(const CShellFolder&) = delete;
    ~CShellFolder();

    BOOL IsValid() const { return m_valid; }
    const CItemId& Id() const { return m_id; }
    IShellFolder* Interface() const { return m_folder.Get(); }

    // Lets go of the folder interface early; the object itself belongs to its
    // owner and stays, no longer valid.
    void Release();

    // Parses a name relative to this folder; item receives the relative list.
    BOOL ParseDisplayName(const CText& text, CItemId& item) const;
    // Asks for every attribute of the one item.
    BOOL GetAttributes(const CItemId& item, ULONG& attributes) const;
    BOOL IsAttrSet(const CItemId& item, ULONG mask) const;
    // The item's parsing name (for a file-system object: its full path, in
    // its short form when the long one does not fit the code page).
    // unwritable: the name has no 8-bit form; text then holds a lossy one.
    BOOL GetDisplayName(const CItemId& item, CText& text, bool* unwritable = nullptr) const;

    BOOL GetContextMenu(const CItemId& item, CComPtr<IContextMenu>& menu) const;
    BOOL GetExtractIcon(const CItemId& item, CComPtr<IExtractIconA>& extract) const;
    BOOL GetDropTarget(const CItemId& item, CComPtr<IDropTarget>& target) const;
    BOOL GetDataObject(const CItemId& item, CComPtr<IDataObject>& data) const;

    // A new enumerator over this folder with the given SHCONTF flags.
    BOOL EnumObjects(DWORD flags, std::unique_ptr<CEnumIdList>& enumerator) const;

    // SHGetFileInfo on this folder's list joined with the item's; the result
    // is what SHGetFileInfo returned (0 on failure).
    DWORD_PTR GetInfo(const CItemId& item, SHFILEINFOA& info, UINT flags) const;

private:
    BOOL GetUIObject(const CItemId& item, REFIID iid, void** object) const;

    CItemId m_id;
    CComPtr<IShellFolder> m_folder;
    BOOL m_valid = FALSE;
};

class CEnumIdList
{
public:
    CEnumIdList(const CShellFolder& folder, DWORD flags);
    CEnumIdList(const CEnumIdList&) = delete;
    CEnumIdList& operator=(const CEnumIdList&) = delete;

    BOOL IsValid() const { return m_enum ? TRUE : FALSE; }
    const CShellFolder& Folder() const { return m_folder; }

    // The next item (relative to the folder); FALSE at the end.
    BOOL Next(CItemId& item);

private:
    CShellFolder m_folder;   // the enumerator keeps its folder alive
    CComPtr<IEnumIDList> m_enum;
};
