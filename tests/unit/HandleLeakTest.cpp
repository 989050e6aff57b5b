// Handles do not pile up: rounds of opening and closing toolbars with icons,
// their menus, a drag between them and the sheets leave the holders' counts
// of live handles where they were and the private bytes nearly so.  A
// holder that forgets its count shows here too, as a count that drifts.
#include "ButtonTestSupport.h"
#include "common/ScopedHandle.h"
#include "driver/Driver.h"
#include "tools/leak_cycles/UseCycle.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The holders' counts follow every way a handle comes and goes.
TEST(LiveHandleCount, FollowsResetReleaseAndMove)
{
    const long before = CBrushHandle::LiveCount();
    {
        CBrushHandle held(CreateSolidBrush(RGB(1, 2, 3)));
        EXPECT_EQ(CBrushHandle::LiveCount(), before + 1);
        CBrushHandle moved(std::move(held));
        EXPECT_EQ(CBrushHandle::LiveCount(), before + 1);
        CBrushHandle assigned;
        assigned = std::move(moved);
        EXPECT_EQ(CBrushHandle::LiveCount(), before + 1);
        assigned.Reset(CreateSolidBrush(RGB(4, 5, 6)));
        EXPECT_EQ(CBrushHandle::LiveCount(), before + 1);
        HBRUSH loose = assigned.Release();
        EXPECT_EQ(CBrushHandle::LiveCount(), before);
        CBrushHandle again(loose);
        EXPECT_EQ(CBrushHandle::LiveCount(), before + 1);
    }
    EXPECT_EQ(CBrushHandle::LiveCount(), before);
}

class HandleLeakTest : public ButtonTest
{
};

// The blocks in use in every heap of the process: what the common controls
// and the system keep for a window is there, where no handle count sees it.
long BusyHeapBlocks()
{
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    long busy = 0;
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                ++busy;
        }
        HeapUnlock(heaps[i]);
    }
    return busy;
}

} // namespace

TEST_F(HandleLeakTest, RepeatedUseLeavesTheCountsFlat)
{
    char self[MAX_PATH]{};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string program = button_test::CopyEchoProgram(m_folder, "tool.exe");
    const std::string path = m_folder + "\\Cycled.ltl";
    std::string failure;
    ASSERT_TRUE(WriteCycleToolbar(*m_app, *m_set, program, self, path, failure)) << failure;
    SetCursorPos(0, 0);

    // The first rounds fill what is made once (shared lists, caches).
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(RunUseCycle(*m_app, *m_set, path, failure)) << failure;
    const LiveHandleCounts before = CurrentLiveHandles();
    const SIZE_T bytesBefore = PrivateBytes();
    const int rounds = 30;
    for (int i = 0; i < rounds; ++i) {
        LiveHandleCounts during;
        ASSERT_TRUE(RunUseCycle(*m_app, *m_set, path, failure, &during)) << "round " << i << ": " << failure;
        // The counts see what a round holds: two toolbars' three lists each,
        // a menu while one is up, and the program menu's icons of the six
        // buttons.
        if (i == 0) {
            EXPECT_GE(during.imageLists, before.imageLists + 6);
            EXPECT_GE(during.menus, before.menus + 1);
            EXPECT_GE(during.icons, before.icons + 6);
        }
    }
    const LiveHandleCounts after = CurrentLiveHandles();
    for (int kind = 0; kind < kLiveKindCount; ++kind)
        EXPECT_EQ(after.Of(kind), before.Of(kind)) << "kind " << kind;
    // A generous bound: a leak of the toolbars' lists or their buttons' icons
    // would cost far more than this over the rounds.
    const SIZE_T now = PrivateBytes();
    const SIZE_T grown = now > bytesBefore ? now - bytesBefore : 0;
    EXPECT_LT(grown, 8u * 1024 * 1024) << grown << " bytes more after " << rounds << " rounds";
}

// The toolbar's menu buttons carry a tooltip that subclasses them through the
// common controls; a toolbar that undid its own subclassing by putting the
// window procedure back cut the tooltip's link out of the chain, and each
// closed toolbar left its records behind.
TEST_F(HandleLeakTest, ClosedToolbarsLeaveNoHeapBlocksBehind)
{
    const auto openAndClose = [this] {
        CToolbar* toolbar = MakeToolbar("Opened and closed");
        ASSERT_NE(toolbar->Handle(), nullptr);
        toolbar->ClearDirty();
        SendMessageA(toolbar->Handle(), WM_CLOSE, 0, 0);
        driver::PumpMessages();
    };
    for (int i = 0; i < 3; ++i)
        ASSERT_NO_FATAL_FAILURE(openAndClose());
    const long before = BusyHeapBlocks();
    const int rounds = 40;
    for (int i = 0; i < rounds; ++i)
        ASSERT_NO_FATAL_FAILURE(openAndClose());
    // Less than a block a round: caches may settle, but nothing a toolbar
    // takes may stay with each one.
    EXPECT_LT(BusyHeapBlocks() - before, rounds / 2) << "heap blocks in use after " << rounds << " toolbars";
}
