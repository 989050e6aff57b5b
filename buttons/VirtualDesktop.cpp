#include "VirtualDesktop.h"

#include "../common/DllSearch.h"

namespace {

template <class Proc>
Proc LibraryProc(HMODULE library, const char* name)
{
    // Through void*: the exported address has no type of its own.
    return library ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

} // namespace

CVirtualDesktop::CVirtualDesktop()
    : m_library(LoadLibraryFrom("Mlv95Api.dll", kLibraryInProgramFolder | kLibraryInSystemFolder))
{
    m_initialise = LibraryProc<InitialiseProc>(m_library, "Initialise");
    m_getGridSize = LibraryProc<GetGridSizeProc>(m_library, "GetGridSize");
    m_getScreen = LibraryProc<GetScreenProc>(m_library, "GetScreen");
    m_moveToScreen = LibraryProc<MoveToScreenProc>(m_library, "MoveToScreen");
}

CVirtualDesktop::~CVirtualDesktop()
{
    if (m_library)
        FreeLibrary(m_library);
}

BOOL CVirtualDesktop::Initialise() const
{
    return m_initialise ? m_initialise() : FALSE;
}

DWORD CVirtualDesktop::GetGridSize() const
{
    return m_getGridSize ? static_cast<DWORD>(m_getGridSize()) : 0;
}

LONG CVirtualDesktop::GetScreen() const
{
    return m_getScreen ? m_getScreen() : -1;
}

BOOL CVirtualDesktop::MoveToScreen(int column, int row) const
{
    return m_moveToScreen ? m_moveToScreen(column, row) : FALSE;
}

void CVirtualDesktop::SwitchTo(DWORD column, DWORD row) const
{
    // Both calls or neither: a library that cannot move cannot be asked.
    if (!m_getScreen || !m_moveToScreen)
        return;
    if (GetScreen() != -1)
        MoveToScreen(LOWORD(column), LOWORD(row));
}
