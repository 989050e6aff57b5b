#include "ButtonTargetPage.h"

#include "ButtonPageSupport.h"
#include "ExecButton.h"
#include "FileButton.h"
#include "../common/AnsiPath.h"
#include "../common/Application.h"
#include "../common/ComPtr.h"
#include "../resources/lintel/resource.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

using namespace buttonpages;

namespace {

constexpr int kTextLimit = 260;

bool IsFolder(const char* path)
{
    // The attributes, not OpenFile: that one fails on long paths and
    // searches the PATH for bare names.
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CExecButton* AsProgram(CFileButton* button)
{
    return button && button->Kind() == kKindProgram ? static_cast<CExecButton*>(button) : nullptr;
}

} // namespace

UINT CheckTargetTexts(int kind, BOOL fileSystem, const char* fileName, const char* startIn)
{
    const char* name = fileName ? fileName : "";
    if (kind == kKindUrl) {
        if (!*name || strchr(name, ' '))
            return IDS_MSG_NO_FILENAME;
        return 0;
    }
    // Targets outside the file system cannot be retyped.
    if (!fileSystem)
        return 0;
    if (!*name)
        return IDS_MSG_NO_FILENAME;
    if (kind == kKindFolder)
        return IsFolder(name) ? 0 : IDS_MSG_NO_FOLDER;
    if (startIn && *startIn && !IsFolder(startIn))
        return IDS_MSG_NO_FOLDER;
    return 0;
}

CButtonTargetPage::Values CButtonTargetPage::ReadButton(const CFileButton& button)
{
    Values values;
    values.fileName = button.FileName();
    if (button.Kind() == kKindProgram) {
        const auto& program = static_cast<const CExecButton&>(button);
        values.parameters = program.Parameters();
        values.startIn = program.StartIn();
    }
    return values;
}

void CButtonTargetPage::WriteButton(CFileButton& button, const Values& values)
{
    // The same name again would rebuild a target outside the file system
    // from its display name, which names nothing.
    if (button.FileName().CompareCase(values.fileName.c_str()) != 0)
        button.SetFile(values.fileName.c_str());
    if (CExecButton* program = AsProgram(&button)) {
        program->SetParameters(values.parameters.c_str());
        program->SetStartIn(values.startIn.c_str());
    }
    if (button.Handle())
        InvalidateRect(button.Handle(), nullptr, TRUE);
}

CButtonTargetPage::CButtonTargetPage(CFileButton* button)
    : CPropertyPageBase(IDD_BUTTON_TARGET, button, nullptr), m_button(button)
{
    SetTitle(IDS_PAGE_TARGET);
    if (m_button)
        m_unchanged = ReadButton(*m_button);
    m_edited = m_unchanged;
}

BOOL CButtonTargetPage::OnInitDialog()
{
    for (int control : {IDC_BP_FILE, IDC_BP_PARAMETERS, IDC_BP_START_IN})
        SendDlgItemMessageA(Handle(), control, EM_LIMITTEXT, kTextLimit, 0);
    if (!m_button)
        return TRUE;
    const BOOL isUrl = m_button->Kind() == kKindUrl;
    const BOOL isProgram = m_button->Kind() == kKindProgram;
    if (!m_button->IsFileSystem() && !isUrl) {
        for (int control : {IDC_BP_FILE, IDC_BP_FILE_BROWSE, IDC_BP_PARAMETERS, IDC_BP_START_IN, IDC_BP_FOLDER_BROWSE})
            Enable(Handle(), control, FALSE);
    } else if (!isProgram) {
        for (int control : {IDC_BP_PARAMETERS, IDC_BP_START_IN, IDC_BP_FOLDER_BROWSE})
            Enable(Handle(), control, FALSE);
        if (isUrl)
            Enable(Handle(), IDC_BP_FILE_BROWSE, FALSE);
    }
    return TRUE;
}

BOOL CButtonTargetPage::OnSetActive()
{
    SetDlgItemTextA(Handle(), IDC_BP_FILE, m_edited.fileName.c_str());
    SetDlgItemTextA(Handle(), IDC_BP_PARAMETERS, m_edited.parameters.c_str());
    SetDlgItemTextA(Handle(), IDC_BP_START_IN, m_edited.startIn.c_str());
    return TRUE;
}

BOOL CButtonTargetPage::OnKillActive()
{
    if (!m_button)
        return TRUE;
    // Asked again while the box says why: the first answer stands, and the
    // page is not read or left under it.
    if (m_refusing)
        return FALSE;
    Values values;
    values.fileName = ControlText(Handle(), IDC_BP_FILE, kTextLimit);
    values.parameters = ControlText(Handle(), IDC_BP_PARAMETERS, kTextLimit);
    values.startIn = ControlText(Handle(), IDC_BP_START_IN, kTextLimit);
    const UINT refusal = CheckTargetTexts(m_button->Kind(), m_button->IsFileSystem(), values.fileName.c_str(),
                                          values.startIn.c_str());
    if (refusal) {
        struct Refusing {
            BOOL& flag;
            explicit Refusing(BOOL& refusing) : flag(refusing) { flag = TRUE; }
            ~Refusing() { flag = FALSE; }
        } refusing(m_refusing);
        ShowPageMessage(m_button, Handle(), refusal);
        return FALSE;
    }
    // Disabled edits show the button's own values, which stay as they are.
    if (!m_button->IsFileSystem() && m_button->Kind() != kKindUrl)
        return TRUE;
    m_edited.fileName = values.fileName;
    if (m_button->Kind() == kKindProgram) {
        m_edited.parameters = values.parameters;
        m_edited.startIn = values.startIn;
    }
    return TRUE;
}

BOOL CButtonTargetPage::OnApply()
{
    if (!m_button)
        return TRUE;
    WriteButton(*m_button, m_edited);
    m_applied = TRUE;
    return TRUE;
}

BOOL CButtonTargetPage::OnReset()
{
    if (m_button && m_applied)
        WriteButton(*m_button, m_unchanged);
    return TRUE;
}

BOOL CButtonTargetPage::OnCommand(UINT id, UINT code, HWND)
{
    switch (id) {
    case IDC_BP_FILE:
    case IDC_BP_PARAMETERS:
    case IDC_BP_START_IN:
        if (code == EN_CHANGE)
            SetChanged();
        return TRUE;
    case IDC_BP_FILE_BROWSE:
        if (code == BN_CLICKED)
            BrowseFile();
        return TRUE;
    case IDC_BP_FOLDER_BROWSE:
        if (code == BN_CLICKED)
            BrowseFolder();
        return TRUE;
    default:
        return FALSE;
    }
}

void CButtonTargetPage::BrowseFile()
{
    CText filter;
    if (!filter.LoadString(AppInstance(), IDS_ALL_FILES_FILTER))
        filter = "All files (*.*)|*.*|";
    // The bars of the string table's text stand for the separators.
    filter.Replace('|', '\0');
    // The wide dialog: the narrow one hands back question marks for the
    // letters the code page lacks.
    std::vector<wchar_t> wideFilter(static_cast<size_t>(filter.Length()) + 2, L'\0');
    MultiByteToWideChar(CP_ACP, 0, filter.c_str(), filter.Length(), wideFilter.data(), filter.Length());
    wchar_t file[MAX_PATH]{};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = wideFilter.data();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    if (GetOpenFileNameW(&dialog))
        TakeChosenPath(file, IDC_BP_FILE);
}

void CButtonTargetPage::TakeChosenPath(const wchar_t* path, int control)
{
    CText stored;
    if (AnsiPathOf(path, stored) == AnsiPathForm::kNoForm) {
        if (CApplication* application = TheApplication())
            application->DisplayMessage(Handle(), IDS_MSG_NO_SHORT_NAME, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                        kCaptionProgramName);
        return;
    }
    SetDlgItemTextA(Handle(), control, stored.c_str());
}

void CButtonTargetPage::BrowseFolder()
{
    CText title;
    if (!title.LoadString(AppInstance(), IDS_SELECT_FOLDER))
        title = "Select the default folder";
    char display[MAX_PATH]{};
    BROWSEINFOA browse{};
    browse.hwndOwner = Handle();
    browse.pszDisplayName = display;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (!chosen)
        return;
    wchar_t path[MAX_PATH]{};
    if (SHGetPathFromIDListW(chosen, path))
        TakeChosenPath(path, IDC_BP_START_IN);
    CoTaskMemFree(chosen);
}
