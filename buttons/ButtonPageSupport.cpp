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
    if (!helpInfo || helpInfo->iContextType != HELPINFO_WINDOW || !helpInfo->hItemHandle || !helpIds)
        return TRUE;
    HWND control = static_cast<HWND>(helpInfo->hItemHandle);
    const DWORD controlId = static_cast<DWORD>(GetDlgCtrlID(control));
    DWORD context = 0;
    for (const DWORD* pair = helpIds; pair[0]; pair += 2) {
        if (pair[0] == controlId) {
            context = pair[1];
            break;
        }
    }
    if (!context)
        return TRUE;
    // The pop-up of the control's own context is what HELP_WM_HELP shows;
    // asked for directly it also reaches Wine's WinHelp, which refuses
    // HELP_WM_HELP.  The pop-up belongs to the control, not to the toolbar.
    CText helpFile;
    if (helpFile.LoadString(AppInstance(), IDS_HELP_FILE))
        ShowHelp(control, helpFile.c_str(), HELP_CONTEXTPOPUP, context);
    return TRUE;
}

} // namespace buttonpages
