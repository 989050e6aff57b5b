// A companion's burst of button hand-overs: every message is answered and
// none is lost below the toolbar's limit, every atom goes from the table,
// the toolbar answers throughout, and a full toolbar is told about once for
// the burst (the maximum, then the failed add), not once a button.  The
// refused buttons leave no handles behind: the program's own counts, read
// from outside, are where they were before them.
#include "LintelFixture.h"
#include "driver/AddButtonBurst.h"
#include "driver/ToolbarFiles.h"

#include <array>

namespace {

constexpr UINT kLiveHandles = WM_USER + 199;
constexpr int kLiveKinds = 6;   // bitmaps, other GDI objects, icons, image lists, menus, atoms

std::array<LRESULT, kLiveKinds> LiveHandles(HWND main)
{
    std::array<LRESULT, kLiveKinds> counts{};
    for (int kind = 0; kind < kLiveKinds; ++kind) {
        DWORD_PTR result = 0;
        counts[kind] = SendMessageTimeoutA(main, kLiveHandles, kind, 0, SMTO_NORMAL, 10000, &result)
                           ? static_cast<LRESULT>(result)
                           : -2;
    }
    return counts;
}

} // namespace

TEST_F(LintelProgramTest, ABurstOfHandOversIsTakenToTheLimitAndRefusedOnce)
{
    // Most of the way to the limit with spaces, which open fast; the burst
    // fills the rest.
    const std::string name = "Burst";
    RecordValues values;
    values.name = name;
    const std::string file = m_folder + "\\Burst.ltl";
    ASSERT_TRUE(WriteCompoundFile(file, FileWith(values, 0x23000, 240)));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", file.c_str()));
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);
    HWND toolbar = driver::WaitForWindow("CToolbarWindow", name.c_str(), driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);

    const driver::BurstFigures filling = driver::RunAddButtonBurst(main, lintel.Id(), toolbar, name, m_folder, 16);
    SCOPED_TRACE(driver::BurstReport(filling));
    EXPECT_EQ(filling.added, 16);
    EXPECT_EQ(filling.unanswered, 0);
    EXPECT_EQ(filling.atomsLeft, 0);
    EXPECT_EQ(filling.fullBoxes + filling.addFailedBoxes + filling.otherBoxes, 0);
    const std::array<LRESULT, kLiveKinds> full = LiveHandles(main);
    for (LRESULT count : full)
        EXPECT_GE(count, 0);
    // The toolbar holds its image lists.
    EXPECT_GE(full[3], 3);

    const driver::BurstFigures refused = driver::RunAddButtonBurst(main, lintel.Id(), toolbar, name, m_folder, 300);
    SCOPED_TRACE(driver::BurstReport(refused));
    EXPECT_EQ(refused.refused, 300);
    EXPECT_EQ(refused.unanswered, 0);
    EXPECT_EQ(refused.atomsLeft, 0);
    EXPECT_EQ(refused.fullBoxes, 1);
    EXPECT_EQ(refused.addFailedBoxes, 1);
    EXPECT_EQ(refused.otherBoxes, 0);
    EXPECT_GT(refused.probes, 0);
    EXPECT_EQ(refused.probesUnanswered, 0);

    // A sender slowed down by a loaded machine hands over more than a second
    // apart: still the same burst, told no more.
    const driver::BurstFigures paced =
        driver::RunAddButtonBurst(main, lintel.Id(), toolbar, name, m_folder, 4, 1500);
    SCOPED_TRACE(driver::BurstReport(paced));
    EXPECT_EQ(paced.refused, 4);
    EXPECT_EQ(paced.unanswered, 0);
    EXPECT_EQ(paced.fullBoxes + paced.addFailedBoxes + paced.otherBoxes, 0);

    // The refused buttons left nothing behind.
    EXPECT_EQ(LiveHandles(main), full);
    EXPECT_EQ(GlobalFindAtomA(name.c_str()), 0);
}
