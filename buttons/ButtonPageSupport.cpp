#include "ButtonPageSupport.h"

#include "FileButton.h"
#include "../common/Application.h"
#include "../common/Help.h"
#include "../resources/lintel/resource.h"

#include <vector>

namespace buttonpages {

CText ControlText(HWND dialog, int control, int limit)
{
    std::vector<char> text(static_cast<size_t>(limit) + 1, '\0');
    GetDlgItemTextA(dialog, control, text.data(), limit + 1);
    return CText(text.data());
}

void Check(HWND dialog, int control, BOOL checked)
{
    CheckDlgButton(dialog, control, checked ? BST_CHECKED : BST_UNCHECKED);
}

BOOL IsChecked(HWND dialog, int control)
{
    return IsDlgButtonChecked(dialog, control) == BST_CHECKED;
}

void Enable(HWND dialog, int control, BOOL enabled)
{
    EnableWindow(GetDlgItem(dialog, control), enabled);
}

void ShowPageMessage(const CFileButton* button, HWND page, UINT textId)
{
    CApplication* application = button ? button->Application() : nullptr;
    if (application) {
        application->DisplayMessage(page, textId, MAKEINTRESOURCEA(IDS_BUTTON_PROPERTIES), MB_OK | MB_ICONEXCLAMATION,
                                    kCaptionFromId);
        return;
    }
    CText text;
    CText caption;
    text.LoadString(AppInstance(), textId);
    caption.LoadString(AppInstance(), IDS_BUTTON_PROPERTIES);
    MessageBoxA(page, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

BOOL ShowControlHelp(const CFileButton*, const HELPINFO* helpInfo, const DWORD* helpIds)
{
    if (!helpInfo || helpInfo->iContextType != HELPINFO_WINDOW || !helpInfo->hItemHandle)
        return TRUE;
    // The pop-up help finds its topic by the control's id in the table, so
    // the request must come from the control itself, not from the toolbar.
    CText helpFile;
    if (helpFile.LoadString(AppInstance(), IDS_HELP_FILE))
        ShowHelp(static_cast<HWND>(helpInfo->hItemHandle), helpFile.c_str(), HELP_WM_HELP,
                 reinterpret_cast<ULONG_PTR>(helpIds));
    return TRUE;
}

} // namespace buttonpages
