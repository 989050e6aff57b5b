// The stand-in main program and toolbars (companion_standin.exe), for the
// tests of the companion programs: it owns the windows a companion looks for
// and records what the companion hands it.
//
//   driver::CompanionStandIn lintel;
//   ASSERT_TRUE(lintel.Start(m_folder, true, {"Tools", "Games"}));
//   ... let the companion add its selection to "Tools" ...
//   driver::StandInRecord added;
//   ASSERT_TRUE(lintel.WaitForRecord("addbutton", added));
//   EXPECT_EQ(added.atom, "Tools");
//   EXPECT_EQ(added.files, std::vector<std::string>{path});
//
// The log is a file of JSON lines, one per message the main window took, in
// arrival order, each with "seq" (from 1), "event", "wparam" and "lparam":
//   addbutton   UM_ADDBUTTON (WM_USER+191).  "atomState": "none" (wParam is
//               below 0xC000: a slot), "read" (then "atom", letter case
//               kept) or "stale"; the atom is deleted.  Then the OLE
//               clipboard as a paste finds it: "clipboard" (OleGetClipboard
//               gave an object; else "clipboardHr"), "formats" (names of what it offers:
//               registered names, "CF_HDROP", "CF_TEXT"... or "#n"),
//               "files" (the CF_HDROP list), "items" (parsing names of the
//               "Shell IDList Array" entries), "idListReadable", "button"
//               ("CExecButton" offered).  When anything usable was there the
//               clipboard is emptied, as a successful paste does.
//   showabout   WM_USER+192 (answer 1).
//   helprequest WM_USER+193 (answer 1, or the one given to Start).
//   createtb    UM_CREATETB (WM_USER+194): the lParam atom as for addbutton;
//               "copy" is where the named file was copied (LOGFILE
//               ".createtbN"), empty when it could not be, with "copyError".
//               The named file itself is left alone.
//   copydata    WM_COPYDATA: "dataId" (dwData), "size", "data" (hex, at
//               most 4096 bytes).
// Texts are UTF-8 in the file and ANSI in the records below.
#pragma once

#include "Driver.h"

#include <map>
#include <string>
#include <vector>

namespace driver {

struct StandInRecord {
    unsigned seq = 0;
    std::string event;
    unsigned long long wParam = 0;
    unsigned long long lParam = 0;
    enum class Atom { None, Read, Stale } atomState = Atom::None;
    std::string atom;
    bool clipboard = false;
    std::vector<std::string> formats;
    std::vector<std::string> files;
    std::vector<std::string> items;
    bool idListReadable = false;
    bool button = false;
    std::string copy;
    unsigned long long dataId = 0;
    unsigned long size = 0;
    std::string data;
};

// The records of a log file; lines that are not whole records are skipped.
std::vector<StandInRecord> ReadStandInLog(const std::string& path);

class CompanionStandIn
{
public:
    CompanionStandIn() = default;
    ~CompanionStandIn();
    CompanionStandIn(const CompanionStandIn&) = delete;
    CompanionStandIn& operator=(const CompanionStandIn&) = delete;

    // Starts the stand-in with its log in the folder (made anew), as the
    // main program when asMain, with a toolbar window per name, and waits
    // until all its windows exist.  A program path given runs a copy of the
    // stand-in from elsewhere, as a main program in a folder of its own.
    bool Start(const std::string& folder, bool asMain, const std::vector<std::string>& toolbars = {},
               int helpAnswer = 1, const std::string& program = "");
    // Asks it to close (WM_CLOSE) and kills it when it does not end.
    void Stop();

    HWND MainWindow() const;
    HWND ToolbarWindow(const std::string& name) const;
    const std::string& LogPath() const { return m_log; }
    Process& GetProcess() { return m_process; }

    std::vector<StandInRecord> Records() const { return ReadStandInLog(m_log); }
    // The next record of the event that no earlier call has returned, in
    // log order, waiting for it up to the time.
    bool WaitForRecord(const std::string& event, StandInRecord& record, DWORD timeoutMs = kDefaultTimeout);

private:
    Process m_process;
    std::string m_log;
    std::map<std::string, size_t> m_taken;
};

// Puts the shell's own data object for existing files or folders of one
// folder on the OLE clipboard, as the Explorer and the shell extension do,
// and flushes it so that the data outlives the object.
bool PutShellItemsOnClipboard(const std::vector<std::string>& paths);

} // namespace driver
