// "Choose an icon": the icons of an .ico file, or of the icon groups of a
// DLL or program, for a button to show instead of its target's own icon.
#pragma once

#include "../common/DialogBase.h"
#include "../common/Text.h"

#include <commctrl.h>

#include <vector>

class CFileButton;

// What the dialog makes of a file name, by its last three characters.
enum IconFileKind { kIconFileUnknown, kIconFileIco, kIconFileDll, kIconFileExe };
IconFileKind KindOfIconFile(const char* name);

// The numeric identifiers of a module's icon groups, in resource order.
// Groups named by a text are left out.
std::vector<int> NumericIconGroups(HMODULE module);

// The list position to select for the current icon index: the item whose
// stored index is the current one, or, for the shell's zero-based ordinals,
// the item at that position; else the first.
int PreselectedIcon(const std::vector<int>& storedIndexes, int currentIndex);

class CIconChooserDialog : public CDialogBase
{
public:
    CIconChooserDialog(CFileButton* button, const CText& iconFile, int iconIndex, HWND owner);
    ~CIconChooserDialog() override;

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnOK() override;
    INT_PTR DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;

    // The choice once the dialog has ended with OK.
    const CText& IconFile() const { return m_iconFile; }
    int IconIndex() const { return m_iconIndex; }

private:
    // The file the dialog opens with when the button has no icon file yet.
    CText StartingFile() const;
    // Fills the list from the file edit; report: show what went wrong.
    BOOL FillList(BOOL report);
    void Browse();
    void Message(UINT textId) const;
    void Help() const;

    CFileButton* m_button;
    CText m_iconFile;
    int m_iconIndex;
    // The stored index of each list item.
    std::vector<int> m_indexes;
    BOOL m_fileEdited = FALSE;
};
