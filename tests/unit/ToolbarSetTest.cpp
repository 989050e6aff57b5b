// The toolbar set's slots, options in the registry and hotkeys.
#include "TestSupport.h"
#include "ToolbarFixture.h"
#include "driver/Driver.h"

namespace {

const char* const kUserKey = "Software\\Corvane\\Lintel\\Current";

} // namespace

TEST_F(ToolbarTest, SwitchesReadYesInAnyCaseAndAnythingElseAsNo)
{
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 0);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "ToolTips", "yes");
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "SaveOnClose", "1");
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "OnlyOneOpen", "YES");
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "ToolbarHotkey", 0x0341);
    m_set->ReadStatusFromRegistry();
    EXPECT_TRUE(m_set->Options().toolTips);
    EXPECT_FALSE(m_set->Options().saveOnClose);
    EXPECT_TRUE(m_set->Options().onlyOneOpen);
    EXPECT_EQ(m_set->Options().toolbarHotkey, 0x0341);
    // Missing values keep their defaults.
    EXPECT_TRUE(m_set->Options().openOnStart);
    EXPECT_EQ(m_set->Options().optionsHotkey, 0x047A);
    EXPECT_EQ(m_set->Options().defaultNew, 3u);
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
}

TEST_F(ToolbarTest, FirstStartIsNoKeyOrNoCountNotAZeroCount)
{
    struct Case {
        bool key;
        bool count;
        bool wantFirstStart;
    };
    const Case cases[] = {{false, false, true}, {true, false, true}, {true, true, false}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.key * 2 + entry.count);
        driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
        if (entry.key)
            driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "ToolTips", "Yes");
        if (entry.count)
            driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 0);
        // A first start offers "Create New Toolbar"; Cancel leaves no toolbar.
        const std::string shown =
            AnswerBoxDuring([&] { m_set->ReadStatusFromRegistry(); }, "Create New Toolbar", IDCANCEL);
        EXPECT_EQ(shown != "<no box>", entry.wantFirstStart);
        EXPECT_EQ(m_set->Count(), 0);
    }
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
}

TEST_F(ToolbarTest, WritingStoresOptionsAndOpenFilesInOrder)
{
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
    m_set->ChangeOptions([](ToolbarSetOptions& options) {
        options.toolTips = FALSE;
        options.shortcuts = 3;
    });
    MakeToolbar("One");
    ASSERT_TRUE(m_set->WriteStatusToRegistry());
    DWORD number = 0;
    std::string text;
    EXPECT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", number));
    EXPECT_EQ(number, 1u);
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "ToolTips", text));
    EXPECT_EQ(text, "No");
    EXPECT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kUserKey, "Shortcuts", number));
    EXPECT_EQ(number, 3u);
    // A toolbar never saved has no file: its entry is empty.
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar10", text));
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
}

TEST_F(ToolbarTest, HotkeyHeldElsewhereKeepsTheOldCodeForThatHotkeyOnly)
{
    // Another holder of Alt+F9 (registered first, so ours must fail).
    ASSERT_TRUE(RegisterHotKey(nullptr, 77, MOD_ALT, VK_F9));
    const WORD altF9 = MAKEWORD(VK_F9, HOTKEYF_ALT);
    const WORD ctrlF8 = MAKEWORD(VK_F8, HOTKEYF_CONTROL);
    const WORD shiftAltF7 = MAKEWORD(VK_F7, HOTKEYF_SHIFT | HOTKEYF_ALT);
    EXPECT_EQ(m_set->HotkeysChanged(0x047A, 0x027B, 0x047B), 7);
    EXPECT_EQ(m_set->HotkeysChanged(altF9, ctrlF8, shiftAltF7), 6);
    EXPECT_EQ(m_set->Options().optionsHotkey, 0x047A);
    EXPECT_EQ(m_set->Options().toolbarHotkey, ctrlF8);
    EXPECT_EQ(m_set->Options().showAllHotkey, shiftAltF7);
    // Zero switches a hotkey off and counts as a success.
    EXPECT_EQ(m_set->HotkeysChanged(0, ctrlF8, shiftAltF7), 7);
    EXPECT_EQ(m_set->Options().optionsHotkey, 0);
    UnregisterHotKey(nullptr, 77);
    m_set->HotkeysChanged(0, 0, 0);
}

TEST_F(ToolbarTest, EleventhToolbarIsRefused)
{
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(m_set->Add(new CToolbar(m_app.get(), m_set.get(), nullptr)));
    auto* extra = new CToolbar(m_app.get(), m_set.get(), nullptr);
    EXPECT_FALSE(m_set->Add(extra));
    delete extra;
    BOOL opened = TRUE;
    const std::string text = AnswerBoxDuring(
        [&] { opened = m_set->AddFromFile("C:\\eleven.ltl", FALSE, nullptr, TRUE); }, "Lintel", IDOK);
    EXPECT_EQ(text, "You have opened the maximum number of toolbars allowed. You cannot open any more.");
    EXPECT_FALSE(opened);
    EXPECT_EQ(m_set->Count(), 10);
}

TEST_F(ToolbarTest, RemovingSlotZeroShiftsTheOthersDown)
{
    CToolbar* a = MakeToolbar("A");
    CToolbar* b = MakeToolbar("B");
    CToolbar* c = MakeToolbar("C");
    ASSERT_TRUE(m_set->Hide(2));
    ASSERT_TRUE(m_set->Remove(0));
    EXPECT_EQ(m_set->Count(), 2);
    EXPECT_EQ(m_set->Toolbar(0), b);
    EXPECT_EQ(m_set->Toolbar(1), c);
    EXPECT_EQ(m_set->Toolbar(2), nullptr);
    EXPECT_EQ(m_set->State(1), CToolbarSet::kHiddenByUser);   // the state moved with its toolbar
    EXPECT_EQ(m_set->State(0), CToolbarSet::kShown);
    int index = -1;
    EXPECT_FALSE(m_set->FindToolbar(a, index));
    EXPECT_FALSE(m_set->Remove(5));
}

TEST_F(ToolbarTest, HideAllAndShowHiddenLeaveUserHiddenToolbarsAlone)
{
    CToolbar* shown = MakeToolbar("Shown");
    CToolbar* userHidden = MakeToolbar("Hidden by user");
    m_set->Hide(1);
    m_set->HideAll();
    EXPECT_EQ(m_set->State(0), CToolbarSet::kHiddenForAll);
    EXPECT_EQ(m_set->State(1), CToolbarSet::kHiddenByUser);
    EXPECT_FALSE(IsWindowVisible(shown->Handle()));
    m_set->ShowHidden();
    EXPECT_TRUE(IsWindowVisible(shown->Handle()));
    EXPECT_FALSE(IsWindowVisible(userHidden->Handle()));
    m_set->ShowAll();
    EXPECT_TRUE(IsWindowVisible(userHidden->Handle()));
}

TEST_F(ToolbarTest, RecentToolbarFilesAreNewestFirstRememberedAndOpenedByTheirCommands)
{
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
    const std::string folder = driver::MakeTempFolder("recent-toolbars");
    const char* const names[] = {"Alpha", "Beta", "Gamma"};
    std::vector<std::string> paths;
    for (const char* name : names) {
        CToolbar* toolbar = MakeToolbar(name);
        paths.push_back(folder + "\\" + name + ".ltl");
        ASSERT_TRUE(toolbar->WriteToFile(paths.back().c_str(), 0));
    }
    m_set->CloseAll(0);
    ASSERT_EQ(m_set->Count(), 0);
    EXPECT_EQ(m_set->RecentToolbars().Count(), 0) << "only files opened or saved by hand are listed";

    for (const std::string& path : paths)
        ASSERT_TRUE(m_set->AddFromFile(path.c_str(), FALSE, nullptr, TRUE));
    ASSERT_TRUE(m_set->AddFromFile(paths[0].c_str(), TRUE, nullptr, FALSE)) << "already open";
    ASSERT_EQ(m_set->RecentToolbars().Count(), 3);
    // Named by the open toolbars, and by the files once they are closed.
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        EXPECT_STREQ(m_set->RecentToolbarMenuText(0).c_str(), "Gamma");
        EXPECT_STREQ(m_set->RecentToolbarMenuText(1).c_str(), "Beta");
        EXPECT_STREQ(m_set->RecentToolbarMenuText(2).c_str(), "Alpha");
        m_set->CloseAll(0);
    }
    ASSERT_TRUE(m_set->WriteStatusToRegistry());

    // The next run, with "Beta" gone in between: it is left out.
    DeleteFileA(paths[1].c_str());
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "OpenOnStart", "No");
    CToolbarSet next(m_app.get(), nullptr);
    next.ReadStatusFromRegistry();
    ASSERT_EQ(next.Count(), 0);
    ASSERT_EQ(next.RecentToolbars().Count(), 2);
    EXPECT_STREQ(next.RecentToolbarMenuText(1).c_str(), "Alpha");

    ASSERT_TRUE(next.OnCommand(CToolbarSet::kFirstRecentCommand));
    ASSERT_EQ(next.Count(), 1);
    EXPECT_STREQ(next.Toolbar(0)->Name().c_str(), "Gamma");

    // A file that has gone while the program ran says so when chosen.
    DeleteFileA(paths[0].c_str());
    BOOL opened = TRUE;
    const std::string shown = AnswerBoxDuring(
        [&] { opened = next.OnCommand(CToolbarSet::kFirstRecentCommand + 1); }, "Lintel", IDOK);
    EXPECT_FALSE(opened);
    EXPECT_EQ(shown, "Failed to read file. Check that the file and path exist, and that the file is not corrupted.");
    EXPECT_EQ(next.Count(), 1);
    next.CloseAll(0);
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
}
