#include "ExecButton.h"

#include "OpenWithParametersDialog.h"
#include "../common/AnsiPath.h"
#include "../common/Application.h"
#include "../common/RegistryKey.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

namespace {

// A folder, or a file whose extension names a registered type (a key
// ".ext" under HKEY_CLASSES_ROOT).
BOOL IsFolderOrRegisteredType(const CText& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return TRUE;
    const CText extension = TypeExtensionOf(path.c_str());
    if (extension.IsEmpty())
        return FALSE;
    CRegistryKey key;
    return key.OpenKey(HKEY_CLASSES_ROOT, extension, CRegistryKey::kRead);
}

// Whether a path names an existing folder, as the shell sees it.
BOOL NamesFolder(const CText& path)
{
    CItemId full;
    if (!full.Set(path))
        return FALSE;
    CItemId item;
    full.Split(&item);
    if (item.IsDesktop())
        return FALSE;
    CShellFolder parent(full);
    return parent.IsValid() && parent.IsAttrSet(item, SFGAO_FOLDER);
}

// What the program button's methods report to the trace, in the order of
// their checks.
enum AssociatedInfoResult : unsigned long {
    kInfoDone = 1,
    kInfoNotFolderNorType = 2,
    kInfoNoStartIn = 3,
    kInfoNoTarget = 4,       // the target or its icon could not be had
};

enum ObjectDataResult : unsigned long { kObjectDone = 1, kObjectNoTarget = 2, kObjectNoStartIn = 3 };

enum ShortcutDataResult : unsigned long { kShortcutDone = 1, kShortcutNoTarget = 2 };

enum CheckFileResult : unsigned long {
    kFileUsable = 1,
    kFileNoName = 2,
    kFileNoFolder = 3,       // the target's folder cannot be bound
    kFileNoStartIn = 4,
};

enum ExecuteResult : unsigned long { kExecuteStarted = 1, kExecuteFailed = 2 };

} // namespace

CText FolderOfPath(const char* path)
{
    CText folder(path ? path : "");
    const int backslash = folder.ReverseFind('\\');
    if (backslash <= 0)
        return CText();
    // "C:" alone would name the drive's current folder, not its root.
    folder.Left(backslash == 2 && folder.c_str()[1] == ':' ? backslash + 1 : backslash);
    return folder;
}

CText DocumentArgument(const char* document, WORD windowsVersion, BOOL convertTo83)
{
    CText argument(document ? document : "");
    if (convertTo83) {
        char shortName[MAX_PATH]{};
        const DWORD length = GetShortPathNameA(argument.c_str(), shortName, sizeof shortName);
        if (length > 0 && length < sizeof shortName)
            argument = shortName;
        return argument;
    }
    // Programs for Windows 4.0 and later read a long name in quotes as one
    // argument; older ones take the command line as it comes.
    if (windowsVersion >= 0x400) {
        CText quoted("\"");
        quoted += argument;
        quoted += "\"";
        return quoted;
    }
    return argument;
}

CExecButton::CExecButton(IButtonHost* host, CApplication* application, void* owner)
    : CFileButton(host, application, owner)
{
    if (TraceOn())
        LogMethod(TR_CEXECBUTTON, TR_CEXECBUTTON, TRUE);
    m_kind = kKindProgram;
}

CExecButton::~CExecButton()
{
    if (TraceOn())
        LogMethod(TR_CEXECBUTTON, TR_CEXECBUTTON_DTOR, TRUE);
}

// ---------------------------------------------------------------- target

BOOL CExecButton::GetAssociatedFileInfo(const CreationData& data, const char* path)
{
    CTraceMethod trace(TR_CEXECBUTTON, TR_GET_ASSOCIATED_INFO);
    const CText target(path ? path : "");
    if (!IsFolderOrRegisteredType(target)) {
        m_targetOk = 0;
        trace.Result(TR_GET_ASSOCIATED_INFO_RESULT, kInfoNotFolderNorType);
        return FALSE;
    }
    CText folder = FolderOfPath(target.c_str());
    if (folder.IsEmpty()) {
        m_startIn = "";
        m_targetOk = 0;
        trace.Result(TR_GET_ASSOCIATED_INFO_RESULT, kInfoNoStartIn);
        return FALSE;
    }
    m_startIn = folder;
    if (!CFileButton::GetAssociatedFileInfo(data, target.c_str())) {
        trace.Result(TR_GET_ASSOCIATED_INFO_RESULT, kInfoNoTarget);
        return FALSE;
    }
    m_allowDrops = CanAcceptDrops() ? 1 : 0;
    trace.Result(TR_GET_ASSOCIATED_INFO_RESULT, kInfoDone);
    return TRUE;
}

BOOL CExecButton::GetObjectData(const CreationData& data)
{
    CTraceMethod trace(TR_CEXECBUTTON, TR_GET_OBJECT_DATA);
    if (!CFileButton::GetObjectData(data)) {
        trace.Result(TR_GET_OBJECT_DATA_RESULT, kObjectNoTarget);
        return FALSE;
    }
    if (m_fileSystem) {
        m_startIn = FolderOfPath(m_fileName.c_str());
        if (m_startIn.IsEmpty()) {
            m_targetOk = 0;
            trace.Result(TR_GET_OBJECT_DATA_RESULT, kObjectNoStartIn);
            return FALSE;
        }
    }
    trace.Result(TR_GET_OBJECT_DATA_RESULT, kObjectDone);
    return TRUE;
}

BOOL CExecButton::GetShortcutData(const CreationData& data, IShellLinkA* link)
{
    CTraceMethod trace(TR_CEXECBUTTON, TR_GET_SHORTCUT_DATA);
    if (!CFileButton::GetShortcutData(data, link)) {
        trace.Result(TR_GET_SHORTCUT_DATA_RESULT, kShortcutNoTarget);
        return FALSE;
    }
    if (CanAcceptDrops()) {
        char arguments[MAX_PATH + 1]{};
        if (SUCCEEDED(link->GetArguments(arguments, sizeof arguments)))
            m_parameters = arguments;
    }
    char directory[MAX_PATH]{};
    if (SUCCEEDED(link->GetWorkingDirectory(directory, sizeof directory))) {
        CText expanded(directory);
        m_startIn = expanded.ExpandEnvironment() ? expanded : CText(directory);
    }
    trace.Result(TR_GET_SHORTCUT_DATA_RESULT, kShortcutDone);
    return TRUE;
}

BOOL CExecButton::CheckFileOk()
{
    CTraceMethod trace(TR_CEXECBUTTON, TR_CHECK_FILE_OK);
    if (m_fileName.IsEmpty()) {
        trace.Result(TR_CHECK_FILE_OK_RESULT, kFileNoName);
        return FALSE;
    }
    CShellFolder folder(m_folderId);
    if (!folder.IsValid()) {
        trace.Result(TR_CHECK_FILE_OK_RESULT, kFileNoFolder);
        return FALSE;
    }
    if (m_fileSystem && !m_startIn.IsEmpty() && !NamesFolder(m_startIn)) {
        trace.Result(TR_CHECK_FILE_OK_RESULT, kFileNoStartIn);
        return FALSE;
    }
    trace.Result(TR_CHECK_FILE_OK_RESULT, kFileUsable);
    return TRUE;
}

BOOL CExecButton::CanAcceptDrops()
{
    SHFILEINFOA info{};
    if (!m_fileName.IsEmpty() && SHGetFileInfoA(m_fileName.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE) != 0)
        return TRUE;
    if (!HasTargetList())
        return FALSE;
    CShellFolder folder(m_folderId);
    return folder.IsValid() && folder.IsAttrSet(m_itemId, SFGAO_DROPTARGET);
}

WORD CExecButton::ExpectedWindowsVersion() const
{
    SHFILEINFOA info{};
    if (m_fileName.IsEmpty())
        return 0;
    return HIWORD(SHGetFileInfoA(m_fileName.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE));
}

void CExecButton::SetParameters(const char* text)
{
    m_parameters = text ? text : "";
    m_modified = 1;
}

void CExecButton::SetStartIn(const char* text)
{
    m_startIn = text ? text : "";
    m_modified = 1;
    m_targetOk = CheckFileOk() ? 1 : 0;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void CExecButton::SetConvertTo83(BOOL convert)
{
    m_convertTo83 = convert ? 1 : 0;
    m_modified = 1;
}

// ---------------------------------------------------------------- starting

void CExecButton::Activate(BOOL)
{
    Execute();
}

BOOL CExecButton::Execute(const char* document)
{
    return ExecuteWithParameters(m_parameters.c_str(), document);
}

BOOL CExecButton::ExecuteWithParameters(const char* parameters, const char* document)
{
    CTraceMethod trace(TR_CEXECBUTTON, TR_EXECUTE);
    CText arguments(parameters ? parameters : "");
    if (document) {
        // Even empty parameters are followed by the blank.
        arguments += " ";
        arguments += DocumentArgument(document, ExpectedWindowsVersion(), m_convertTo83);
    }
    const BOOL started = CFileButton::Execute(arguments.c_str(), m_startIn.c_str());
    if (started && document) {
        SHAddToRecentDocs(SHARD_PATHA, document);
        AddRecentDocument(document, FALSE);
    }
    trace.Result(TR_EXECUTE_RESULT, started ? kExecuteStarted : kExecuteFailed);
    return started;
}

CMenuHandle CExecButton::BuildHoldMenu()
{
    CMenuHandle menu(LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_HOLD_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup)
        return menu;
    SHFILEINFOA info{};
    const bool program = !m_fileName.IsEmpty()
                         && SHGetFileInfoA(m_fileName.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE) != 0;
    if (!program)
        EnableMenuItem(popup, IDC_HOLD_OPEN_WITH, MF_BYCOMMAND | MF_GRAYED);
    if (m_recent.Count() == 0) {
        EnableMenuItem(popup, IDC_HOLD_CLEAR_RECENT, MF_BYCOMMAND | MF_GRAYED);
        CText none;
        if (!none.LoadString(AppInstance(), IDS_NO_RECENT_FILES))
            none = "No recent files";
        AppendMenuA(popup, MF_STRING | MF_GRAYED, IDC_HOLD_FIRST_RECENT, none.c_str());
        return menu;
    }
    for (int i = 0; i < m_recent.Count(); ++i) {
        CText text;
        m_recent.GetMenuText(i, text, CRecentList::kHoldMenuText);
        AppendMenuA(popup, MF_STRING, IDC_HOLD_FIRST_RECENT + i, text.c_str());
    }
    return menu;
}

BOOL CExecButton::OnHold()
{
    CMenuHandle menu = BuildHoldMenu();
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup)
        return FALSE;
    SetMenuContextHelpId(popup, HELP_HOLD_MENU);
    POINT cursor{};
    GetCursorPos(&cursor);
    const auto alive = AliveToken();
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTALIGN, cursor.x, cursor.y, 0, Handle(), nullptr));
    menu.Reset();
    if (!*alive)
        return TRUE;
    if (command == IDC_HOLD_OPEN_WITH) {
        OpenWithParameters();
    } else if (command == IDC_HOLD_CLEAR_RECENT) {
        ClearRecentDocuments();
    } else if (command >= IDC_HOLD_FIRST_RECENT && command < IDC_HOLD_FIRST_RECENT + CRecentList::kMaxEntries) {
        if (!OpenRecentEntry(static_cast<int>(command - IDC_HOLD_FIRST_RECENT))) {
            if (auto* app = static_cast<CApplication*>(Application()))
                app->DisplayMessage(Handle(), IDS_MSG_FILE_NOT_FOUND, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                    kCaptionProgramName);
        }
    }
    return TRUE;
}

BOOL CExecButton::AddRecentDocument(const char* path, BOOL checkExists)
{
    if (!m_recent.Add(path, checkExists))
        return FALSE;
    m_modified = 1;
    return TRUE;
}

void CExecButton::ClearRecentDocuments()
{
    if (m_recent.Count() == 0)
        return;
    m_recent.Clear();
    m_modified = 1;
}

BOOL CExecButton::OpenRecentEntry(int index)
{
    CText path;
    if (!m_recent.GetEntry(index, path))
        return FALSE;
    if (!RecentFileExists(path.c_str())) {
        m_recent.Remove(index);
        m_modified = 1;
        return FALSE;
    }
    return Execute(path.c_str());
}

void CExecButton::OpenWithParameters()
{
    COpenWithParametersDialog dialog(this, m_parameters, ExpectedWindowsVersion());
    if (dialog.DoModal() == IDOK)
        ExecuteWithParameters(dialog.Parameters().c_str(), nullptr);
}

// ---------------------------------------------------------------- records

BOOL CExecButton::Write(IStream* stream, DWORD version)
{
    CTraceMethod trace(TR_CEXECBUTTON, TR_WRITE);
    if (!CToolButton::Write(stream, version)) {
        trace.Result(TR_WRITE_RESULT, kRecordNoKind);
        return FALSE;
    }
    CRecordWriter out(stream);
    WriteTarget(out, version);
    if (version > kVersion11000)
        out.Text(m_parameters);
    out.Text(m_startIn);
    out.Text(m_description);
    if (version >= kVersion11000)
        WriteIconChoice(out);
    out.Long(m_convertTo83);
    out.Long(m_allowDrops);
    out.Long(static_cast<DWORD>(m_showState));
    WriteDesktop(out, version);
    trace.Result(TR_WRITE_RESULT, out.Ok() ? kRecordWritten : kRecordFieldsFailed);
    return out.Ok();
}

BOOL CExecButton::Read(IStream* stream, DWORD version, int mode)
{
    CTraceMethod trace(TR_CEXECBUTTON, TR_READ);
    CRecordReader in(stream);
    ReadTarget(in, version);
    if (version > kVersion11000)
        in.Text(m_parameters);
    in.Text(m_startIn);
    in.Text(m_description);
    if (version >= kVersion11000) {
        ReadIconChoice(in);
    } else {
        m_defaultIcon = 1;
        m_iconFile = m_fileName;
    }
    DWORD convert = 0;
    DWORD drops = 0;
    DWORD show = kShowNormal;
    in.Long(convert);
    in.Long(drops);
    if (version < kVersion20000 && in.Ok() && in.AtEnd()) {
        // A folder button saved in the old format is stored as a program
        // button without the 8.3 field, so its record ends one field early:
        // the two values read are its drop switch and its show state.
        show = drops;
        drops = convert;
        convert = 0;
    } else {
        in.Long(show);
    }
    m_convertTo83 = convert ? 1 : 0;
    m_allowDrops = drops ? 1 : 0;
    m_showState = show <= kShowNormal ? static_cast<int>(show) : kShowNormal;
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

BOOL CExecButton::Read2(IStorage* storage, DWORD version, int mode)
{
    const BOOL result = CFileButton::Read2(storage, version, mode);
    if (mode == 3 && storage)
        m_recent.ReadFromStorage(storage);   // a button without recent documents stores none
    return result;
}

BOOL CExecButton::Write2(IStorage* storage, DWORD version)
{
    const BOOL written = CFileButton::Write2(storage, version);
    return m_recent.WriteToStorage(storage) && written;
}
