// The virtual-desktop product's library (Multiva 95, "Mlv95Api.dll"), loaded
// by name for as long as one task needs it and freed with this object.  The
// program never links against it: without the library, or without one of its
// functions, every call answers as though the product were not running.
#pragma once

#include <windows.h>

class CVirtualDesktop
{
public:
    // Loads the library from beside the program or from the system folder,
    // never from the current folder, where anyone could have left a file of
    // that name.
    CVirtualDesktop();
    ~CVirtualDesktop();
    CVirtualDesktop(const CVirtualDesktop&) = delete;
    CVirtualDesktop& operator=(const CVirtualDesktop&) = delete;

    bool IsLoaded() const { return m_library != nullptr; }

    // Non-zero when the product is running and usable; 0 without it.
    BOOL Initialise() const;
    // Columns in the low word, rows in the high word; 0 without the product.
    DWORD GetGridSize() const;
    // The current desktop, or -1 when none can be told (or no product).
    LONG GetScreen() const;
    // Switches to the desktop in that column and row; FALSE without it.
    BOOL MoveToScreen(int column, int row) const;

    // Before a button opens its target on its chosen desktop: asks for the
    // current desktop first and moves only when one can be told.  Only the
    // low 16 bits of the stored column and row count.
    void SwitchTo(DWORD column, DWORD row) const;

private:
    using InitialiseProc = BOOL(WINAPI*)();
    using GetGridSizeProc = LONG(WINAPI*)();
    using GetScreenProc = LONG(WINAPI*)();
    using MoveToScreenProc = BOOL(WINAPI*)(int column, int row);

    HMODULE m_library = nullptr;
    InitialiseProc m_initialise = nullptr;
    GetGridSizeProc m_getGridSize = nullptr;
    GetScreenProc m_getScreen = nullptr;
    MoveToScreenProc m_moveToScreen = nullptr;
};
