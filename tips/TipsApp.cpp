#include "TipsApp.h"

#include "BitmapControl.h"
#include "TextControl.h"
#include "../common/RegistryKey.h"
#include "../resources/tips/tips_res.h"

#include <commctrl.h>
#include <shellapi.h>

#include <new>

namespace {

// Starting the main program takes a moment; the dialog's first help request
// should find its window.
constexpr DWORD kMainStartTimeoutMs = 10000;

CText LoadText(UINT id)
{
    CText text;
    text.LoadString(AppInstance(), id);
    return text;
}

BOOL FileExists(const CText& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder of a full file name, with its last backslash; empty when the
// name has none.
CText FolderOf(const CText& fileName)
{
    CText folder(fileName);
    const int separator = folder.ReverseFind('\\');
    if (separator <= 0)
        return CText();
    folder.Left(separator + 1);
    return folder;
}

} // namespace

CTipsApp::CTipsApp(HINSTANCE instance, const char* commandLine, int show) : CApplication(instance, commandLine, show)
{
}

CTipsApp::~CTipsApp()
{
    Terminate();
}

UINT CTipsApp::ProgramNameId() const
{
    return IDS_TIPS_NAME;
}

CTipsWindow::Mode CTipsApp::ModeFor(const char* commandLine)
{
    if (!commandLine)
        return CTipsWindow::kTipOfTheDay;
    // The shell may hand the word over quoted or padded.
    CText word(commandLine);
    while (word.Length() > 0 && (word.c_str()[0] == ' ' || word.c_str()[0] == '"'))
        word.Right(word.Length() - 1);
    while (word.Length() > 0 && (word.c_str()[word.Length() - 1] == ' ' || word.c_str()[word.Length() - 1] == '"'))
        word.Left(word.Length() - 1);
    return lstrcmpiA(word.c_str(), "START") == 0 ? CTipsWindow::kGettingStarted : CTipsWindow::kTipOfTheDay;
}

BOOL CTipsApp::FindMainProgramFile(CText& path)
{
    const CText fileName = LoadText(IDS_LINTEL_EXE);
    char ownName[MAX_PATH]{};
    const DWORD length = GetModuleFileNameA(nullptr, ownName, sizeof ownName);
    if (length > 0 && length < sizeof ownName) {
        path = FolderOf(CText(ownName));
        if (!path.IsEmpty()) {
            path += fileName;
            if (FileExists(path))
                return TRUE;
        }
    }
    CRegistryKey key;
    CText installed;
    if (key.OpenKey(HKEY_LOCAL_MACHINE, LoadText(IDS_REG_KEY_TIPS), CRegistryKey::kRead)
        && key.GetStringValue(LoadText(IDS_REG_TIPS_PATH), installed)) {
        path = FolderOf(installed);
        if (!path.IsEmpty()) {
            path += fileName;
            if (FileExists(path))
                return TRUE;
        }
    }
    path = "";
    return FALSE;
}

BOOL CTipsApp::Initialise()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    if (!CTipsWindow::RegisterClass(Instance()) || !CTextControl::RegisterClass(Instance())
        || !CBitmapControl::RegisterClass(Instance())) {
        DisplayMessage(nullptr, IDS_MSG_INIT_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        return FALSE;
    }
    return TRUE;
}

BOOL CTipsApp::StartMainProgram()
{
    // Never by the bare name: that would depend on the current folder.
    CText path;
    if (!FindMainProgramFile(path))
        return FALSE;
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    execute.hwnd = m_window->Handle();
    execute.lpFile = path.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&execute))
        return FALSE;
    if (execute.hProcess) {
        WaitForInputIdle(execute.hProcess, kMainStartTimeoutMs);
        CloseHandle(execute.hProcess);
    }
    return TRUE;
}

BOOL CTipsApp::Create()
{
    m_window.reset(new (std::nothrow) CTipsWindow(this, ModeFor(CommandLine().c_str())));
    if (!m_window || !m_window->Create()) {
        m_window.reset();
        DisplayMessage(nullptr, IDS_MSG_WINDOW_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        return FALSE;
    }
    if (!CTipsWindow::FindMainProgram()) {
        const int answer = DisplayMessage(nullptr, IDS_MSG_START_LINTEL, nullptr, MB_YESNOCANCEL | MB_ICONQUESTION,
                                          kCaptionProgramName);
        if (answer == IDCANCEL) {
            Terminate();
            return FALSE;
        }
        if (answer == IDYES) {
            if (!StartMainProgram()) {
                DisplayMessage(nullptr, IDS_MSG_LINTEL_FAILED, nullptr, MB_OK | MB_ICONINFORMATION,
                               kCaptionProgramName);
                Terminate();
                return FALSE;
            }
        } else {
            m_window->SetMainProgramAvailable(FALSE);
        }
    }
    PostMessageA(m_window->Handle(),
                 m_window->GetMode() == CTipsWindow::kGettingStarted ? UM_SHOW_GETTING_STARTED : UM_SHOW_TIP_OF_THE_DAY,
                 0, 0);
    return TRUE;
}

int CTipsApp::Run()
{
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void CTipsApp::Terminate()
{
    if (m_window && m_window->Handle())
        DestroyWindow(m_window->Handle());
    m_window.reset();
}
