#include "test_resource.h"
#include "common/DialogBase.h"
#include "common/PropertyPage.h"
#include "common/WindowBase.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Wizard button ids of the common controls' property sheet.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;

// Runs the steps of a script one per timer tick while a modal loop (dialog or
// sheet) owns the thread; the last step must end that loop.
class TimerScript
{
public:
    explicit TimerScript(std::vector<std::function<void()>> steps) : m_steps(std::move(steps))
    {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 50, Tick);
    }
    ~TimerScript()
    {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    bool Finished() const { return m_next >= m_steps.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TimerScript* self = s_current;
        if (self && self->m_next < self->m_steps.size())
            self->m_steps[self->m_next++]();
    }

    std::vector<std::function<void()>> m_steps;
    size_t m_next = 0;
    UINT_PTR m_timer = 0;
    static TimerScript* s_current;
};

TimerScript* TimerScript::s_current = nullptr;

class TestDialog : public CDialogBase
{
public:
    TestDialog() : CDialogBase(IDD_TEST_DIALOG, nullptr) {}
};

} // namespace

TEST(DialogBase, ReturnsOneForOkAndTwoForCancelOrEscape)
{
    struct Case {
        const char* name;
        std::function<void(HWND)> action;
        INT_PTR want;
    };
    const Case cases[] = {
        {"OK", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); }, IDOK},
        {"Cancel", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }, IDCANCEL},
        {"Escape",
         [](HWND dialog) {
             HWND edit = GetDlgItem(dialog, IDC_TEST_EDIT);
             PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
             PostMessageA(edit, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001));
         },
         IDCANCEL},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        TestDialog dialog;
        TimerScript script({[&] { entry.action(dialog.Handle()); },
                            [&] { EndDialog(dialog.Handle(), 99); }});   // only reached on failure
        EXPECT_EQ(dialog.DoModal(), entry.want);
    }
}

namespace {

class TestPage : public CPropertyPageBase
{
public:
    TestPage(UINT templateId, bool valid = true) : CPropertyPageBase(templateId, nullptr, nullptr), m_valid(valid) {}
    BOOL OnKillActive() override { return m_valid; }
    BOOL OnWizardNext(int& target) override
    {
        target = m_nextTarget;
        return m_nextAllowed;
    }

    bool m_valid;
    int m_nextTarget = -1;
    bool m_nextAllowed = true;
};

HWND CurrentPage(HWND sheet)
{
    return PropSheet_GetCurrentPageHwnd(sheet);
}

} // namespace

TEST(PropertySheetBase, InvalidPageKeepsTheSheetOnIt)
{
    CPropertySheetBase sheet(nullptr, nullptr);
    auto* first = new TestPage(IDD_TEST_PAGE1, false);
    auto* second = new TestPage(IDD_TEST_PAGE2);
    sheet.Add(first);
    sheet.Add(second);

    HWND firstPage = nullptr;
    HWND stayedOn = nullptr;
    HWND movedTo = nullptr;
    TimerScript script({
        [&] {
            HWND window = first->Sheet();
            firstPage = first->Handle();
            PropSheet_SetCurSel(window, nullptr, 1);
            stayedOn = CurrentPage(window);
        },
        [&] {
            HWND window = first->Sheet();
            first->m_valid = true;
            PropSheet_SetCurSel(window, nullptr, 1);
            movedTo = CurrentPage(window);
        },
        [&] { PropSheet_PressButton(first->Sheet(), PSBTN_CANCEL); },
    });
    EXPECT_EQ(sheet.Show("Sheet"), 1);
    EXPECT_TRUE(script.Finished());
    EXPECT_NE(firstPage, nullptr);
    EXPECT_EQ(stayedOn, firstPage);
    EXPECT_NE(movedTo, stayedOn);
}

TEST(PropertySheetBase, WizardButtonsFollowThePagePosition)
{
    CPropertySheetBase sheet(nullptr, nullptr);
    auto* first = new TestPage(IDD_TEST_PAGE1);
    auto* middle = new TestPage(IDD_TEST_PAGE2);
    auto* last = new TestPage(IDD_TEST_PAGE3);
    sheet.Add(first);
    sheet.Add(middle);
    sheet.Add(last);

    struct Buttons {
        bool back, next, finish;
    };
    auto read = [](HWND wizard) {
        auto usable = [wizard](int id) {
            HWND button = GetDlgItem(wizard, id);
            return button && IsWindowVisible(button) && IsWindowEnabled(button);
        };
        return Buttons{usable(kBackButton), usable(kNextButton), usable(kFinishButton)};
    };
    Buttons onFirst{}, onMiddle{}, onLast{};
    HWND wizard = nullptr;
    TimerScript script({
        [&] {
            wizard = first->Sheet();
            onFirst = read(wizard);
            PropSheet_PressButton(wizard, PSBTN_NEXT);
        },
        [&] {
            onMiddle = read(wizard);
            PropSheet_PressButton(wizard, PSBTN_NEXT);
        },
        [&] {
            onLast = read(wizard);
            PropSheet_PressButton(wizard, PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(sheet.Show("", PSH_WIZARD), 1);
    ASSERT_TRUE(script.Finished());
    EXPECT_FALSE(onFirst.back);
    EXPECT_TRUE(onFirst.next);
    EXPECT_TRUE(onMiddle.back);
    EXPECT_TRUE(onMiddle.next);
    EXPECT_TRUE(onLast.back);
    EXPECT_TRUE(onLast.finish);
    EXPECT_FALSE(onLast.next);
}

TEST(PropertySheetBase, WizardNextJumpsToTargetOrStays)
{
    struct Case {
        bool allowed;
        int target;
        int wantPage;   // index of the page shown after Next
    };
    const Case cases[] = {
        {true, -1, 1},
        {true, IDD_TEST_PAGE3, 2},
        {false, -1, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        CPropertySheetBase sheet(nullptr, nullptr);
        auto* pages = new TestPage*[3]{new TestPage(IDD_TEST_PAGE1), new TestPage(IDD_TEST_PAGE2),
                                       new TestPage(IDD_TEST_PAGE3)};
        pages[0]->m_nextAllowed = cases[i].allowed;
        pages[0]->m_nextTarget = cases[i].target;
        for (int p = 0; p < 3; ++p)
            sheet.Add(pages[p]);
        int shown = -1;
        TimerScript script({
            [&] { PropSheet_PressButton(pages[0]->Sheet(), PSBTN_NEXT); },
            [&] {
                HWND current = CurrentPage(pages[0]->Sheet());
                for (int p = 0; p < 3; ++p) {
                    if (pages[p]->Handle() == current)
                        shown = p;
                }
                PropSheet_PressButton(pages[0]->Sheet(), PSBTN_CANCEL);
            },
        });
        EXPECT_EQ(sheet.Show("", PSH_WIZARD), 1);
        EXPECT_EQ(shown, cases[i].wantPage);
        delete[] pages;
    }
}

TEST(PropertySheetBase, PageTitleComesFromTheStringTable)
{
    CPropertySheetBase sheet(nullptr, nullptr);
    auto* page = new TestPage(IDD_TEST_PAGE1);
    page->SetTitle(IDS_TEST_TITLE);
    sheet.Add(page);
    std::string tabText;
    TimerScript script({
        [&] {
            HWND tabs = PropSheet_GetTabControl(page->Sheet());
            char text[64]{};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            tabText = text;
            PropSheet_PressButton(page->Sheet(), PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(sheet.Show("Titles"), 1);
    EXPECT_EQ(tabText, "Titled page");
}

namespace {

class RecordingWindow : public CWindowBase
{
public:
    explicit RecordingWindow(bool createOk = true) : CWindowBase(nullptr, nullptr), m_createOk(createOk) {}
    BOOL OnCreate(HWND handle) override
    {
        CWindowBase::OnCreate(handle);
        return m_createOk;
    }
    BOOL OnCommand(UINT id, UINT code, HWND) override
    {
        m_commands.push_back(MAKELONG(id, code));
        return TRUE;
    }
    BOOL OnTimer(UINT_PTR id) override
    {
        m_timers.push_back(id);
        return TRUE;
    }
    BOOL OnDestroy() override
    {
        ++m_destroys;
        return TRUE;
    }

    bool m_createOk;
    std::vector<DWORD> m_commands;
    std::vector<UINT_PTR> m_timers;
    int m_destroys = 0;
};

const char* RegisterTestClass()
{
    static const char* name = "LintelTestWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = CWindowBase::StaticWindowProc;
        windowClass.cbWndExtra = CWindowBase::kExtraBytes;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = name;
        registered = RegisterClassExA(&windowClass) != 0;
    }
    return name;
}

} // namespace

TEST(WindowBase, ObjectLivesInTheWindowAndGetsItsMessages)
{
    RecordingWindow window;
    ASSERT_TRUE(window.Create(0, RegisterTestClass(), "test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND handle = window.Handle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(CWindowBase::FromHandle(handle), &window);
    // The whole pointer is kept, also on 64-bit Windows.
    EXPECT_EQ(GetClassLongPtrA(handle, GCL_CBWNDEXTRA), static_cast<LONG_PTR>(sizeof(void*)));

    SendMessageA(handle, WM_COMMAND, MAKEWPARAM(42, 7), 0);
    SendMessageA(handle, WM_TIMER, 14, 0);
    ASSERT_EQ(window.m_commands.size(), 1u);
    EXPECT_EQ(window.m_commands[0], static_cast<DWORD>(MAKELONG(42, 7)));
    ASSERT_EQ(window.m_timers.size(), 1u);
    EXPECT_EQ(window.m_timers[0], 14u);

    // WM_CLOSE is not handled by the object, so the default procedure destroys
    // the window; the object then no longer has a handle.
    SendMessageA(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(window.m_destroys, 1);
    EXPECT_EQ(window.Handle(), nullptr);
}

TEST(WindowBase, FailedOnCreateFailsTheWindow)
{
    RecordingWindow window(false);
    EXPECT_FALSE(window.Create(0, RegisterTestClass(), "test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    // The half-made window is destroyed by the system without troubling the object.
    EXPECT_EQ(window.m_destroys, 0);
    EXPECT_EQ(window.Handle(), nullptr);
}
