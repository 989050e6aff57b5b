// CMainApp: the program object of Lintel.exe.  It checks for the previous
// product and for a running copy, initialises OLE and the window classes,
// creates the hidden main window and reports to the user through DisplayMessage.
#pragma once

#include "../common/Application.h"
#include "../common/ScopedHandle.h"

#include <memory>

class CMainWindow;

class CMainApp : public CApplication
{
public:
    CMainApp(HINSTANCE instance, const char* commandLine, int show);
    ~CMainApp() override;

    void ReadSettings() override;
    BOOL Initialise() override;
    BOOL Create() override;
    void Terminate() override;

    int DisplayMessage(HWND owner, UINT textId, LPCSTR caption, UINT style, UINT captionSource) override;

    static BOOL RunningWindowsNT4();

    void OpenFromCommandLine(HWND target);

    CMainWindow* MainWindow() const { return m_mainWindow.get(); }

    // Registers every window class of the program; a class that exists
    // already (registered earlier in this process) counts as registered.
    BOOL RegisterWindowClasses();

protected:
    UINT ProgramNameId() const override;

private:
    void CheckQuillet();

    std::unique_ptr<CMainWindow> m_mainWindow;
    bool m_oleInitialised = false;
};

// The program object of this process (null before it exists).
CMainApp* TheMainApp();
