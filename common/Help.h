// Help for every program.  The programs were written for WinHelp, which
// Windows no longer ships: ShowHelp takes the same request as WinHelpA and
// sends it to WinHelp when the .hlp file is there, to the compiled HTML help
// of the same name (.chm) when only that is there, and tells the user where
// help was expected when neither is.
#pragma once

#include <windows.h>

#include <string>

// Where help requests end up.  The system one talks to WinHelp, HTML Help and
// a message box; a test puts its own in place to watch the requests.
class IHelpBackend
{
public:
    virtual bool FileExists(const std::string& path) = 0;
    virtual BOOL ShowWinHelp(HWND owner, const char* file, UINT command, ULONG_PTR data) = 0;
    // An HTML Help command (HH_DISPLAY_TOPIC, HH_HELP_CONTEXT, HH_CLOSE_ALL).
    virtual BOOL ShowHtmlHelp(HWND owner, const std::string& file, UINT command, DWORD_PTR data) = 0;
    virtual void ReportMissing(HWND owner, const std::string& helpFile, const std::string& htmlFile) = 0;

protected:
    ~IHelpBackend() = default;
};

// Puts a backend in place for the whole process; null puts the system one
// back.  Answers the one that was in place.
IHelpBackend* SetHelpBackend(IHelpBackend* backend);

// A drop-in for WinHelpA.  The file is the programs' help file string, such
// as "Lintel.hlp>Popup": a name without a folder is looked for in the
// program's folder, then in the Windows help folder and the Windows folder.
BOOL ShowHelp(HWND owner, const char* file, UINT command, ULONG_PTR data);

// True when the WinHelp file of a help file string ("Lintel Intro.hlp>Popup")
// is where ShowHelp looks for it, so that requests go to WinHelp.
bool HelpFileFound(const char* file);

// The HTML help of a WinHelp request: the topic to open for the command and
// its data (HH_HELP_CONTEXT with the context id, HH_DISPLAY_TOPIC for the
// contents, HH_CLOSE_ALL for quit).  False for a request with nothing to show.
// For the control help commands (HELP_WM_HELP, HELP_CONTEXTMENU) the owner
// is the control and the data its dialog's table of control and context ids.
bool HtmlHelpRequest(HWND owner, UINT command, ULONG_PTR data, UINT* htmlCommand, DWORD_PTR* htmlData);
