// Lintel Wizard's sheet driven from outside, as a user steps through it, and
// the Start Menu shortcuts its applications search is tried on.
//
//   driver::WizardSheet wizard;
//   ASSERT_TRUE(wizard.Start(folder));
//   ASSERT_TRUE(wizard.Next(driver::WizardSheet::kName));
//   ...
//   wizard.Press(PSBTN_FINISH);
#pragma once

#include "Driver.h"

#include <prsht.h>

#include <string>
#include <vector>

namespace driver {

class WizardSheet
{
public:
    // The pages by their index in the sheet.
    enum Page { kWelcome, kName, kPosition, kStyle, kSearchTypes, kSearching, kChoose, kFinished };

    // Controls of the pages and of the companies dialog.
    static constexpr int kNameEdit = 1001;
    static constexpr int kTypeList = 1019;
    static constexpr int kSelectAll = 1020;
    static constexpr int kChooseCompanies = 1021;
    static constexpr int kSearchStatus = 189;
    static constexpr int kFoundList = 1015;
    static constexpr int kClearAll = 1016;
    static constexpr int kSelectedCount = 1018;
    static constexpr int kCompanyList = 1023;

    WizardSheet() = default;
    ~WizardSheet();
    WizardSheet(const WizardSheet&) = delete;
    WizardSheet& operator=(const WizardSheet&) = delete;

    // Starts "Lintel Wizard.exe" in the folder and waits for its sheet.
    bool Start(const std::string& folder);
    // Waits for the sheet of a wizard some other program started.
    bool Attach(DWORD processId, DWORD timeoutMs = kDefaultTimeout);
    Process& GetProcess() { return m_process; }
    DWORD ProcessId() const { return m_processId; }
    bool IsRunning() const;
    bool WaitForExit(DWORD timeoutMs = kDefaultTimeout);

    HWND Sheet() const { return m_sheet; }
    // The index of the page shown, -1 when there is none.
    int CurrentPage() const;
    HWND PageWindow() const;
    HWND Control(int id) const { return GetDlgItem(PageWindow(), id); }
    bool WaitForPage(int page, DWORD timeoutMs = kDefaultTimeout) const;
    // Presses a sheet button (PSBTN_NEXT, PSBTN_BACK, PSBTN_FINISH, PSBTN_CANCEL, PSBTN_HELP).
    void Press(int button) const;
    bool Next(int expected, DWORD timeoutMs = kDefaultTimeout) const;
    bool Back(int expected, DWORD timeoutMs = kDefaultTimeout) const;
    // Clicks a button or radio button of the current page.
    void Click(int id) const;

    // Flips the check of a check-list entry by the wizard's own toggle
    // message, posted to the list's dialog: flips posted one after another
    // are taken in their order.
    static void ToggleCheck(HWND list, int index);
    // Flips it as the user does, selecting the entry and pressing the space
    // bar.  The wizard posts itself the flip of the entry selected when the
    // key arrives, so the caller waits for its effect before the next one.
    static void PressSpaceOn(HWND list, int index);

    // A message box of the wizard (any dialog but the sheet and the
    // companies dialog) and its text.
    HWND WaitForBox(DWORD timeoutMs = kDefaultTimeout) const;
    bool NoBoxFor(DWORD timeoutMs) const;

    // The companies dialog, opened from the search-types page.
    HWND OpenCompanies() const;

    // The found items' names, as page 7 lists them.
    std::vector<std::string> FoundNames() const;
    std::string SelectedCount() const;

private:
    HWND FindBox() const;

    Process m_process;
    DWORD m_processId = 0;
    HWND m_sheet = nullptr;
};

// Shortcuts in the user's and the common Start Menu (a group of the test's
// own in each) to the maker programs built beside the tests, and one to a
// document; removed again when the object goes.
class MakerShortcuts
{
public:
    struct Entry {
        const char* name;      // the shortcut's name, its display name
        const char* target;    // a maker program, or null for the document
        bool common;           // in the common Start Menu
    };
    static const std::vector<Entry>& Entries();

    MakerShortcuts() = default;
    ~MakerShortcuts();
    MakerShortcuts(const MakerShortcuts&) = delete;
    MakerShortcuts& operator=(const MakerShortcuts&) = delete;

    // Makes the entries' shortcuts (the document lies in folder).
    bool Make(const std::string& folder);
    // Adds count shortcuts "<prefix> 000" ... to one program in the user's group.
    bool MakeMany(const std::string& prefix, int count, const std::string& target);
    // The full path of a shortcut made here, by its name.
    std::string PathOf(const std::string& name) const;

    // The names among listed that are shortcuts of the entries (display
    // names, with ".lnk" dropped where the shell shows it), sorted.
    static std::vector<std::string> Ours(const std::vector<std::string>& listed);

private:
    std::vector<std::string> m_groups;
    std::vector<std::pair<std::string, std::string>> m_made;   // name, path
};

// Saves a shortcut to target at path.
bool SaveShortcut(const std::string& path, const std::string& target);

} // namespace driver
