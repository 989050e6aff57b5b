// CWizardApp: Lintel Wizard's application object: OLE and the common
// controls, the window class and the hidden window that runs the wizard.
#pragma once

#include "../common/Application.h"

#include <memory>

class CToolbarWizard;

class CWizardApp : public CApplication
{
public:
    CWizardApp(HINSTANCE instance, const char* commandLine, int show);
    ~CWizardApp() override;

    BOOL Initialise() override;
    BOOL Create() override;
    void Terminate() override;

protected:
    UINT ProgramNameId() const override;

private:
    std::unique_ptr<CToolbarWizard> m_window;
    BOOL m_oleStarted = FALSE;
};
