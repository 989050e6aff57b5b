// Page "General" of the button properties: the description and the icon.
#pragma once

#include "../common/PropertyPage.h"
#include "../common/ScopedHandle.h"
#include "../common/Text.h"

class CFileButton;

class CButtonGeneralPage : public CPropertyPageBase
{
public:
    // The values the page edits, as the button holds them.
    struct Values {
        CText description;
        BOOL defaultIcon = TRUE;
        CText iconFile;
        int iconIndex = 0;
    };
    static Values ReadButton(const CFileButton& button);
    static void WriteButton(CFileButton& button, const Values& values);

    explicit CButtonGeneralPage(CFileButton* button);
    ~CButtonGeneralPage() override;

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnHelp(HELPINFO* helpInfo) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;
    BOOL OnReset() override;

    const Values& Edited() const { return m_edited; }

private:
    void ShowPreview();
    void ChangeIcon();

    CFileButton* m_button;
    Values m_unchanged;
    Values m_edited;
    BOOL m_applied = FALSE;
    CIconHandle m_preview;
};
