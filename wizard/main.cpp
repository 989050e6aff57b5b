// Entry point of Lintel Wizard.exe.
#include "WizardApp.h"

#include "../common/DllSearch.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    RestrictLibrarySearch();
    return RunCompanionProgram<CWizardApp>(instance, commandLine, show, "New Toolbar Wizard");
}
