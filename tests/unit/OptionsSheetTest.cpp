// The Options sheet in the program's own process: what the General page
// shows and stores, and the Toolbars page's buttons.  The real program's sheet
// (registry, hotkeys) is driven from outside in the program tests.
#include "ModalLoop.h"
#include "app/MainApp.h"
#include "app/OptionsSheet.h"
#include "resources/lintel/resource.h"
#include "toolbars/ToolbarSet.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>

namespace {

class OptionsSheetTest : public ::testing::Test
{
protected:
    CMainApp m_app{GetModuleHandleA(nullptr), "", SW_SHOWNORMAL};
    CToolbarSet m_set{&m_app, nullptr};
};

} // namespace

namespace {

struct PageState {
    bool openOnStartChecked;
    bool openOnStartEnabled;
    int shortcutsButton;
};

// Opens the Options sheet on a set, reads the General page, runs an action
// on it and ends the sheet with the given button.
PageState RunGeneralPage(CToolbarSet& set, const std::function<void(HWND page)>& action, int endButton)
{
    PageState state{};
    COptionsSheet sheet(&set, nullptr);
    DuringModalLoop step([&] {
        HWND window = FindWindowA(nullptr, "Lintel Options");
        HWND page = PropSheet_GetCurrentPageHwnd(window);
        state.openOnStartChecked = IsDlgButtonChecked(page, IDC_OPT_OPEN_ON_START) == BST_CHECKED;
        state.openOnStartEnabled = IsWindowEnabled(GetDlgItem(page, IDC_OPT_OPEN_ON_START)) != FALSE;
        for (int button = IDC_OPT_ALWAYS_RESOLVE; button <= IDC_OPT_LET_ME_CHOOSE; ++button) {
            if (IsDlgButtonChecked(page, button) == BST_CHECKED)
                state.shortcutsButton = button;
        }
        if (action)
            action(page);
        PropSheet_PressButton(window, endButton);
    });
    EXPECT_TRUE(sheet.Run());
    EXPECT_TRUE(step.Ran());
    return state;
}

} // namespace

TEST_F(OptionsSheetTest, GeneralPageShowsTheSetsOptions)
{
    struct Case {
        BOOL saveOnClose;
        BOOL openOnStart;
        DWORD shortcuts;
        PageState want;
    };
    const Case cases[] = {
        {TRUE, TRUE, 0, {true, true, IDC_OPT_DEFAULT_FOR_FILE}},
        {TRUE, FALSE, 2, {false, true, IDC_OPT_ALWAYS_RESOLVE}},
        // Not saving on close greys open-on-start from the start.
        {FALSE, TRUE, 1, {false, false, IDC_OPT_NEVER_RESOLVE}},
        {TRUE, TRUE, 3, {true, true, IDC_OPT_LET_ME_CHOOSE}},
        {TRUE, TRUE, 7, {true, true, IDC_OPT_DEFAULT_FOR_FILE}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        m_set.ChangeOptions([&](ToolbarSetOptions& options) {
            options.saveOnClose = cases[i].saveOnClose;
            options.openOnStart = cases[i].openOnStart;
            options.shortcuts = cases[i].shortcuts;
        });
        const PageState state = RunGeneralPage(m_set, nullptr, PSBTN_CANCEL);
        EXPECT_EQ(state.openOnStartChecked, cases[i].want.openOnStartChecked);
        EXPECT_EQ(state.openOnStartEnabled, cases[i].want.openOnStartEnabled);
        EXPECT_EQ(state.shortcutsButton, cases[i].want.shortcutsButton);
        // Cancel without Apply leaves the set alone.
        EXPECT_EQ(m_set.Options().openOnStart, cases[i].openOnStart);
        EXPECT_EQ(m_set.Options().shortcuts, cases[i].shortcuts);
    }
}

TEST_F(OptionsSheetTest, GeneralPageAppliesOrRestores)
{
    auto change = [](HWND page) {
        // A user's clicks: tool tips off, "Let me choose", then Apply.
        SendDlgItemMessageA(page, IDC_OPT_TOOLTIPS, BM_CLICK, 0, 0);
        SendDlgItemMessageA(page, IDC_OPT_LET_ME_CHOOSE, BM_CLICK, 0, 0);
        PropSheet_Apply(GetParent(page));
    };
    struct Case {
        int endButton;
        BOOL wantToolTips;
        DWORD wantShortcuts;
    };
    const Case cases[] = {
        {PSBTN_OK, FALSE, 3},
        {PSBTN_CANCEL, TRUE, 0},   // Cancel after Apply takes back what Apply stored
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        m_set.ChangeOptions([](ToolbarSetOptions& options) {
            options.toolTips = TRUE;
            options.shortcuts = 0;
        });
        RunGeneralPage(m_set, change, cases[i].endButton);
        EXPECT_EQ(m_set.Options().toolTips, cases[i].wantToolTips);
        EXPECT_EQ(m_set.Options().shortcuts, cases[i].wantShortcuts);
    }
}


TEST_F(OptionsSheetTest, ToolbarsPageFollowsTheSet)
{
    struct Buttons {
        bool add, open, properties, remove;
    };
    auto read = [](HWND page) {
        auto enabled = [page](int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; };
        return Buttons{enabled(IDC_OPT_NEW), enabled(IDC_OPT_OPEN), enabled(IDC_OPT_PROPERTIES),
                       enabled(IDC_OPT_REMOVE)};
    };
    Buttons before{}, during{};
    int rows = -1;
    COptionsSheet sheet(&m_set, nullptr);
    DuringModalLoop step([&] {
        HWND window = FindWindowA(nullptr, "Lintel Options");
        PropSheet_SetCurSel(window, nullptr, 1);
        HWND page = PropSheet_GetCurrentPageHwnd(window);
        rows = ListView_GetItemCount(GetDlgItem(page, IDC_OPT_TOOLBAR_LIST));
        before = read(page);
        // The "Open toolbar" dialog comes up: the set tells the page, which
        // catches up when the message arrives.
        m_set.SetOpenDialogUp(TRUE);
        m_set.RefreshToolbarsPage();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        during = read(page);
        PropSheet_PressButton(window, PSBTN_CANCEL);
    });
    EXPECT_TRUE(sheet.Run());
    ASSERT_TRUE(step.Ran());
    EXPECT_EQ(rows, 0);
    EXPECT_TRUE(before.add);
    EXPECT_TRUE(before.open);
    // Nothing is selected in an empty list.
    EXPECT_FALSE(before.properties);
    EXPECT_FALSE(before.remove);
    EXPECT_TRUE(during.add);
    EXPECT_FALSE(during.open);
}
