#include "FolderButton.h"

#include "../common/Application.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <shlwapi.h>

#include <new>

namespace {

// The name the user sees for an item, with its ampersands doubled so that the
// menu shows them instead of taking them for mnemonics.
CText MenuText(const CShellFolder& folder, const CItemId& item)
{
    CText text;
    IShellFolder* shellFolder = folder.Interface();
    STRRET name{};
    char buffer[MAX_PATH]{};
    if (!shellFolder || FAILED(shellFolder->GetDisplayNameOf(item.List(), SHGDN_NORMAL, &name))
        || FAILED(StrRetToBufA(&name, item.List(), buffer, sizeof buffer)))
        return text;
    char escaped[2 * MAX_PATH]{};
    size_t out = 0;
    for (const char* in = buffer; *in && out + 2 < sizeof escaped; ++in) {
        if (*in == '&')
            escaped[out++] = '&';
        escaped[out++] = *in;
    }
    text = escaped;
    return text;
}

CText LoadedText(UINT id, const char* fallback)
{
    CText text;
    if (!text.LoadString(AppInstance(), id))
        text = fallback;
    return text;
}

} // namespace

CFolderButton::CFolderButton(IButtonHost* host, CApplication* application, void* owner)
    : CFileButton(host, application, owner)
{
    if (TraceOn())
        LogMethod(TR_CFOLDERBUTTON, TR_CFOLDERBUTTON, TRUE);
    m_kind = kKindFolder;
}

CFolderButton::~CFolderButton()
{
    if (TraceOn())
        LogMethod(TR_CFOLDERBUTTON, TR_CFOLDERBUTTON_DTOR, TRUE);
}

BOOL CFolderButton::GetObjectData(const CreationData& data)
{
    if (!CFileButton::GetObjectData(data))
        return FALSE;
    // A folder takes dropped files unless it cannot be written to.
    m_allowDrops = CanAcceptDrops() ? 1 : 0;
    return TRUE;
}

BOOL CFolderButton::CanAcceptDrops()
{
    CShellFolder folder(m_folderId);
    if (!folder.IsValid())
        return FALSE;
    ULONG attributes = 0;
    return !folder.GetAttributes(m_itemId, attributes) || !(attributes & SFGAO_READONLY);
}

// ---------------------------------------------------------------- contents menu

CFolderButton::Entry* CFolderButton::AddEntry(const CItemId& parent, const CItemId& item, UINT command)
{
    std::unique_ptr<Entry> entry(new (std::nothrow) Entry);
    if (!entry || !m_entries)
        return nullptr;
    entry->parent = parent;
    entry->item = item;
    entry->command = command;
    m_entries->push_back(std::move(entry));
    return m_entries->back().get();
}

void CFolderButton::FillMenu(HMENU menu, const CItemId& folderList)
{
    const int itemHeight = GetSystemMetrics(SM_CYMENU) - 2;
    const int columnLimit = GetSystemMetrics(SM_CYFULLSCREEN);
    int added = 0;
    // A drive without a disk must not bring up the system's "insert a disk" box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    CShellFolder folder(folderList);
    std::unique_ptr<CEnumIdList> items;
    if (folder.IsValid() && folder.EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items)) {
        int runningHeight = 0;
        CItemId item;
        // Two identifiers stay free below the limit: "&Open..." and "No files".
        while (added < kMaxMenuItems && m_nextCommand + 2 <= kCommandLimit && items->Next(item)) {
            // Only these two attributes: asking for more can make the shell
            // read the media of a removable drive.
            ULONG attributes = SFGAO_FOLDER | SFGAO_REMOVABLE;
            LPCITEMIDLIST list = item.List();
            if (FAILED(folder.Interface()->GetAttributesOf(1, &list, &attributes)))
                attributes = 0;
            const bool submenu = (attributes & SFGAO_FOLDER) && !(attributes & SFGAO_REMOVABLE);
            UINT flags = MF_STRING;
            runningHeight += itemHeight;
            if (runningHeight > columnLimit - itemHeight) {
                flags |= MF_MENUBARBREAK;
                runningHeight = 0;
            }
            const CText text = MenuText(folder, item);
            if (!AddEntry(folderList, item, submenu ? 0 : m_nextCommand))
                break;
            if (submenu) {
                CMenuHandle popup(CreatePopupMenu());
                if (!popup
                    || !AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Get()), text.c_str()))
                    break;
                popup.Release();   // the menu owns it now
                // The item data names the entry (its place in the list plus
                // one) until the submenu is filled.
                MENUITEMINFOA info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_DATA;
                info.dwItemData = static_cast<ULONG_PTR>(m_entries->size());
                SetMenuItemInfoA(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE, &info);
            } else {
                if (!AppendMenuA(menu, flags, m_nextCommand, text.c_str()))
                    break;
                ++m_nextCommand;
            }
            ++added;
        }
    }
    SetErrorMode(oldMode);

    if (AddEntry(folderList, CItemId(), m_nextCommand)) {
        const CText open = LoadedText(IDS_FOLDER_OPEN, "&Open...");
        InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING, m_nextCommand, open.c_str());
        InsertMenuA(menu, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        ++m_nextCommand;
    }
    if (added == 0) {
        const CText none = LoadedText(IDS_FOLDER_NO_FILES, "No files");
        AppendMenuA(menu, MF_STRING | MF_GRAYED, m_nextCommand++, none.c_str());
    }
}

CMenuHandle CFolderButton::BuildContentsMenu()
{
    EndContentsMenu();
    m_entries.reset(new (std::nothrow) EntryList);
    if (!m_entries) {
        auto* app = static_cast<CApplication*>(Application());
        if (app)
            app->DisplayMessage(Handle(), IDS_MSG_MENU_OUT_OF_MEMORY, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                kCaptionProgramName);
        return CMenuHandle();
    }
    // Without its identifiers the button would list the desktop instead.
    CItemId folderList(m_folderId);
    CMenuHandle menu(CreatePopupMenu());
    if (!menu || !HasTargetList() || !folderList.Append(m_itemId)) {
        EndContentsMenu();
        return CMenuHandle();
    }
    FillMenu(menu.Get(), folderList);
    return menu;
}

BOOL CFolderButton::FillSubmenu(HMENU menu, UINT position)
{
    if (!m_entries || !menu)
        return FALSE;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info) || !info.hSubMenu || info.dwItemData == 0
        || info.dwItemData > m_entries->size())
        return FALSE;
    const Entry& entry = *(*m_entries)[info.dwItemData - 1];
    CItemId folderList(entry.parent);
    // Cleared first: a sub-folder is read once, whatever the reading gives.
    MENUITEMINFOA cleared{};
    cleared.cbSize = sizeof cleared;
    cleared.fMask = MIIM_DATA;
    SetMenuItemInfoA(menu, position, TRUE, &cleared);
    if (!folderList.Append(entry.item))
        return FALSE;
    FillMenu(info.hSubMenu, folderList);
    return TRUE;
}

BOOL CFolderButton::OpenEntry(UINT command)
{
    if (!m_entries || command < kFirstEntryCommand || command >= kCommandLimit)
        return FALSE;
    // Sub-folders take a place in the list but no command, so the command is
    // looked up rather than taken as a position.
    const Entry* chosen = nullptr;
    for (const auto& entry : *m_entries) {
        if (entry->command == command) {
            chosen = entry.get();
            break;
        }
    }
    CItemId fullList(chosen ? chosen->parent : CItemId());
    if (!chosen || !fullList.Append(chosen->item))
        return FALSE;
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    execute.nShow = SW_SHOWNORMAL;
    execute.lpIDList = const_cast<ITEMIDLIST*>(fullList.List());
    const BOOL started = ShellExecuteExA(&execute);
    const DWORD error = GetLastError();
    const INT_PTR instanceResult = reinterpret_cast<INT_PTR>(execute.hInstApp);
    if (TraceOn())
        LogFormat("hInstApp=%lu", static_cast<unsigned long>(instanceResult));
    // Objects outside the file system may refuse the shell's way of asking
    // and still open.
    if (started || instanceResult == SE_ERR_ACCESSDENIED || (!started && error == ERROR_ACCESS_DENIED))
        return TRUE;
    auto* app = static_cast<CApplication*>(Application());
    if (app)
        app->DisplayMessage(Handle(), IDS_MSG_ACCESS_DENIED, nullptr, MB_OK | MB_ICONEXCLAMATION,
                            kCaptionProgramName);
    return FALSE;
}

void CFolderButton::EndContentsMenu()
{
    m_entries.reset();
    m_nextCommand = kFirstEntryCommand;
}

BOOL CFolderButton::OnHold()
{
    CMenuHandle menu = BuildContentsMenu();
    if (!menu)
        return FALSE;
    SetMenuContextHelpId(menu.Get(), HELP_FOLDER_MENU);
    POINT cursor{};
    GetCursorPos(&cursor);
    const auto alive = AliveToken();
    const UINT command =
        static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD, cursor.x, cursor.y, 0, Handle(), nullptr));
    if (!*alive)
        return TRUE;
    if (command >= kFirstEntryCommand && command < kCommandLimit)
        OpenEntry(command);
    EndContentsMenu();
    return TRUE;
}

LRESULT CFolderButton::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_MENUSELECT && m_entries && (HIWORD(first) & MF_POPUP))
        FillSubmenu(reinterpret_cast<HMENU>(second), LOWORD(first));
    return CFileButton::WindowProc(message, first, second);
}

// ---------------------------------------------------------------- records

BOOL CFolderButton::Write(IStream* stream, DWORD version)
{
    CTraceMethod trace(TR_CFOLDERBUTTON, TR_WRITE);
    // Before 0x20000 the kind goes out as 2, a program button.
    if (!CToolButton::Write(stream, version)) {
        trace.Result(TR_WRITE_RESULT, kRecordNoKind);
        return FALSE;
    }
    CRecordWriter out(stream);
    WriteTarget(out, version);
    // Where the old program record keeps its start-in folder.
    if (version <= kVersion11000)
        out.Text(CText());
    out.Text(m_description);
    if (version >= kVersion11000)
        WriteIconChoice(out);
    out.Long(m_allowDrops);
    out.Long(static_cast<DWORD>(m_showState));
    WriteDesktop(out, version);
    trace.Result(TR_WRITE_RESULT, out.Ok() ? kRecordWritten : kRecordFieldsFailed);
    return out.Ok();
}

BOOL CFolderButton::Read(IStream* stream, DWORD version, int mode)
{
    CTraceMethod trace(TR_CFOLDERBUTTON, TR_READ);
    CRecordReader in(stream);
    ReadTarget(in, version);
    // Old files hold folders only as program records, which the program
    // button reads; a record of that age read here mirrors what Write wrote.
    if (version <= kVersion11000) {
        CText unused;
        in.Text(unused);
    }
    in.Text(m_description);
    if (version >= kVersion11000) {
        ReadIconChoice(in);
    } else {
        m_defaultIcon = 1;
        m_iconFile = m_fileName;
    }
    in.Flag(m_allowDrops);
    in.ShowState(m_showState);
    ReadDesktop(in, version);
    if (!in.Ok()) {
        trace.Result(TR_READ_RESULT, kRecordDamaged);
        return FALSE;
    }
    if (!FinishRead(version, mode)) {
        trace.Result(TR_READ_RESULT, kRecordNoIcon);
        return FALSE;
    }
    trace.Result(TR_READ_RESULT, kRecordRead);
    return TRUE;
}
