// Group buttons: refused on their own toolbar, starting every button of a
// group of groups without recursing, empty targets opened instead, open
// targets used as they are, and a target that cannot be read.
#include "ButtonTestSupport.h"
#include "buttons/GroupButton.h"
#include "driver/Driver.h"
#include "resources/lintel/resource.h"

#include <string>
#include <vector>

namespace {

const char* const kOwnToolbarText =
    "You cannot create a button whose target is the toolbar the button is on. Please add the button to a "
    "different toolbar.";

int ButtonWindows(HWND toolbar)
{
    int count = 0;
    for (HWND child = FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr); child;
         child = FindWindowExA(toolbar, child, "CToolButtonWindow", nullptr))
        ++count;
    return count;
}

std::string ItemText(HMENU menu, UINT position)
{
    char text[128]{};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

} // namespace

class GroupButtonTest : public ButtonTest
{
protected:
    void SetUp() override
    {
        ButtonTest::SetUp();
        // The shell opens toolbar files with the echo program, which stands in
        // for the program's own hand-over and reports the file it was given.
        m_opener = button_test::CopyEchoProgram(m_folder, "opener.exe");
        ASSERT_FALSE(m_opener.empty());
        ASSERT_TRUE(m_classes.Set(".ltl", "LintelTest.Toolbar"));
        ASSERT_TRUE(m_classes.Set("LintelTest.Toolbar\\shell\\open\\command", "\"" + m_opener + "\" \"%1\""));
    }

    // A toolbar file holding a button for each path ("" for a space), written
    // by a toolbar of the set that is closed again.
    std::string SaveToolbar(const std::string& name, const std::vector<std::string>& targets)
    {
        CToolbar* toolbar = MakeToolbar(name.c_str());
        for (const std::string& target : targets) {
            if (target.empty())
                EXPECT_NE(AddSpace(toolbar), nullptr);
            else
                EXPECT_TRUE(toolbar->AddButtonFromPath(target.c_str())) << target;
        }
        const std::string path = m_folder + "\\" + name + ".ltl";
        EXPECT_TRUE(toolbar->WriteToFile(path.c_str(), 0));
        m_set->RemoveToolbar(toolbar);
        return path;
    }

    CGroupButton* AddGroupButton(const std::string& target, BOOL startEvery)
    {
        const int before = m_toolbar->Count();
        if (!m_toolbar->AddButtonFromPath(target.c_str()) || m_toolbar->Count() != before + 1)
            return nullptr;
        auto* button = dynamic_cast<CGroupButton*>(m_toolbar->Button(before));
        if (button)
            button->SetStartEvery(startEvery);
        return button;
    }

    std::string Opened(DWORD timeoutMs = 5000) { return button_test::EchoedArguments(m_opener, timeoutMs); }

    std::string m_opener;
};

TEST_F(GroupButtonTest, ButtonForItsOwnToolbarIsRefused)
{
    const std::string own = m_folder + "\\Own.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(own.c_str(), 0));
    m_toolbar->SetFileName(own.c_str());
    const std::string other = SaveToolbar("Other", {});

    struct Case {
        const char* name;
        std::string target;
        bool byItemIds;
        bool refused;
    };
    std::string otherCase = own;
    CharUpperBuffA(&otherCase[0], static_cast<DWORD>(otherCase.size()));
    const Case cases[] = {
        {"same path", own, false, true},
        {"other letter case", otherCase, false, true},
        {"dropped as a shell object", own, true, true},
        {"another toolbar", other, false, false},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        const int before = m_toolbar->Count();
        BOOL added = FALSE;
        const std::string box = AnswerBoxDuring(
            [&] {
                if (entry.byItemIds) {
                    CItemId folder;
                    ASSERT_TRUE(folder.Set(CText(entry.target.c_str())));
                    CItemId item;
                    folder.Split(&item);
                    added = m_toolbar->AddButtonFromItemIds(folder, item);
                } else {
                    added = m_toolbar->AddButtonFromPath(entry.target.c_str());
                }
            },
            "Lintel", IDOK);
        EXPECT_EQ(added == FALSE, entry.refused);
        EXPECT_EQ(box, entry.refused ? kOwnToolbarText : "<no box>");
        EXPECT_EQ(m_toolbar->Count(), before + (entry.refused ? 0 : 1));
        EXPECT_EQ(ButtonWindows(m_toolbar->Handle()), m_toolbar->Count()) << "no window left behind";
    }
}

TEST_F(GroupButtonTest, StartEveryOpensInnerGroupsInsteadOfStartingThem)
{
    const std::string innerProgram = button_test::CopyEchoProgram(m_folder, "inner.exe");
    const std::string outerProgram = button_test::CopyEchoProgram(m_folder, "outer.exe");
    ASSERT_FALSE(innerProgram.empty());
    ASSERT_FALSE(outerProgram.empty());
    const std::string inner = SaveToolbar("Inner", {innerProgram});
    // The inner group starts every button too: only its own click may do that.
    {
        CToolbar* toolbar = MakeToolbar("Outer");
        ASSERT_TRUE(toolbar->AddButtonFromPath(inner.c_str()));
        dynamic_cast<CGroupButton*>(toolbar->Button(0))->SetStartEvery(TRUE);
        ASSERT_TRUE(toolbar->AddButtonFromPath(outerProgram.c_str()));
        ASSERT_NE(AddSpace(toolbar), nullptr);
        ASSERT_TRUE(toolbar->WriteToFile((m_folder + "\\Outer.ltl").c_str(), 0));
        m_set->RemoveToolbar(toolbar);
    }
    const std::string outer = m_folder + "\\Outer.ltl";
    CGroupButton* group = AddGroupButton(outer, TRUE);
    ASSERT_NE(group, nullptr);

    // The hold menu lists the target's buttons, a separator for the space.
    // The target is not open: it is read for its buttons and never shown.
    std::unique_ptr<IGroupTarget> target = group->OpenTarget();
    ASSERT_TRUE(target);
    EXPECT_EQ(FindWindowA("CToolbarWindow", "Outer"), nullptr);
    CMenuHandle menu = CGroupButton::BuildButtonMenu(*target);
    ASSERT_EQ(GetMenuItemCount(menu.Get()), 3);
    for (UINT position : {0u, 1u}) {
        EXPECT_EQ(ItemText(menu.Get(), position), target->Button(static_cast<int>(position))->Description().c_str());
        EXPECT_EQ(GetMenuItemID(menu.Get(), static_cast<int>(position)), position + 1);
    }
    EXPECT_EQ(ItemText(menu.Get(), 0).rfind("Inner", 0), 0u);
    EXPECT_TRUE(GetMenuState(menu.Get(), 2, MF_BYPOSITION) & MF_SEPARATOR);
    target.reset();

    group->Activate(0);
    EXPECT_EQ(button_test::EchoedArguments(outerProgram), "");
    EXPECT_EQ(Opened(), "\"" + inner + "\"");
    EXPECT_EQ(button_test::EchoedArguments(innerProgram, 1500), "<not started>");
    EXPECT_TRUE(group->IsTargetOk());

    // Started from a menu or another group (flag 1), a group opens its toolbar.
    button_test::ForgetEcho(m_opener);
    button_test::ForgetEcho(outerProgram);
    group->Activate(1);
    EXPECT_EQ(Opened(), "\"" + outer + "\"");
    EXPECT_EQ(button_test::EchoedArguments(outerProgram, 1000), "<not started>");
}

TEST_F(GroupButtonTest, EmptyTargetIsOpenedByClickAndHold)
{
    const std::string empty = SaveToolbar("Empty", {});
    CGroupButton* group = AddGroupButton(empty, TRUE);
    ASSERT_NE(group, nullptr);
    struct Case {
        const char* name;
        bool hold;
    };
    const Case cases[] = {{"click", false}, {"hold", true}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        button_test::ForgetEcho(m_opener);
        if (entry.hold)
            EXPECT_TRUE(group->OnHold());
        else
            group->Activate(0);
        EXPECT_EQ(Opened(), "\"" + empty + "\"");
    }
}

TEST_F(GroupButtonTest, OpenTargetIsUsedWithoutReadingItAgain)
{
    const std::string path = SaveToolbar("Shown", {""});
    CToolbar* shown = MakeToolbar("Shown");
    ASSERT_TRUE(shown->Open(path.c_str(), 2));
    CGroupButton* group = AddGroupButton(path, FALSE);
    ASSERT_NE(group, nullptr);
    // Gone from the disk, the file could not be read again.
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    std::unique_ptr<IGroupTarget> target = group->OpenTarget();
    ASSERT_TRUE(target);
    ASSERT_EQ(target->Count(), 1);
    EXPECT_EQ(target->Button(0), shown->Button(0));
    target.reset();

    // Once the toolbar is closed, the missing file is reported and the
    // button drawn as broken.
    m_set->RemoveToolbar(shown);
    for (bool hold : {false, true}) {
        SCOPED_TRACE(hold ? "hold" : "start every");
        group->SetTargetOk(TRUE);
        BOOL result = TRUE;
        const std::string box = AnswerBoxDuring(
            [&] { result = hold ? group->OnHold() : group->StartEveryButton(); }, "Lintel", IDOK);
        EXPECT_EQ(box, "Failed to open toolbar.");
        EXPECT_FALSE(result);
        EXPECT_FALSE(group->IsTargetOk());
    }
}
