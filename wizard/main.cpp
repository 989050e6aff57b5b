// Entry point of Lintel Wizard.exe.
#include "WizardApp.h"

#include "../common/DllSearch.h"
#include "../common/Error.h"
#include "../common/TraceLog.h"

#include <memory>
#include <new>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    RestrictLibrarySearch();
    try {
        std::unique_ptr<CWizardApp> app(new (std::nothrow) CWizardApp(instance, commandLine, show));
        if (!app || !app->Initialise())
            return 0;
        if (!app->Create())
            return 0;
        const int result = app->Run();
        app->Terminate();
        return result;
    } catch (const CError& error) {
        if (TraceOn())
            LogText(error.Text());
        MessageBoxA(nullptr, error.Text(), "New Toolbar Wizard", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
        return 1;
    }
}
