// The toolbar's part of data transfer: cut, copy and paste of buttons, buttons
// dragged between toolbars, and files and shell objects dropped or pasted as
// new buttons.
#include "Toolbar.h"

#include "DataObject.h"
#include "DropTarget.h"
#include "ToolbarPropertySheet.h"
#include "ToolbarSet.h"

#include "../common/Application.h"
#include "../buttons/ButtonFactory.h"
#include "../buttons/ExecButton.h"
#include "../buttons/FileButton.h"
#include "../common/IdListArray.h"
#include "../common/ItemId.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <shlobj.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// Shortcut modes of the "Adding shortcuts" option.
enum ShortcutMode : int {
    kShortcutDefault = 0,
    kShortcutNeverResolve = 1,
    kShortcutAlwaysResolve = 2,
    kShortcutLetMeChoose = 3,
};

// SHGFI_EXETYPE packs the signature into the low word and the Windows
// version a program needs into the high word; MS-DOS and console programs
// need none.
constexpr WORD kSignatureMZ = 0x5A4D;
constexpr WORD kSignaturePE = 0x4550;

bool LoadShortcut(const char* path, CComPtr<IShellLinkA>& link)
{
    if (!path || !*path)
        return false;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void());
    CComPtr<IPersistFile> file;
    if (SUCCEEDED(hr))
        hr = link->QueryInterface(IID_IPersistFile, file.put_void());
    wchar_t* widePath = nullptr;
    if (SUCCEEDED(hr))
        hr = CText(path).ToUnicode(&widePath) ? S_OK : E_OUTOFMEMORY;
    if (SUCCEEDED(hr)) {
        hr = file->Load(widePath, STGM_READ);
        CText::FreeUnicode(widePath);
    }
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        link.Reset();
        return false;
    }
    return true;
}

HRESULT GetMedium(IDataObject* object, int index, STGMEDIUM& medium)
{
    FORMATETC format = TransferFormatEtc(index);
    medium = STGMEDIUM{};
    const HRESULT hr = object->GetData(&format, &medium);
    if (SUCCEEDED(hr) && medium.tymed != format.tymed) {
        // A medium of another type than asked for is not read at all.
        ReleaseStgMedium(&medium);
        medium = STGMEDIUM{};
        return DV_E_TYMED;
    }
    return hr;
}

BOOL ReadStoredButtonKind(IStorage* storage, DWORD& kind)
{
    CComPtr<IStream> data;
    if (!storage || FAILED(storage->OpenStream(L"DATA", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, data.put())))
        return FALSE;
    ULONG got = 0;
    return SUCCEEDED(data->Read(&kind, sizeof kind, &got)) && got == sizeof kind;
}

// What the transfer methods report to the trace, in the order of their checks.
enum ResolveShortcutResult : unsigned long {
    kResolved = 1,
    kResolveNoTarget = 2,
    kResolveNoButtonKind = 3,
    kResolveNotAdded = 4,
};

enum DragStartResult : unsigned long {
    kDragDone = 1,
    kDragNotAllowed = 2,
    kDragNotStored = 3,
    kDragNoMemory = 4,
    kDragNoData = 5,
};

enum DropOnButtonResult : unsigned long {
    kDropTaken = 1,
    kDropUnsupported = 2,
    kDropNotForButton = 3,   // a stored button, or no button to take it
    kDropDamaged = 4,
    kDropNoFiles = 5,
    kDropNotTaken = 6,       // no file could be given to the button
};

} // namespace

// One file or shell object to become a button.
struct CToolbar::DroppedItem {
    bool usable = false;   // false: the entry was damaged and is reported
    bool isItem = false;   // a shell item (folder and item) rather than a path
    bool unwritable = false;   // its name has no 8-bit form a toolbar file can keep
    std::string path;
    CItemId folder;
    CItemId item;
};

// ---------------------------------------------------------------- messages and drop target

void CToolbar::TransferMessage(UINT textId)
{
    if (m_reportTransfer && App())
        App()->DisplayMessage(Handle(), textId, nullptr, MB_OK | MB_ICONEXCLAMATION, kCaptionProgramName);
}

void CToolbar::RegisterDropTarget()
{
    if (m_dropTarget || !Handle())
        return;
    auto* target = new (std::nothrow) CDropTarget(this);
    if (!target)
        return;
    // The lock keeps OLE's stub alive for as long as the window is a target.
    CoLockObjectExternal(target, TRUE, FALSE);
    const HRESULT hr = RegisterDragDrop(Handle(), target);
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        CoLockObjectExternal(target, FALSE, TRUE);
        target->Release();
        return;
    }
    Trace("Register with OLE");
    m_dropTarget.Reset(target);
}

void CToolbar::RevokeDropTarget()
{
    if (!m_dropTarget)
        return;
    Trace("Unregister drop target");
    if (Handle())
        RevokeDragDrop(Handle());
    auto* target = static_cast<CDropTarget*>(m_dropTarget.Get());
    target->Detach();
    CoLockObjectExternal(target, FALSE, TRUE);
    m_dropTarget.Reset();
}

// ---------------------------------------------------------------- formats and kinds

int CToolbar::CanAcceptDrag(IDataObject* object) const
{
    CTraceMethod trace(TR_CTOOLBAR, TR_CAN_ACCEPT_DRAG);
    int kind = kFormatNone;
    for (int index = 0; object && index < kFormatCount && kind == kFormatNone; ++index) {
        FORMATETC format = TransferFormatEtc(index);
        // S_FALSE means "not in that medium", which is no use here.
        if (object->QueryGetData(&format) == S_OK)
            kind = index;
    }
    trace.Result(TR_CAN_ACCEPT_DRAG_RESULT, static_cast<unsigned long>(kind));
    return kind;
}

BOOL CToolbar::ClipboardHasUsableData() const
{
    CComPtr<IDataObject> clipboard;
    if (FAILED(OleGetClipboard(clipboard.put())) || !clipboard)
        return FALSE;
    return CanAcceptDrag(clipboard.Get()) != kFormatNone;
}

int CToolbar::GetButtonType(const char* path)
{
    if (TraceOn())
        LogStringIdText(TR_GET_BUTTON_TYPE, path ? path : "");
    int kind = kKindNone;
    if (path && *path) {
        const CText name(path);
        const int dot = name.ReverseFind('.');
        CText extension;
        if (dot >= 0 && dot > name.ReverseFind('\\')) {
            extension = name;
            extension.Right(name.Length() - dot);
        }
        const struct {
            const char* extension;
            int kind;
        } byExtension[] = {
            {".bat", kKindProgram}, {".com", kKindProgram}, {".exe", kKindProgram}, {".lnk", kKindShortcut},
            {".htm", kKindUrl},     {".html", kKindUrl},    {".ltl", kKindGroup},   {".qld", kKindGroup},
        };
        for (const auto& entry : byExtension) {
            if (!extension.IsEmpty() && extension.Compare(entry.extension) == 0)
                kind = entry.kind;
        }
        if (kind == kKindNone) {
            // A directory is a folder whatever the shell calls its type, and
            // whatever language the system speaks.
            const DWORD attributes = GetFileAttributesA(path);
            if (attributes != INVALID_FILE_ATTRIBUTES) {
                kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? kKindFolder : kKindProgram;
            } else {
                SHFILEINFOA info{};
                SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_TYPENAME);
                kind = CText(info.szTypeName).Compare("File Folder") == 0 ? kKindFolder : kKindProgram;
            }
        }
    }
    if (TraceOn())
        LogStringIdNumber(TR_GET_BUTTON_TYPE_RESULT, static_cast<unsigned long>(kind));
    return kind;
}

int CToolbar::GetButtonType(const CItemId& folder, const CItemId& item)
{
    if (!item.List() || item.IsDesktop())
        return kKindNone;
    CShellFolder shellFolder(folder);
    ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    if (!shellFolder.IsValid() || !shellFolder.GetAttributes(item, attributes))
        return kKindNone;
    if (attributes & SFGAO_FOLDER)
        return kKindFolder;
    if (attributes & SFGAO_FILESYSTEM) {
        CText path;
        if (shellFolder.GetDisplayName(item, path))
            return GetButtonType(path.c_str());
    }
    return kKindProgram;
}

int CToolbar::GetShortcutType(const char* path)
{
    if (TraceOn())
        LogStringIdText(TR_GET_SHORTCUT_TYPE, path ? path : "");
    int answer = kShortcutAlwaysResolve;
    CComPtr<IShellLinkA> link;
    if (LoadShortcut(path, link)) {
        char target[MAX_PATH] = {};
        WIN32_FIND_DATAA found{};
        if (SUCCEEDED(link->GetPath(target, MAX_PATH, &found, 0)) && target[0]) {
            SHFILEINFOA info{};
            const DWORD_PTR type = SHGetFileInfoA(target, 0, &info, sizeof info, SHGFI_EXETYPE);
            const WORD signature = LOWORD(type);
            // A program without a window of its own needs its shortcut: the
            // shortcut holds the console settings.
            if ((signature == kSignatureMZ || signature == kSignaturePE) && HIWORD(type) == 0)
                answer = kShortcutNeverResolve;
        }
    }
    if (TraceOn())
        LogStringIdNumber(TR_GET_SHORTCUT_TYPE_RESULT, static_cast<unsigned long>(answer));
    return answer;
}

int CToolbar::ShowShortcutMenu(const char* path, BOOL single)
{
    const int byDefault = GetShortcutType(path);
    CMenuHandle menus(LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_SHORTCUT_MENU)));
    if (!menus)
        return byDefault;
    HMENU menu = GetSubMenu(menus.Get(), 0);
    if (single)
        SetMenuDefaultItem(menu, byDefault == kShortcutNeverResolve ? IDC_SHORTCUT_ADD_ITSELF : IDC_SHORTCUT_ADD_TARGET,
                           FALSE);
    SetMenuContextHelpId(menu, HELP_SHORTCUT_MENU);
    POINT cursor{};
    GetCursorPos(&cursor);
    m_inMenuLoop = 1;
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_RIGHTALIGN,
                                                         cursor.x, cursor.y, 0, Handle(), nullptr));
    m_inMenuLoop = 0;
    if (chosen == IDC_SHORTCUT_ADD_TARGET)
        return kShortcutAlwaysResolve;
    if (chosen == IDC_SHORTCUT_ADD_ITSELF)
        return kShortcutNeverResolve;
    return byDefault;
}

// ---------------------------------------------------------------- adding buttons

CToolButton* CToolbar::AddButton(int kind, const char* path, CToolButton* after)
{
    if (TraceOn())
        LogStringIdText(TR_ADD_BUTTON, path ? path : "");
    if (kind == kKindShortcut)
        return ResolveShortcut(path, after);
    if (kind == kKindSpace)
        return AddButton(kKindSpace, after);
    if (!path || !*path)
        return nullptr;
    std::unique_ptr<CToolButton> button(NewButtonOfKind(static_cast<DWORD>(kind), this, App()));
    CToolButton* const made = button.get();
    if (!button)
        return nullptr;
    CreationData data;
    StoreCreationData(data);
    if (!button->Create(path, data, ButtonCreationMode()) || !InsertNewButton(std::move(button), after))
        return nullptr;
    m_dirty = 1;
    return made;
}

CToolButton* CToolbar::AddButton(int kind, const CItemId& folder, const CItemId& item, CToolButton* after)
{
    if (kind == kKindShortcut) {
        CShellFolder shellFolder(folder);
        CText path;
        if (!shellFolder.IsValid() || !shellFolder.GetDisplayName(item, path))
            return nullptr;
        return ResolveShortcut(path.c_str(), after);
    }
    if (kind == kKindSpace)
        return AddButton(kKindSpace, after);
    std::unique_ptr<CToolButton> button(NewButtonOfKind(static_cast<DWORD>(kind), this, App()));
    CToolButton* const made = button.get();
    auto* fileButton = dynamic_cast<CFileButton*>(button.get());
    if (!fileButton || !item.List())
        return nullptr;
    CItemId desktop;
    LPCITEMIDLIST folderList = folder.List() ? folder.List() : desktop.List();
    CreationData data;
    StoreCreationData(data);
    if (!fileButton->Create(folderList, item.List(), data, ButtonCreationMode()) || !InsertNewButton(std::move(button), after))
        return nullptr;
    m_dirty = 1;
    return made;
}

CToolButton* CToolbar::ResolveShortcut(const char* path, CToolButton* after)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_RESOLVE_SHORTCUT);
    if (TraceOn())
        LogStringIdText(TR_RESOLVE_SHORTCUT, path ? path : "");
    CComPtr<IShellLinkA> link;
    LPITEMIDLIST target = nullptr;
    if (!LoadShortcut(path, link) || FAILED(link->GetIDList(&target)) || !target) {
        trace.Result(TR_RESOLVE_SHORTCUT_RESULT, kResolveNoTarget);
        return nullptr;
    }
    CItemId folder(target);
    CItemId::FreeShellMemory(target);
    CItemId item(static_cast<LPCITEMIDLIST>(nullptr));
    if (!folder.List()) {
        trace.Result(TR_RESOLVE_SHORTCUT_RESULT, kResolveNoTarget);
        return nullptr;
    }
    folder.Split(&item);
    int kind = GetButtonType(folder, item);
    // A shortcut to a shortcut is not followed further: the button starts it.
    if (kind == kKindShortcut)
        kind = kKindProgram;
    std::unique_ptr<CToolButton> button(kind == kKindNone ? nullptr : NewButtonOfKind(static_cast<DWORD>(kind), this, App()));
    CToolButton* const made = button.get();
    if (!button) {
        trace.Result(TR_RESOLVE_SHORTCUT_RESULT, kResolveNoButtonKind);
        return nullptr;
    }
    CreationData data;
    StoreCreationData(data);
    if (!button->Create(link.Get(), data, ButtonCreationMode()) || !InsertNewButton(std::move(button), after)) {
        trace.Result(TR_RESOLVE_SHORTCUT_RESULT, kResolveNotAdded);
        return nullptr;
    }
    m_dirty = 1;
    trace.Result(TR_RESOLVE_SHORTCUT_RESULT, kResolved);
    return made;
}

BOOL CToolbar::AddDroppedItems(DroppedItem* items, size_t count, CToolButton* after, BOOL rightDrag)
{
    if (count == 0) {
        TransferMessage(IDS_MSG_NO_FILES_DROPPED);
        return FALSE;
    }
    int mode = rightDrag ? kShortcutLetMeChoose : (m_set ? static_cast<int>(m_set->Options().shortcuts) : kShortcutDefault);
    if (mode < kShortcutDefault || mode > kShortcutLetMeChoose)
        mode = kShortcutDefault;
    const int wasLoading = m_loading;
    m_loading = 1;
    BOOL anyAdded = FALSE;
    for (size_t i = 0; i < count; ++i) {
        DroppedItem& dropped = items[i];
        if (dropped.unwritable) {
            // Told before anything is added: such a button would be saved
            // with a name that starts nothing.
            TransferMessage(IDS_MSG_NO_SHORT_NAME);
            continue;
        }
        int kind = kKindNone;
        if (dropped.usable)
            kind = dropped.isItem ? GetButtonType(dropped.folder, dropped.item) : GetButtonType(dropped.path.c_str());
        if (kind == kKindShortcut) {
            int answer = mode;
            if (mode == kShortcutDefault)
                answer = GetShortcutType(dropped.path.c_str());
            else if (mode == kShortcutLetMeChoose)
                answer = mode = ShowShortcutMenu(dropped.path.c_str(), count == 1);
            if (answer == kShortcutNeverResolve)
                kind = kKindProgram;
        }
        CToolButton* button = nullptr;
        if (kind != kKindNone)
            button = dropped.isItem ? AddButton(kind, dropped.folder, dropped.item, after)
                                    : AddButton(kind, dropped.path.c_str(), after);
        if (!button) {
            TransferMessage(IDS_MSG_DROPPED_NOT_ADDED);
            continue;
        }
        m_dirty = 1;
        anyAdded = TRUE;
    }
    m_loading = wasLoading;
    Relayout(TRUE);
    CToolbarPropertySheet::ButtonsChanged(*this);
    return anyAdded;
}

BOOL CToolbar::AddFromStorage(IStorage* storage, CToolButton* after)
{
    DWORD kind = kKindNone;
    if (!ReadStoredButtonKind(storage, kind)) {
        TransferMessage(IDS_MSG_PASTE_UNSUPPORTED);
        return FALSE;
    }
    if (kind == kKindSpace) {
        if (!AddButton(kKindSpace, after))
            return FALSE;
        Relayout(TRUE);
        return TRUE;
    }
    if (kind != kKindProgram && kind != kKindFolder && kind != kKindGroup && kind != kKindUrl) {
        TransferMessage(IDS_MSG_PASTE_UNSUPPORTED);
        return FALSE;
    }
    std::unique_ptr<CToolButton> button(NewButtonOfKind(kind, this, App()));
    if (!button)
        return FALSE;
    CreationData data;
    StoreCreationData(data);
    // A record that does not read as its kind says came from someone else:
    // unlike a toolbar file's broken button it is not added at all.
    if (!button->Create(data, kCreateWithWindow) || !button->Read2(storage, kVersionCurrent, kCreateWithWindow)) {
        TransferMessage(IDS_MSG_DROPPED_NOT_ADDED);
        return FALSE;
    }
    if (!InsertNewButton(std::move(button), after))
        return FALSE;
    m_dirty = 1;
    Relayout(TRUE);
    return TRUE;
}

BOOL CToolbar::AddButtonFromDataObject(IDataObject* object, CToolButton* after, BOOL rightDrag)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_ADD_FROM_DATA_OBJECT);
    const int kind = CanAcceptDrag(object);
    BOOL added = FALSE;
    STGMEDIUM medium{};
    switch (kind) {
    case kFormatButton:
        if (SUCCEEDED(GetMedium(object, kind, medium))) {
            // A stored button may come from any program on the desktop: it is
            // read from a copy made within a deadline, never from the original.
            CComPtr<IStorage> copy;
            if (SUCCEEDED(CopyForeignStorage(medium.pstg, copy.put())))
                added = AddFromStorage(copy.Get(), after);
            else
                TransferMessage(IDS_MSG_PASTE_UNSUPPORTED);
        }
        break;
    case kFormatIdList:
        if (SUCCEEDED(GetMedium(object, kind, medium))) {
            std::vector<DroppedItem> items;
            bool damaged = false;
            {
                CIdListArray array(medium.hGlobal);
                CItemId folder(static_cast<LPCITEMIDLIST>(nullptr));
                if (array.Count() == 0) {
                    // A zero count is an empty list; a count the memory
                    // cannot hold is damage.
                    const SIZE_T size = GlobalSize(medium.hGlobal);
                    const auto* count = static_cast<const UINT*>(GlobalLock(medium.hGlobal));
                    damaged = !count || size < sizeof(UINT) || *count != 0;
                    if (count)
                        GlobalUnlock(medium.hGlobal);
                } else if (!array.GetItem(0, folder)) {
                    damaged = true;
                } else {
                    CShellFolder shellFolder(folder);
                    for (UINT i = 1; i <= array.Count(); ++i) {
                        DroppedItem dropped;
                        dropped.isItem = true;
                        dropped.folder = folder;
                        dropped.usable = array.GetItem(i, dropped.item) != FALSE;
                        CText path;
                        bool unwritable = false;
                        if (dropped.usable && shellFolder.IsValid()
                            && shellFolder.GetDisplayName(dropped.item, path, &unwritable))
                            dropped.path = path.c_str();
                        dropped.unwritable = unwritable && shellFolder.IsAttrSet(dropped.item, SFGAO_FILESYSTEM);
                        items.push_back(std::move(dropped));
                    }
                }
            }
            if (damaged)
                TransferMessage(IDS_MSG_PASTE_UNSUPPORTED);
            else
                added = AddDroppedItems(items.data(), items.size(), after, rightDrag);
        }
        break;
    case kFormatHdrop:
        if (SUCCEEDED(GetMedium(object, kind, medium))) {
            std::vector<std::string> files;
            size_t unwritable = 0;
            if (!ReadDropFileList(medium.hGlobal, files, &unwritable)) {
                TransferMessage(IDS_MSG_PASTE_UNSUPPORTED);
            } else {
                std::vector<DroppedItem> items(files.size() + unwritable);
                for (size_t i = 0; i < files.size(); ++i) {
                    items[i].usable = true;
                    items[i].path = files[i];
                }
                for (size_t i = files.size(); i < items.size(); ++i)
                    items[i].unwritable = true;
                added = AddDroppedItems(items.data(), items.size(), after, rightDrag);
            }
        }
        break;
    default:
        TransferMessage(IDS_MSG_PASTE_UNSUPPORTED);
        break;
    }
    if (medium.tymed != TYMED_NULL)
        ReleaseStgMedium(&medium);
    trace.Result(TR_ADD_FROM_DATA_OBJECT_RESULT, added ? 1 : 0);
    return added;
}

// ---------------------------------------------------------------- clipboard

BOOL CToolbar::Copy(CToolButton* button)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_COPY);
    BOOL copied = FALSE;
    if (button && button->Kind() != kKindSpace && IndexOf(button) >= 0) {
        CComPtr<IStorage> storage;
        CDataObject* object = nullptr;
        if (SUCCEEDED(CreateTemporaryStorage(storage.put())) && button->Write2(storage.Get(), kVersionCurrent)) {
            if (m_clipboardObject) {
                if (OleIsCurrentClipboard(m_clipboardObject.Get()) == S_OK)
                    OleSetClipboard(nullptr);
                m_clipboardObject.Reset();
            }
            object = new (std::nothrow) CDataObject(App());
        }
        if (object) {
            CComPtr<IDataObject> held(object);
            FORMATETC format = TransferFormatEtc(kFormatButton);
            STGMEDIUM medium{};
            medium.tymed = TYMED_ISTORAGE;
            medium.pstg = storage.Get();
            HRESULT hr = held->SetData(&format, &medium, FALSE);
            if (SUCCEEDED(hr))
                hr = OleSetClipboard(held.Get());
            if (SUCCEEDED(hr)) {
                m_clipboardObject = std::move(held);
                copied = TRUE;
            } else if (TraceOn()) {
                LogHResult(hr);
            }
        }
    }
    if (!copied) {
        if (TraceOn())
            LogStringId(TR_COPY_FAILED);
        if (App())
            App()->DisplayMessage(Handle(), IDS_MSG_COPY_FAILED, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                  kCaptionProgramName);
    }
    return copied;
}

BOOL CToolbar::Cut(CToolButton* button)
{
    if (!Copy(button))
        return FALSE;
    return Remove(button);
}

BOOL CToolbar::Paste(CToolButton* after, BOOL report)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_PASTE);
    CComPtr<IDataObject> clipboard;
    const HRESULT hr = OleGetClipboard(clipboard.put());
    if (FAILED(hr) || !clipboard) {
        if (TraceOn())
            LogHResult(hr);
        if (report && App())
            App()->DisplayMessage(Handle(), IDS_MSG_CLIPBOARD_FAILED, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                  kCaptionProgramName);
        trace.Result(TR_PASTE_RESULT, 0);
        return FALSE;
    }
    const BOOL wasReporting = m_reportTransfer;
    m_reportTransfer = report;
    const BOOL added = AddButtonFromDataObject(clipboard.Get(), IndexOf(after) >= 0 ? after : nullptr, FALSE);
    m_reportTransfer = wasReporting;
    clipboard.Reset();
    if (added) {
        // A pasted button is pasted once: the clipboard is emptied.
        OleSetClipboard(nullptr);
        m_clipboardObject.Reset();
    }
    trace.Result(TR_PASTE_RESULT, added ? 1 : 0);
    return added;
}

// ---------------------------------------------------------------- dragging buttons

BOOL CToolbar::DragStart(CToolButton* button)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_DRAG_START);
    if (!button || IndexOf(button) < 0 || button->Kind() == kKindSpace || IsRestricted(kProtectDrag)) {
        trace.Result(TR_DRAG_START_RESULT, kDragNotAllowed);
        return FALSE;
    }
    CComPtr<IStorage> storage;
    if (FAILED(CreateTemporaryStorage(storage.put())) || !button->Write2(storage.Get(), kVersionCurrent)) {
        trace.Result(TR_DRAG_START_RESULT, kDragNotStored);
        return FALSE;
    }
    auto* source = new (std::nothrow) CDropSource(this);
    CComPtr<IDropSource> heldSource(source);
    auto* object = new (std::nothrow) CDataObject(App());
    CComPtr<IDataObject> heldObject(object);
    if (!source || !object) {
        trace.Result(TR_DRAG_START_RESULT, kDragNoMemory);
        return FALSE;
    }
    FORMATETC format = TransferFormatEtc(kFormatButton);
    STGMEDIUM medium{};
    medium.tymed = TYMED_ISTORAGE;
    medium.pstg = storage.Get();
    if (FAILED(heldObject->SetData(&format, &medium, FALSE))) {
        trace.Result(TR_DRAG_START_RESULT, kDragNoData);
        return FALSE;
    }
    DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_LINK;
    if (!IsRestricted(kProtectRemove))
        allowed |= DROPEFFECT_MOVE;
    DWORD effect = DROPEFFECT_NONE;
    // The drag runs a modal loop of its own: the program may close, or the
    // button go, before it returns.
    const auto toolbarAlive = AliveToken();
    const auto buttonAlive = button->AliveToken();
    const HRESULT hr = DoDragDrop(heldObject.Get(), heldSource.Get(), allowed, &effect);
    if (!*toolbarAlive)
        return hr == DRAGDROP_S_DROP;
    if (hr == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE && *buttonAlive && IndexOf(button) >= 0)
        Remove(button);
    trace.Result(TR_DRAG_START_RESULT, kDragDone);
    return hr == DRAGDROP_S_DROP;
}

// ---------------------------------------------------------------- the toolbar as drop target

DWORD CToolbar::ToolbarDropEffect(DWORD keys, DWORD allowed) const
{
    DWORD wanted = DROPEFFECT_NONE;
    switch (m_dropKind) {
    case kFormatIdList:
    case kFormatHdrop:
        if (IsRestricted(kProtectAdd))
            return DROPEFFECT_NONE;
        wanted = DROPEFFECT_LINK;
        break;
    case kFormatButton:
        wanted = (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
        break;
    default:
        return DROPEFFECT_NONE;
    }
    if (wanted & allowed)
        return wanted;
    // A source that may not give its button up, or files that may only be
    // copied, still make a button.
    return (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

void CToolbar::OnDragEnter(IDataObject*, DWORD keys, POINTL, int kind, DWORD* effect)
{
    m_dropKind = kind;
    m_rightDrag = (keys & MK_RBUTTON) ? 1 : 0;
    if (m_settings.autohide && m_collapsed)
        SetCollapsed(FALSE);
    else if (Handle())
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (effect)
        *effect = ToolbarDropEffect(keys, *effect);
}

void CToolbar::OnDragOver(DWORD keys, POINTL, DWORD* effect)
{
    if (effect)
        *effect = ToolbarDropEffect(keys, *effect);
}

void CToolbar::OnDragLeave()
{
    m_dropKind = kFormatNone;
}

BOOL CToolbar::OnDrop(IDataObject* object, DWORD keys, POINTL, DWORD* effect, CToolButton* on)
{
    const DWORD allowed = effect ? *effect : DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const DWORD chosen = ToolbarDropEffect(keys, allowed);
    if (effect)
        *effect = chosen;
    if (chosen == DROPEFFECT_NONE || !object)
        return FALSE;
    const BOOL added = AddButtonFromDataObject(object, on, m_rightDrag);
    if (!added && effect)
        *effect = DROPEFFECT_NONE;
    return added;
}

// ---------------------------------------------------------------- drops on a button

BOOL CToolbar::DropDataObjectOnButton(IDataObject* object, CToolButton* button, DWORD*, BOOL setTarget)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_DROP_ON_BUTTON);
    const int kind = CanAcceptDrag(object);
    if (kind == kFormatNone) {
        TransferMessage(IDS_MSG_PASTE_UNSUPPORTED);
        trace.Result(TR_DROP_ON_BUTTON_RESULT, kDropUnsupported);
        return FALSE;
    }
    if (kind == kFormatButton || !button) {
        trace.Result(TR_DROP_ON_BUTTON_RESULT, kDropNotForButton);
        return FALSE;
    }
    // The dropped files as paths; a shell object without one cannot be
    // handed to a program.
    std::vector<std::string> files;
    bool damaged = false;
    STGMEDIUM medium{};
    if (SUCCEEDED(GetMedium(object, kind, medium))) {
        if (kind == kFormatHdrop) {
            size_t unwritable = 0;
            damaged = !ReadDropFileList(medium.hGlobal, files, &unwritable);
            for (size_t i = 0; !damaged && i < unwritable; ++i)
                TransferMessage(IDS_MSG_NO_SHORT_NAME);
        } else {
            CIdListArray array(medium.hGlobal);
            CItemId folder(static_cast<LPCITEMIDLIST>(nullptr));
            if (array.Count() > 0 && array.GetItem(0, folder)) {
                CShellFolder shellFolder(folder);
                for (UINT i = 1; i <= array.Count(); ++i) {
                    CItemId item(static_cast<LPCITEMIDLIST>(nullptr));
                    CText path;
                    if (array.GetItem(i, item) && shellFolder.IsValid()
                        && shellFolder.IsAttrSet(item, SFGAO_FILESYSTEM) && shellFolder.GetDisplayName(item, path))
                        files.push_back(path.c_str());
                    else
                        TransferMessage(IDS_MSG_DROPPED_NOT_ADDED);
                }
            }
        }
        ReleaseStgMedium(&medium);
    } else {
        damaged = true;
    }
    if (damaged) {
        TransferMessage(IDS_MSG_PASTE_UNSUPPORTED);
        trace.Result(TR_DROP_ON_BUTTON_RESULT, kDropDamaged);
        return FALSE;
    }
    if (files.empty()) {
        TransferMessage(IDS_MSG_NO_FILES_DROPPED);
        trace.Result(TR_DROP_ON_BUTTON_RESULT, kDropNoFiles);
        return FALSE;
    }
    BOOL done = FALSE;
    for (const std::string& file : files) {
        if (button->Kind() == kKindProgram) {
            auto* program = dynamic_cast<CExecButton*>(button);
            if (setTarget)
                done |= program && program->SetFile(file.c_str());
            else
                done |= program && program->Execute(file.c_str());
        } else if (!setTarget) {
            TransferMessage(IDS_MSG_DROPPED_NOT_ADDED);
        }
    }
    trace.Result(TR_DROP_ON_BUTTON_RESULT, done ? kDropTaken : kDropNotTaken);
    return done;
}
