// Lintel Wizard.exe started and driven from outside against the stand-in
// main program: the refusal without Lintel, the pages' checks, the company
// filter on programs behind shortcuts in both Start Menus, the check limit,
// stopping and cancelling a search, and the toolbar description it hands over.
#include "driver/CompoundFile.h"
#include "driver/Driver.h"
#include "driver/RemoteControls.h"
#include "driver/StandIns.h"
#include "driver/WizardSheet.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using driver::WizardSheet;

constexpr const char* kWizardCaption = "New Toolbar Wizard";

// The description as the main program reads it.
struct Description {
    std::string name;
    std::vector<uint32_t> numbers;   // corner, vertical, size, descriptions, count
    std::vector<std::string> items;  // each pair's parsing name
    bool wellFormed = false;
};

std::string ParsingName(const std::vector<uint8_t>& parent, const std::vector<uint8_t>& item)
{
    LPITEMIDLIST joined = ILCombine(reinterpret_cast<LPCITEMIDLIST>(parent.data()),
                                    reinterpret_cast<LPCITEMIDLIST>(item.data()));
    char path[MAX_PATH]{};
    if (joined) {
        SHGetPathFromIDListA(joined, path);
        CoTaskMemFree(joined);
    }
    return path;
}

Description ReadDescription(const std::string& file)
{
    Description description;
    CompoundContent content;
    if (!ReadCompoundFile(file, content) || !content.streams.count(L"DATA"))
        return description;
    const std::vector<uint8_t>& data = content.streams[L"DATA"];
    size_t at = 0;
    auto u16 = [&](uint16_t& value) {
        if (at + 2 > data.size())
            return false;
        value = static_cast<uint16_t>(data[at] | (data[at + 1] << 8));
        at += 2;
        return true;
    };
    auto u32 = [&](uint32_t& value) {
        uint16_t low = 0, high = 0;
        if (!u16(low) || !u16(high))
            return false;
        value = low | (static_cast<uint32_t>(high) << 16);
        return true;
    };
    auto list = [&](std::vector<uint8_t>& bytes) {
        uint16_t size = 0;
        if (!u16(size) || size < 2 || at + size > data.size())
            return false;
        bytes.assign(data.begin() + at, data.begin() + at + size);
        at += size;
        return true;
    };
    uint16_t length = 0;
    if (!u16(length) || length == 0 || at + length > data.size())
        return description;
    description.name.assign(reinterpret_cast<const char*>(&data[at]), length - 1);
    at += length;
    for (int i = 0; i < 5; ++i) {
        uint32_t number = 0;
        if (!u32(number))
            return description;
        description.numbers.push_back(number);
    }
    for (uint32_t i = 0; i < description.numbers[4]; ++i) {
        std::vector<uint8_t> parent, item;
        if (!list(parent) || !list(item))
            return description;
        description.items.push_back(ParsingName(parent, item));
    }
    description.wellFormed = at == data.size();
    return description;
}

std::vector<std::string> LtlFiles(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA((folder + "\\LTL*.tmp").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.emplace_back(data.cFileName);
    while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

// A wide tree of folders: the applications search enters every one.
void MakeWideTree(const std::string& root, int width)
{
    CreateDirectoryA(root.c_str(), nullptr);
    for (int i = 0; i < width; ++i) {
        const std::string outer = root + "\\W" + std::to_string(i);
        CreateDirectoryA(outer.c_str(), nullptr);
        for (int j = 0; j < width; ++j)
            CreateDirectoryA((outer + "\\V" + std::to_string(j)).c_str(), nullptr);
    }
}

void RemoveWideTree(const std::string& root, int width)
{
    for (int i = 0; i < width; ++i) {
        const std::string outer = root + "\\W" + std::to_string(i);
        for (int j = 0; j < width; ++j)
            RemoveDirectoryA((outer + "\\V" + std::to_string(j)).c_str());
        RemoveDirectoryA(outer.c_str());
    }
    RemoveDirectoryA(root.c_str());
}

} // namespace

class WizardProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver::KillProgramsWithWindow("CToolbarWizard");
        driver::KillProgramsWithWindow("LintelMainWindow");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = driver::MakeTempFolder(std::string(info->test_suite_name()) + "." + info->name());
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    }
    void TearDown() override { OleUninitialize(); }

    // The stand-in runs and the wizard's sheet is up on its first page.
    void StartWizard()
    {
        ASSERT_TRUE(m_lintel.Start(m_folder, true));
        ASSERT_TRUE(m_wizard.Start(m_folder));
    }

    // From the welcome page to the search types, every answer as it is.
    void GoToSearchTypes()
    {
        ASSERT_TRUE(m_wizard.Next(WizardSheet::kName));
        ASSERT_TRUE(m_wizard.Next(WizardSheet::kPosition));
        ASSERT_TRUE(m_wizard.Next(WizardSheet::kStyle));
        ASSERT_TRUE(m_wizard.Next(WizardSheet::kSearchTypes));
    }

    // The companies dialog, with only the named companies left checked
    // (from the given current state); OK closes it.
    void ChooseCompanies(std::vector<bool>& state, const std::vector<std::string>& chosen)
    {
        static const char* const names[] = {"Microsoft", "Lotus",    "Novell", "Borland", "Symantec", "Corel",
                                            "Corvane",   "IBM",      "Netscape", "Adobe", "Aldus",   "All others"};
        HWND dialog = m_wizard.OpenCompanies();
        ASSERT_NE(dialog, nullptr);
        HWND list = GetDlgItem(dialog, WizardSheet::kCompanyList);
        ASSERT_EQ(driver::ListBoxTexts(list), std::vector<std::string>(std::begin(names), std::end(names)));
        for (size_t i = 0; i < std::size(names); ++i) {
            const bool wanted = std::find(chosen.begin(), chosen.end(), names[i]) != chosen.end();
            if (state[i] != wanted)
                WizardSheet::ToggleCheck(list, static_cast<int>(i));
            state[i] = wanted;
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(driver::WaitForWindowGone(dialog));
    }

    // Next from the search types through a search that runs to its end (a
    // short one may be over before the searching page is ever seen).
    void SearchToTheEnd()
    {
        m_wizard.Press(PSBTN_NEXT);
        ASSERT_TRUE(m_wizard.WaitForPage(WizardSheet::kChoose, 60000))
            << driver::ControlText(m_wizard.Control(WizardSheet::kSearchStatus));
    }

    // Presses the box's button after checking its text.
    void AnswerBox(const std::string& text, int button)
    {
        HWND box = m_wizard.WaitForBox();
        ASSERT_NE(box, nullptr) << text;
        EXPECT_EQ(driver::WindowText(box), kWizardCaption);
        EXPECT_EQ(driver::MessageBoxText(box), text);
        driver::PressButton(box, button);
        ASSERT_TRUE(driver::WaitForWindowGone(box));
    }

    std::string m_folder;
    driver::CompanionStandIn m_lintel;
    WizardSheet m_wizard;
};

TEST_F(WizardProgramTest, WithoutTheMainProgramItSaysSoAndEnds)
{
    driver::Process wizard;
    ASSERT_TRUE(wizard.Start(driver::ProgramFolder() + "\\Lintel Wizard.exe", "", m_folder));
    HWND box = driver::WaitForMessageBox(kWizardCaption, driver::kDefaultTimeout, wizard.Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(driver::MessageBoxText(box),
              "The New Toolbar Wizard requires that Lintel be running. The Wizard will now exit.");
    driver::PressButton(box, IDOK);
    EXPECT_TRUE(wizard.WaitForExit());
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, wizard.Id()));
}

TEST_F(WizardProgramTest, EmptyAnswersAreRefusedAndThePageStays)
{
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kName));
    EXPECT_EQ(driver::ControlText(m_wizard.Control(WizardSheet::kNameEdit)), "Lintel");
    SetWindowTextA(m_wizard.Control(WizardSheet::kNameEdit), "");
    m_wizard.Press(PSBTN_NEXT);
    ASSERT_NO_FATAL_FAILURE(AnswerBox("You must enter a toolbar name.", IDOK));
    EXPECT_EQ(m_wizard.CurrentPage(), WizardSheet::kName);
    SetWindowTextA(m_wizard.Control(WizardSheet::kNameEdit), "Tools");
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kPosition));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kStyle));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kSearchTypes));

    // "Applications" is the one type checked at first: unchecked, nothing is.
    HWND types = m_wizard.Control(WizardSheet::kTypeList);
    EXPECT_EQ(driver::ListBoxTexts(types), (std::vector<std::string>{"Applications", "Drives and System Folders",
                                                                     "Control Panel Applets", "Printers"}));
    WizardSheet::PressSpaceOn(types, 0);
    m_wizard.Press(PSBTN_NEXT);
    ASSERT_NO_FATAL_FAILURE(AnswerBox("You must select at least one type of search before continuing.", IDOK));
    EXPECT_EQ(m_wizard.CurrentPage(), WizardSheet::kSearchTypes);

    // Control Panel applets alone; no item checked asks before going on.
    WizardSheet::ToggleCheck(types, 2);
    ASSERT_NO_FATAL_FAILURE(SearchToTheEnd());
    EXPECT_FALSE(m_wizard.FoundNames().empty());
    EXPECT_EQ(m_wizard.SelectedCount(), "0");
    m_wizard.Press(PSBTN_NEXT);
    ASSERT_NO_FATAL_FAILURE(AnswerBox("You have selected no buttons from the list. Would you like to continue?", IDNO));
    EXPECT_EQ(m_wizard.CurrentPage(), WizardSheet::kChoose);
    m_wizard.Press(PSBTN_NEXT);
    ASSERT_NO_FATAL_FAILURE(AnswerBox("You have selected no buttons from the list. Would you like to continue?", IDYES));
    ASSERT_TRUE(m_wizard.WaitForPage(WizardSheet::kFinished));

    // Finished with nothing checked: a description of no items.
    m_wizard.Press(PSBTN_FINISH);
    driver::StandInRecord created;
    ASSERT_TRUE(m_lintel.WaitForRecord("createtb", created));
    const Description description = ReadDescription(created.copy);
    ASSERT_TRUE(description.wellFormed);
    EXPECT_EQ(description.name, "Tools");
    EXPECT_EQ(description.numbers, (std::vector<uint32_t>{0, 1, 1, 0, 0}));
    EXPECT_TRUE(m_wizard.WaitForExit());
}

TEST_F(WizardProgramTest, TheChosenCompaniesDecideWhichProgramsAreFound)
{
    driver::MakerShortcuts shortcuts;
    ASSERT_TRUE(shortcuts.Make(m_folder));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToSearchTypes());

    struct Case {
        std::vector<std::string> chosen;   // empty: every company
        std::vector<std::string> found;
    };
    const Case cases[] = {
        // Every company: each shortcut to a program, none read for its maker.
        {{},
         {"Maker ADOBE", "Maker Acme", "Maker Adobe Systems", "Maker Copyright Only", "Maker Empty Company",
          "Maker German Corel", "Maker Microsoft", "Maker None"}},
        {{"Adobe"}, {"Maker Adobe Systems"}},
        // One company again, another one: searched anew, not kept.
        {{"Corel"}, {"Maker German Corel"}},
        {{"Lotus"}, {"Maker Empty Company"}},
        // Makers the list does not name, in the letter case it names them.
        {{"All others"}, {"Maker ADOBE", "Maker Acme"}},
        {{"Microsoft", "Adobe"}, {"Maker Adobe Systems", "Maker Microsoft"}},
    };
    std::vector<bool> state(12, true);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        std::vector<std::string> chosen = cases[i].chosen;
        if (chosen.empty())
            chosen = {"Microsoft", "Lotus",   "Novell", "Borland", "Symantec", "Corel",
                      "Corvane",   "IBM",     "Netscape", "Adobe", "Aldus",   "All others"};
        ASSERT_NO_FATAL_FAILURE(ChooseCompanies(state, chosen));
        ASSERT_NO_FATAL_FAILURE(SearchToTheEnd());
        EXPECT_EQ(driver::MakerShortcuts::Ours(m_wizard.FoundNames()), cases[i].found);
        ASSERT_TRUE(m_wizard.Back(WizardSheet::kSearchTypes));
    }

    // Unchanged, Next skips the search and keeps the checks.
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kChoose));
    WizardSheet::ToggleCheck(m_wizard.Control(WizardSheet::kFoundList), 0);
    ASSERT_TRUE(driver::WaitUntil([&] { return m_wizard.SelectedCount() == "1"; }));
    ASSERT_TRUE(m_wizard.Back(WizardSheet::kSearchTypes));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kChoose));
    EXPECT_EQ(m_wizard.SelectedCount(), "1");

    // Clearing every company clears "Applications"; checking it again
    // chooses them all.
    ASSERT_TRUE(m_wizard.Back(WizardSheet::kSearchTypes));
    ASSERT_NO_FATAL_FAILURE(ChooseCompanies(state, {}));
    m_wizard.Press(PSBTN_NEXT);
    ASSERT_NO_FATAL_FAILURE(AnswerBox("You must select at least one type of search before continuing.", IDOK));
    WizardSheet::ToggleCheck(m_wizard.Control(WizardSheet::kTypeList), 0);
    ASSERT_NO_FATAL_FAILURE(SearchToTheEnd());
    EXPECT_EQ(driver::MakerShortcuts::Ours(m_wizard.FoundNames()), cases[0].found);
}

TEST_F(WizardProgramTest, FinishHandsOverTheAnswersAndTheCheckedItemsInTheirOrder)
{
    driver::MakerShortcuts shortcuts;
    ASSERT_TRUE(shortcuts.Make(m_folder));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kName));
    SetWindowTextA(m_wizard.Control(WizardSheet::kNameEdit), "Office Tools");
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kPosition));
    m_wizard.Click(24);   // bottom right
    m_wizard.Click(31);   // horizontal
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kStyle));
    m_wizard.Click(1009);   // large
    m_wizard.Click(1012);   // with descriptions
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kSearchTypes));
    ASSERT_NO_FATAL_FAILURE(SearchToTheEnd());

    // One shortcut of each Start Menu, checked from the bottom up: the
    // description keeps the order they were found in.
    const std::vector<std::string> names = m_wizard.FoundNames();
    std::vector<int> picked;
    std::vector<std::string> expected;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].rfind("Maker Acme", 0) == 0 || names[i].rfind("Maker ADOBE", 0) == 0) {
            picked.insert(picked.begin(), static_cast<int>(i));
            expected.push_back(shortcuts.PathOf(names[i].rfind("Maker Acme", 0) == 0 ? "Maker Acme" : "Maker ADOBE"));
        }
    }
    ASSERT_EQ(picked.size(), 2u);
    // The user's Start Menu is searched before the common one.
    EXPECT_EQ(expected.front(), shortcuts.PathOf("Maker Acme"));
    for (int index : picked)
        WizardSheet::ToggleCheck(m_wizard.Control(WizardSheet::kFoundList), index);
    ASSERT_TRUE(driver::WaitUntil([&] { return m_wizard.SelectedCount() == "2"; })) << m_wizard.SelectedCount();
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kFinished));
    m_wizard.Press(PSBTN_FINISH);

    driver::StandInRecord created;
    ASSERT_TRUE(m_lintel.WaitForRecord("createtb", created));
    EXPECT_TRUE(m_wizard.WaitForExit());
    EXPECT_EQ(created.wParam, 0u);
    ASSERT_EQ(created.atomState, driver::StandInRecord::Atom::Read);
    // The file lies in the wizard's working folder under an "LTL" name; the
    // stand-in leaves it there, as only the real main program deletes it.
    const std::vector<std::string> files = LtlFiles(m_folder);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(created.atom, m_folder + "\\" + files.front());
    const Description description = ReadDescription(created.copy);
    ASSERT_TRUE(description.wellFormed);
    EXPECT_EQ(description.name, "Office Tools");
    EXPECT_EQ(description.numbers, (std::vector<uint32_t>{4, 0, 2, 1, 2}));
    EXPECT_EQ(description.items, expected);
}

TEST_F(WizardProgramTest, The256thCheckIsRefusedAndClearAllUnchecksEverything)
{
    driver::MakerShortcuts shortcuts;
    ASSERT_TRUE(shortcuts.MakeMany("Many", 256, driver::ProgramFolder() + "\\maker_none.exe"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToSearchTypes());
    ASSERT_NO_FATAL_FAILURE(SearchToTheEnd());
    const std::vector<std::string> names = m_wizard.FoundNames();
    std::vector<int> many;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].rfind("Many ", 0) == 0)
            many.push_back(static_cast<int>(i));
    }
    ASSERT_EQ(many.size(), 256u);
    HWND list = m_wizard.Control(WizardSheet::kFoundList);
    for (int i = 0; i < 255; ++i)
        WizardSheet::ToggleCheck(list, many[i]);
    // A hang bound: on a loaded machine the wizard works through the
    // posted flips well after the last key.
    ASSERT_TRUE(driver::WaitUntil([&] { return m_wizard.SelectedCount() == "255"; }, 60000))
        << m_wizard.SelectedCount();

    WizardSheet::ToggleCheck(list, many[255]);
    ASSERT_NO_FATAL_FAILURE(AnswerBox("You have reached the maximum number of buttons allowed on a toolbar. You "
                                      "cannot select any more items.",
                                      IDOK));
    EXPECT_EQ(m_wizard.SelectedCount(), "255");
    // One unchecked makes room for another.
    WizardSheet::ToggleCheck(list, many[0]);
    WizardSheet::ToggleCheck(list, many[255]);
    EXPECT_TRUE(m_wizard.NoBoxFor(500));
    EXPECT_EQ(m_wizard.SelectedCount(), "255");

    m_wizard.Click(WizardSheet::kClearAll);
    EXPECT_TRUE(driver::WaitUntil([&] { return m_wizard.SelectedCount() == "0"; })) << m_wizard.SelectedCount();
}

TEST_F(WizardProgramTest, BackStopsASearchOnItsPageAndCancelDuringOneEndsTheProgram)
{
    char menu[MAX_PATH]{};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, menu, CSIDL_STARTMENU, TRUE));
    const std::string tree = std::string(menu) + "\\Lintel Wizard Wide";
    MakeWideTree(tree, 40);   // 40 + 40 * 40 folders to enter
    struct Cleanup {
        std::string tree;
        ~Cleanup() { RemoveWideTree(tree, 40); }
    } cleanup{tree};
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToSearchTypes());
    HWND types = m_wizard.Control(WizardSheet::kTypeList);
    WizardSheet::ToggleCheck(types, 2);   // Control Panel applets too

    ASSERT_TRUE(m_wizard.Next(WizardSheet::kSearching));
    ASSERT_TRUE(driver::WaitUntil([&] {
        const std::string status = driver::ControlText(m_wizard.Control(WizardSheet::kSearchStatus));
        return status == "Initializing..." || status == "Searching...";
    }));
    ASSERT_TRUE(m_wizard.Back(WizardSheet::kSearchTypes));
    // The stopped search does not carry the sheet on to its results.
    EXPECT_TRUE(m_wizard.NoBoxFor(1500));
    EXPECT_EQ(m_wizard.CurrentPage(), WizardSheet::kSearchTypes);

    // The stopped search counts for nothing: the same choice searches again.
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kSearching));
    EXPECT_TRUE(m_wizard.NoBoxFor(300));
    EXPECT_EQ(m_wizard.CurrentPage(), WizardSheet::kSearching);
    const DWORD before = GetTickCount();
    m_wizard.Press(PSBTN_CANCEL);
    ASSERT_TRUE(m_wizard.WaitForExit(15000));
    std::printf("cancel during the search ended the wizard in %lu ms\n",
                static_cast<unsigned long>(GetTickCount() - before));
    EXPECT_EQ(m_wizard.GetProcess().ExitCode(), 0u);
    driver::StandInRecord created;
    EXPECT_FALSE(m_lintel.WaitForRecord("createtb", created, 300));
    EXPECT_TRUE(LtlFiles(m_folder).empty());
}

TEST_F(WizardProgramTest, ScreenshotsOfThePositionPreviewAndTheResults)
{
    driver::MakerShortcuts shortcuts;
    ASSERT_TRUE(shortcuts.Make(m_folder));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kName));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kPosition));
    m_wizard.Click(22);   // top right
    m_wizard.Click(31);   // horizontal
    EXPECT_TRUE(driver::Screenshot("wizard-position"));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kStyle));
    ASSERT_TRUE(m_wizard.Next(WizardSheet::kSearchTypes));
    WizardSheet::ToggleCheck(m_wizard.Control(WizardSheet::kTypeList), 1);   // drives and system folders too
    ASSERT_NO_FATAL_FAILURE(SearchToTheEnd());
    HWND list = m_wizard.Control(WizardSheet::kFoundList);
    WizardSheet::ToggleCheck(list, 0);
    WizardSheet::ToggleCheck(list, 2);
    ASSERT_TRUE(driver::WaitUntil([&] { return m_wizard.SelectedCount() == "2"; }));
    EXPECT_TRUE(driver::Screenshot("wizard-results"));
}
