// An idle toolbar costs nothing: its hover timer runs only while the mouse
// is over it (or has just left), and once the mouse is away no timer fires
// and nothing wakes the thread.
#include "ToolbarFixture.h"

#include <gtest/gtest.h>

namespace {

struct Wakes {
    int wakes = 0;      // times the thread's wait ended with something to do
    int timers = 0;     // WM_TIMER messages among what it then found
    int messages = 0;
};

// Serves the thread's messages for the time given, counting what came.
Wakes Serve(DWORD milliseconds)
{
    Wakes seen;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD passed = GetTickCount() - start;
        if (passed >= milliseconds)
            break;
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds - passed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_TIMEOUT)
            break;
        ++seen.wakes;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ++seen.messages;
            if (message.message == WM_TIMER)
                ++seen.timers;
            DispatchMessageA(&message);
        }
    }
    return seen;
}

class ToolbarIdleTest : public ToolbarTest
{
protected:
    CToolbar* MakeShownToolbar(const char* name, BOOL autohide, int x)
    {
        CToolbar* toolbar = MakeToolbar(name);
        for (int i = 0; i < 3; ++i)
            AddTestButton(toolbar);
        toolbar->ChangeSettings([&](ToolbarSettings& s) {
            s.docked = FALSE;
            s.autohide = autohide;
        });
        SetWindowPos(toolbar->Handle(), HWND_TOP, x, 100, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return toolbar;
    }
};

} // namespace

TEST_F(ToolbarIdleTest, HoverTimerWatchesOnlyWhileTheMouseIsOverAToolbar)
{
    CToolbar* plain = MakeShownToolbar("Plain", FALSE, 100);
    CToolbar* hiding = MakeShownToolbar("Hiding", TRUE, 400);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

    // Away from both from the start: after the windows have settled, quiet.
    SetCursorPos(screenWidth - 2, screenHeight - 2);
    Serve(500);
    const Wakes away = Serve(1500);
    EXPECT_EQ(away.timers, 0);
    EXPECT_EQ(away.wakes, 0);

    for (CToolbar* toolbar : {plain, hiding}) {
        SCOPED_TRACE(toolbar->Name().c_str());
        RECT window{};
        GetWindowRect(toolbar->Handle(), &window);
        SetCursorPos(window.left + 3, window.top + 3);
        SendMessageA(toolbar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        // While the mouse stays the timer watches (it ticks every 100 ms).
        const Wakes over = Serve(600);
        EXPECT_GT(over.timers, 0);
        EXPECT_FALSE(toolbar->IsCollapsed());

        SetCursorPos(screenWidth - 2, screenHeight - 2);
        Serve(500);
        const Wakes left = Serve(1500);
        EXPECT_EQ(left.timers, 0);
        EXPECT_EQ(left.wakes, 0) << left.messages << " messages";
        EXPECT_EQ(toolbar->IsCollapsed(), toolbar == hiding);
    }
}
