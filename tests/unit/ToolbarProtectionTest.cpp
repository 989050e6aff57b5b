// Toolbar protection: the password table and comparison, SetProtection, and
// what each protection bit blocks in the toolbar's own menu and commands.
#include "ToolbarFixture.h"
#include "ModalLoop.h"
#include "driver/Driver.h"
#include "driver/StandIns.h"
#include "resources/lintel/resource.h"
#include "toolbars/Password.h"

#include <ole2.h>

#include <map>
#include <set>
#include <string>

TEST(Password, TableIsAPermutationThatKeepsTheTerminator)
{
    EXPECT_EQ(ScramblePasswordByte(0), 0);
    std::set<int> images;
    for (int value = 1; value < 256; ++value) {
        const int image = ScramblePasswordByte(static_cast<unsigned char>(value));
        EXPECT_NE(image, 0) << value;
        images.insert(image);
    }
    EXPECT_EQ(images.size(), 255u) << "two bytes scramble alike";
    // Every byte of a password is kept, the last one too.
    const std::string typed = "\x81pass\xFF";
    EXPECT_EQ(ScramblePassword(typed.c_str()).Length(), static_cast<int>(typed.size()));
}

TEST(Password, ComparisonTellsEveryByteApart)
{
    struct Case {
        const char* stored;
        const char* typed;
        bool same;
    };
    // "a" and "A" scramble to a pair of accented capitals and small letters,
    // which a comparison without regard to case takes as one.
    const Case cases[] = {
        {"Secret", "Secret", true}, {"Secret", "secret", false}, {"Secret", "SECRET", false},
        {"a", "A", false},          {"Secret", "Secre", false},  {"Secret", "Secret ", false},
        {"", "", true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(SamePassword(ScramblePassword(cases[i].stored), ScramblePassword(cases[i].typed)), cases[i].same);
    }
    EXPECT_NE(std::string(ScramblePassword("Secret").c_str()), "Secret");
}

TEST_F(ToolbarTest, SetProtectionNeedsTheStoredPasswordWhileOneIsRequired)
{
    struct Case {
        const char* name;
        BOOL required;
        const char* given;   // as typed
        BOOL accepted;
    };
    const Case cases[] = {
        {"no password asked", FALSE, "", TRUE},
        {"no password given", TRUE, "", FALSE},
        {"other letter case", TRUE, "secret", FALSE},
        {"the password", TRUE, "Secret", TRUE},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        CToolbar* toolbar = MakeToolbar(entry.name);
        toolbar->SetPasswordSettings(ScramblePassword("Secret"), entry.required, FALSE);
        toolbar->ClearDirty();
        EXPECT_EQ(toolbar->SetProtection(TRUE, kProtectAdd | kProtectRemove, ScramblePassword(entry.given)),
                  entry.accepted);
        EXPECT_EQ(toolbar->Settings().protection.enabled, entry.accepted);
        EXPECT_EQ(toolbar->IsRestricted(kProtectRemove), entry.accepted);
        EXPECT_FALSE(toolbar->IsRestricted(kProtectDrag));
        EXPECT_EQ(toolbar->IsDirty(), entry.accepted);
        EXPECT_EQ(driver::WindowText(toolbar->Handle()), std::string(entry.name) + (entry.accepted ? " (P)" : ""));
    }
}

TEST_F(ToolbarTest, ANewToolbarTurnedProtectedBlocksOnlyDragging)
{
    CToolbar* toolbar = MakeToolbar("Fresh");
    ASSERT_TRUE(toolbar->SetProtection(TRUE, toolbar->Settings().protection.level, CText()));
    EXPECT_EQ(driver::WindowText(toolbar->Handle()), "Fresh (P)");
    for (DWORD bit = 1; bit <= kProtectToolbarProperties; bit <<= 1) {
        SCOPED_TRACE(bit);
        EXPECT_EQ(toolbar->IsRestricted(bit) != FALSE, bit == kProtectDrag);
    }
}

// The toolbar menu's items and commands under each protection bit alone.
class ToolbarProtectionTest : public ToolbarTest
{
protected:
    void SetUp() override
    {
        ToolbarTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        m_folder = driver::MakeTempFolder("protection");
        m_toolbar = MakeToolbar("Guarded");
        m_button = AddTestButton(m_toolbar);
    }
    void TearDown() override
    {
        OleSetClipboard(nullptr);
        OleUninitialize();
        ToolbarTest::TearDown();
    }

    void Protect(DWORD level)
    {
        m_toolbar->ChangeSettings([level](ToolbarSettings& settings) {
            settings.protection.enabled = TRUE;
            settings.protection.level = level;
        });
    }

    // Shows the toolbar menu and reads which of its commands are greyed.
    std::map<UINT, bool> ToolbarMenuGreyed()
    {
        std::map<UINT, bool> greyed;
        DuringModalLoop read([&] {
            HWND window = nullptr;
            driver::WaitUntil([&] {
                window = driver::FindTopWindow("#32768", nullptr, GetCurrentProcessId());
                return window && IsWindowVisible(window);
            });
            if (window) {
                auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
                for (UINT id : kMenuCommands)
                    greyed[id] = (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
            }
            EndMenu();
        });
        m_toolbar->ShowToolbarMenu(m_toolbar->Handle(), FALSE);
        EXPECT_TRUE(read.Ran());
        return greyed;
    }

    // Whether a double click on the free space still offers the Add menu.
    bool DoubleClickShowsAddMenu()
    {
        bool shown = false;
        DuringModalLoop look([&] {
            shown = driver::FindTopWindow("#32768", nullptr, GetCurrentProcessId()) != nullptr;
            EndMenu();
        });
        SendMessageA(m_toolbar->Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 1));
        return shown;
    }

    static constexpr UINT kMenuCommands[] = {IDC_TB_ADD_SHORTCUT, IDC_TB_LAUNCH_EXPLORER, IDC_TB_PASTE,
                                             IDC_TB_DOCK,         IDC_TB_UNDOCK,          IDC_TB_HORIZONTAL,
                                             IDC_TB_VERTICAL,     IDC_TB_ALWAYS_ON_TOP,   IDC_TB_SHOW_MENU_BUTTON,
                                             IDC_TB_AUTOHIDE};

    std::string m_folder;
    CToolbar* m_toolbar = nullptr;
    TestButton* m_button = nullptr;
};

TEST_F(ToolbarProtectionTest, EachBitBlocksTheToolbarPathsItNames)
{
    // Which bits block each command of the toolbar menu.
    const std::map<UINT, DWORD> blockedBy = {
        {IDC_TB_ADD_SHORTCUT, kProtectAdd},
        {IDC_TB_LAUNCH_EXPLORER, kProtectAdd},
        {IDC_TB_PASTE, kProtectAdd | kProtectClipboard},
        {IDC_TB_DOCK, kProtectToolbarProperties},
        {IDC_TB_UNDOCK, kProtectToolbarProperties},
        {IDC_TB_HORIZONTAL, kProtectToolbarProperties},
        {IDC_TB_VERTICAL, kProtectToolbarProperties},
        {IDC_TB_ALWAYS_ON_TOP, kProtectToolbarProperties},
        {IDC_TB_SHOW_MENU_BUTTON, kProtectToolbarProperties},
        {IDC_TB_AUTOHIDE, kProtectToolbarProperties},
    };
    const std::string pasted = m_folder + "\\Pasted";
    CreateDirectoryA(pasted.c_str(), nullptr);

    for (DWORD bit = 1; bit <= kProtectToolbarProperties; bit <<= 1) {
        SCOPED_TRACE(bit);
        Protect(bit);
        ASSERT_TRUE(driver::PutShellItemsOnClipboard({pasted}));
        const std::map<UINT, bool> greyed = ToolbarMenuGreyed();
        for (const auto& [id, bits] : blockedBy) {
            SCOPED_TRACE(id);
            ASSERT_EQ(greyed.count(id), 1u);
            EXPECT_EQ(greyed.at(id), (bits & bit) != 0);
        }
        EXPECT_EQ(DoubleClickShowsAddMenu(), bit != kProtectAdd);

        // The commands themselves, as if posted from outside the menu.
        const int before = m_toolbar->Count();
        SendMessageA(m_toolbar->Handle(), WM_COMMAND, IDC_TB_PASTE, 0);
        EXPECT_EQ(m_toolbar->Count() == before, (bit & (kProtectAdd | kProtectClipboard)) != 0);
        while (m_toolbar->Count() > before)
            m_toolbar->Remove(m_toolbar->Count() - 1);
        SendMessageA(m_toolbar->Handle(), WM_COMMAND, IDC_TB_ALWAYS_ON_TOP, 0);
        EXPECT_EQ(m_toolbar->Settings().alwaysOnTop, bit != kProtectToolbarProperties);
        m_toolbar->ChangeSettings([](ToolbarSettings& settings) { settings.alwaysOnTop = FALSE; });

        // A blocked drag never starts; an allowed one would run OLE's loop.
        if (bit == kProtectDrag) {
            EXPECT_FALSE(m_toolbar->DragStart(m_button));
        }
    }
}
