// Entry point of Lintel.exe.
#include "MainApp.h"

#include "../common/DllSearch.h"
#include "../common/Error.h"
#include "../common/TraceLog.h"

#include <memory>
#include <new>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    RestrictLibrarySearch();
    try {
        std::unique_ptr<CMainApp> app(new (std::nothrow) CMainApp(instance, commandLine, show));
        if (!app)
            return 0;
        if (!app->Initialise())
            return 0;
        if (!app->Create()) {
            app->Terminate();
            return 0;
        }
        app->Run();
        app->Terminate();
    } catch (const CError& error) {
        // Out of memory or an impossible text conversion with nowhere to go:
        // say so rather than vanish.
        if (TraceOn())
            LogText(error.Text());
        MessageBoxA(nullptr, error.Text(), "Lintel", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
        return 1;
    }
    return 0;
}
