// The program menu of the real Lintel.exe, opened from the tray icon and
// driven by keyboard: choosing "About..." and "Help Topics" in its Help
// submenu.
#include "HelpDouble.h"
#include "LintelFixture.h"
#include "PopupWindows.h"

namespace {

constexpr UINT kTrayCallback = WM_USER + 101;
constexpr int kVersionControl = 1037;

} // namespace

TEST_F(LintelProgramTest, TrayMenuLeadsToTheAboutBox)
{
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);

    // The menu opens where the mouse is; put it where the picture shows it whole.
    SetCursorPos(700, 500);
    PostMessageA(main, kTrayCallback, 1, WM_RBUTTONUP);
    HWND menu = WaitForMenus(lintel.Id(), 1);
    ASSERT_NE(menu, nullptr);

    // From no selection, Up reaches the last item ("Exit Lintel") and again
    // "Help"; Right opens that submenu on its first item, and Up wraps round
    // to its last, "About...".
    for (UINT key : {VK_UP, VK_UP, VK_RIGHT, VK_UP})
        PostKey(menu, key);
    ASSERT_NE(WaitForMenus(lintel.Id(), 2), nullptr);
    driver::WaitUntil([] { return false; }, 300);   // let the highlight be drawn
    EXPECT_TRUE(driver::Screenshot("program-menu"));
    PostKey(menu, VK_RETURN);

    HWND about = driver::WaitForWindow("CAboutDialog", "About Lintel", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(VisibleMenus(lintel.Id()).empty());
    EXPECT_EQ(driver::WindowText(GetDlgItem(about, kVersionControl)), "Version 2.0.0");
    EXPECT_EQ(driver::ClassName(GetDlgItem(about, kVersionControl)), "CTextControl");
    driver::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(driver::Screenshot("about-box"));

    ASSERT_TRUE(driver::PressButton(about, IDOK));
    EXPECT_TRUE(driver::WaitForWindowGone(about));
    EXPECT_TRUE(lintel.IsRunning());
    EXPECT_TRUE(Close(lintel));
}

// The same submenu's first item asks the help for its contents; the viewer
// double stands in for WinHelp, found first because the .hlp stand-in is
// beside the program.
TEST_F(LintelProgramTest, TrayMenuHelpTopicsAsksForTheContentsOfTheMainHelp)
{
    CHelpViewerDouble viewer;
    ASSERT_NE(viewer.Window(), nullptr);
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);

    SetCursorPos(700, 500);
    PostMessageA(main, kTrayCallback, 1, WM_RBUTTONUP);
    HWND menu = WaitForMenus(lintel.Id(), 1);
    ASSERT_NE(menu, nullptr);
    for (UINT key : {VK_UP, VK_UP, VK_RIGHT})
        PostKey(menu, key);
    ASSERT_NE(WaitForMenus(lintel.Id(), 2), nullptr);
    PostKey(menu, VK_RETURN);

    ASSERT_TRUE(driver::WaitUntil([&] { return !viewer.Requests().empty(); }, driver::kDefaultTimeout));
    EXPECT_TRUE(VisibleMenus(lintel.Id()).empty());
    ASSERT_EQ(viewer.Requests().size(), 1u);
    EXPECT_EQ(viewer.Requests()[0].command, static_cast<UINT>(HELP_FINDER));
    EXPECT_EQ(viewer.Requests()[0].file, "Lintel.hlp>Popup");
    EXPECT_EQ(viewer.Requests()[0].owner, main);
    EXPECT_TRUE(Close(lintel));
}
