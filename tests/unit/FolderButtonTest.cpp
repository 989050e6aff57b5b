// The contents menu of a folder button: what a folder shows, the columns and
// limits of one menu level, sub-folders read only when pointed at, and what
// choosing an entry does.
#include "ButtonTestSupport.h"
#include "buttons/FolderButton.h"
#include "driver/Driver.h"
#include "resources/lintel/resource.h"

#include <set>
#include <string>
#include <vector>

namespace {

// One menu item as the user would see it.
struct Item {
    std::string text;
    UINT id = 0;          // 0 for separators and submenus
    HMENU submenu = nullptr;
    bool separator = false;
    bool grayed = false;
    bool columnBreak = false;
};

std::vector<Item> Items(HMENU menu)
{
    std::vector<Item> items;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[MAX_PATH]{};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        Item item;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            item.text = text;
            item.submenu = info.hSubMenu;
            item.id = info.hSubMenu ? 0 : info.wID;
            item.separator = (info.fType & MFT_SEPARATOR) != 0;
            item.grayed = (info.fState & MFS_GRAYED) != 0;
            item.columnBreak = (info.fType & MFT_MENUBARBREAK) != 0;
        }
        items.push_back(item);
    }
    return items;
}

const Item* Find(const std::vector<Item>& items, const std::string& text)
{
    for (const Item& item : items) {
        if (item.text == text)
            return &item;
    }
    return nullptr;
}

void MakeFiles(const std::string& folder, const std::string& prefix, int count)
{
    for (int i = 0; i < count; ++i)
        driver::WriteTextFile(folder + "\\" + prefix + std::to_string(1000 + i) + ".txt", "x");
}

std::string MakeFolder(const std::string& path)
{
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

} // namespace

class FolderButtonTest : public ButtonTest
{
protected:
    CFolderButton* AddFolderButton(const std::string& path)
    {
        CItemId full;
        if (!full.Set(CText(path.c_str())))
            return nullptr;
        CItemId item;
        full.Split(&item);
        auto button = std::make_unique<CFolderButton>(m_toolbar, m_app.get(), nullptr);
        if (!button->Create(full.List(), item.List(), Data(), 3))
            return nullptr;
        return InsertButton(m_toolbar, button.release());
    }

    // Points at a submenu item the way the menu's own loop reports it.
    static void PointAt(CFolderButton* button, HMENU menu, UINT position)
    {
        SendMessageA(button->Handle(), WM_MENUSELECT, MAKEWPARAM(position, MF_POPUP | MF_HILITE),
                     reinterpret_cast<LPARAM>(menu));
    }
};

TEST_F(FolderButtonTest, EmptyFolderOffersOpenAndAGrayedNoFiles)
{
    CFolderButton* button = AddFolderButton(MakeFolder(m_folder + "\\empty"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->AllowsDrops()) << "a writable folder takes drops";
    CMenuHandle menu = button->BuildContentsMenu();
    ASSERT_TRUE(menu);
    const std::vector<Item> items = Items(menu.Get());
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "&Open...");
    EXPECT_EQ(items[0].id, CFolderButton::kFirstEntryCommand);
    EXPECT_FALSE(items[0].grayed);
    EXPECT_TRUE(items[1].separator);
    EXPECT_EQ(items[2].text, "No files");
    EXPECT_TRUE(items[2].grayed);
    EXPECT_NE(items[2].id, items[0].id);
    button->EndContentsMenu();
    EXPECT_FALSE(button->HasContentsMenu());
}

TEST_F(FolderButtonTest, LongFoldersGoIntoColumnsAndStopAt251Items)
{
    const int itemHeight = GetSystemMetrics(SM_CYMENU) - 2;
    const int screenHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    const int perScreen = screenHeight / itemHeight;
    struct Case {
        int files;
        int shown;
    };
    const Case cases[] = {
        {perScreen + 5, perScreen + 5},   // just more than one column
        {300, CFolderButton::kMaxMenuItems},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const std::string folder = MakeFolder(m_folder + "\\long" + std::to_string(i));
        MakeFiles(folder, "file", cases[i].files);
        CFolderButton* button = AddFolderButton(folder);
        ASSERT_NE(button, nullptr);
        CMenuHandle menu = button->BuildContentsMenu();
        const std::vector<Item> items = Items(menu.Get());
        ASSERT_EQ(items.size(), static_cast<size_t>(cases[i].shown + 2));   // "&Open..." and a separator
        EXPECT_EQ(items[0].text, "&Open...");

        // Every entry has its own command, the files in menu order.
        std::set<UINT> ids;
        for (size_t position = 2; position < items.size(); ++position) {
            EXPECT_EQ(items[position].id, CFolderButton::kFirstEntryCommand + position - 2);
            ids.insert(items[position].id);
        }
        ids.insert(items[0].id);
        EXPECT_EQ(ids.size(), static_cast<size_t>(cases[i].shown + 1));

        // Columns: more than one, and none taller than the screen.
        int columns = 1;
        int inColumn = 0;
        for (const Item& item : items) {
            if (item.columnBreak) {
                EXPECT_LE((inColumn - 1) * itemHeight, screenHeight);   // the separator is thin
                ++columns;
                inColumn = 0;
            }
            ++inColumn;
        }
        EXPECT_LE(inColumn * itemHeight, screenHeight);
        EXPECT_GE(columns, cases[i].shown * itemHeight / screenHeight + 1);
        button->EndContentsMenu();
    }
}

TEST_F(FolderButtonTest, SubFoldersAreFilledOnceWhenPointedAt)
{
    const std::string top = MakeFolder(m_folder + "\\top");
    const std::string sub = MakeFolder(top + "\\sub");
    MakeFolder(sub + "\\inner");
    driver::WriteTextFile(sub + "\\deep.txt", "x");
    driver::WriteTextFile(top + "\\a&b.txt", "x");
    CFolderButton* button = AddFolderButton(top);
    ASSERT_NE(button, nullptr);
    CMenuHandle menu = button->BuildContentsMenu();
    const std::vector<Item> items = Items(menu.Get());
    ASSERT_EQ(items.size(), 4u);
    EXPECT_NE(Find(items, "a&&b.txt"), nullptr) << "an ampersand is shown, not taken as a mnemonic";
    const Item* subItem = Find(items, "sub");
    ASSERT_NE(subItem, nullptr);
    ASSERT_NE(subItem->submenu, nullptr);
    EXPECT_EQ(GetMenuItemCount(subItem->submenu), 0) << "not read before it is pointed at";
    const UINT subPosition = static_cast<UINT>(subItem - items.data());

    PointAt(button, menu.Get(), subPosition);
    const std::vector<Item> subItems = Items(subItem->submenu);
    ASSERT_EQ(subItems.size(), 4u);
    EXPECT_EQ(subItems[0].text, "&Open...");
    EXPECT_TRUE(subItems[1].separator);
    const Item* inner = Find(subItems, "inner");
    ASSERT_NE(inner, nullptr);
    EXPECT_NE(inner->submenu, nullptr);
    ASSERT_NE(Find(subItems, "deep.txt"), nullptr);

    // Pointing again reads nothing more; the new commands follow the old ones.
    PointAt(button, menu.Get(), subPosition);
    EXPECT_EQ(GetMenuItemCount(subItem->submenu), 4);
    std::set<UINT> ids;
    for (const std::vector<Item>* list : {&items, &subItems}) {
        for (const Item& item : *list) {
            if (item.id && !item.separator) {
                EXPECT_TRUE(ids.insert(item.id).second) << item.text;
            }
        }
    }

    // An empty sub-folder, once pointed at, says so.
    PointAt(button, subItem->submenu, static_cast<UINT>(inner - subItems.data()));
    const std::vector<Item> innerItems = Items(inner->submenu);
    ASSERT_EQ(innerItems.size(), 3u);
    EXPECT_EQ(innerItems[2].text, "No files");
    EXPECT_TRUE(innerItems[2].grayed);

    // Without a menu up, pointing does nothing.
    button->EndContentsMenu();
    EXPECT_FALSE(button->FillSubmenu(menu.Get(), subPosition));
}

TEST_F(FolderButtonTest, ChosenEntryOpensOrReportsAccessDenied)
{
    // Documents of a registered type open with their program; the echo
    // program stands in for it and reports the path it was given.
    const std::string opener = button_test::CopyEchoProgram(m_folder, "opener.exe");
    ASSERT_FALSE(opener.empty());
    ASSERT_TRUE(m_classes.Set(".lintfold", "LintelTest.Folder"));
    ASSERT_TRUE(m_classes.Set("LintelTest.Folder\\shell\\open\\command", "\"" + opener + "\" \"%1\""));
    const std::string top = MakeFolder(m_folder + "\\chosen");
    const std::string sub = MakeFolder(top + "\\sub");
    driver::WriteTextFile(sub + "\\letter.lintfold", "x");
    driver::WriteTextFile(sub + "\\unknown.lintnone", "x");
    CFolderButton* button = AddFolderButton(top);
    ASSERT_NE(button, nullptr);

    struct Case {
        const char* name;
        bool opened;
        const char* box;
    };
    const Case cases[] = {
        {"letter.lintfold", true, "<no box>"},
        {"unknown.lintnone", false, "Access was denied to the specified file."},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        button_test::ForgetEcho(opener);
        // The sub-folder's entry comes before the files' entries, so their
        // commands are not their places in the entry list.
        CMenuHandle menu = button->BuildContentsMenu();
        const std::vector<Item> items = Items(menu.Get());
        const Item* subItem = Find(items, "sub");
        ASSERT_NE(subItem, nullptr);
        PointAt(button, menu.Get(), static_cast<UINT>(subItem - items.data()));
        const Item* chosen = Find(Items(subItem->submenu), entry.name);
        ASSERT_NE(chosen, nullptr);
        BOOL opened = FALSE;
        const std::string box = AnswerBoxDuring([&] { opened = button->OpenEntry(chosen->id); }, "Lintel", IDOK);
        EXPECT_EQ(opened != FALSE, entry.opened);
        EXPECT_EQ(box, entry.box);
        if (entry.opened) {
            EXPECT_EQ(button_test::EchoedArguments(opener), "\"" + sub + "\\" + entry.name + "\"");
        }
        button->EndContentsMenu();
    }
}
