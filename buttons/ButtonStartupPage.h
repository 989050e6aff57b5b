// Page "Startup" of the button properties: dropped files, the window's show
// state and, for a group button, what a left click does.
#pragma once

#include "../common/PropertyPage.h"

class CFileButton;

class CButtonStartupPage : public CPropertyPageBase
{
public:
    struct Values {
        BOOL allowDrops = FALSE;
        BOOL convertTo83 = FALSE;
        int showState = 2;
        BOOL startEvery = FALSE;
    };
    static Values ReadButton(const CFileButton& button);
    static void WriteButton(CFileButton& button, const Values& values);

    explicit CButtonStartupPage(CFileButton* button);

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnHelp(HELPINFO* helpInfo) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;
    BOOL OnReset() override;

private:
    // The 8.3 box means something only while drops are allowed.
    void CoupleConvertBox() const;

    CFileButton* m_button;
    Values m_unchanged;
    Values m_edited;
    BOOL m_canDrop = FALSE;
    BOOL m_applied = FALSE;
};
