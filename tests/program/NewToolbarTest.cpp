// New toolbars made through the "Create New Toolbar" dialog of the real
// program: names of the files they are saved in, the hint, the first start.
#include "LintelFixture.h"

namespace {

constexpr UINT kNewToolbarCommand = 5;
constexpr int kBlank = 1172;
constexpr int kDefaultButtons = 1173;
constexpr int kDontShowAgain = 1064;

HWND WaitForDialog(const char* caption, DWORD processId)
{
    return driver::WaitForWindow("#32770", caption, driver::kDefaultTimeout, processId);
}

void Choose(HWND dialog, int radio)
{
    SendMessageA(GetDlgItem(dialog, radio), BM_CLICK, 0, 0);
    driver::PressButton(dialog, IDOK);
    driver::WaitForWindowGone(dialog, 3000);
}

int CountToolbars(DWORD processId)
{
    return driver::CountTopWindows("CToolbarWindow", nullptr, processId);
}

} // namespace

TEST_F(LintelProgramTest, BlankToolbarsAreSavedUnderFreeNumberedNames)
{
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);

    PostMessageA(main, WM_COMMAND, kNewToolbarCommand, 0);
    HWND dialog = WaitForDialog("Create New Toolbar", lintel.Id());
    ASSERT_NE(dialog, nullptr);
    Choose(dialog, kBlank);
    // The hint follows; this time it is asked not to come again.
    HWND hint = WaitForDialog("Lintel", lintel.Id());
    ASSERT_NE(hint, nullptr);
    SendMessageA(GetDlgItem(hint, kDontShowAgain), BM_CLICK, 0, 0);
    driver::PressButton(hint, IDOK);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::FileExists(m_folder + "\\Lintel.ltl"); }, 5000));

    PostMessageA(main, WM_COMMAND, kNewToolbarCommand, 0);
    dialog = WaitForDialog("Create New Toolbar", lintel.Id());
    ASSERT_NE(dialog, nullptr);
    // The last choice is offered again.
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kBlank), BM_GETCHECK, 0, 0), BST_CHECKED);
    Choose(dialog, kBlank);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::FileExists(m_folder + "\\Lintel 1.ltl"); }, 5000));
    EXPECT_TRUE(driver::NoMessageBoxFor("Lintel", 500, lintel.Id()));
    EXPECT_EQ(CountToolbars(lintel.Id()), 2);

    ASSERT_TRUE(Close(lintel));
    std::string value;
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "NewToolbarHelp", value));
    EXPECT_EQ(value, "No");
    DWORD choice = 0;
    EXPECT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kUserKey, "DefaultNew", choice));
    EXPECT_EQ(choice, 1u);
}

TEST_F(LintelProgramTest, CancelAtTheFirstStartLeavesTheProgramRunning)
{
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "ShowTips", 0);
    driver::DeleteRegistryValue(HKEY_CURRENT_USER, kUserKey, "ShowTips");
    driver::Process& lintel = Start();
    HWND dialog = WaitForDialog("Create New Toolbar", lintel.Id());
    ASSERT_NE(dialog, nullptr);
    driver::PressButton(dialog, IDCANCEL);
    ASSERT_NE(WaitForMainWindow(lintel), nullptr);
    EXPECT_TRUE(lintel.IsRunning());
    EXPECT_EQ(CountToolbars(lintel.Id()), 0);
    // A first start opens the tip program as well; wait for it so that the
    // fixture can close it rather than leave it holding the test's output.
    EXPECT_NE(driver::WaitForWindow("LintelTipsWindow", nullptr), nullptr);
}

TEST_F(LintelProgramTest, DefaultButtonsToolbarHoldsTheComputerAndControlPanel)
{
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "NewToolbarHelp", "No");
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_COMMAND, kNewToolbarCommand, 0);
    HWND dialog = WaitForDialog("Create New Toolbar", lintel.Id());
    ASSERT_NE(dialog, nullptr);
    Choose(dialog, kDefaultButtons);
    HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Lintel", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::FileExists(m_folder + "\\Lintel.ltl"); }, 5000));
    // My Computer and the Control Panel as folder buttons, then a space:
    // at least two button windows.
    int buttons = 0;
    for (HWND child = FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr); child;
         child = FindWindowExA(toolbar, child, "CToolButtonWindow", nullptr))
        ++buttons;
    EXPECT_GE(buttons, 2);
    driver::Screenshot("program-default-buttons-toolbar");
}
