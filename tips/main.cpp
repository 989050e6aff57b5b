// Entry point of Lintel Tips.exe.
#include "TipsApp.h"

#include "../common/DllSearch.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    RestrictLibrarySearch();
    return RunCompanionProgram<CTipsApp>(instance, commandLine, show, "Lintel Tip of the Day");
}
