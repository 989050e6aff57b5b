#include "MainApp.h"

#include "MainWindow.h"
#include "TextControl.h"
#include "../buttons/DesktopChooser.h"
#include "../common/ControlMessages.h"
#include "../common/RegistryKey.h"
#include "../common/OwnerDrawMenu.h"
#include "../common/TraceLog.h"
#include "../common/WindowBase.h"
#include "../resources/lintel/resource.h"
#include "../toolbars/ToolbarAppearance.h"

#include <commctrl.h>
#include <ole2.h>

CMainApp* TheMainApp()
{
    return static_cast<CMainApp*>(TheApplication());
}

CMainApp::CMainApp(HINSTANCE instance, const char* commandLine, int show)
    : CApplication(instance, commandLine, show)
{
    // The trace switch must be known before anything is logged.
    ReadSettings();
    CTraceMethod trace(TR_CMAINAPP, TR_CMAINAPP);
}

CMainApp::~CMainApp()
{
    CTraceMethod trace(TR_CMAINAPP, TR_CMAINAPP_DTOR);
    m_mainWindow.reset();
}

void CMainApp::ReadSettings()
{
    CText keyName;
    if (!keyName.LoadString(Instance(), IDS_REG_KEY))
        return;
    CRegistryKey key;
    if (!key.OpenKey(HKEY_LOCAL_MACHINE, keyName, CRegistryKey::kRead))
        return;
    CText logging;
    if (!key.GetStringValue("Logging", logging) || logging == "0")
        return;
    SetTraceOn(true);
    SetTraceFilePath(".\\ltllog.txt");
    CText logFile;
    if (key.GetStringValue("LogFile", logFile) && !logFile.IsEmpty())
        SetTraceFilePath(logFile.c_str());
    key.Close();

    // The switch is set by hand by an administrator; the user still decides
    // whether this run writes a trace.  The texts are literal on purpose.
    if (MessageBoxA(nullptr, "Are you sure you want to perform logging on Lintel?", "Lintel",
                    MB_YESNO | MB_ICONQUESTION)
        == IDNO) {
        SetTraceOn(false);
        CRegistryKey writable;
        if (writable.OpenKey(HKEY_LOCAL_MACHINE, keyName, CRegistryKey::kSetValue))
            writable.SetStringValue("Logging", "0");
    }
}

void CMainApp::CheckQuillet()
{
    CTraceMethod trace(TR_CMAINAPP, TR_CHECK_QUILLET);
    HWND quillet = FindWindowA(QUILLET_MAIN_CLASS, nullptr);
    if (!quillet)
        return;
    if (TraceOn())
        LogStringId(TR_QUILLET_RUNNING);
    if (DisplayMessage(nullptr, IDS_MSG_QUILLET, nullptr, MB_YESNO | MB_ICONQUESTION, kCaptionProgramName) == IDYES) {
        if (TraceOn())
            LogStringId(TR_CLOSING_QUILLET);
        PostMessageA(quillet, WM_CLOSE, 0, 0);
    }
}

BOOL CMainApp::Initialise()
{
    CTraceMethod trace(TR_CMAINAPP, TR_INITIALISE);
    CheckQuillet();

    HWND running = FindWindowA(LINTEL_MAIN_CLASS, nullptr);
    if (running) {
        if (TraceOn())
            LogStringId(TR_FOUND_PREVIOUS);
        if (!CommandLine().IsEmpty())
            OpenFromCommandLine(running);
        if (TraceOn())
            LogStringId(TR_STOPPING_DOUBLE);
        return FALSE;
    }

    if (FAILED(OleInitialize(nullptr))) {
        if (TraceOn())
            LogStringId(TR_OLE_FAILED);
        DisplayMessage(nullptr, IDS_MSG_OLE_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        return FALSE;
    }
    m_oleInitialised = true;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    SetMenuNoIcon(IDI_NO_ICON);

    if (TraceOn())
        LogStringId(TR_REGISTERING_CLASSES);
    if (!RegisterWindowClasses()) {
        DisplayMessage(nullptr, IDS_MSG_INIT_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        return FALSE;
    }
    return TRUE;
}

namespace {

struct ClassEntry {
    const char* name;
    UINT style;
    WNDPROC procedure;
    int extraBytes;
    bool programIcon;
    HBRUSH background;
};

// The controls below keep their state in window extra bytes; handles among
// that state need pointer-sized room on 64-bit Windows.
constexpr int kTextControlExtra = 3 * sizeof(LONG) + 2 * sizeof(LONG_PTR);

} // namespace

BOOL CMainApp::RegisterWindowClasses()
{
    const ClassEntry classes[] = {
        {LINTEL_MAIN_CLASS, 0, CWindowBase::StaticWindowProc, CWindowBase::kExtraBytes, true,
         static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))},
        {LINTEL_TOOLBAR_CLASS, CS_DBLCLKS, CWindowBase::StaticWindowProc, CWindowBase::kExtraBytes, true, nullptr},
        // No double clicks for buttons: two quick presses are two presses.
        {"CToolButtonWindow", 0, CWindowBase::StaticWindowProc, CWindowBase::kExtraBytes, true, nullptr},
        {kDesktopChooserClass, 0, DesktopChooserProc, kDesktopChooserExtraBytes, false, nullptr},
        {"CTextControl", 0, TextControlProc, kTextControlExtra, false, nullptr},
        {"COpenProgressDialog", 0, DefDlgProcA, DLGWINDOWEXTRA, false, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)},
        {"CAboutDialog", 0, DefDlgProcA, DLGWINDOWEXTRA, true, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
    };
    for (const ClassEntry& entry : classes) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = entry.style;
        windowClass.lpfnWndProc = entry.procedure;
        windowClass.cbWndExtra = entry.extraBytes;
        windowClass.hInstance = Instance();
        windowClass.hIcon = entry.programIcon ? LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_LINTEL)) : nullptr;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = entry.background;
        windowClass.lpszClassName = entry.name;
        if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return FALSE;
    }
    // The toolbar property sheet's previews.
    return RegisterPreviewClasses(Instance());
}

BOOL CMainApp::Create()
{
    CTraceMethod trace(TR_CMAINAPP, TR_CREATE);
    if (TraceOn())
        LogStringId(TR_CREATING_MAIN_WINDOW);

    CText title;
    if (!title.LoadString(Instance(), IDS_APP_NAME))
        title = "Lintel";
    m_mainWindow = std::make_unique<CMainWindow>(this);
    if (!m_mainWindow->Create(0, LINTEL_MAIN_CLASS, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr)) {
        m_mainWindow.reset();
        DisplayMessage(nullptr, IDS_MSG_MAINWND_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        trace.Result(TR_CREATE_RESULT, 0);
        return FALSE;
    }
    ShowWindow(m_mainWindow->Handle(), SW_HIDE);
    UpdateWindow(m_mainWindow->Handle());
    if (!CommandLine().IsEmpty())
        OpenFromCommandLine(m_mainWindow->Handle());
    trace.Result(TR_CREATE_RESULT, 1);
    return TRUE;
}

void CMainApp::Terminate()
{
    CTraceMethod trace(TR_CMAINAPP, TR_TERMINATE);
    if (m_oleInitialised) {
        OleUninitialize();
        m_oleInitialised = false;
    }
}

void CMainApp::OpenFromCommandLine(HWND target)
{
    CTraceMethod trace(TR_CMAINAPP, TR_OPEN_FROM_CMDLINE);
    if (CommandLine().IsEmpty()) {
        if (TraceOn())
            LogStringId(TR_COMMAND_LINE_EMPTY);
        return;
    }
    // The receiver deletes the atom; it is ours again only if the post fails.
    ATOM atom = GlobalAddAtomA(CommandLine().c_str());
    if (!atom) {
        if (TraceOn())
            LogStringId(TR_ATOM_FAILED);
        DisplayMessage(nullptr, IDS_MSG_COMMAND_LINE, nullptr, MB_OK | MB_ICONEXCLAMATION, kCaptionProgramName);
        return;
    }
    if (TraceOn())
        LogStringId(TR_POSTING_OPEN);
    if (!PostMessageA(target, UM_OPENFILE, 0, static_cast<LPARAM>(atom)))
        GlobalDeleteAtom(atom);
}

UINT CMainApp::ProgramNameId() const
{
    return IDS_APP_NAME;
}

int CMainApp::DisplayMessage(HWND owner, UINT textId, LPCSTR caption, UINT style, UINT captionSource)
{
    CTraceMethod trace(TR_CMAINAPP, TR_DISPLAY_MESSAGE);
    if (TraceOn())
        LogFormat("%lu", textId);
    return CApplication::DisplayMessage(owner, textId, caption, style, captionSource);
}

BOOL CMainApp::RunningWindowsNT4()
{
    CTraceMethod trace(TR_CMAINAPP, TR_RUNNING_NT4);
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
    const BOOL result = known && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4;
    trace.Result(TR_RUNNING_NT4_RESULT, result);
    return result;
}
