// Page "Target" of the button properties: what the button starts, and for a
// program button its parameters and start-in folder.
#pragma once

#include "../common/PropertyPage.h"
#include "../common/Text.h"

class CFileButton;

class CButtonTargetPage : public CPropertyPageBase
{
public:
    struct Values {
        CText fileName;
        CText parameters;
        CText startIn;
    };
    static Values ReadButton(const CFileButton& button);
    static void WriteButton(CFileButton& button, const Values& values);

    explicit CButtonTargetPage(CFileButton* button);

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;
    BOOL OnReset() override;

private:
    // 0 when the texts can be taken, else the message that refuses them.
    UINT CheckTexts(const Values& values) const;
    void BrowseFile();
    void BrowseFolder();
    // A chosen path into the control, in a form a toolbar file can keep;
    // a path with none is refused with a word to the user.
    void TakeChosenPath(const wchar_t* path, int control);

    CFileButton* m_button;
    Values m_unchanged;
    Values m_edited;
    BOOL m_applied = FALSE;
    // The refusal box runs its own message loop, in which a second OK or
    // another tab asks the page to be left again.
    BOOL m_refusing = FALSE;
};

// What the Target page refuses on leaving: 0 when the values can be taken,
// else the message to show.  An Internet address must be non-empty and hold
// no blank; a file-system target needs a name, a folder button an existing
// folder, and any other button a start-in folder that exists when given.
UINT CheckTargetTexts(int kind, BOOL fileSystem, const char* fileName, const char* startIn);
