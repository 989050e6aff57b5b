// The Options sheet of the real Lintel.exe: what its pages change, what the
// next start reads from the registry, and a hotkey another program holds.
#include "LintelFixture.h"
#include "PopupWindows.h"

#include <commctrl.h>

namespace {

constexpr UINT kTrayCallback = WM_USER + 101;
constexpr UINT kOptionsCommand = 9;
const char* const kOptionsCaption = "Lintel Options";

// General page
constexpr int kToolTips = 1000;
constexpr int kOpenOnStart = 1001;
constexpr int kSaveOnClose = 1002;
constexpr int kNeverResolve = 1181;
// Hotkeys page
constexpr int kToolbarHotkey = 1106;

HWND OpenOptions(HWND main, DWORD processId)
{
    PostMessageA(main, WM_COMMAND, kOptionsCommand, 0);
    return driver::WaitForWindow("#32770", kOptionsCaption, driver::kDefaultTimeout, processId);
}

void Click(HWND page, int control)
{
    SendDlgItemMessageA(page, control, BM_CLICK, 0, 0);
}

std::string RegistryText(const char* name)
{
    std::string value = "<missing>";
    driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, name, value);
    return value;
}

DWORD RegistryNumber(const char* name)
{
    DWORD value = 0xdeadbeef;
    driver::ReadRegistryDword(HKEY_CURRENT_USER, kUserKey, name, value);
    return value;
}

} // namespace

TEST_F(LintelProgramTest, GeneralPageChoicesReachTheRegistryAtClose)
{
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);
    HWND sheet = OpenOptions(main, lintel.Id());
    ASSERT_NE(sheet, nullptr);
    HWND page = CurrentPage(sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(IsTicked(page, kSaveOnClose));
    EXPECT_TRUE(IsTicked(page, kOpenOnStart));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kOpenOnStart)));

    // Without saving on close there is nothing to open at the next start.
    Click(page, kSaveOnClose);
    EXPECT_FALSE(IsTicked(page, kSaveOnClose));
    EXPECT_FALSE(IsTicked(page, kOpenOnStart));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kOpenOnStart)));
    Click(page, kToolTips);
    Click(page, kNeverResolve);
    driver::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(driver::Screenshot("options-general"));

    // A second request while the sheet is up does nothing, and the menu
    // offers no Options item to choose (the picture shows it greyed).
    PostMessageA(main, WM_COMMAND, kOptionsCommand, 0);
    SetCursorPos(900, 700);
    PostMessageA(main, kTrayCallback, 1, WM_RBUTTONUP);
    HWND menu = WaitForMenus(lintel.Id(), 1);
    ASSERT_NE(menu, nullptr);
    driver::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(driver::Screenshot("program-menu-options-up"));
    PostKey(menu, VK_ESCAPE);
    EXPECT_TRUE(driver::WaitUntil([&] { return VisibleMenus(lintel.Id()).empty(); }));
    EXPECT_EQ(CountTopWindows("#32770", kOptionsCaption, lintel.Id()), 1);

    ASSERT_TRUE(driver::PressButton(sheet, IDOK));
    ASSERT_TRUE(driver::WaitForWindowGone(sheet));
    ASSERT_TRUE(Close(lintel));

    EXPECT_EQ(RegistryText("SaveOnClose"), "No");
    EXPECT_EQ(RegistryText("OpenOnStart"), "No");
    EXPECT_EQ(RegistryText("ToolTips"), "No");
    EXPECT_EQ(RegistryText("AllowTab"), "Yes");
    EXPECT_EQ(RegistryNumber("Shortcuts"), 1u);
}

TEST_F(LintelProgramTest, HotkeyHeldElsewhereShowsMessage63AndKeepsTheOldCode)
{
    // This test program holds Ctrl+Shift+F9, as another program would.
    struct HeldHotkey {
        HeldHotkey() : held(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, VK_F9) != FALSE) {}
        ~HeldHotkey()
        {
            if (held)
                UnregisterHotKey(nullptr, 1);
        }
        bool held;
    } hotkey;
    ASSERT_TRUE(hotkey.held);
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);
    HWND sheet = OpenOptions(main, lintel.Id());
    ASSERT_NE(sheet, nullptr);
    SendMessageA(sheet, PSM_SETCURSEL, 2, 0);
    HWND page = CurrentPage(sheet);
    ASSERT_NE(GetDlgItem(page, kToolbarHotkey), nullptr);
    EXPECT_EQ(SendDlgItemMessageA(page, kToolbarHotkey, HKM_GETHOTKEY, 0, 0), 0x027B);

    const WORD clash = MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    SendDlgItemMessageA(page, kToolbarHotkey, HKM_SETHOTKEY, clash, 0);
    driver::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(driver::Screenshot("options-hotkeys"));
    ASSERT_TRUE(driver::PressButton(sheet, IDOK));

    HWND box = driver::WaitForMessageBox("Lintel", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(driver::MessageBoxText(box),
              "One or more of the hotkeys clash with hotkeys already set in the system.");
    driver::PressButton(box, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(box));

    // The sheet stays on the page, which shows the code still in force.
    EXPECT_TRUE(IsWindow(sheet));
    EXPECT_EQ(CurrentPage(sheet), page);
    EXPECT_EQ(SendDlgItemMessageA(page, kToolbarHotkey, HKM_GETHOTKEY, 0, 0), 0x027B);

    ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
    ASSERT_TRUE(driver::WaitForWindowGone(sheet));
    ASSERT_TRUE(Close(lintel));

    EXPECT_EQ(RegistryNumber("ToolbarHotkey"), 0x027Bu);
    EXPECT_EQ(RegistryNumber("OptionsHotkey"), 0x047Au);
    EXPECT_EQ(RegistryNumber("ShowAllHotkey"), 0x047Bu);
}
