// Docking on several monitors: the arithmetic on monitor rectangles alone,
// then real toolbar windows laid out on monitors the test makes up.
#include "ToolbarFixture.h"
#include "common/Monitors.h"
#include "toolbars/ToolbarDock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

MonitorArea Monitor(RECT monitor, int taskbar = 0)
{
    MonitorArea area;
    area.monitor = monitor;
    area.work = monitor;
    area.work.bottom -= taskbar;
    return area;
}

// The primary monitor with a taskbar, and the places a second one can take.
const MonitorArea kPrimary = Monitor({0, 0, 1024, 768}, 30);
const MonitorArea kRight = Monitor({1024, 0, 2048, 768});
const MonitorArea kAbove = Monitor({0, -768, 1024, 0});
const MonitorArea kSmallLeft = Monitor({-800, -100, 0, 500});

constexpr SIZE kTall{48, 100};
constexpr SIZE kWide{100, 48};

DockEntry Entry(int corner, POINT at, SIZE size = kTall, bool displaced = false)
{
    DockEntry entry;
    entry.corner = corner;
    entry.size = size;
    entry.orientation = size.cx > size.cy ? kHorizontal : kVertical;
    entry.place = RECT{at.x, at.y, at.x + size.cx, at.y + size.cy};
    entry.displaced = displaced;
    return entry;
}

struct Want {
    bool move;
    POINT at;
    bool displaced;
};

void ExpectPlacements(const std::vector<DockEntry>& entries, const MonitorList& monitors, const std::vector<Want>& wants)
{
    const std::vector<DockPlacement> placements = ArrangeDockedToolbars(entries, monitors);
    ASSERT_EQ(placements.size(), wants.size());
    for (size_t i = 0; i < wants.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(placements[i].move, wants[i].move);
        if (wants[i].move) {
            EXPECT_EQ(placements[i].at.x, wants[i].at.x);
            EXPECT_EQ(placements[i].at.y, wants[i].at.y);
        }
        EXPECT_EQ(placements[i].displaced, wants[i].displaced);
    }
}

} // namespace

TEST(ToolbarDock, DragDocksIntoTheCornersOfTheMonitorItIsOn)
{
    const MonitorList layouts[] = {{kPrimary, kRight}, {kPrimary, kAbove}, {kPrimary, kSmallLeft}};
    struct Case {
        int layout;
        RECT proposed;
        int corner;   // 0: no docking
    };
    const Case cases[] = {
        // Past the top edge next to the shared edge: the second monitor's top left.
        {0, {1023, -5, 1100, 80}, kCornerTopLeft},
        // The shared edge is no edge of the primary's work area for docking
        // while the toolbar stands mostly on the primary.
        {0, {960, 300, 1030, 380}, 0},
        {0, {1990, 700, 2050, 770}, kCornerBottomRight},
        // Above: the bottom of the upper monitor is where it meets the primary.
        {1, {-3, -60, 60, 2}, kCornerBottomLeft},
        {1, {980, 690, 1026, 740}, kCornerBottomRight},   // the primary's taskbar bounds its work area
        {2, {-802, -102, -740, -20}, kCornerTopLeft},
        {2, {-60, 440, 1, 501}, kCornerBottomRight},
        {2, {-500, 100, -400, 200}, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const RECT work = DockWorkArea(layouts[cases[i].layout], cases[i].proposed);
        EXPECT_EQ(DragDockCorner(cases[i].proposed, work), cases[i].corner);
    }
    // Undocking is judged against the monitor the toolbar is on as well.
    EXPECT_TRUE(DragUndocks({1100, 100, 1200, 200}, DockWorkArea({kPrimary, kRight}, {1100, 100, 1200, 200})));
    EXPECT_FALSE(DragUndocks({1024, 100, 1100, 200}, DockWorkArea({kPrimary, kRight}, {1024, 100, 1100, 200})));
}

TEST(ToolbarDock, CornersLineUpPerMonitor)
{
    struct Case {
        const char* name;
        MonitorList monitors;
        std::vector<DockEntry> entries;
        std::vector<Want> wants;
    };
    const Case cases[] = {
        {"side by side: each monitor's top right has a line of its own",
         {kPrimary, kRight},
         {Entry(1, {900, 0}), Entry(1, {1990, 0}), Entry(1, {1900, 0})},
         {{true, {1024 - 48, 0}, false}, {true, {2048 - 48, 0}, false}, {true, {2048 - 96, 0}, false}}},
        {"a toolbar reaching over the shared edge belongs to the monitor of its corner",
         {kPrimary, kRight},
         {Entry(0, {0, 0}, {600, 601}), Entry(0, {1000, 0}, {300, 301})},
         {{true, {0, 0}, false}, {true, {600, 0}, false}}},
        {"one above the other: bottom corners on both, the primary's above its taskbar",
         {kPrimary, kAbove},
         {Entry(3, {0, -200}, kWide), Entry(3, {0, 600}, kWide), Entry(2, {900, -100}, kWide)},
         {{true, {0, -48}, false}, {true, {0, 738 - 48}, false}, {true, {1024 - 100, -48}, false}}},
        {"smaller monitor at a negative offset",
         {kPrimary, kSmallLeft},
         {Entry(0, {-700, 0}), Entry(2, {-100, 300}), Entry(-2, {-500, 0}), Entry(4, {-300, 200})},
         {{true, {-800, -100}, false}, {true, {-48, 400}, false}, {false, {}, false}, {false, {}, false}}},
        {"monitor removed: every toolbar that stood on it comes onto the primary",
         {kPrimary},
         {Entry(1, {1990, 0}), Entry(-2, {1500, 300}), Entry(4, {1500, 300}), Entry(0, {-700, 0}),
          Entry(1, {900, 0})},
         {{true, {1024 - 48, 0}, true},
          {true, {(1024 - 48) / 2, (738 - 100) / 2}, true},
          {true, {1024 - 48, 300}, true},
          {true, {0, 0}, true},
          {true, {1024 - 96, 0}, false}}},
        {"monitor back: displaced toolbars return to their places",
         {kPrimary, kRight},
         {Entry(1, {1990, 0}, kTall, true), Entry(-2, {1500, 300}, kTall, true), Entry(4, {1500, 300}, kTall, true),
          Entry(-2, {200, 200}, kTall, false)},
         {{true, {2048 - 48, 0}, false}, {true, {1500, 300}, false}, {true, {1500, 300}, false},
          {false, {}, false}}},
        {"a floating toolbar whose top left is in no work area is centred even on a monitor",
         {kPrimary},
         {Entry(-2, {500, 750})},
         {{true, {(1024 - 48) / 2, (738 - 100) / 2}, true}}},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        ExpectPlacements(entry.entries, entry.monitors, entry.wants);
    }
}

// Real toolbar windows on made-up monitors: a toolbar whose monitor goes
// away stands on the primary meanwhile, saves its own place and goes back
// when the monitor returns.
class ToolbarMonitorsTest : public ToolbarTest
{
protected:
    void SetUp() override
    {
        ToolbarTest::SetUp();
        RECT primary{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary, 0);
        m_primary.monitor = primary;
        m_primary.work = primary;
        m_second = Monitor({primary.right, primary.top, primary.right + 800, primary.top + 600});
        m_monitors = {m_primary, m_second};
        SetMonitorSource([this] { return m_monitors; });
    }
    void TearDown() override
    {
        SetMonitorSource(nullptr);
        ToolbarTest::TearDown();
    }
    static RECT WindowRect(CToolbar* toolbar)
    {
        RECT rect{};
        GetWindowRect(toolbar->Handle(), &rect);
        return rect;
    }

    MonitorArea m_primary;
    MonitorArea m_second;
    MonitorList m_monitors;
};

TEST_F(ToolbarMonitorsTest, ToolbarsOfARemovedMonitorComeBackWithIt)
{
    CToolbar* docked = MakeToolbar("Docked");
    CToolbar* floating = MakeToolbar("Floating");
    for (CToolbar* toolbar : {docked, floating})
        AddTestButton(toolbar);
    docked->ChangeSettings([](ToolbarSettings& settings) {
        settings.docked = TRUE;
        settings.dockCorner = kCornerTopRight;
    });
    const POINT floatingPlace{m_second.work.left + 100, m_second.work.top + 150};
    SetWindowPos(docked->Handle(), nullptr, m_second.work.right - 60, m_second.work.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(floating->Handle(), nullptr, floatingPlace.x, floatingPlace.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_set->ArrangeDocked(nullptr);
    const RECT dockedHome = WindowRect(docked);
    EXPECT_EQ(dockedHome.right, m_second.work.right);
    EXPECT_EQ(dockedHome.top, m_second.work.top);
    EXPECT_EQ(WindowRect(floating).left, floatingPlace.x);

    m_monitors = {m_primary};
    m_set->ArrangeDocked(nullptr);
    const RECT dockedAway = WindowRect(docked);
    EXPECT_EQ(dockedAway.right, m_primary.work.right);
    EXPECT_EQ(dockedAway.top, m_primary.work.top);
    const RECT floatingAway = WindowRect(floating);
    POINT floatingTopLeft{floatingAway.left, floatingAway.top};
    EXPECT_TRUE(PtInRect(&m_primary.work, floatingTopLeft));
    EXPECT_TRUE(floating->IsDisplaced());

    // Saving meanwhile keeps the place the file held, not the stand-in one.
    CComPtr<IStorage> storage;
    ASSERT_HRESULT_SUCCEEDED(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE |
                                                           STGM_DELETEONRELEASE, 0, storage.put()));
    ASSERT_TRUE(floating->Write(storage.Get()));
    CToolbar reader(m_app.get(), nullptr, nullptr);
    ASSERT_TRUE(reader.Read(storage.Get(), kReadRecordOnly));
    EXPECT_EQ(reader.Settings().position.x, floatingPlace.x);
    EXPECT_EQ(reader.Settings().position.y, floatingPlace.y);

    // Arranging again while the monitor is still away moves nothing back.
    m_set->ArrangeDocked(nullptr);
    EXPECT_EQ(WindowRect(floating).left, floatingAway.left);

    m_monitors = {m_primary, m_second};
    m_set->ArrangeDocked(nullptr);
    EXPECT_EQ(WindowRect(docked).right, dockedHome.right);
    EXPECT_EQ(WindowRect(docked).top, dockedHome.top);
    EXPECT_EQ(WindowRect(floating).left, floatingPlace.x);
    EXPECT_EQ(WindowRect(floating).top, floatingPlace.y);
    EXPECT_FALSE(floating->IsDisplaced());
    EXPECT_FALSE(docked->IsDisplaced());
}
