// The New Toolbar Wizard started from the real Lintel as a user starts it,
// through the "Create New Toolbar" dialog: what the user checks becomes a
// toolbar that Lintel builds and saves, and the wizard's file is gone.
#include "HelpDouble.h"
#include "LintelFixture.h"
#include "driver/ToolbarDump.h"
#include "driver/WizardSheet.h"

#include <nlohmann/json.hpp>

#include <objbase.h>
#include <prsht.h>

#include <fstream>
#include <iterator>

namespace {

using driver::WizardSheet;

constexpr UINT kNewToolbarCommand = 5;
constexpr int kUseTheWizard = 1174;

std::vector<std::string> FilesLike(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.emplace_back(data.cFileName);
    while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

int ButtonWindows(HWND toolbar)
{
    return driver::CountChildWindows(toolbar, "CToolButtonWindow");
}

} // namespace

class WizardEndToEndTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        driver::KillProgramsWithWindow("CToolbarWizard");
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    }
    void TearDown() override
    {
        driver::KillProgramsWithWindow("CToolbarWizard");
        LintelProgramTest::TearDown();
        OleUninitialize();
    }

    // The "Create New Toolbar" dialog, answered with the wizard, and the
    // wizard's sheet that Lintel started.
    void ChooseTheWizard(const driver::Process& lintel)
    {
        HWND dialog = driver::WaitForWindow("#32770", "Create New Toolbar", driver::kDefaultTimeout, lintel.Id());
        ASSERT_NE(dialog, nullptr);
        // The wizard is the choice offered when none was stored.
        EXPECT_EQ(IsDlgButtonChecked(dialog, kUseTheWizard), BST_CHECKED);
        SendDlgItemMessageA(dialog, kUseTheWizard, BM_CLICK, 0, 0);
        ASSERT_TRUE(driver::PressButton(dialog, IDOK));
        HWND hidden = driver::WaitForWindow("CToolbarWizard", "New Toolbar Wizard");
        ASSERT_NE(hidden, nullptr);
        ASSERT_TRUE(m_wizard.Attach(driver::WindowProcess(hidden)));
    }

    // A short search may be over before the searching page is ever seen.
    void SearchToTheEnd()
    {
        m_wizard.Press(PSBTN_NEXT);
        ASSERT_TRUE(m_wizard.WaitForPage(WizardSheet::kChoose, 60000));
    }

    // What the program's own reader finds in a toolbar file.
    nlohmann::json Dump(const std::string& path)
    {
        return driver::DumpToolbar(path, m_folder);
    }

    // Lintel ends without asking about the saved toolbar.
    void CloseLintel(driver::Process& lintel)
    {
        ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "SaveOnClose", "No"));
        EXPECT_TRUE(Close(lintel));
    }

    WizardSheet m_wizard;
};

TEST_F(WizardEndToEndTest, TheProgramMenusNewToolbarBuildsAndSavesTheCheckedItemsInOrder)
{
    driver::MakerShortcuts shortcuts;
    ASSERT_TRUE(shortcuts.Make(m_folder));
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_COMMAND, kNewToolbarCommand, 0);
    ASSERT_NO_FATAL_FAILURE(ChooseTheWizard(lintel));

    // A name no file may carry still gives a saved toolbar of that name.
    const std::string name = "Tools: a\\b/c*d?e\"f<g>h|i";
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kName));
    SetWindowTextA(m_wizard.Control(WizardSheet::kNameEdit), name.c_str());
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kPosition));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kStyle));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kSearchTypes));
    WizardSheet::ToggleCheck(m_wizard.Control(WizardSheet::kTypeList), 1);   // drives and system folders too
    ASSERT_NO_FATAL_FAILURE(SearchToTheEnd());

    // Checked from the bottom up; the toolbar keeps the order found.  My
    // Computer is an object of the desktop, whose own list is empty.
    const std::vector<std::string> names = m_wizard.FoundNames();
    std::vector<int> picked;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == "My Computer" || names[i].rfind("Maker Acme", 0) == 0
            || names[i].rfind("Maker German Corel", 0) == 0)
            picked.insert(picked.begin(), static_cast<int>(i));
    }
    ASSERT_EQ(picked.size(), 3u);
    for (int index : picked)
        WizardSheet::ToggleCheck(m_wizard.Control(WizardSheet::kFoundList), index);
    ASSERT_TRUE(driver::WaitUntil([&] { return m_wizard.SelectedCount() == "3"; }));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kFinished));
    m_wizard.Press(PSBTN_FINISH);

    HWND toolbar = driver::WaitForWindow("CToolbarWindow", name.c_str(), driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar) == 3; })) << ButtonWindows(toolbar);
    EXPECT_TRUE(m_wizard.WaitForExit());
    EXPECT_TRUE(driver::WaitUntil([&] { return FilesLike(m_folder, "LTL*.tmp").empty(); }));
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, lintel.Id()));

    std::vector<std::string> saved;
    ASSERT_TRUE(driver::WaitUntil([&] { return !(saved = FilesLike(m_folder, "*.ltl")).empty(); }));
    ASSERT_EQ(saved.size(), 1u);
    const nlohmann::json dump = Dump(m_folder + "\\" + saved.front());
    ASSERT_TRUE(dump.is_object()) << saved.front();
    EXPECT_EQ(dump.value("name", std::string()), name);
    std::vector<std::string> files;
    for (const auto& button : dump.value("buttons", nlohmann::json::array()))
        files.push_back(button.value("fileName", std::string()));
    ASSERT_EQ(files.size(), 3u) << dump.dump();
    const nlohmann::json& computer = dump["buttons"][0];
    EXPECT_EQ(computer.value("kindName", std::string()), "folder");
    EXPECT_EQ(computer.value("description", std::string()), "My Computer");
    EXPECT_EQ(computer.value("folderIdBytes", 0), 2);   // the desktop's list: its terminator alone
    EXPECT_TRUE(computer.value("targetOk", false));
    files.erase(files.begin());
    EXPECT_EQ(files, (std::vector<std::string>{shortcuts.PathOf("Maker Acme"), shortcuts.PathOf("Maker German Corel")}));
    CloseLintel(lintel);
}

TEST_F(WizardEndToEndTest, AtTheFirstStartTheWizardWithNothingCheckedGivesAnEmptySavedToolbar)
{
    driver::DeleteRegistryValue(HKEY_CURRENT_USER, kUserKey, "NumToolbars");
    CHelpViewerDouble viewer;
    ASSERT_NE(viewer.Window(), nullptr);
    driver::Process& lintel = Start();
    ASSERT_NE(WaitForMainWindow(lintel), nullptr);
    ASSERT_NO_FATAL_FAILURE(ChooseTheWizard(lintel));

    // Help opens each page's own context of Lintel's help file.
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kName));
    m_wizard.Press(PSBTN_HELP);
    ASSERT_TRUE(driver::WaitUntil([&] { return !viewer.Requests().empty(); }));
    EXPECT_EQ(viewer.Requests()[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(viewer.Requests()[0].data, 701u);
    EXPECT_EQ(viewer.Requests()[0].file, "Lintel.hlp>Popup");
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kPosition));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kStyle));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kSearchTypes));
    viewer.Forget();
    HWND companies = m_wizard.OpenCompanies();
    ASSERT_NE(companies, nullptr);
    PostMessageA(companies, WM_COMMAND, MAKEWPARAM(1025, BN_CLICKED), 0);
    ASSERT_TRUE(driver::WaitUntil([&] { return !viewer.Requests().empty(); }));
    EXPECT_EQ(viewer.Requests()[0].data, 720u);
    PostMessageA(companies, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(driver::WaitForWindowGone(companies));

    // Control Panel applets instead of applications, and none of them checked.
    HWND types = m_wizard.Control(WizardSheet::kTypeList);
    WizardSheet::ToggleCheck(types, 0);
    WizardSheet::ToggleCheck(types, 2);
    ASSERT_NO_FATAL_FAILURE(SearchToTheEnd());
    m_wizard.Press(PSBTN_NEXT);
    HWND box = m_wizard.WaitForBox();
    ASSERT_NE(box, nullptr);
    driver::PressButton(box, IDYES);
    ASSERT_TRUE(m_wizard.WaitForPage(WizardSheet::kFinished));
    m_wizard.Press(PSBTN_FINISH);

    HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Lintel", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(ButtonWindows(toolbar), 0);
    EXPECT_TRUE(m_wizard.WaitForExit());
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::FileExists(m_folder + "\\Lintel.ltl"); }));
    EXPECT_TRUE(driver::WaitUntil([&] { return FilesLike(m_folder, "LTL*.tmp").empty(); }));
    CloseLintel(lintel);
}
