// CExplorerApp: Lintel Explorer's application object: OLE and the common
// controls, the window class, the one window and its message loop with the
// window's accelerators.
#pragma once

#include "../common/Application.h"

#include <memory>

class CExplorerWindow;

class CExplorerApp : public CApplication
{
public:
    CExplorerApp(HINSTANCE instance, const char* commandLine, int show);
    ~CExplorerApp() override;

    BOOL Initialise() override;
    BOOL Create() override;
    int Run() override;
    void Terminate() override;

    // The command line asks for a search of the Start Menu's shortcuts.
    static BOOL WantsShortcuts(const char* commandLine);

protected:
    UINT ProgramNameId() const override;

private:
    std::unique_ptr<CExplorerWindow> m_window;
    HACCEL m_accelerators = nullptr;
    BOOL m_oleStarted = FALSE;
};
