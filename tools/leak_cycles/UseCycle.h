// One round of what a user does with toolbars, for the leak checks: the
// leak_cycles tool repeats it a thousand times and prints what stays alive,
// the unit tests repeat it a few dozen times and hold the counts to it.
#pragma once

#include <windows.h>

#include <string>

class CMainApp;
class CToolbarSet;
struct LiveHandleCounts;

// Writes the toolbar every round opens: three program buttons for the
// program file, their icons taken from iconFile (entries 0 and 1).  FALSE
// with what went wrong.
BOOL WriteCycleToolbar(CMainApp& app, CToolbarSet& set, const std::string& program, const std::string& iconFile,
                       const std::string& path, std::string& failure);

// Opens the toolbar twice; shows and cancels the toolbar menu, a button's
// hold menu, its context menu and the program menu; drags a button from one
// to the other (the drop target driven as OLE drives it, the source giving
// the button up as a move does); opens and cancels the Options sheet, the
// toolbar's property sheet and a button's; closes both without saving.
// FALSE with what went wrong.  during, when given, gets the highest live
// handle counts of the round, each kind on its own: both toolbars open, and
// what each menu and sheet held while it was up.
BOOL RunUseCycle(CMainApp& app, CToolbarSet& set, const std::string& path, std::string& failure,
                 LiveHandleCounts* during = nullptr);

// The process's private bytes (0 when the system cannot say).
SIZE_T PrivateBytes();
