// CTipsWindow: the tip program's hidden window ("LintelTipsWindow", titled
// "Lintel Tip of the Day"), through which the main program reaches it.  It
// runs the one dialog of the run, asks the main program for help items and
// lessons, and brings the Getting Started dialog back when a lesson ends.
#pragma once

#include "../common/WindowBase.h"

class CGettingStartedDialog;

class CTipsWindow : public CWindowBase
{
public:
    enum Mode { kTipOfTheDay = 0, kGettingStarted = 1 };

    CTipsWindow(CApplication* application, Mode mode);

    static BOOL RegisterClass(HINSTANCE instance);
    BOOL Create();

    Mode GetMode() const { return m_mode; }
    BOOL MainProgramAvailable() const { return m_mainAvailable; }
    void SetMainProgramAvailable(BOOL available) { m_mainAvailable = available; }

    // The main program's window, or null when it is not running.
    static HWND FindMainProgram();
    // Asks the main program to show a help item (wParam 0) or to start a
    // lesson; TRUE when it answered 1.  On any other answer, or with no main
    // program, message 10 is shown over owner.
    BOOL RequestHelp(WPARAM kind, LPARAM item, HWND owner);

    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;
    BOOL OnDestroy() override;

private:
    void RunDialog(Mode mode);

    BOOL m_mainAvailable = TRUE;
    BOOL m_helpUsed = FALSE;
    Mode m_mode;
    CGettingStartedDialog* m_gettingStarted = nullptr;
};
