// Entry point of Lintel Explorer.exe.
#include "ExplorerApp.h"

#include "../common/DllSearch.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    RestrictLibrarySearch();
    return RunCompanionProgram<CExplorerApp>(instance, commandLine, show, "Lintel Explorer");
}
