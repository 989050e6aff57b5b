// CApplication: the base of each program's application object.  It owns the
// message loop and the values every part of a program reads: the instance, the
// command line, the start time and the one modeless dialog the loop serves.
#pragma once

#include "Text.h"
#include "Error.h"

#include <memory>
#include <new>

// How DisplayMessage finds the box caption.
enum : UINT {
    kCaptionFromId = 1,       // caption is MAKEINTRESOURCE(string id)
    kCaptionText = 2,         // caption is a text (a toolbar's name)
    kCaptionProgramName = 4,  // caption is the program's name; wins over the other two
};

class CApplication
{
public:
    CApplication(HINSTANCE instance, const char* commandLine, int show);
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    virtual void ReadSettings() {}
    virtual BOOL Initialise() { return TRUE; }
    virtual BOOL Create() { return TRUE; }
    virtual int Run();
    virtual void Terminate() {}

    // The one way a program reports to the user: a task-modal box whose text
    // is a string-table entry.  Returns the button pressed (IDOK when the text
    // or a caption id cannot be loaded, and no box is shown).
    virtual int DisplayMessage(HWND owner, UINT textId, LPCSTR caption, UINT style, UINT captionSource);

    HINSTANCE Instance() const { return m_instance; }
    const CText& CommandLine() const { return m_commandLine; }
    DWORD StartTime() const { return m_startTime; }
    int ShowCommand() const { return m_show; }

    HWND ModelessDialog() const { return m_modelessDialog; }
    void SetModelessDialog(HWND dialog) { m_modelessDialog = dialog; }

protected:
    // The string id of the program's name, the caption of kCaptionProgramName.
    virtual UINT ProgramNameId() const { return 0; }

private:
    HINSTANCE m_instance;
    CText m_commandLine;
    DWORD m_startTime;
    HWND m_modelessDialog = nullptr;
    int m_show;
};

// The program instance, for resources; set when the application object is made.
HINSTANCE AppInstance();
void SetAppInstance(HINSTANCE instance);

// The one application object of the process (null before it exists).
CApplication* TheApplication();


// The last word of a program that failed in a way it cannot recover from
// (out of memory, an impossible text conversion): traced and shown, so that
// the program says so rather than vanish.  Answers the process exit code.
int ReportFatalError(const CError& error, const char* caption);

// The whole life of a companion program, from its entry point: make the
// application object, initialise, create, run its loop, terminate.
template <class App>
int RunCompanionProgram(HINSTANCE instance, LPSTR commandLine, int show, const char* caption)
{
    try {
        App* app = new (std::nothrow) App(instance, commandLine, show);
        if (!app)
            return 0;
        std::unique_ptr<App> owner(app);
        if (!app->Initialise() || !app->Create())
            return 0;
        const int result = app->Run();
        app->Terminate();
        return result;
    } catch (const CError& error) {
        return ReportFatalError(error, caption);
    }
}
