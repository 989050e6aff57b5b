// A small driver for the real programs under test: it starts them, finds their
// windows and message boxes, presses buttons, sends messages, and reads what
// they left in the registry and in their trace files - the way a companion
// program or a user would, from outside the process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

// How long a wait lasts unless a test says otherwise.
constexpr DWORD kDefaultTimeout = 10000;

// Dispatches the messages waiting in this thread's queue, and returns.
void PumpMessages();
// Pumps this thread's messages until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeout);

// The folder of the test program (the programs under test are built beside it).
std::string ProgramFolder();
// A new empty folder under the test run's temporary folder.
std::string MakeTempFolder(const std::string& name);
void WriteTextFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

class Process
{
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    // Starts a program with a raw argument text (quoted as the caller wants)
    // in a working folder (empty: the program's own folder).
    bool Start(const std::string& program, const std::string& arguments = "", const std::string& folder = "");
    // The same for a console program whose standard output and error go to
    // a file (made anew).
    bool StartWithOutput(const std::string& program, const std::string& arguments, const std::string& folder,
                         const std::string& outputPath);
    bool IsRunning() const;
    // Waits for the process to end; false when it is still running.
    bool WaitForExit(DWORD timeoutMs = kDefaultTimeout);
    DWORD ExitCode() const;
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process; }
    // Ends the process at once (clean-up of a failed test).
    void Kill();

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// Top-level windows.
HWND FindTopWindow(const char* className, const char* title, DWORD processId = 0);
// How many top-level windows match (null class or title, or 0: any).
int CountTopWindows(const char* className, const char* title, DWORD processId = 0);
HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs = kDefaultTimeout,
                   DWORD processId = 0);
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kDefaultTimeout);
std::string WindowText(HWND window);
// Child windows of a class (at any depth), counting only hidden ones if asked.
int CountChildWindows(HWND parent, const char* className, bool hiddenOnly = false);
// Ends every process that owns a top-level window of the class: a copy left
// running by an earlier failed test.
void KillProgramsWithWindow(const char* className);
std::string ClassName(HWND window);
DWORD WindowProcess(HWND window);

// Message boxes (dialogs of class "#32770") by caption, optionally of one process.
HWND WaitForMessageBox(const char* caption, DWORD timeoutMs = kDefaultTimeout, DWORD processId = 0);
// The message text of a box.
std::string MessageBoxText(HWND box);
// Presses a button of a dialog by its id (IDOK, IDYES, IDNO ...).
bool PressButton(HWND dialog, int buttonId);

// The real mouse, as a user moves and presses it (screen coordinates).
void MoveMouseTo(int x, int y);
void LeftButton(bool down);
// No box with this caption appears within the time.
bool NoMessageBoxFor(const char* caption, DWORD timeoutMs, DWORD processId = 0);

// Registry, in the view of this (test) program's bitness.
bool SetRegistryString(HKEY root, const char* key, const char* name, const char* value);
bool SetRegistryDword(HKEY root, const char* key, const char* name, DWORD value);
bool ReadRegistryString(HKEY root, const char* key, const char* name, std::string& value);
bool ReadRegistryDword(HKEY root, const char* key, const char* name, DWORD& value);
bool DeleteRegistryValue(HKEY root, const char* key, const char* name);
bool DeleteRegistryTree(HKEY root, const char* key);

// The lines of a trace file, without their time stamps.
std::vector<std::string> ReadTraceLines(const std::string& path);
bool HasLine(const std::vector<std::string>& lines, const std::string& line);
// The lines of a text file, without their line ends.
std::vector<std::string> ReadLines(const std::string& path);

// A wide file list (CF_HDROP) in a movable block of its own, as the shell
// hands one over; null when the memory cannot be had.
HGLOBAL WideFileList(const std::vector<std::wstring>& paths);

// A wide file list alone on the clipboard (CF_HDROP), put with the plain
// calls, as a companion's or an older file manager's copy leaves it.
bool PutFileListOnClipboard(const std::vector<std::wstring>& paths);

// Saves the screen to <screenshot folder>/<name>.bmp; the test run turns the
// pictures into PNG files under the build folder.
bool Screenshot(const std::string& name);

} // namespace driver
