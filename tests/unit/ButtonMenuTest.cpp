// The menus of a program button: the hold menu, and the button menu with the
// target's own commands, its greying rules and its commands.
#include "ButtonTestSupport.h"
#include "ModalLoop.h"
#include "driver/Driver.h"
#include "resources/lintel/resource.h"

#include <string>

namespace {

std::string ItemText(HMENU menu, UINT position)
{
    char text[128]{};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

void PostKey(HWND window, UINT key)
{
    const UINT scanCode = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scanCode << 16)));
    PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(1 | (scanCode << 16) | 0xC0000000u));
}

bool IsGrayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// A program button whose file name is set as stored, without a new target.
class StoredNameButton : public CExecButton
{
public:
    using CExecButton::CExecButton;
    void SetStoredName(const char* name) { m_fileName = name; }
};

} // namespace

class ButtonMenuTest : public ButtonTest
{
protected:
    void SetUp() override
    {
        ButtonTest::SetUp();
        m_program = button_test::CopyEchoProgram(m_folder, "menu.exe");
        ASSERT_FALSE(m_program.empty());
    }

    void Protect(DWORD flags)
    {
        m_toolbar->ChangeSettings([flags](ToolbarSettings& settings) {
            settings.protection.enabled = flags ? TRUE : FALSE;
            settings.protection.level = flags;
        });
    }

    std::string m_program;
};

TEST_F(ButtonMenuTest, HoldMenuOffersParametersOnlyForPrograms)
{
    const std::string document = m_folder + "\\readme.lintmenu";
    driver::WriteTextFile(document, "text");
    ASSERT_TRUE(m_classes.Set(".lintmenu", "LintelTest.Menu"));
    struct Case {
        std::string target;
        bool parametersGrayed;
    };
    const Case cases[] = {{m_program, false}, {document, true}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.target);
        CExecButton* button = AddProgramButton(entry.target);
        ASSERT_NE(button, nullptr);
        CMenuHandle menu = button->BuildHoldMenu();
        HMENU popup = GetSubMenu(menu.Get(), 0);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(ItemText(popup, 0), "&Open with parameters...");
        EXPECT_EQ(IsGrayed(popup, IDC_HOLD_OPEN_WITH), entry.parametersGrayed);
        EXPECT_EQ(ItemText(popup, 1), "&Clear recent file list");
        EXPECT_TRUE(IsGrayed(popup, IDC_HOLD_CLEAR_RECENT)) << "the recent list is empty";
        const int count = GetMenuItemCount(popup);
        EXPECT_EQ(ItemText(popup, count - 1), "No recent files");
        EXPECT_TRUE(GetMenuState(popup, count - 1, MF_BYPOSITION) & MF_GRAYED);
    }
}

TEST_F(ButtonMenuTest, HoldMenuListsTheRecentDocumentsAndOpensThem)
{
    const std::string shortDocument = m_folder + "\\first.txt";
    const std::string gone = m_folder + "\\gone.txt";
    const std::string deep = m_folder + "\\a folder with a long name\\and another one below it";
    CreateDirectoryA((m_folder + "\\a folder with a long name").c_str(), nullptr);
    CreateDirectoryA(deep.c_str(), nullptr);
    const std::string longDocument = deep + "\\report.txt";
    for (const std::string& path : {shortDocument, gone, longDocument})
        driver::WriteTextFile(path, "text");

    CExecButton* button = AddProgramButton(m_program);
    ASSERT_NE(button, nullptr);
    for (const std::string& document : {shortDocument, gone, longDocument}) {
        button->SetModified(FALSE);
        button_test::ForgetEcho(m_program);
        ASSERT_TRUE(button->Execute(document.c_str()));
        EXPECT_EQ(button_test::EchoedArguments(m_program), " \"" + document + "\"");
        EXPECT_TRUE(button->IsModified()) << "a document it opened changes the button";
    }

    CMenuHandle menu = button->BuildHoldMenu();
    HMENU popup = GetSubMenu(menu.Get(), 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(IsGrayed(popup, IDC_HOLD_CLEAR_RECENT));
    // Each path here is longer than a menu shows: drive, first folder, "...", file name.
    const std::string start = m_folder.substr(0, m_folder.find('\\', 3) + 1) + "...\\";
    const struct {
        UINT id;
        std::string text;
    } items[] = {{IDC_HOLD_FIRST_RECENT, start + "report.txt"},
                 {IDC_HOLD_FIRST_RECENT + 1, start + "gone.txt"},
                 {IDC_HOLD_FIRST_RECENT + 2, start + "first.txt"}};
    for (const auto& item : items) {
        SCOPED_TRACE(item.id);
        char text[MAX_PATH]{};
        GetMenuStringA(popup, item.id, text, sizeof text, MF_BYCOMMAND);
        EXPECT_EQ(text, item.text);
        EXPECT_FALSE(IsGrayed(popup, item.id));
    }
    EXPECT_EQ(GetMenuState(popup, IDC_HOLD_FIRST_RECENT + 3, MF_BYCOMMAND), static_cast<UINT>(-1));

    // The oldest entry opens with the program and comes to the top.
    button_test::ForgetEcho(m_program);
    ASSERT_TRUE(button->OpenRecentEntry(2));
    EXPECT_EQ(button_test::EchoedArguments(m_program), " \"" + shortDocument + "\"");
    CText top;
    button->RecentDocuments().GetEntry(0, top);
    EXPECT_STREQ(top.c_str(), shortDocument.c_str());

    // A document that has gone is taken off instead of being started.
    DeleteFileA(gone.c_str());
    button->SetModified(FALSE);
    button_test::ForgetEcho(m_program);
    EXPECT_FALSE(button->OpenRecentEntry(2));
    EXPECT_EQ(button->RecentDocuments().Count(), 2);
    EXPECT_TRUE(button->IsModified());

    button_test::MemoryStorage before;
    ASSERT_TRUE(button->Write2(before.Get(), 0x23000));
    EXPECT_TRUE(before.HasStream(L"RECENT"));
    button->ClearRecentDocuments();
    EXPECT_EQ(button->RecentDocuments().Count(), 0);
    button_test::MemoryStorage after;
    ASSERT_TRUE(button->Write2(after.Get(), 0x23000));
    EXPECT_FALSE(after.HasStream(L"RECENT")) << "the cleared list is no longer stored";
}

TEST_F(ButtonMenuTest, ChosenFromTheHoldMenuARecentDocumentOpensAndTheListClears)
{
    const std::string first = m_folder + "\\first.txt";
    const std::string second = m_folder + "\\second.txt";
    driver::WriteTextFile(first, "text");
    driver::WriteTextFile(second, "text");
    CExecButton* button = AddProgramButton(m_program);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->AddRecentDocument(first.c_str(), TRUE));
    ASSERT_TRUE(button->AddRecentDocument(second.c_str(), TRUE));
    SetCursorPos(400, 300);

    // The menu, from the bottom: first.txt, second.txt, a separator, "Clear
    // recent file list", "Open with parameters".
    struct Case {
        const char* name;
        int upKeys;
        std::string echoed;   // empty: the program is not started
    };
    const Case cases[] = {{"the oldest entry", 1, " \"" + first + "\""}, {"clear the list", 3, ""}};
    bool shown = false;
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        button_test::ForgetEcho(m_program);
        DuringModalLoop choose([&] {
            HWND menu = nullptr;
            driver::WaitUntil([&] {
                menu = driver::FindTopWindow("#32768", nullptr, GetCurrentProcessId());
                return menu != nullptr;
            });
            if (!menu) {
                EndMenu();
                return;
            }
            if (!shown)
                shown = driver::Screenshot("hold-menu-recent");
            for (int i = 0; i < entry.upKeys; ++i)
                PostKey(menu, VK_UP);
            PostKey(menu, VK_RETURN);
        });
        ASSERT_TRUE(button->OnHold());
        EXPECT_TRUE(choose.Ran());
        if (!entry.echoed.empty()) {
            EXPECT_EQ(button_test::EchoedArguments(m_program), entry.echoed);
        }
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(button->RecentDocuments().Count(), 0);
    button_test::MemoryStorage stored;
    ASSERT_TRUE(button->Write2(stored.Get(), 0x23000));
    EXPECT_FALSE(stored.HasStream(L"RECENT"));
}

TEST_F(ButtonMenuTest, TargetSubmenuExceptForFloppiesAndProtectedTargets)
{
    struct Case {
        const char* name;
        const char* storedName;   // null: the real path
        DWORD protection;
        bool target;
    };
    const Case cases[] = {
        {"file", nullptr, 0, true},
        {"drive A:", "A:\\setup.exe", 0, false},
        {"drive b: in small letters", "b:\\setup.exe", 0, false},
        {"target menu protected", nullptr, kProtectTargetMenu, false},
        {"other protection", nullptr, kProtectRemove, true},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        Protect(entry.protection);
        auto* button = new StoredNameButton(m_toolbar, m_app.get(), nullptr);
        ASSERT_TRUE(button->Create(m_program.c_str(), Data(), 3));
        ASSERT_TRUE(InsertButton(m_toolbar, button));
        if (entry.storedName)
            button->SetStoredName(entry.storedName);
        CMenuHandle menu = button->BuildContextMenu();
        HMENU popup = GetSubMenu(menu.Get(), 0);
        ASSERT_NE(popup, nullptr);
        HMENU target = GetSubMenu(popup, 0);
        EXPECT_EQ(target != nullptr, entry.target);
        if (entry.target) {
            EXPECT_EQ(ItemText(popup, 0), "Target");
            EXPECT_GT(GetMenuItemCount(target), 0);
            EXPECT_EQ(ItemText(popup, 1), "Cu&t");
        } else {
            EXPECT_EQ(ItemText(popup, 0), "Cu&t");
        }
        Protect(0);
        m_toolbar->Remove(button);
    }
}

TEST_F(ButtonMenuTest, ButtonMenuGreysWhatTheToolbarForbids)
{
    CExecButton* button = AddProgramButton(m_program);
    ASSERT_NE(button, nullptr);
    const UINT format = RegisterClipboardFormatA("CExecButton");
    struct Case {
        const char* name;
        DWORD protection;
        bool sheetOpen;
        bool buttonOnClipboard;
        bool cut, copy, paste, remove, properties;   // grayed
    };
    const Case cases[] = {
        {"free, empty clipboard", 0, false, false, false, false, true, false, false},
        {"free, button on clipboard", 0, false, true, false, false, false, false, false},
        {"remove protected", kProtectRemove, false, true, true, false, false, true, false},
        {"clipboard protected", kProtectClipboard, false, true, true, true, true, false, false},
        {"properties protected", kProtectButtonProperties, false, true, false, false, false, false, true},
        {"a properties sheet is open", 0, true, true, true, true, true, true, true},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        Protect(entry.protection);
        CFileButton::SetPropertiesButton(entry.sheetOpen ? button : nullptr);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        if (entry.buttonOnClipboard) {
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 16);
            ASSERT_NE(SetClipboardData(format, memory), nullptr);
        }
        CloseClipboard();

        CMenuHandle menu = button->BuildContextMenu();
        HMENU popup = GetSubMenu(menu.Get(), 0);
        ASSERT_TRUE(button->OnInitMenu(popup));
        EXPECT_EQ(IsGrayed(popup, IDC_BTN_CUT), entry.cut);
        EXPECT_EQ(IsGrayed(popup, IDC_BTN_COPY), entry.copy);
        EXPECT_EQ(IsGrayed(popup, IDC_BTN_PASTE), entry.paste);
        EXPECT_EQ(IsGrayed(popup, IDC_BTN_DELETE), entry.remove);
        // Without its property pages the command is always greyed.
        EXPECT_EQ(IsGrayed(popup, IDC_BTN_PROPERTIES), entry.properties || !kHasButtonProperties);
    }
    CFileButton::SetPropertiesButton(nullptr);
    Protect(0);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    // The hold menu is none of the button menu's business.
    CMenuHandle hold = button->BuildHoldMenu();
    EXPECT_FALSE(button->OnInitMenu(GetSubMenu(hold.Get(), 0)));
}

TEST_F(ButtonMenuTest, DeleteRemovesTheButtonUnlessRemovingIsProtected)
{
    CExecButton* kept = AddProgramButton(m_program);
    ASSERT_NE(kept, nullptr);
    Protect(kProtectRemove);
    SendMessageA(kept->Handle(), WM_COMMAND, IDC_BTN_DELETE, 0);
    EXPECT_EQ(m_toolbar->Count(), 1);
    Protect(0);

    HWND window = kept->Handle();
    SendMessageA(window, WM_COMMAND, IDC_BTN_DELETE, 0);
    EXPECT_EQ(m_toolbar->Count(), 0);
    EXPECT_FALSE(IsWindow(window));

    // Cut takes the button away to the clipboard; Paste at another button
    // brings it back.
    CExecButton* other = AddProgramButton(m_program);
    CExecButton* anchor = AddProgramButton(m_program);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(anchor, nullptr);
    SendMessageA(other->Handle(), WM_COMMAND, IDC_BTN_CUT, 0);
    EXPECT_EQ(m_toolbar->Count(), 1);
    SendMessageA(anchor->Handle(), WM_COMMAND, IDC_BTN_PASTE, 0);
    EXPECT_EQ(m_toolbar->Count(), 2);
}
