#include "AskForFile.h"

#include "../common/Application.h"

#include <commdlg.h>

BOOL AskForFile(HWND owner, UINT filterId, const char* fallbackFilter, char (&file)[MAX_PATH])
{
    CText filter;
    if (!filter.LoadString(AppInstance(), filterId))
        filter = fallbackFilter;
    // The bars of the string table's text stand for the separators.
    filter.Replace('|', '\0');
    file[0] = '\0';
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    return GetOpenFileNameA(&dialog);
}
