// Stand-ins, in the test process, for the windows the real program talks to
// when it asks for help: the help viewer and the tip program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Wine's WinHelp finds the viewer as a top-level window of class
// "MS_WINHELP" and hands it each request by WM_COPYDATA; only when no such
// window exists does it start winhlp32.exe, which blocks behind a "Cannot
// find" box for a missing file.  While this window exists no request reaches
// the real viewer.
class CHelpViewerDouble
{
public:
    struct Request {
        UINT command;
        DWORD data;
        std::string file;
        HWND owner;
    };

    explicit CHelpViewerDouble(BOOL answer = TRUE);
    ~CHelpViewerDouble();
    CHelpViewerDouble(const CHelpViewerDouble&) = delete;
    CHelpViewerDouble& operator=(const CHelpViewerDouble&) = delete;

    HWND Window() const { return m_window; }
    const std::vector<Request>& Requests() const { return m_requests; }
    void Forget() { m_requests.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    BOOL m_answer;
    std::vector<Request> m_requests;
};

// The tip program's window, as the main program looks it up by class and
// title, recording the messages it is sent from WM_USER on.
class CTipsWindowStandIn
{
public:
    struct Received {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    CTipsWindowStandIn();
    ~CTipsWindowStandIn();
    CTipsWindowStandIn(const CTipsWindowStandIn&) = delete;
    CTipsWindowStandIn& operator=(const CTipsWindowStandIn&) = delete;

    HWND Window() const { return m_window; }
    const std::vector<Received>& Messages() const { return m_messages; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    std::vector<Received> m_messages;
};
