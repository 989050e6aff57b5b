// A companion's burst of button hand-overs to the running program: for each
// button a file list on the clipboard and UM_ADDBUTTON with an atom naming
// the toolbar, sent one after the other as fast as the program takes them,
// while the program's boxes are answered and counted and its toolbar window
// is asked again and again whether it still answers.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

struct BurstFigures {
    int sent = 0;
    int added = 0;              // the program answered TRUE
    int refused = 0;            // it answered FALSE
    int unanswered = 0;         // the send timed out: a message lost or a hang
    int atomsLeft = 0;          // messages whose atom was still in the table after the answer
    int fullBoxes = 0;          // "maximum number of buttons" boxes
    int addFailedBoxes = 0;     // "failed to add the button" boxes
    int otherBoxes = 0;
    int probes = 0;             // WM_NULL sent to the toolbar window meanwhile
    int probesUnanswered = 0;
    DWORD slowestProbeMs = 0;
    DWORD elapsedMs = 0;
};

// Creates a toolbar of that name through the wizard's hand-over (its data
// file goes in folder) and returns its window, or null.
HWND CreateToolbarByHandOver(HWND main, DWORD processId, const std::string& name, const std::string& folder);

// Runs the burst of count buttons, each a shortcut to folder's "Burst item"
// folder, at the toolbar of that name; pauseMs between hand-overs stands for
// a sender slowed down by a loaded machine.
BurstFigures RunAddButtonBurst(HWND main, DWORD processId, HWND toolbar, const std::string& name,
                               const std::string& folder, int count, DWORD pauseMs = 0);

std::string BurstReport(const BurstFigures& figures);

} // namespace driver
