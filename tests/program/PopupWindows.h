// Finding and driving another process's popup menus and property sheets from
// outside, the way the system's own input would reach them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The visible popup menu windows (class "#32768") of a process, oldest first
// as far as the system's window order tells.
std::vector<HWND> VisibleMenus(DWORD processId);
// Waits until a process shows this many popup menus (one or more); the
// newest of them, or null.
HWND WaitForMenus(DWORD processId, size_t count);
// A key press as a menu's modal loop reads it from its thread's queue.
void PostKey(HWND window, UINT key);
// Moves the pointer to a corner of the screen, away from where a menu opens
// beside a control: a menu shown under the pointer highlights the item there
// as soon as the pointer's first move reaches it, and the keys a test posts
// then start from that item instead of from none.
void ParkPointer();
// How many top-level windows of a class and title a process has.
int CountTopWindows(const char* className, const char* title, DWORD processId);
// The dialogs a process shows, with their captions and messages, for a
// test's failure message.
std::string ShownDialogs(DWORD processId);
// The page a property sheet shows.
HWND CurrentPage(HWND sheet);
// Whether a check box or radio button of another process is ticked.
bool IsTicked(HWND dialog, int control);
