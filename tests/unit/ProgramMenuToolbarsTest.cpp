// The toolbars' part of the program menu and its commands.
#include "ToolbarFixture.h"
#include "app/ProgramMenu.h"
#include "resources/lintel/resource.h"

namespace {

struct Item {
    UINT id;
    std::string text;   // empty for separators
    bool submenu;
};

std::vector<Item> Items(HMENU menu)
{
    std::vector<Item> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        const CMenuItemData* data = MenuItemData(menu, i);
        items.push_back({info.wID, data ? data->text.c_str() : "", info.hSubMenu != nullptr});
    }
    return items;
}

} // namespace

TEST_F(ToolbarTest, OneToolbarPutsItsButtonsStraightIntoTheMenu)
{
    CToolbar* toolbar = MakeToolbar("Only");
    TestButton* first = AddTestButton(toolbar);
    first->SetDescription("Editor");
    AddSpace(toolbar);
    AddTestButton(toolbar);   // no description
    CProgramMenu menu;
    BuildMenu(menu.Handle(), *m_set);
    const std::vector<Item> items = Items(menu.Handle());
    const std::vector<Item> want = {
        {1000, "Editor", false}, {0, "", false}, {1002, "No description", false}, {0, "", false},
        {1300, "Hide", false},   {1301, "Bring to front", false}, {1302, "Properties...", false},
        {1303, "Close", false},
    };
    ASSERT_GE(items.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].id, want[i].id);
        EXPECT_EQ(items[i].text, want[i].text);
    }
    // No "All toolbars" with a single toolbar.
    for (const Item& item : items)
        EXPECT_NE(item.id, 1u);
}

TEST_F(ToolbarTest, SeveralToolbarsBecomeSubmenusWithAllToolbars)
{
    MakeToolbar("First");
    CToolbar* second = MakeToolbar("Second");
    AddTestButton(second)->SetDescription("Mail");
    m_set->Hide(1);
    CProgramMenu menu;
    BuildMenu(menu.Handle(), *m_set);
    const std::vector<Item> items = Items(menu.Handle());
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[0].id, 1000u);
    EXPECT_EQ(items[0].text, "First");
    EXPECT_TRUE(items[0].submenu);
    EXPECT_EQ(items[1].id, 2000u);
    EXPECT_EQ(items[1].text, "Second");
    EXPECT_EQ(items[2].id, 1u);   // "All toolbars"
    EXPECT_TRUE(items[2].submenu);

    const std::vector<Item> inner = Items(GetSubMenu(menu.Handle(), 1));
    ASSERT_EQ(inner.size(), 6u);
    EXPECT_EQ(inner[0].id, 2000u);
    EXPECT_EQ(inner[0].text, "Mail");
    EXPECT_EQ(inner[2].id, 2300u);
    EXPECT_EQ(inner[2].text, "Show");   // the second toolbar is hidden
}

TEST_F(ToolbarTest, ToolbarCommandsReachTheirToolbar)
{
    MakeToolbar("First");
    CToolbar* second = MakeToolbar("Second");
    TestButton* button = AddTestButton(second);
    EXPECT_TRUE(m_set->OnCommand(2000));
    EXPECT_EQ(button->activations, 1);
    EXPECT_TRUE(m_set->OnCommand(2300));
    EXPECT_EQ(m_set->State(1), CToolbarSet::kHiddenByUser);
    EXPECT_TRUE(m_set->OnCommand(2300));
    EXPECT_EQ(m_set->State(1), CToolbarSet::kShown);
    EXPECT_FALSE(m_set->OnCommand(5000));   // no toolbar in slot 4
    EXPECT_TRUE(m_set->OnCommand(1303));     // closes the first; it was empty, so nothing is asked
    EXPECT_EQ(m_set->Count(), 1);
    EXPECT_EQ(m_set->Toolbar(0), second);
}
