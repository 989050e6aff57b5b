#include "WizardApp.h"

#include "ToolbarWizard.h"
#include "../resources/wizard/wizard_res.h"

#include <commctrl.h>
#include <ole2.h>

#include <new>

CWizardApp::CWizardApp(HINSTANCE instance, const char* commandLine, int show)
    : CApplication(instance, commandLine, show)
{
}

CWizardApp::~CWizardApp()
{
    Terminate();
}

UINT CWizardApp::ProgramNameId() const
{
    return IDS_WIZARD_CAPTION;
}

BOOL CWizardApp::Initialise()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS;
    const BOOL controlsReady = InitCommonControlsEx(&controls);
    const HRESULT ole = OleInitialize(nullptr);
    m_oleStarted = SUCCEEDED(ole);
    if (!controlsReady || !m_oleStarted || !CToolbarWizard::RegisterClass(Instance())) {
        DisplayMessage(nullptr, IDS_MSG_START_FAILED, MAKEINTRESOURCEA(IDS_WIZARD_CAPTION), MB_OK | MB_ICONSTOP,
                       kCaptionFromId);
        return FALSE;
    }
    return TRUE;
}

BOOL CWizardApp::Create()
{
    // A window that could not be made has said why (Lintel not running).
    m_window.reset(new (std::nothrow) CToolbarWizard(this));
    if (!m_window || !m_window->Create()) {
        m_window.reset();
        return FALSE;
    }
    return TRUE;
}

void CWizardApp::Terminate()
{
    m_window.reset();
    if (m_oleStarted) {
        OleUninitialize();
        m_oleStarted = FALSE;
    }
}
