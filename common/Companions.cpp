#include "Companions.h"

#include "Application.h"
#include "RegistryKey.h"
#include "TraceLog.h"
#include "../resources/common/common_res.h"

#include <shellapi.h>

BOOL GetLTLAppLocation(UINT valueNameId, UINT fileNameId, CText& path)
{
    CTraceMethod trace(TR_SHARED, TR_GET_APP_LOCATION);
    HINSTANCE instance = AppInstance();
    path = "";

    CText keyName;
    CText valueName;
    CRegistryKey key;
    if (keyName.LoadString(instance, IDS_REG_KEY) && valueName.LoadString(instance, valueNameId)
        && key.OpenKey(HKEY_LOCAL_MACHINE, keyName, CRegistryKey::kRead))
        key.GetStringValue(valueName, path);

    if (path.IsEmpty()) {
        char ownName[MAX_PATH]{};
        const DWORD length = GetModuleFileNameA(nullptr, ownName, sizeof ownName);
        CText fileName;
        if (length > 0 && length < sizeof ownName && fileName.LoadString(instance, fileNameId)) {
            path = ownName;
            const int separator = path.ReverseFind('\\');
            if (separator > 0)
                path.Left(separator + 1);
            path += fileName;
        }
    }
    if (TraceOn())
        LogStringIdText(TR_GET_APP_LOCATION_RESULT, path.c_str());
    return !path.IsEmpty();
}

namespace {

// What LaunchLTLApp reports to the trace.
enum LaunchResult : unsigned long { kLaunched = 1, kLaunchNotFound = 2, kLaunchFailed = 3 };

} // namespace

BOOL LaunchLTLApp(UINT valueNameId, UINT fileNameId, BOOL showErrors, const char* parameters)
{
    CTraceMethod trace(TR_SHARED, TR_LAUNCH_APP);
    CApplication* app = TheApplication();
    CText path;
    if (!GetLTLAppLocation(valueNameId, fileNameId, path)) {
        if (showErrors && app)
            app->DisplayMessage(nullptr, IDS_MSG_INTERNAL_ERROR, nullptr, MB_OK | MB_ICONINFORMATION,
                                kCaptionProgramName);
        trace.Result(TR_LAUNCH_APP_RESULT, kLaunchNotFound);
        return FALSE;
    }
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpFile = path.c_str();
    execute.lpParameters = parameters;
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&execute)) {
        if (showErrors && app)
            app->DisplayMessage(nullptr, IDS_MSG_LAUNCH_FAILED, nullptr, MB_OK | MB_ICONINFORMATION,
                                kCaptionProgramName);
        trace.Result(TR_LAUNCH_APP_RESULT, kLaunchFailed);
        return FALSE;
    }
    trace.Result(TR_LAUNCH_APP_RESULT, kLaunched);
    return TRUE;
}
