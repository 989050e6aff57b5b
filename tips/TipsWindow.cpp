#include "TipsWindow.h"

#include "GettingStartedDialog.h"
#include "../common/Help.h"
#include "TipOfTheDayDialog.h"
#include "../common/Application.h"
#include "../common/ControlMessages.h"
#include "../resources/tips/tips_res.h"

namespace {

// A main program that stops answering must not freeze this one for good;
// one that is merely busy showing help gets plenty of time.
constexpr UINT kHelpAnswerTimeoutMs = 60000;

CText LoadText(UINT id)
{
    CText text;
    text.LoadString(AppInstance(), id);
    return text;
}

} // namespace

CTipsWindow::CTipsWindow(CApplication* application, Mode mode) : CWindowBase(application, nullptr), m_mode(mode) {}

BOOL CTipsWindow::RegisterClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = StaticWindowProc;
    windowClass.cbWndExtra = kExtraBytes;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TIPS));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = LINTEL_TIPS_CLASS;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

BOOL CTipsWindow::Create()
{
    return CWindowBase::Create(0, LINTEL_TIPS_CLASS, LoadText(IDS_TIPS_NAME), WS_OVERLAPPED, CW_USEDEFAULT,
                               CW_USEDEFAULT, 0, 0, nullptr, nullptr);
}

HWND CTipsWindow::FindMainProgram()
{
    return FindWindowA(LINTEL_MAIN_CLASS, "Lintel");
}

BOOL CTipsWindow::RequestHelp(WPARAM kind, LPARAM item, HWND owner)
{
    HWND main = FindMainProgram();
    DWORD_PTR answer = 0;
    if (main && SendMessageTimeoutA(main, UM_HELPREQUEST, kind, item, SMTO_ABORTIFHUNG, kHelpAnswerTimeoutMs, &answer)
        && answer == 1) {
        m_helpUsed = TRUE;
        return TRUE;
    }
    Application()->DisplayMessage(owner, IDS_MSG_NO_HELP_ITEM, nullptr, MB_OK | MB_ICONINFORMATION,
                                  kCaptionProgramName);
    return FALSE;
}

void CTipsWindow::RunDialog(Mode mode)
{
    auto alive = AliveToken();
    if (mode == kGettingStarted) {
        CGettingStartedDialog dialog(this);
        m_gettingStarted = &dialog;
        dialog.DoModal();
        if (!*alive)
            return;
        m_gettingStarted = nullptr;
    } else {
        CTipOfTheDayDialog dialog(this);
        dialog.DoModal();
        if (!*alive)
            return;
    }
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

LRESULT CTipsWindow::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case UM_SHOW_TIP_OF_THE_DAY:
        RunDialog(kTipOfTheDay);
        return 0;
    case UM_SHOW_GETTING_STARTED:
        RunDialog(kGettingStarted);
        return 0;
    case UM_TCARDCLOSED:
        if (m_gettingStarted)
            m_gettingStarted->LessonEnded();
        return 0;
    default:
        return CWindowBase::WindowProc(message, first, second);
    }
}

BOOL CTipsWindow::OnDestroy()
{
    if (m_helpUsed)
        ::ShowHelp(Handle(), LoadText(IDS_HELP_FILE).c_str(), HELP_QUIT, 0);
    PostQuitMessage(0);
    return TRUE;
}
