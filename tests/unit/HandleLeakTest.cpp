// Handles do not pile up: opening and closing a toolbar with icons, its
// menus, a button's hold menu and the Options sheet, again and again, leave
// the holders' counts of live GDI objects, icons and menus where they were,
// and the private bytes nearly so.
#include "ButtonTestSupport.h"
#include "app/OptionsSheet.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <string>

namespace {

// Ends whatever modal loop the thread enters next (a menu's or a sheet's)
// from a timer of its own.
class EndNextModalLoop
{
public:
    EndNextModalLoop() { m_timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, Tick); }
    ~EndNextModalLoop() { KillTimer(nullptr, m_timer); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (HWND sheet = FindWindowA(nullptr, "Lintel Options"))
            PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        EndMenu();
    }
    UINT_PTR m_timer = 0;
};

// Through kernel32's own export: the program targets systems whose psapi
// would have to be linked for it.
SIZE_T PrivateBytes()
{
    using Query = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    const auto query =
        reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo"));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!query || !query(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    return counters.PrivateUsage;
}

class HandleLeakTest : public ButtonTest
{
protected:
    // One round of what a user does with a toolbar.
    void Cycle(const std::string& path)
    {
        CToolbar* toolbar = MakeToolbar("Cycled");
        ASSERT_TRUE(toolbar->Open(path.c_str(), kReadAndShow));
        ASSERT_EQ(toolbar->Count(), 3);
        {
            EndNextModalLoop end;
            toolbar->ShowToolbarMenu(toolbar->Handle(), FALSE);
        }
        {
            EndNextModalLoop end;
            toolbar->Button(0)->OnHold();
        }
        {
            EndNextModalLoop end;
            toolbar->Button(1)->OnRightClick(FALSE);
        }
        {
            EndNextModalLoop end;
            COptionsSheet sheet(m_set.get(), nullptr);
            sheet.Run();
        }
        SendMessageA(toolbar->Handle(), WM_CLOSE, 0, 0);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
};

} // namespace

TEST_F(HandleLeakTest, RepeatedUseLeavesTheCountsFlat)
{
    char self[MAX_PATH]{};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string program = button_test::CopyEchoProgram(m_folder, "tool.exe");
    for (int i = 0; i < 3; ++i) {
        CExecButton* button = AddProgramButton(program);
        ASSERT_NE(button, nullptr);
        button->SetDefaultIcon(FALSE);
        button->SetIconFile(self);
        button->SetIconIndex(i % 2);
        ASSERT_TRUE(button->UpdateIcon(m_toolbar->ButtonSize(), TRUE));
    }
    const std::string path = m_folder + "\\Cycled.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(path.c_str(), kVersionCurrent));
    SetCursorPos(0, 0);

    // The first rounds fill what is made once (shared lists, caches).
    for (int i = 0; i < 3; ++i)
        ASSERT_NO_FATAL_FAILURE(Cycle(path));
    const LiveHandleCounts before = CurrentLiveHandles();
    const SIZE_T bytesBefore = PrivateBytes();
    const int rounds = 25;
    for (int i = 0; i < rounds; ++i)
        ASSERT_NO_FATAL_FAILURE(Cycle(path)) << "round " << i;
    const LiveHandleCounts after = CurrentLiveHandles();
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.icons, before.icons);
    EXPECT_EQ(after.menus, before.menus);
    EXPECT_EQ(after.atoms, before.atoms);
    // A generous bound: a leak of the toolbar's lists or its buttons' icons
    // would cost far more than this over the rounds.
    const SIZE_T grown = PrivateBytes() > bytesBefore ? PrivateBytes() - bytesBefore : 0;
    EXPECT_LT(grown, 8u * 1024 * 1024) << grown << " bytes more after " << rounds << " rounds";
}
