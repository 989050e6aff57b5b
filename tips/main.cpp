// Entry point of Lintel Tips.exe.
#include "TipsApp.h"

#include "../common/DllSearch.h"
#include "../common/Error.h"

#include <memory>
#include <new>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    RestrictLibrarySearch();
    try {
        std::unique_ptr<CTipsApp> app(new (std::nothrow) CTipsApp(instance, commandLine, show));
        if (!app || !app->Initialise())
            return 0;
        if (!app->Create())
            return 0;
        const int result = app->Run();
        app->Terminate();
        return result;
    } catch (const CError& error) {
        MessageBoxA(nullptr, error.Text(), "Lintel Tip of the Day", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
        return 1;
    }
}
