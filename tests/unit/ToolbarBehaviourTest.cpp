// Toolbars and buttons driven as a user drives them: mouse presses and holds,
// the keyboard, autohide and the button limit.
#include "ToolbarFixture.h"
#include "driver/Driver.h"
#include "resources/lintel/resource.h"

#include <objbase.h>

namespace {

POINT CentreOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void Pump(DWORD milliseconds)
{
    driver::WaitUntil([] { return false; }, milliseconds);
}

} // namespace

TEST_F(ToolbarTest, PressHoldAndReleaseRunTheRightAction)
{
    CToolbar* toolbar = MakeToolbar();
    struct Case {
        const char* name;
        DWORD holdMs;
        WPARAM upKeys;
        bool releaseInside;
        BOOL holdShowsMenu;
        int wantActivations;
        int wantHolds;
    };
    const Case cases[] = {
        {"short press", 0, 0, true, TRUE, 1, 0},
        {"held 500 ms", 700, 0, true, TRUE, 0, 1},
        {"held, no hold menu", 700, 0, true, FALSE, 1, 1},
        {"ctrl+click", 0, MK_CONTROL, true, TRUE, 0, 1},
        {"released outside", 0, 0, false, TRUE, 0, 0},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        TestButton* button = AddTestButton(toolbar, kKindProgram, entry.holdShowsMenu);
        ASSERT_NE(button, nullptr);
        ASSERT_NE(button->Handle(), nullptr);
        // The hold timer looks at the real cursor.
        const POINT centre = CentreOf(button->Handle());
        SetCursorPos(centre.x, centre.y);
        SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_TRUE(button->IsPressed());
        if (entry.holdMs)
            Pump(entry.holdMs);
        const LPARAM at = entry.releaseInside ? MAKELPARAM(5, 5) : MAKELPARAM(-50, -50);
        SendMessageA(button->Handle(), WM_LBUTTONUP, entry.upKeys, at);
        EXPECT_EQ(button->activations, entry.wantActivations);
        EXPECT_EQ(button->holds, entry.wantHolds);
        EXPECT_FALSE(button->IsPressed());
        toolbar->Remove(button);
    }
}

TEST_F(ToolbarTest, TooltipTextFallsBackToNoDescription)
{
    CToolbar* toolbar = MakeToolbar();
    TestButton* button = AddTestButton(toolbar);
    NMTTDISPINFOA request{};
    button->GetTooltipText(&request);
    EXPECT_STREQ(request.lpszText, "No description");

    const std::string longText(100, 'd');
    button->SetDescription(longText.c_str());
    memset(request.szText, 0xcc, sizeof request.szText);
    button->GetTooltipText(&request);
    EXPECT_EQ(strlen(request.szText), 79u);
    EXPECT_EQ(std::string(request.lpszText), longText);
}

TEST_F(ToolbarTest, ButtonSizesFollowIconSizeAndDescriptions)
{
    CToolbar* toolbar = MakeToolbar();
    TestButton* button = AddTestButton(toolbar);
    CToolButton* space = AddSpace(toolbar);
    struct Case {
        int sizeIndex;
        BOOL descriptions;
        SIZE button;
        int width;
        int space;
    };
    const Case cases[] = {
        {0, FALSE, {26, 26}, 26, 4},   {1, FALSE, {42, 42}, 42, 8},   {2, FALSE, {58, 58}, 58, 12},
        {0, TRUE, {106, 26}, 26, 4},   {1, TRUE, {74, 74}, 74, 8},    {2, TRUE, {106, 106}, 106, 12},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.sizeIndex * 10 + entry.descriptions);
        toolbar->ChangeSettings([&](ToolbarSettings& settings) { settings.showDescription = entry.descriptions; });
        toolbar->SetButtonSize(entry.sizeIndex);
        const SIZE size = button->GetSize();
        EXPECT_EQ(size.cx, entry.button.cx);
        EXPECT_EQ(size.cy, entry.button.cy);
        EXPECT_EQ(button->GetWidth(), entry.width);
        EXPECT_EQ(space->GetSize().cx, entry.space);
        EXPECT_EQ(space->GetSize().cy, entry.space);
    }
}

TEST_F(ToolbarTest, KindRecordWritesFoldersAsProgramsInOldFiles)
{
    CToolbar* toolbar = MakeToolbar();
    TestButton* folder = AddTestButton(toolbar, kKindFolder);
    struct Case {
        DWORD version;
        DWORD want;
    };
    const Case cases[] = {{0x10000, 2}, {0x11000, 2}, {0x20000, 3}, {0x23000, 3}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.version);
        IStream* stream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
        ASSERT_TRUE(folder->Write(stream, entry.version));
        LARGE_INTEGER zero{};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        DWORD kind = 0;
        ULONG got = 0;
        stream->Read(&kind, sizeof kind, &got);
        EXPECT_EQ(got, 4u);
        EXPECT_EQ(kind, entry.want);
        stream->Release();
    }
}

TEST_F(ToolbarTest, TwoHundredFiftySeventhButtonIsRefused)
{
    CToolbar* toolbar = MakeToolbar();
    for (int i = 0; i < 256; ++i)
        ASSERT_NE(AddTestButton(toolbar), nullptr) << i;
    auto* extra = new TestButton(toolbar);
    BOOL inserted = TRUE;
    const std::string text =
        AnswerBoxDuring([&] { inserted = InsertButton(toolbar, extra) != nullptr; }, "Test toolbar", IDOK);
    EXPECT_EQ(text, "The maximum number of buttons has been reached. No more buttons can be added to this toolbar.");
    EXPECT_FALSE(inserted);
    EXPECT_EQ(toolbar->Count(), 256);
}

namespace {

// Answers, on a thread of its own, every message box of this process with
// the caption until it is stopped, counting them.
class BoxCounter
{
public:
    explicit BoxCounter(const char* caption) : m_caption(caption)
    {
        m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~BoxCounter() { Stop(); }
    int Stop()
    {
        if (m_thread) {
            m_stop = 1;
            WaitForSingleObject(m_thread, 10000);
            CloseHandle(m_thread);
            m_thread = nullptr;
        }
        return m_count;
    }

private:
    static DWORD WINAPI Run(void* parameter)
    {
        auto* self = static_cast<BoxCounter*>(parameter);
        HWND answered = nullptr;
        while (!self->m_stop) {
            HWND box = driver::FindTopWindow("#32770", self->m_caption, GetCurrentProcessId());
            if (box && box != answered && IsWindowVisible(box)) {
                ++self->m_count;
                answered = box;
                driver::PressButton(box, IDOK);
            }
            Sleep(20);
        }
        return 0;
    }

    const char* m_caption;
    HANDLE m_thread = nullptr;
    volatile LONG m_stop = 0;
    volatile LONG m_count = 0;
};

// A window whose posted message runs the step: what a box's own loop
// serves while the box is up, as it serves a companion's messages.
constexpr UINT kRunStep = WM_APP + 17;
std::function<void()> g_step;

LRESULT CALLBACK StepWindowProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    if (message == kRunStep && g_step) {
        g_step();
        return 0;
    }
    return DefWindowProcA(window, message, first, second);
}

} // namespace

TEST_F(ToolbarTest, ABurstOfRefusedButtonsIsToldOnce)
{
    CToolbar* toolbar = MakeToolbar();
    for (int i = 0; i < CToolbar::kMaxButtons; ++i)
        ASSERT_NE(AddSpace(toolbar), nullptr) << i;
    WNDCLASSA type{};
    type.lpfnWndProc = StepWindowProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "ToolbarTestStepWindow";
    RegisterClassA(&type);
    HWND target = CreateWindowA(type.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, type.hInstance, nullptr);
    ASSERT_NE(target, nullptr);
    int refused = 0;
    g_step = [&] {
        EXPECT_EQ(InsertButton(toolbar, new TestButton(toolbar)), nullptr);
        ++refused;
    };
    // Refusals back to back, most of them while the box is up.
    auto refuseBurst = [&](int count) {
        refused = 0;
        BoxCounter boxes("Test toolbar");
        for (int i = 0; i < count; ++i)
            PostMessageA(target, kRunStep, 0, 0);
        driver::WaitUntil([&] { return refused == count; }, 30000);
        driver::WaitUntil([] { return false; }, 200);
        return boxes.Stop();
    };
    EXPECT_EQ(refuseBurst(300), 1);
    EXPECT_EQ(refused, 300);
    EXPECT_EQ(toolbar->Count(), CToolbar::kMaxButtons);
    // A button taken in between ends the burst: the toolbar full again is news.
    ASSERT_TRUE(toolbar->Remove(toolbar->Count() - 1));
    ASSERT_NE(AddSpace(toolbar), nullptr);
    EXPECT_EQ(refuseBurst(1), 1);
    // So is a refusal well after the burst.
    driver::WaitUntil([] { return false; }, CRepeatNotice::kQuiet + 500);
    EXPECT_EQ(refuseBurst(1), 1);
    g_step = nullptr;
    DestroyWindow(target);
}

TEST_F(ToolbarTest, InsertingBeforeTheFocusKeepsItOnTheSameButton)
{
    CToolbar* toolbar = MakeToolbar();
    TestButton* first = AddTestButton(toolbar);
    TestButton* second = AddTestButton(toolbar);
    toolbar->SetFocusIndex(1);
    ASSERT_TRUE(second->IsFocused());

    auto* before = new TestButton(toolbar);
    CreationData data;
    toolbar->StoreCreationData(data);
    before->Create(data, 3);
    ASSERT_TRUE(InsertButton(toolbar, before, first));   // lands at index 1, the focused place
    EXPECT_EQ(toolbar->FocusIndex(), 2);
    EXPECT_EQ(toolbar->Button(toolbar->FocusIndex()), second);

    AddTestButton(toolbar);   // after the focus: nothing moves
    EXPECT_EQ(toolbar->Button(toolbar->FocusIndex()), second);
}

TEST_F(ToolbarTest, KeyboardMovesTheFocusAndRunsButtons)
{
    CToolbar* toolbar = MakeToolbar();
    TestButton* b0 = AddTestButton(toolbar);
    AddSpace(toolbar);
    TestButton* b2 = AddTestButton(toolbar);
    TestButton* b3 = AddTestButton(toolbar);
    HWND window = toolbar->Handle();
    ASSERT_EQ(toolbar->FocusIndex(), -2);   // the toolbar menu button

    struct Step {
        UINT message;
        WPARAM key;
        int wantFocus;
    };
    const Step steps[] = {
        {WM_KEYDOWN, VK_DOWN, -1}, {WM_KEYDOWN, VK_DOWN, 0}, {WM_KEYDOWN, VK_DOWN, 2},   // the space is skipped
        {WM_KEYDOWN, VK_DOWN, 3},  {WM_KEYDOWN, VK_DOWN, 3},                             // stops at the last
        {WM_KEYUP, VK_HOME, -2},   {WM_KEYUP, VK_END, 3},    {WM_KEYDOWN, VK_UP, 2},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        SendMessageA(window, steps[i].message, steps[i].key, 0);
        EXPECT_EQ(toolbar->FocusIndex(), steps[i].wantFocus);
    }
    SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(b2->activations, 1);
    SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(b2->activations, 2);
    // Digits count buttons, not spaces.
    SendMessageA(window, WM_CHAR, '2', 0);
    EXPECT_EQ(b2->activations, 3);
    SendMessageA(window, WM_CHAR, '3', 0);
    EXPECT_EQ(b3->activations, 1);
    SendMessageA(window, WM_CHAR, '9', 0);
    EXPECT_EQ(b0->activations + b2->activations + b3->activations, 4);

    // Without menu buttons the focus never goes below the first button.
    SendMessageA(window, WM_COMMAND, IDC_TB_SHOW_MENU_BUTTON, 0);
    ASSERT_FALSE(toolbar->Settings().showMenuButtons);
    SendMessageA(window, WM_KEYUP, VK_HOME, 0);
    EXPECT_EQ(toolbar->FocusIndex(), 0);
}

TEST_F(ToolbarTest, AutohideCollapsesWhenTheMouseLeavesAndNotDuringAMenu)
{
    CToolbar* toolbar = MakeToolbar();
    AddTestButton(toolbar);
    AddTestButton(toolbar);
    // Away from the screen's edges, where Wine may not warp the cursor.
    SetWindowPos(toolbar->Handle(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT expanded{};
    GetWindowRect(toolbar->Handle(), &expanded);
    SetCursorPos(expanded.right + 200, expanded.bottom + 200);
    SendMessageA(toolbar->Handle(), WM_COMMAND, IDC_TB_AUTOHIDE, 0);
    ASSERT_TRUE(toolbar->Settings().autohide);
    EXPECT_TRUE(toolbar->IsCollapsed());
    driver::Screenshot("toolbar-collapsed");

    // The mouse arrives over the title bar that is left: it grows back.
    RECT collapsed{};
    GetWindowRect(toolbar->Handle(), &collapsed);
    EXPECT_LT(collapsed.bottom - collapsed.top, expanded.bottom - expanded.top);
    auto hover = [&] {
        // Each move restarts the hover timer; the toolbar reacts once the
        // mouse rests.  Wine sometimes ignores a warp back to a point the
        // cursor was warped to before, so each try aims a pixel further on.
        for (int attempt = 0; attempt < 5; ++attempt) {
            SetCursorPos((collapsed.left + collapsed.right) / 2 + attempt, collapsed.top + 3 + attempt % 2);
            SendMessageA(toolbar->Handle(), WM_NCMOUSEMOVE, HTCAPTION, 0);
            if (driver::WaitUntil([&] { return !toolbar->IsCollapsed(); }, 250))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(hover());
    driver::Screenshot("toolbar-expanded");

    // While a menu is open it stays; once the menu closes outside, it goes.
    SendMessageA(toolbar->Handle(), WM_ENTERMENULOOP, FALSE, 0);
    SetCursorPos(expanded.right + 200, expanded.bottom + 200);
    Pump(400);
    EXPECT_FALSE(toolbar->IsCollapsed());
    SendMessageA(toolbar->Handle(), WM_EXITMENULOOP, FALSE, 0);
    EXPECT_TRUE(toolbar->IsCollapsed());

    // Leaving again: collapses within a tick or two of the hover timer.
    RECT again{};
    GetWindowRect(toolbar->Handle(), &again);
    EXPECT_EQ(again.top, collapsed.top);
    EXPECT_EQ(again.left, collapsed.left);
    ASSERT_TRUE(hover());
    SetCursorPos(expanded.right + 150, expanded.bottom + 150);
    const DWORD left = GetTickCount();
    EXPECT_TRUE(driver::WaitUntil([&] { return toolbar->IsCollapsed() != FALSE; }, 1000));
    EXPECT_LT(GetTickCount() - left, 400u);
}

TEST_F(ToolbarTest, ToolbarWindowHasTheStylesOfItsPlace)
{
    CToolbar* toolbar = MakeToolbar("Styled");
    AddTestButton(toolbar);
    HWND window = toolbar->Handle();
    char className[64]{};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "CToolbarWindow");
    EXPECT_EQ(driver::WindowText(window), "Styled");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS) & 0xFFFF0000u, 0x80CC0000u);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    driver::Screenshot("toolbar-floating");

    SendMessageA(window, WM_COMMAND, IDC_TB_DOCK, 0);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS) & 0xFFFF0000u, 0x800C0000u);
    RECT rect{};
    GetWindowRect(window, &rect);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rect.right, work.right);   // docked bottom right, the default corner
    EXPECT_EQ(rect.bottom, work.bottom);

    m_set->ChangeOptions([](ToolbarSetOptions& options) { options.allowTab = FALSE; });
    m_set->ApplyOptions();
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(ToolbarTest, ClosingAskesToSaveOnlyWhenThereIsSomethingToLose)
{
    // An empty toolbar closes without a word.
    CToolbar* empty = MakeToolbar("Empty");
    SendMessageA(empty->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(m_set->Count(), 0);

    // A floating toolbar with buttons counts as changed; with "Save on close"
    // off the user is asked, and Cancel keeps it.
    m_set->ChangeOptions([](ToolbarSetOptions& options) { options.saveOnClose = FALSE; });
    CToolbar* toolbar = MakeToolbar("Asked");
    AddTestButton(toolbar);
    HWND window = toolbar->Handle();
    std::string text = AnswerBoxDuring([&] { SendMessageA(window, WM_CLOSE, 0, 0); }, "Asked", IDCANCEL);
    EXPECT_EQ(text, "Toolbar has changed. Save now?");
    EXPECT_EQ(m_set->Count(), 1);

    // No closes it without saving.
    text = AnswerBoxDuring([&] { SendMessageA(window, WM_CLOSE, 0, 0); }, "Asked", IDNO);
    EXPECT_EQ(text, "Toolbar has changed. Save now?");
    EXPECT_EQ(m_set->Count(), 0);
}

namespace {

// A button whose hold menu ends with the button gone, as when the program
// closes while the menu is up.
class SelfRemovingButton : public TestButton
{
public:
    using TestButton::TestButton;
    BOOL OnHold() override
    {
        Host()->Remove(this);
        return TRUE;
    }
};

} // namespace

TEST_F(ToolbarTest, ButtonDeletedDuringItsHoldMenuIsLeftAlone)
{
    CToolbar* toolbar = MakeToolbar();
    auto* button = new SelfRemovingButton(toolbar);
    CreationData data;
    toolbar->StoreCreationData(data);
    ASSERT_TRUE(button->Create(data, 3));
    ASSERT_TRUE(InsertButton(toolbar, button, nullptr));
    const POINT centre = CentreOf(button->Handle());
    SetCursorPos(centre.x, centre.y);
    HWND window = button->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(driver::WaitUntil([&] { return toolbar->Count() == 0; }, 2000));
    EXPECT_FALSE(IsWindow(window));
}
