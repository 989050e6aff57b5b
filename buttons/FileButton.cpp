#include "FileButton.h"
#include "ButtonPropertySheet.h"

#include "../common/AnsiPath.h"
#include "../common/Application.h"
#include "../common/Associations.h"
#include "../common/TransferFormats.h"
#include "../common/ShellFolder.h"
#include "../common/ShellItems.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"
#include "VirtualDesktop.h"

#include <commdlg.h>
#include <shlwapi.h>

#include <optional>

namespace {

CFileButton* g_propertiesButton = nullptr;

int ShowCommandOf(int showState)
{
    switch (showState) {
    case kShowMinimized: return SW_MINIMIZE;
    case kShowMaximized: return SW_SHOWMAXIMIZED;
    default: return SW_SHOWNORMAL;
    }
}

// The message of an instance result of ShellExecuteEx.
UINT StartMessage(INT_PTR instanceResult)
{
    switch (instanceResult) {
    case SE_ERR_FNF: return IDS_MSG_FILE_NOT_FOUND;
    case SE_ERR_PNF: return IDS_MSG_PATH_NOT_FOUND;
    case SE_ERR_ACCESSDENIED: return IDS_MSG_ACCESS_DENIED;
    case SE_ERR_OOM: return IDS_MSG_OUT_OF_MEMORY;
    case SE_ERR_SHARE: return IDS_MSG_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE: return IDS_MSG_ASSOC_INCOMPLETE;
    case SE_ERR_NOASSOC: return IDS_MSG_NO_ASSOCIATION;
    case SE_ERR_DLLNOTFOUND: return IDS_MSG_DLL_NOT_FOUND;
    default: return IDS_MSG_START_FAILED;
    }
}

// A failed ShellExecuteEx normally leaves its instance result in hInstApp;
// when it does not, the thread's error tells the same story.
INT_PTR InstanceResultOfError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return SE_ERR_FNF;
    case ERROR_PATH_NOT_FOUND: return SE_ERR_PNF;
    case ERROR_ACCESS_DENIED: return SE_ERR_ACCESSDENIED;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return SE_ERR_OOM;
    case ERROR_SHARING_VIOLATION: return SE_ERR_SHARE;
    case ERROR_NO_ASSOCIATION: return SE_ERR_NOASSOC;
    case ERROR_DLL_NOT_FOUND: return SE_ERR_DLLNOTFOUND;
    default: return 0;
    }
}

BOOL HasExtension(const CText& path, const char* extension)
{
    const int dot = path.ReverseFind('.');
    return dot >= 0 && lstrcmpiA(path.c_str() + dot + 1, extension) == 0;
}

// The name a user sees for an item (not its parsing name).
BOOL NormalDisplayName(const CShellFolder& folder, const CItemId& item, CText& name)
{
    IShellFolder* shellFolder = folder.Interface();
    if (!shellFolder || !item.List())
        return FALSE;
    STRRET text{};
    const HRESULT hr = shellFolder->GetDisplayNameOf(item.List(), SHGDN_NORMAL, &text);
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    wchar_t buffer[MAX_PATH]{};
    if (FAILED(StrRetToBufW(&text, item.List(), buffer, MAX_PATH)))
        return FALSE;
    if (ConvertsExactly(buffer, name))
        return TRUE;
    // A name the code page cannot show: the title of the short path the
    // button keeps stands in, never a row of question marks.
    CText path;
    return folder.GetDisplayName(item, path) && AnsiTitleOf(path.c_str(), name);
}

// The file name of a path without its folder and extension.
CText BareName(const CText& path)
{
    CText name(path);
    const int slash = name.ReverseFind('\\');
    if (slash >= 0)
        name.Right(name.Length() - slash - 1);
    const int dot = name.ReverseFind('.');
    if (dot > 0)
        name.Left(dot);
    return name;
}

// What the file button's methods report to the trace, in the order of their
// checks.
enum AssociatedInfoResult : unsigned long { kInfoDone = 1, kInfoNoIcon = 2, kInfoNoTitle = 3 };

enum ObjectDataResult : unsigned long { kObjectDone = 1, kObjectNoFolder = 2, kObjectNoIcon = 3 };

enum ShortcutDataResult : unsigned long {
    kShortcutDone = 1,
    kShortcutNoTarget = 2,
    kShortcutNoFolder = 3,   // the target's folder cannot be bound
    kShortcutNoIcon = 4,
};

enum SetFileResult : unsigned long { kFileChanged = 1, kFileSame = 2 };

enum ExecuteResult : unsigned long { kExecuteStarted = 1, kExecuteNoTarget = 2, kExecuteFailed = 3 };

enum Read2Result : unsigned long { kStoredRead = 1, kStoredNoData = 2, kStoredDamaged = 3 };

enum Write2Result : unsigned long {
    kStoredWritten = 1,
    kStoredNoDataStream = 2,
    kStoredRecordFailed = 3,
    kStoredIconFailed = 4,
};

} // namespace

// One icon in each of the three sizes of the toolbar's lists.
struct CFileButton::IconSet
{
    CIconHandle large;    // 48 pixels
    CIconHandle normal;   // 32 pixels
    CIconHandle small;    // 16 pixels

    bool Any() const { return large || normal || small; }

    // A size the source did not give is drawn from another one.
    void FillGaps()
    {
        if (!large)
            large.Reset(CopyIcon(normal ? normal.Get() : small.Get()));
        if (!normal)
            normal.Reset(CopyIcon(large ? large.Get() : small.Get()));
        if (!small)
            small.Reset(CopyIcon(normal ? normal.Get() : large.Get()));
    }

    // Takes the icons of one extraction: the larger one into the first free
    // place of the pair, the smaller one likewise.
    void Take(HICON bigger, CIconHandle& biggerSlot, HICON smaller, CIconHandle& smallerSlot)
    {
        CIconHandle first(bigger);
        CIconHandle second(smaller);
        if (first && !biggerSlot)
            biggerSlot = std::move(first);
        if (second && !smallerSlot)
            smallerSlot = std::move(second);
    }
};

CFileButton::CFileButton(IButtonHost* host, CApplication* application, void* owner)
    : CToolButton(host, application, owner)
{
    if (TraceOn())
        LogMethod(TR_CFILEBUTTON, TR_CFILEBUTTON, TRUE);
}

CFileButton::~CFileButton()
{
    if (TraceOn())
        LogMethod(TR_CFILEBUTTON, TR_CFILEBUTTON_DTOR, TRUE);
    if (g_propertiesButton == this)
        g_propertiesButton = nullptr;
}

CFileButton* CFileButton::PropertiesButton()
{
    return g_propertiesButton;
}

void CFileButton::SetPropertiesButton(CFileButton* button)
{
    g_propertiesButton = button;
}

// ---------------------------------------------------------------- creation

BOOL CFileButton::Create(const char* fileName, const CreationData& data, int mode)
{
    if (TraceOn())
        LogStringIdText(TR_BUTTON_CREATE, fileName);
    if (!CToolButton::Create(data, mode))
        return FALSE;
    return GetAssociatedFileInfo(data, fileName ? fileName : "");
}

BOOL CFileButton::Create(LPCITEMIDLIST itemList, const CreationData& data, int mode)
{
    if (!CToolButton::Create(data, mode) || !itemList)
        return FALSE;
    CItemId folder(itemList);
    CItemId item;
    folder.Split(&item);
    m_folderId = folder;
    m_itemId = item;
    return GetObjectData(data);
}

BOOL CFileButton::Create(LPCITEMIDLIST folderList, LPCITEMIDLIST item, const CreationData& data, int mode)
{
    if (!CToolButton::Create(data, mode) || !folderList || !item)
        return FALSE;
    m_folderId = folderList;
    m_itemId = item;
    return GetObjectData(data);
}

BOOL CFileButton::Create(IShellLinkA* link, const CreationData& data, int mode)
{
    if (!CToolButton::Create(data, mode) || !link)
        return FALSE;
    return GetShortcutData(data, link);
}

BOOL CFileButton::GetAssociatedFileInfo(const CreationData& data, const char* path)
{
    CTraceMethod trace(TR_CFILEBUTTON, TR_GET_ASSOCIATED_INFO);
    SetFile(path);
    m_defaultIcon = 1;
    SetIconFile(path);
    SetIconIndex(0);
    if (!UpdateIcon(data.sizeIndex, TRUE)) {
        trace.Result(TR_GET_ASSOCIATED_INFO_RESULT, kInfoNoIcon);
        return FALSE;
    }
    // The title shows the extension or not, as the user's shell settings say.
    // The long name's title where the code page can show it (a short path
    // was stored for it), else the title of the path as given.
    CText title;
    if (path && AnsiTitleOf(path, title)) {
        SetDescription(title.c_str());
    } else {
        // A drive's root ("C:\") has no file title; the shell's name for it
        // stands in, as for the drive dropped from My Computer.
        CText name;
        if (!HasTargetList() || !NormalDisplayName(CShellFolder(m_folderId), m_itemId, name) || name.IsEmpty()) {
            trace.Result(TR_GET_ASSOCIATED_INFO_RESULT, kInfoNoTitle);
            return FALSE;
        }
        SetDescription(name.c_str());
    }
    trace.Result(TR_GET_ASSOCIATED_INFO_RESULT, kInfoDone);
    return TRUE;
}

BOOL CFileButton::GetObjectData(const CreationData& data)
{
    CTraceMethod trace(TR_CFILEBUTTON, TR_GET_OBJECT_DATA);
    CShellFolder folder(m_folderId);
    if (!folder.IsValid()) {
        trace.Result(TR_GET_OBJECT_DATA_RESULT, kObjectNoFolder);
        return FALSE;
    }
    ULONG attributes = 0;
    m_fileSystem = folder.GetAttributes(m_itemId, attributes) && (attributes & SFGAO_FILESYSTEM) ? 1 : 0;
    if (!folder.GetDisplayName(m_itemId, m_fileName))
        m_fileName = "";
    CText name;
    if (NormalDisplayName(folder, m_itemId, name))
        m_description = name;
    m_defaultIcon = 1;
    // An icon that lives in a real file is kept as the chosen icon, so the
    // button keeps its picture even when the target moves.
    CComPtr<IExtractIconA> extract;
    if (folder.GetExtractIcon(m_itemId, extract)) {
        char location[MAX_PATH]{};
        int index = 0;
        UINT flags = 0;
        if (SUCCEEDED(extract->GetIconLocation(GIL_FORSHELL, location, sizeof location, &index, &flags))
            && !(flags & GIL_NOTFILENAME) && location[0]) {
            m_iconFile = location;
            m_iconIndex = index;
            m_defaultIcon = 0;
        }
    }
    m_modified = 1;
    if (!UpdateIcon(data.sizeIndex, TRUE)) {
        trace.Result(TR_GET_OBJECT_DATA_RESULT, kObjectNoIcon);
        return FALSE;
    }
    trace.Result(TR_GET_OBJECT_DATA_RESULT, kObjectDone);
    return TRUE;
}

BOOL CFileButton::GetShortcutData(const CreationData& data, IShellLinkA* link)
{
    CTraceMethod trace(TR_CFILEBUTTON, TR_GET_SHORTCUT_DATA);
    LPITEMIDLIST target = nullptr;
    HRESULT hr = link->GetIDList(&target);
    CItemId folderList(static_cast<LPCITEMIDLIST>(target));
    CItemId::FreeShellMemory(target);
    if (FAILED(hr) || !folderList.List() || folderList.IsDesktop()) {
        if (FAILED(hr) && TraceOn())
            LogHResult(hr);
        trace.Result(TR_GET_SHORTCUT_DATA_RESULT, kShortcutNoTarget);
        return FALSE;
    }
    CItemId item;
    folderList.Split(&item);
    m_folderId = folderList;
    m_itemId = item;

    CShellFolder folder(m_folderId);
    if (!folder.IsValid()) {
        trace.Result(TR_GET_SHORTCUT_DATA_RESULT, kShortcutNoFolder);
        return FALSE;
    }
    ULONG attributes = 0;
    m_fileSystem = folder.GetAttributes(m_itemId, attributes) && (attributes & SFGAO_FILESYSTEM) ? 1 : 0;
    if (!folder.GetDisplayName(m_itemId, m_fileName))
        m_fileName = "";

    // The description is the shortcut's own name; a shortcut that was never
    // saved has none, and the target's name stands in.
    CComPtr<IPersistFile> file;
    wchar_t* linkPath = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())) && SUCCEEDED(file->GetCurFile(&linkPath))
        && linkPath) {
        CText path;
        path = linkPath;
        m_description = BareName(path);
    } else {
        CText name;
        if (NormalDisplayName(folder, m_itemId, name))
            m_description = name;
    }
    CoTaskMemFree(linkPath);

    m_defaultIcon = 1;
    char location[MAX_PATH]{};
    int index = 0;
    if (SUCCEEDED(link->GetIconLocation(location, sizeof location, &index)) && location[0]) {
        CText iconFile(location);
        iconFile.ExpandEnvironment();
        bool usable = true;
        if (iconFile.Find('\\') < 0) {
            // A bare name means a file of the Windows folder, if it is there.
            char windows[MAX_PATH]{};
            GetWindowsDirectoryA(windows, sizeof windows);
            CText inWindows(windows);
            inWindows += "\\";
            inWindows += iconFile;
            usable = GetFileAttributesA(inWindows.c_str()) != INVALID_FILE_ATTRIBUTES;
            iconFile = inWindows;
        }
        if (usable) {
            m_defaultIcon = 0;
            m_iconFile = iconFile;
            m_iconIndex = index;
        }
    }
    int showCommand = SW_SHOWNORMAL;
    if (FAILED(link->GetShowCmd(&showCommand)))
        showCommand = SW_SHOWNORMAL;
    m_showState = showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE
                      ? kShowMinimized
                      : (showCommand == SW_SHOWMAXIMIZED ? kShowMaximized : kShowNormal);
    m_allowDrops = 0;
    m_modified = 1;
    if (!UpdateIcon(data.sizeIndex, TRUE)) {
        trace.Result(TR_GET_SHORTCUT_DATA_RESULT, kShortcutNoIcon);
        return FALSE;
    }
    trace.Result(TR_GET_SHORTCUT_DATA_RESULT, kShortcutDone);
    return TRUE;
}

BOOL CFileButton::SetTargetFromFileName()
{
    // A name the shell cannot find leaves no identifiers at all, so that an
    // earlier target is never started in its place.
    m_folderId = CItemId();
    m_itemId = CItemId();
    m_fileSystem = 1;
    if (m_fileName.IsEmpty())
        return FALSE;
    CItemId full;
    if (!full.Set(m_fileName))
        return FALSE;
    CItemId item;
    full.Split(&item);
    if (item.IsDesktop())
        return FALSE;
    m_folderId = full;
    m_itemId = item;
    CShellFolder folder(m_folderId);
    ULONG attributes = 0;
    if (folder.IsValid() && folder.GetAttributes(m_itemId, attributes))
        m_fileSystem = (attributes & SFGAO_FILESYSTEM) ? 1 : 0;
    return TRUE;
}

BOOL CFileButton::SetFile(const char* path)
{
    CTraceMethod trace(TR_CFILEBUTTON, TR_SET_FILE);
    const char* text = path ? path : "";
    if (m_fileName.CompareCase(text) == 0) {
        trace.Result(TR_SET_FILE_RESULT, kFileSame);
        return TRUE;
    }
    m_fileName = text;
    m_modified = 1;
    // The identifiers first: the check looks at the new target's folder.
    SetTargetFromFileName();
    m_targetOk = CheckFileOk() ? 1 : 0;
    if (m_defaultIcon)
        UpdateIcon(SizeIndex(), TRUE);
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
    trace.Result(TR_SET_FILE_RESULT, kFileChanged);
    return TRUE;
}

BOOL CFileButton::CheckFileOk()
{
    return !m_fileName.IsEmpty();
}

BOOL CFileButton::CanAcceptDrops()
{
    return TRUE;
}

DWORD_PTR CFileButton::GetFileInfo(SHFILEINFOA& info, UINT flags) const
{
    if (HasTargetList()) {
        CItemId full(m_folderId);
        if (full.Append(m_itemId))
            return SHGetFileInfoA(reinterpret_cast<LPCSTR>(full.List()), 0, &info, sizeof info, flags | SHGFI_PIDL);
    }
    if (m_fileName.IsEmpty())
        return 0;
    return SHGetFileInfoA(m_fileName.c_str(), 0, &info, sizeof info, flags);
}

HICON CFileButton::ShellIcon(int side) const
{
    if (HasTargetList()) {
        CItemId full(m_folderId);
        if (full.Append(m_itemId))
            return ShellIconAtSide(full.List(), nullptr, side);
    }
    return ShellIconAtSide(nullptr, m_fileName.c_str(), side);
}

void CFileButton::SetIconFile(const char* path)
{
    m_iconFile = path ? path : "";
    m_modified = 1;
}

void CFileButton::SetIconIndex(int index)
{
    // 0 is a real choice: the one icon of an .ico file, or the first of a module.
    m_iconIndex = index;
    m_modified = 1;
}

void CFileButton::SetDefaultIcon(BOOL useDefault)
{
    m_defaultIcon = useDefault ? 1 : 0;
    m_modified = 1;
}

void CFileButton::SetShowState(int state)
{
    m_showState = state >= kShowMinimized && state <= kShowNormal ? state : kShowNormal;
    m_modified = 1;
}

void CFileButton::SetAllowDrops(BOOL allow)
{
    m_allowDrops = allow ? 1 : 0;
    m_modified = 1;
}

void CFileButton::SetUseCurrentDesktop(BOOL useCurrent)
{
    m_useCurrentDesktop = useCurrent ? 1 : 0;
    m_modified = 1;
}

void CFileButton::SetDesktop(DWORD x, DWORD y)
{
    m_desktopX = x;
    m_desktopY = y;
    m_modified = 1;
}

// ---------------------------------------------------------------- starting

void CFileButton::Activate(BOOL)
{
    Execute(nullptr, nullptr);
}

void CFileButton::ShowStartError(INT_PTR instanceResult)
{
    auto* app = static_cast<CApplication*>(Application());
    if (!app)
        return;
    const UINT message = StartMessage(instanceResult);
    if (m_fileName.IsEmpty())
        app->DisplayMessage(nullptr, message, nullptr, MB_OK | MB_ICONEXCLAMATION, kCaptionProgramName);
    else
        app->DisplayMessage(nullptr, message, m_fileName.c_str(), MB_OK | MB_ICONEXCLAMATION, kCaptionText);
}

BOOL CFileButton::Execute(const char* parameters, const char* startIn)
{
    CTraceMethod trace(TR_CFILEBUTTON, TR_EXECUTE);
    // Without identifiers (an Internet address, or a path the shell could not
    // find when the button got it) the shell is handed the file name alone.
    const bool withList = HasTargetList() != FALSE;
    CItemId fullList(m_folderId);
    if ((withList && !fullList.Append(m_itemId)) || (!withList && m_fileName.IsEmpty())) {
        m_targetOk = 0;
        if (Handle())
            InvalidateRect(Handle(), nullptr, TRUE);
        ShowStartError(0);
        trace.Result(TR_EXECUTE_RESULT, kExecuteNoTarget);
        return FALSE;
    }

    CText defaultFolder;
    GetDefaultFolder(defaultFolder);
    const char* directory = startIn && *startIn ? startIn : defaultFolder.c_str();
    const bool haveParameters = parameters && *parameters;
    SHFILEINFOA info{};
    const bool direct = (!m_fileName.IsEmpty()
                         && SHGetFileInfoA(m_fileName.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE) != 0)
                        || HasExtension(m_fileName, "LNK");

    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.hwnd = Handle();
    execute.lpDirectory = directory;
    execute.nShow = ShowCommandOf(m_showState);
    CText program;
    CText commandLine;
    bool startable = true;
    if (direct || !haveParameters) {
        execute.fMask = SEE_MASK_FLAG_NO_UI | (withList ? SEE_MASK_INVOKEIDLIST : 0);
        execute.lpFile = m_fileName.IsEmpty() ? nullptr : m_fileName.c_str();
        execute.lpParameters = haveParameters ? parameters : nullptr;
        execute.lpIDList = withList ? const_cast<ITEMIDLIST*>(fullList.List()) : nullptr;
    } else if (GetAssociatedExe(m_fileName, program)) {
        // A document with parameters goes to its program as "parameters file".
        // A name with a blank is quoted, or the program would take it for two.
        commandLine = parameters;
        commandLine += " ";
        if (m_fileName.Find(' ') >= 0) {
            commandLine += "\"";
            commandLine += m_fileName;
            commandLine += "\"";
        } else {
            commandLine += m_fileName;
        }
        execute.fMask = SEE_MASK_FLAG_NO_UI;
        execute.lpFile = program.c_str();
        execute.lpParameters = commandLine.c_str();
    } else {
        startable = false;
    }

    if (!startable) {
        m_targetOk = 0;
        if (Handle())
            InvalidateRect(Handle(), nullptr, TRUE);
        ShowStartError(0);
        trace.Result(TR_EXECUTE_RESULT, kExecuteFailed);
        return FALSE;
    }
    // Objects outside the file system (control panel items) may refuse the
    // shell's way of asking and still open.
    const BOOL started = StartWithShell(execute, !m_fileSystem);
    trace.Result(TR_EXECUTE_RESULT, started ? kExecuteStarted : kExecuteFailed);
    return started;
}

BOOL CFileButton::StartWithShell(SHELLEXECUTEINFOA& execute, BOOL forgiveAccessDenied)
{
    BOOL started = FALSE;
    INT_PTR instanceResult = 0;
    {
        // The library stays loaded until the target has started.
        std::optional<CVirtualDesktop> desktop;
        if (!m_useCurrentDesktop) {
            desktop.emplace();
            desktop->SwitchTo(m_desktopX, m_desktopY);
        }
        started = ShellExecuteExA(&execute);
        const DWORD error = GetLastError();
        instanceResult = reinterpret_cast<INT_PTR>(execute.hInstApp);
        if (!started && (instanceResult <= 0 || instanceResult > 32))
            instanceResult = InstanceResultOfError(error);
    }
    if (TraceOn())
        LogFormat("hInstApp=%lu", static_cast<unsigned long>(instanceResult));
    if (started || (forgiveAccessDenied && instanceResult == SE_ERR_ACCESSDENIED)) {
        m_targetOk = 1;
        if (Handle())
            InvalidateRect(Handle(), nullptr, TRUE);
        return TRUE;
    }
    m_targetOk = 0;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
    ShowStartError(instanceResult);
    return FALSE;
}

int CFileButton::ShowCommand() const
{
    return ShowCommandOf(m_showState);
}

// ---------------------------------------------------------------- menus

void CFileButton::OnRightClick(BOOL)
{
    ShowContextMenu();
}

BOOL CFileButton::OffersTargetMenu() const
{
    if (m_host && m_host->IsRestricted(kProtectTargetMenu))
        return FALSE;
    if (m_fileName.IsEmpty() || !HasTargetList())
        return FALSE;
    // Floppy drives are never touched: asking them would spin up the drive,
    // or ask the user for a disk.
    CText drive(m_fileName);
    drive.Left(3);
    return drive != "A:\\" && drive != "B:\\";
}

BOOL CFileButton::AddTargetMenu(HMENU menu, const CShellFolder& folder)
{
    CComPtr<IContextMenu> contextMenu;
    if (!folder.GetContextMenu(m_itemId, contextMenu))
        return FALSE;
    CMenuHandle popup(CreatePopupMenu());
    if (!popup)
        return FALSE;
    const HRESULT hr = contextMenu->QueryContextMenu(popup.Get(), 0, IDC_TARGET_FIRST, IDC_TARGET_LAST, CMF_NORMAL);
    if (FAILED(hr) || HRESULT_CODE(hr) == 0 || GetMenuItemCount(popup.Get()) <= 0) {
        if (FAILED(hr) && TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    CText title;
    if (!title.LoadString(AppInstance(), IDS_TARGET_MENU))
        title = "Target";
    if (!InsertMenuA(menu, 0, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.Get()),
                     title.c_str()))
        return FALSE;
    popup.Release();   // the button menu owns it now
    m_targetMenu = contextMenu;
    return TRUE;
}

BOOL CFileButton::InvokeTargetCommand(UINT command, HWND window)
{
    if (!m_targetMenu || command < IDC_TARGET_FIRST || command > IDC_TARGET_LAST)
        return FALSE;
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.hwnd = window;
    invoke.lpVerb = MAKEINTRESOURCEA(command - IDC_TARGET_FIRST);
    invoke.nShow = SW_SHOWNORMAL;
    const HRESULT hr = m_targetMenu->InvokeCommand(&invoke);
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    return TRUE;
}

CMenuHandle CFileButton::BuildContextMenu()
{
    m_targetMenu.Reset();
    CMenuHandle menu(LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_BUTTON_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup || !OffersTargetMenu())
        return menu;
    // A target on a drive without a disk must not bring up the system's
    // "insert a disk" box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    CShellFolder folder(m_folderId);
    if (folder.IsValid())
        AddTargetMenu(popup, folder);
    SetErrorMode(oldMode);
    return menu;
}

void CFileButton::ShowContextMenu()
{
    CMenuHandle menu = BuildContextMenu();
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup)
        return;
    SetMenuContextHelpId(popup, HELP_BUTTON_MENU);
    POINT cursor{};
    GetCursorPos(&cursor);
    const auto alive = AliveToken();
    const UINT command = static_cast<UINT>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_RIGHTALIGN,
                                                          cursor.x, cursor.y, 0, Handle(), nullptr));
    if (!*alive)
        return;
    if (command >= IDC_TARGET_FIRST && command <= IDC_TARGET_LAST)
        InvokeTargetCommand(command, Handle());
    m_targetMenu.Reset();
    // The button's own commands arrive as if chosen from a window menu, after
    // the menu is gone.
    if (command && Handle())
        PostMessageA(Handle(), WM_COMMAND, command, 0);
}

BOOL CFileButton::ClipboardOffersButton() const
{
    const UINT format = ButtonClipFormat();
    CComPtr<IDataObject> clipboard;
    if (FAILED(OleGetClipboard(clipboard.put())) || !clipboard)
        return FALSE;
    FORMATETC wanted{};
    wanted.cfFormat = static_cast<CLIPFORMAT>(format);
    wanted.dwAspect = DVASPECT_CONTENT;
    wanted.lindex = -1;
    wanted.tymed = TYMED_HGLOBAL;
    return clipboard->QueryGetData(&wanted) == S_OK;
}

BOOL CFileButton::OnInitMenu(HMENU menu)
{
    // Only the button menu; the hold menu and the target's menu pass by.
    if (GetMenuState(menu, IDC_BTN_PROPERTIES, MF_BYCOMMAND) == static_cast<UINT>(-1))
        return FALSE;
    auto grey = [menu](UINT id, bool grayed) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (grayed ? MF_GRAYED : MF_ENABLED));
    };
    if (g_propertiesButton) {
        for (UINT id = IDC_BTN_CUT; id <= IDC_BTN_PROPERTIES; ++id)
            grey(id, true);
        return TRUE;
    }
    const bool removeBlocked = m_host && m_host->IsRestricted(kProtectRemove);
    const bool clipboardBlocked = m_host && m_host->IsRestricted(kProtectClipboard);
    const bool propertiesBlocked = m_host && m_host->IsRestricted(kProtectButtonProperties);
    grey(IDC_BTN_CUT, removeBlocked || clipboardBlocked);
    grey(IDC_BTN_COPY, clipboardBlocked);
    grey(IDC_BTN_PASTE, clipboardBlocked || !ClipboardOffersButton());
    grey(IDC_BTN_DELETE, removeBlocked);
    grey(IDC_BTN_PROPERTIES, propertiesBlocked || !kHasButtonProperties);
    return TRUE;
}

BOOL CFileButton::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_BTN_CUT:
        // The toolbar deletes this object when the cut succeeds: nothing of
        // it may be touched after this call.
        if (m_host && !m_host->IsRestricted(kProtectRemove) && !m_host->IsRestricted(kProtectClipboard))
            m_host->Cut(this);
        return TRUE;
    case IDC_BTN_COPY:
        if (m_host && !m_host->IsRestricted(kProtectClipboard))
            m_host->Copy(this);
        return TRUE;
    case IDC_BTN_PASTE:
        if (m_host && !m_host->IsRestricted(kProtectClipboard))
            m_host->Paste(this, TRUE);
        return TRUE;
    case IDC_BTN_DELETE:
        if (m_host && !m_host->IsRestricted(kProtectRemove)) {
            // The toolbar deletes this object: nothing of it may be touched
            // after this call.
            m_host->Remove(this);
        }
        return TRUE;
    case IDC_BTN_PROPERTIES:
        if (!m_host || !m_host->IsRestricted(kProtectButtonProperties))
            ShowProperties();
        return TRUE;
    default:
        return CToolButton::OnCommand(id, code, control);
    }
}

void CFileButton::ShowProperties()
{
    // One sheet in the whole program: a second request returns at once.
    if (g_propertiesButton)
        return;
    CButtonPropertySheet sheet(this);
    sheet.Run();
}

// ---------------------------------------------------------------- icons

BOOL CFileButton::SetIconSize(int sizeIndex, BOOL reload)
{
    return UpdateIcon(sizeIndex, reload);
}

// Files dragged over the button go to the target's own drop target when it
// has one (a folder, a drive, the printers), start a program button's program
// with them, and otherwise go to the toolbar.  A dragged button always goes to the
// toolbar, so that buttons can be rearranged over other buttons.
void CFileButton::DragEnter(IDataObject* data, DWORD keys, POINTL point, int kind, DWORD allowed, BOOL allPrograms,
                            DWORD* effect)
{
    m_dragKind = kind;
    if (m_targetDropTarget) {
        CoLockObjectExternal(m_targetDropTarget.Get(), FALSE, TRUE);
        m_targetDropTarget.Reset();
    }
    const bool files = kind == 1 || kind == 2;
    BOOL handled = FALSE;
    if (m_allowDrops && !(keys & MK_ALT) && files) {
        CShellFolder folder(m_folderId);
        CComPtr<IDropTarget> target;
        // A program takes dropped documents itself, so that its own start
        // rules (start-in, short names) apply; the shell's drop target of a
        // program file does not run it everywhere (Wine refuses the drop).
        if (m_kind != kKindProgram && HasTargetList() && folder.IsValid() && folder.IsAttrSet(m_itemId, SFGAO_DROPTARGET)
            && folder.GetDropTarget(m_itemId, target)) {
            CoLockObjectExternal(target.Get(), TRUE, FALSE);
            const HRESULT hr = target->DragEnter(data, keys, point, effect);
            if (SUCCEEDED(hr)) {
                m_targetDropTarget = std::move(target);
                handled = TRUE;
            } else {
                if (TraceOn())
                    LogHResult(hr);
                CoLockObjectExternal(target.Get(), FALSE, TRUE);
            }
        } else if (m_kind == kKindProgram) {
            // Not handled: the toolbar hears of the drag too, but the files
            // will start this program.
            CToolButton::DragEnter(data, keys, point, kind, allowed, allPrograms, effect);
            *effect = DROPEFFECT_LINK;
            SetDropHighlight(TRUE);
            return;
        } else {
            *effect = DROPEFFECT_NONE;
            handled = TRUE;
        }
    }
    if (handled)
        SetDropHighlight(TRUE);
    else
        CToolButton::DragEnter(data, keys, point, kind, allowed, allPrograms, effect);
}

void CFileButton::DragOver(DWORD keys, POINTL point, DWORD* effect)
{
    const bool files = m_dragKind == 1 || m_dragKind == 2;
    if (m_targetDropTarget) {
        const HRESULT hr = m_targetDropTarget->DragOver(keys, point, effect);
        if (FAILED(hr) && TraceOn())
            LogHResult(hr);
    } else if (m_allowDrops && !(keys & MK_ALT) && files) {
        if (m_kind == kKindProgram) {
            CToolButton::DragOver(keys, point, effect);
            *effect = DROPEFFECT_LINK;
        } else {
            *effect = DROPEFFECT_NONE;
        }
    } else {
        CToolButton::DragOver(keys, point, effect);
    }
    // Alt hands the drop to the toolbar: the highlight shows which.
    SetDropHighlight((keys & MK_ALT) ? FALSE : (m_targetDropTarget || (m_allowDrops && files)));
}

void CFileButton::DragLeave()
{
    if (m_targetDropTarget) {
        CComPtr<IDropTarget> target = std::move(m_targetDropTarget);
        target->DragLeave();
        CoLockObjectExternal(target.Get(), FALSE, TRUE);
    }
    m_dragKind = -1;
    CToolButton::DragLeave();
    SetDropHighlight(FALSE);
}

BOOL CFileButton::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
{
    const bool files = m_dragKind == 1 || m_dragKind == 2;
    if (m_targetDropTarget) {
        CComPtr<IDropTarget> target = std::move(m_targetDropTarget);
        const HRESULT hr = target->Drop(data, keys, point, effect);
        CoLockObjectExternal(target.Get(), FALSE, TRUE);
        if (FAILED(hr) && TraceOn())
            LogHResult(hr);
        return SUCCEEDED(hr);
    }
    if (m_allowDrops && !(keys & MK_ALT) && files) {
        if (m_kind != kKindProgram) {
            *effect = DROPEFFECT_NONE;
            return FALSE;
        }
        *effect = DROPEFFECT_LINK;
        return m_host && m_host->DropDataObjectOnButton(data, this, effect, FALSE);
    }
    return CToolButton::Drop(data, keys, point, effect);
}

void CFileButton::SetDropHighlight(BOOL highlight)
{
    if (highlight && (!m_allowDrops || !m_targetOk))
        return;
    CToolButton::SetDropHighlight(highlight);
}

BOOL CFileButton::PutIcons(IconSet& icons)
{
    if (!icons.Any())
        return FALSE;
    TakeWaitingLists(false);
    m_iconsAsStored = false;
    icons.FillGaps();
    // Appending (index -1) keeps the three lists in step: a button has the
    // same entry in each.
    const int large = m_largeList ? ImageList_ReplaceIcon(m_largeList, m_imageIndex, icons.large.Get()) : -1;
    const int normal = m_normalList ? ImageList_ReplaceIcon(m_normalList, m_imageIndex, icons.normal.Get()) : -1;
    const int small = m_smallList ? ImageList_ReplaceIcon(m_smallList, m_imageIndex, icons.small.Get()) : -1;
    const int index = normal >= 0 ? normal : (small >= 0 ? small : large);
    if (index >= 0)
        m_imageIndex = index;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
    return index >= 0 || (!m_largeList && !m_normalList && !m_smallList);
}

BOOL CFileButton::PutIconHandles(HICON large, HICON normal, HICON small)
{
    IconSet icons;
    icons.large.Reset(large);
    icons.normal.Reset(normal);
    icons.small.Reset(small);
    return PutIcons(icons);
}

void CFileButton::ExtractAtListSides(const char* file, int index, IconSet& icons) const
{
    // One size a call, each at its list's own side: the file's image of
    // that size where it has one, else one scaled from its nearest image.
    // (Wine's SHDefExtractIcon gives both icons at the large size.)
    CIconHandle* slots[3] = {&icons.small, &icons.normal, &icons.large};
    for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
        if (*slots[sizeIndex])
            continue;
        const int side = ListSide(sizeIndex);
        HICON extracted = nullptr;
        const UINT got = PrivateExtractIconsA(file, index, side, side, &extracted, nullptr, 1, LR_DEFAULTCOLOR);
        CIconHandle icon(extracted);
        if (got != 0 && got != 0xFFFFFFFFu && icon)
            *slots[sizeIndex] = std::move(icon);
    }
}

BOOL CFileButton::ExtractChosenIcons(IconSet& icons)
{
    if (m_iconFile.IsEmpty())
        return FALSE;
    ExtractAtListSides(m_iconFile.c_str(), m_iconIndex, icons);
    return icons.Any();
}

BOOL CFileButton::ExtractTargetIcons(IconSet& icons)
{
    if (!HasTargetList())
        return FALSE;
    CShellFolder folder(m_folderId);
    CComPtr<IExtractIconA> extract;
    if (!folder.IsValid() || !folder.GetExtractIcon(m_itemId, extract))
        return FALSE;
    char location[MAX_PATH]{};
    int index = 0;
    UINT flags = 0;
    const HRESULT hr = extract->GetIconLocation(GIL_FORSHELL, location, sizeof location, &index, &flags);
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    const struct {
        int bigger;
        int smaller;
        CIconHandle* biggerSlot;
        CIconHandle* smallerSlot;
    } requests[] = {{ListSide(2), ListSide(1), &icons.large, &icons.normal},
                    {ListSide(1), ListSide(0), &icons.normal, &icons.small}};
    for (const auto& request : requests) {
        HICON bigger = nullptr;
        HICON smaller = nullptr;
        const HRESULT extracted = extract->Extract(location, static_cast<UINT>(index), &bigger, &smaller,
                                                   MAKELONG(request.bigger, request.smaller));
        icons.Take(bigger, *request.biggerSlot, smaller, *request.smallerSlot);
        // S_FALSE: the extractor leaves the extracting to its caller.
        if (extracted == S_FALSE && !(flags & GIL_NOTFILENAME)) {
            ExtractAtListSides(location, index, icons);
            break;
        }
    }
    return icons.Any();
}

BOOL CFileButton::GetDefaultIcon()
{
    IconSet icons;
    if (!ExtractTargetIcons(icons)) {
        // The shell's own icons of the target, each at its list's side: on a
        // monitor above 96 dpi its plain large and small icons would be
        // stretched to fill the lists.
        CIconHandle* slots[3] = {&icons.small, &icons.normal, &icons.large};
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex)
            slots[sizeIndex]->Reset(ShellIcon(ListSide(sizeIndex)));
    }
    return PutIcons(icons);
}

BOOL CFileButton::UpdateIcon(int sizeIndex, BOOL reload)
{
    CToolButton::SetIconSize(sizeIndex, FALSE);
    if (!reload)
        return TRUE;
    if (!m_defaultIcon) {
        IconSet icons;
        if (ExtractChosenIcons(icons))
            return PutIcons(icons);
        m_defaultIcon = 1;
    }
    return GetDefaultIcon();
}

BOOL CFileButton::ReloadIcons()
{
    if (!m_defaultIcon) {
        IconSet icons;
        return ExtractChosenIcons(icons) && PutIcons(icons);
    }
    // A target that is gone would give the shell's generic icon in place
    // of the one the button has.
    if (m_fileSystem && !m_fileName.IsEmpty() && GetFileAttributesA(m_fileName.c_str()) == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    return GetDefaultIcon();
}

HICON CFileButton::GetTargetIcon(int pixels)
{
    IconSet icons;
    if (!ExtractTargetIcons(icons))
        return ShellIcon(pixels);
    icons.FillGaps();
    CIconHandle& chosen = pixels <= 16 ? icons.small : (pixels <= 32 ? icons.normal : icons.large);
    return chosen.Release();
}

BOOL CFileButton::ReadStoredIcons(IStorage* storage)
{
    TakeWaitingLists(true);
    // Every size a list takes from, or none: a partly stored set would put
    // the button's entries out of step in the lists.  A list still waiting
    // takes its size from the file later; a button without lists checks
    // all three.
    const bool lists[3] = {m_smallList != nullptr, m_normalList != nullptr, m_largeList != nullptr};
    bool sizes[3] = {true, true, true};
    if (lists[0] || lists[1] || lists[2])
        StoredSizesFor(lists, sizes);
    CBitmapHandle colours[3];
    CBitmapHandle masks[3];
    if (!ReadStoredBitmaps(storage, sizes, colours, masks) || !PutIconBitmaps(colours, masks))
        return FALSE;
    m_iconsAsStored = true;
    return TRUE;
}

// ---------------------------------------------------------------- records

void CFileButton::WriteTarget(CRecordWriter& out, DWORD version) const
{
    out.Text(m_fileName);
    if (version > kVersion20000) {
        out.Ids(m_folderId);
        out.Ids(m_itemId);
        out.Long(m_fileSystem);
    }
}

void CFileButton::ReadTarget(CRecordReader& in, DWORD version)
{
    in.Text(m_fileName);
    if (version > kVersion20000) {
        in.Ids(m_folderId);
        in.Ids(m_itemId);
        in.Flag(m_fileSystem);
    }
}

void CFileButton::WriteIconChoice(CRecordWriter& out) const
{
    out.Long(m_defaultIcon);
    out.Text(m_iconFile);
    out.Long(static_cast<DWORD>(m_iconIndex));
}

void CFileButton::ReadIconChoice(CRecordReader& in)
{
    in.Flag(m_defaultIcon);
    in.Text(m_iconFile);
    in.Long(m_iconIndex);
}

void CFileButton::WriteDesktop(CRecordWriter& out, DWORD version) const
{
    if (version >= kVersionCurrent) {
        out.Long(m_useCurrentDesktop);
        out.Long(m_desktopX);
        out.Long(m_desktopY);
    }
}

void CFileButton::ReadDesktop(CRecordReader& in, DWORD version)
{
    if (version >= kVersionCurrent) {
        in.Flag(m_useCurrentDesktop);
        in.Long(m_desktopX);
        in.Long(m_desktopY);
    }
}

BOOL CFileButton::FinishRead(DWORD version, int mode)
{
    // Records before 0x21000 store no identifiers: without them the button
    // would start the desktop instead of its target.
    if (version <= kVersion20000)
        SetTargetFromFileName();
    if (version <= kVersion11000 && mode != 0)
        return UpdateIcon(SizeIndex(), TRUE);
    return TRUE;
}

BOOL CFileButton::Read2(IStorage* storage, DWORD version, int mode)
{
    CTraceMethod trace(TR_CFILEBUTTON, TR_READ2);
    CComPtr<IStream> data;
    const HRESULT hr =
        storage ? storage->OpenStream(L"DATA", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, data.put()) : E_POINTER;
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        trace.Result(TR_READ2_RESULT, kStoredNoData);
        return FALSE;
    }
    // The kind leads the record; the toolbar has read it already.
    CRecordReader in(data.Get());
    DWORD kind = 0;
    in.Long(kind);
    const BOOL result = in.Ok() && Read(data.Get(), version, mode);
    data.Reset();
    if (mode != 0) {
        if (version >= kVersion20000 && ReadStoredIcons(storage)) {
            // The stored icons stand (the icon size came with the creation
            // data) unless the monitor wants a larger one than the file has.
            if (ListSide(SizeIndex()) > kStoredIconSides[2])
                ReloadIcons();
        } else if (version > kVersion11000) {
            UpdateIcon(SizeIndex(), TRUE);
        }
    }
    trace.Result(TR_READ2_RESULT, result ? kStoredRead : kStoredDamaged);
    return result;
}

// Each write to a stream of a compound file costs far more than its bytes:
// the record is made field by field in memory and handed over in one write.
namespace {

BOOL WriteRecordInOne(CToolButton& button, IStream* stream, DWORD version)
{
    CComPtr<IStream> memory;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, memory.put());
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        return button.Write(stream, version);
    }
    if (!button.Write(memory.Get(), version))
        return FALSE;
    STATSTG stat{};
    HGLOBAL block = nullptr;
    hr = memory->Stat(&stat, STATFLAG_NONAME);
    if (SUCCEEDED(hr))
        hr = GetHGlobalFromStream(memory.Get(), &block);
    if (FAILED(hr) || stat.cbSize.HighPart != 0) {
        if (TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    const ULONG size = stat.cbSize.LowPart;
    if (size == 0)
        return TRUE;
    const void* bytes = GlobalLock(block);
    if (!bytes)
        return FALSE;
    ULONG written = 0;
    hr = stream->Write(bytes, size, &written);
    GlobalUnlock(block);
    if (FAILED(hr) && TraceOn())
        LogHResult(hr);
    return SUCCEEDED(hr) && written == size;
}

} // namespace

BOOL CFileButton::Write2(IStorage* storage, DWORD version)
{
    CTraceMethod trace(TR_CFILEBUTTON, TR_WRITE2);
    CComPtr<IStream> data;
    const HRESULT hr = storage ? storage->CreateStream(L"DATA", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                                       data.put())
                               : E_POINTER;
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        trace.Result(TR_WRITE2_RESULT, kStoredNoDataStream);
        return FALSE;
    }
    if (!WriteRecordInOne(*this, data.Get(), version)) {
        trace.Result(TR_WRITE2_RESULT, kStoredRecordFailed);
        return FALSE;
    }
    data.Reset();
    // A button whose target never gave an icon has none to store; reading it
    // back asks the target again instead of failing the whole toolbar now.
    if (version >= kVersion20000 && m_imageIndex >= 0) {
        for (int sizeIndex = 2; sizeIndex >= 0; --sizeIndex) {
            if (!WriteIconToFile(sizeIndex, storage)) {
                trace.Result(TR_WRITE2_RESULT, kStoredIconFailed);
                return FALSE;
            }
        }
    }
    trace.Result(TR_WRITE2_RESULT, kStoredWritten);
    return TRUE;
}
