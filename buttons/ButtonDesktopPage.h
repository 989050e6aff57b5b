// Page "Desktop" of the button properties: the virtual desktop a button opens
// its target on.  The sheet adds it only while the virtual-desktop product
// says it is running, and keeps the product's library loaded for the page.
#pragma once

#include "../common/PropertyPage.h"

class CFileButton;
class CVirtualDesktop;

class CButtonDesktopPage : public CPropertyPageBase
{
public:
    struct Values {
        BOOL useCurrentDesktop = TRUE;
        DWORD desktopX = 0;
        DWORD desktopY = 0;
    };
    static Values ReadButton(const CFileButton& button);
    static void WriteButton(CFileButton& button, const Values& values);

    CButtonDesktopPage(CFileButton* button, const CVirtualDesktop* library);

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnHelp(HELPINFO* helpInfo) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;
    BOOL OnReset() override;

private:
    CFileButton* m_button;
    const CVirtualDesktop* m_library;
    Values m_unchanged;
    Values m_edited;
    BOOL m_applied = FALSE;
};
