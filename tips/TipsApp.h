// CTipsApp: Lintel Tips' application object: the window classes, the hidden
// window, the offer to start the main program, and the one dialog of the run.
#pragma once

#include "TipsWindow.h"
#include "../common/Application.h"

#include <memory>

class CTipsApp : public CApplication
{
public:
    CTipsApp(HINSTANCE instance, const char* commandLine, int show);
    ~CTipsApp() override;

    BOOL Initialise() override;
    BOOL Create() override;
    int Run() override;
    void Terminate() override;

    // "START" on the command line (the main program's "Getting Started..."
    // command) opens the Getting Started dialog instead of a tip.
    static CTipsWindow::Mode ModeFor(const char* commandLine);

    // The main program to start: "Lintel.exe" beside this program, else in
    // the folder the installer recorded for this program; FALSE when neither
    // file exists.
    static BOOL FindMainProgramFile(CText& path);

protected:
    UINT ProgramNameId() const override;

private:
    BOOL StartMainProgram();

    std::unique_ptr<CTipsWindow> m_window;
};
