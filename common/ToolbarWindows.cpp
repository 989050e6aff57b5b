#include "ToolbarWindows.h"

#include "ControlMessages.h"

#include <cstring>

namespace {

constexpr const char kProtectedMark[] = " (P)";

} // namespace

HWND FindMainProgramWindow()
{
    return FindWindowA(LINTEL_MAIN_CLASS, "Lintel");
}

BOOL IsToolbarWindowOf(HWND window, HWND main)
{
    if (!window || !main || !IsWindow(window) || GetAncestor(window, GA_PARENT) != GetDesktopWindow())
        return FALSE;
    char className[64]{};
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpiA(className, LINTEL_TOOLBAR_CLASS) != 0)
        return FALSE;
    DWORD toolbarProcess = 0;
    DWORD mainProcess = 0;
    GetWindowThreadProcessId(window, &toolbarProcess);
    GetWindowThreadProcessId(main, &mainProcess);
    return toolbarProcess != 0 && toolbarProcess == mainProcess;
}

void StripProtectedMark(char* title)
{
    if (!title)
        return;
    const size_t markLength = sizeof kProtectedMark - 1;
    const size_t length = std::strlen(title);
    if (length > markLength && std::strcmp(title + length - markLength, kProtectedMark) == 0)
        title[length - markLength] = '\0';
}
