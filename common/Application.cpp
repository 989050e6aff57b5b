#include "Application.h"

#include "TraceLog.h"

namespace {
HINSTANCE g_instance = nullptr;
CApplication* g_application = nullptr;
} // namespace

HINSTANCE AppInstance() { return g_instance ? g_instance : GetModuleHandleA(nullptr); }
void SetAppInstance(HINSTANCE instance) { g_instance = instance; }
CApplication* TheApplication() { return g_application; }

CApplication::CApplication(HINSTANCE instance, const char* commandLine, int show)
    : m_instance(instance), m_commandLine(commandLine), m_startTime(GetTickCount()), m_show(show)
{
    SetAppInstance(instance);
    SetTraceInstance(instance);
    SetTraceFilePath(".\\Logfile.txt");
    SetTraceOn(false);
    g_application = this;
}

CApplication::~CApplication()
{
    if (g_application == this)
        g_application = nullptr;
}

int CApplication::Run()
{
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // The dialog may have been destroyed since it was registered: only a
        // live window may take keyboard navigation away from dispatching.
        if (m_modelessDialog && IsWindow(m_modelessDialog) && IsDialogMessageA(m_modelessDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int CApplication::DisplayMessage(HWND owner, UINT textId, LPCSTR caption, UINT style, UINT captionSource)
{
    CText text;
    if (!text.LoadString(Instance(), textId))
        return IDOK;
    CText captionText;
    if (captionSource & kCaptionProgramName) {
        if (!ProgramNameId() || !captionText.LoadString(Instance(), ProgramNameId()))
            captionText = "Lintel";
    } else if (captionSource & kCaptionFromId) {
        if (!captionText.LoadString(Instance(), static_cast<UINT>(reinterpret_cast<UINT_PTR>(caption))))
            return IDOK;
    } else if ((captionSource & kCaptionText) && caption) {
        captionText = caption;
    }
    return MessageBoxA(owner, text.c_str(), captionText.IsEmpty() ? nullptr : captionText.c_str(),
                       style | MB_TASKMODAL);
}

int ReportFatalError(const CError& error, const char* caption)
{
    if (TraceOn())
        LogText(error.Text());
    MessageBoxA(nullptr, error.Text(), caption, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    return 1;
}
