#include "ExplorerApp.h"

#include "ExplorerWindow.h"
#include "../resources/explorer/explorer_res.h"

#include <commctrl.h>
#include <ole2.h>

#include <new>

CExplorerApp::CExplorerApp(HINSTANCE instance, const char* commandLine, int show)
    : CApplication(instance, commandLine, show)
{
}

CExplorerApp::~CExplorerApp()
{
    Terminate();
}

UINT CExplorerApp::ProgramNameId() const
{
    return IDS_EXPLORER_NAME;
}

BOOL CExplorerApp::WantsShortcuts(const char* commandLine)
{
    if (!commandLine)
        return FALSE;
    // The shell and shortcuts may hand the word over quoted or padded.
    CText word(commandLine);
    while (word.Length() > 0 && (word.c_str()[0] == ' ' || word.c_str()[0] == '"'))
        word.Right(word.Length() - 1);
    while (word.Length() > 0 && (word.c_str()[word.Length() - 1] == ' ' || word.c_str()[word.Length() - 1] == '"'))
        word.Left(word.Length() - 1);
    return lstrcmpiA(word.c_str(), "Shortcut") == 0;
}

BOOL CExplorerApp::Initialise()
{
    if (FAILED(OleInitialize(nullptr)))
        return FALSE;
    m_oleStarted = TRUE;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    if (!CExplorerWindow::RegisterClass(Instance())) {
        DisplayMessage(nullptr, IDS_MSG_START_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        return FALSE;
    }
    return TRUE;
}

BOOL CExplorerApp::Create()
{
    m_window.reset(new (std::nothrow) CExplorerWindow(this, WantsShortcuts(CommandLine().c_str())));
    if (!m_window || !m_window->Create()) {
        m_window.reset();
        DisplayMessage(nullptr, IDS_MSG_WINDOW_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        return FALSE;
    }
    m_accelerators = LoadAcceleratorsA(Instance(), MAKEINTRESOURCEA(IDR_EXPLORER_ACCEL));
    ShowWindow(m_window->Handle(), ShowCommand());
    UpdateWindow(m_window->Handle());
    return TRUE;
}

int CExplorerApp::Run()
{
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND window = m_window ? m_window->Handle() : nullptr;
        if (window && m_accelerators && TranslateAcceleratorA(window, m_accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void CExplorerApp::Terminate()
{
    // The window object stops the search, writes the settings and leaves the
    // clipboard's contents behind, which needs OLE still running.
    m_window.reset();
    if (m_oleStarted) {
        OleUninitialize();
        m_oleStarted = FALSE;
    }
}
