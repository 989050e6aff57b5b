// The grid arithmetic of toolbars, on sizes and settings alone: no window,
// no toolbar object.
#include "toolbars/ToolbarGrid.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kNormal = 42;   // the slot of a normal-sized button

std::vector<GridCell> Buttons(int count, SIZE size = SIZE{kNormal, kNormal})
{
    return std::vector<GridCell>(static_cast<size_t>(count), GridCell{size, GridCell::kButton});
}

GridCell Space()
{
    return GridCell{SIZE{kNormal, 8}, GridCell::kSpace};
}

// Fixed frame sizes, so that the expectations hold on any system.
FrameMetrics Metrics()
{
    FrameMetrics metrics;
    metrics.cxFrame = 4;
    metrics.cyFrame = 4;
    metrics.caption = 19;
    metrics.smallCaption = 15;
    metrics.cxSize = 18;
    return metrics;
}

constexpr SIZE kWorkArea{1024, 738};

} // namespace

TEST(ToolbarGrid, EmptyAreaIsOneEmptySlotOfTheButtonSize)
{
    const int slots[] = {26, 42, 58};
    for (int buttonSize = 0; buttonSize < 3; ++buttonSize) {
        SCOPED_TRACE(buttonSize);
        const SIZE area = GridButtonArea({}, 1, kVertical, buttonSize);
        EXPECT_EQ(area.cx, slots[buttonSize]);
        EXPECT_EQ(area.cy, slots[buttonSize]);
    }
}

TEST(ToolbarGrid, AreaAndSlotsFollowLinesAndOrientation)
{
    // Two buttons, a space, a wide button: a space counts in single-file
    // toolbars only, and a line is as deep as its deepest button.
    std::vector<GridCell> cells = Buttons(2);
    cells.push_back(Space());
    cells.push_back(GridCell{SIZE{60, 50}, GridCell::kButton});
    cells.push_back(GridCell{SIZE{0, 0}, GridCell::kNone});
    struct Case {
        int perLine;
        int orientation;
        SIZE area;
        POINT last;   // where the wide button stands
    };
    const int lead = 3 + 15;   // border, then the strip of the menu buttons
    const Case cases[] = {
        {1, kVertical, {60, 42 + 42 + 8 + 50}, {3, lead + 42 + 42 + 8}},
        {2, kVertical, {42 + 42, 42 + 50}, {3, lead + 42}},
        {3, kVertical, {42 + 42 + 60, 50}, {3 + 84, lead}},
        {1, kHorizontal, {42 + 42 + 42 + 60, 50}, {lead + 42 + 42 + 42, 3}},
        {2, kHorizontal, {42 + 60, 42 + 42}, {lead + 42, 3}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        const Case& entry = cases[i];
        const SIZE area = GridButtonArea(cells, entry.perLine, entry.orientation, 1);
        EXPECT_EQ(area.cx, entry.area.cx);
        EXPECT_EQ(area.cy, entry.area.cy);
        ToolbarSettings settings;
        settings.buttonsPerLine = entry.perLine;
        settings.orientation = entry.orientation;
        const POINT slot = GridSlotPosition(cells, 3, settings);
        EXPECT_EQ(slot.x, entry.last.x);
        EXPECT_EQ(slot.y, entry.last.y);
    }
}

TEST(ToolbarGrid, FrameDependsOnDockingCaptionAndMenuButtons)
{
    struct Case {
        bool docked, allowTab, menuButtons, vertical;
        SIZE frame;
    };
    const Case cases[] = {
        {false, true, true, true, {2 * (4 + 3), 2 * (4 + 3) + 19 + 13}},
        {false, false, true, true, {2 * (4 + 3), 2 * (4 + 3) + 15 + 13}},
        {false, true, true, false, {2 * (4 + 3) + 13, 2 * (4 + 3) + 19}},
        {false, true, false, true, {2 * (4 + 3), 2 * (4 + 3) + 19}},
        {true, true, true, true, {2 * (4 + 3) - 2, 2 * (4 + 3) - 2 + 13}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        ToolbarSettings settings;
        settings.docked = cases[i].docked;
        settings.showMenuButtons = cases[i].menuButtons;
        GridContext context;
        context.allowTab = cases[i].allowTab;
        const SIZE frame = GridFrameSize(settings, context, cases[i].vertical, Metrics());
        EXPECT_EQ(frame.cx, cases[i].frame.cx);
        EXPECT_EQ(frame.cy, cases[i].frame.cy);
    }
}

TEST(ToolbarGrid, WindowGrowsItsLinesUntilTheWorkAreaHoldsIt)
{
    const SIZE frame = GridFrameSize(ToolbarSettings{}, GridContext{}, true, Metrics());
    struct Case {
        int buttons;
        int buttonSize;
        int wantPerLine;
    };
    const Case cases[] = {
        {5, 1, 1},     // fits at once
        {60, 1, 0},    // the smallest count whose rows fit (worked out below)
        {256, 2, 16},  // never more than 16, even when still too big
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.buttons);
        const int side = entry.buttonSize == 2 ? 58 : kNormal;
        ToolbarSettings settings;
        settings.buttonSize = entry.buttonSize;
        const GridWindow window =
            GridWindowSize(Buttons(entry.buttons, SIZE{side, side}), settings, GridContext{}, kWorkArea, Metrics());
        int want = entry.wantPerLine;
        if (want == 0) {
            want = 1;
            while (want < 16 && ((entry.buttons + want - 1) / want) * side + frame.cy > kWorkArea.cy)
                ++want;
        }
        EXPECT_EQ(window.perLine, want);
        const int rows = (entry.buttons + want - 1) / want;
        EXPECT_EQ(window.size.cy, rows * side + frame.cy);
    }
}

TEST(ToolbarGrid, CollapsedWindowKeepsItsCaptionOrASliverOfFrame)
{
    ToolbarSettings settings;
    GridContext collapsed;
    collapsed.collapsed = true;
    GridWindow window = GridWindowSize(Buttons(4), settings, collapsed, kWorkArea, Metrics());
    EXPECT_EQ(window.size.cx, 18 + 2 * 4 + 25);
    EXPECT_EQ(window.size.cy, 19 + 2 * 4);
    settings.docked = TRUE;
    window = GridWindowSize(Buttons(4), settings, collapsed, kWorkArea, Metrics());
    EXPECT_EQ(window.size.cx, 2 * 4 - 1);
}

TEST(ToolbarGrid, FitPicksTheClosestLineCountAndFlipsASingleLine)
{
    const std::vector<GridCell> cells = Buttons(6);
    ToolbarSettings settings;
    const GridContext context;
    const SIZE frame = GridFrameSize(settings, context, true, Metrics());

    // The right edge dragged out to about three buttons' width.
    GridFit fit =
        GridFitToSize(cells, settings, context, 3 * kNormal + 10 + frame.cx, 200, WMSZ_RIGHT, kWorkArea, Metrics());
    EXPECT_TRUE(fit.changed);
    EXPECT_EQ(fit.perLine, 3);
    EXPECT_EQ(fit.orientation, kVertical);
    EXPECT_EQ(fit.size.cx, 3 * kNormal + frame.cx);
    EXPECT_EQ(fit.size.cy, 2 * kNormal + frame.cy);

    // Wider than tall with all six in one line: the toolbar turns horizontal
    // and keeps the single row the user dragged out.
    settings.buttonsPerLine = 3;
    fit = GridFitToSize(cells, settings, context, 6 * kNormal + frame.cx, kNormal + frame.cy, WMSZ_BOTTOMRIGHT,
                        kWorkArea, Metrics());
    EXPECT_EQ(fit.orientation, kHorizontal);
    EXPECT_EQ(fit.perLine, 1);
    const SIZE horizontalFrame = GridFrameSize(settings, context, false, Metrics());
    EXPECT_EQ(fit.size.cx, 6 * kNormal + horizontalFrame.cx);
    EXPECT_EQ(fit.size.cy, kNormal + horizontalFrame.cy);
}

TEST(ToolbarGrid, FitNeverChoosesAShapeTheWorkAreaCannotHold)
{
    // Dragged to a single tall column that would pass the bottom of the
    // work area, the toolbar keeps a count whose column fits.
    const std::vector<GridCell> cells = Buttons(16, SIZE{58, 58});
    ToolbarSettings settings;
    settings.buttonsPerLine = 4;
    const GridFit fit =
        GridFitToSize(cells, settings, GridContext{}, 58, 16 * 58, WMSZ_BOTTOMLEFT, SIZE{1024, 600}, Metrics());
    EXPECT_GE(fit.perLine, 2);
    EXPECT_LE(((16 + fit.perLine - 1) / fit.perLine) * 58, 600);
}

TEST(ToolbarGrid, EmptyToolbarKeepsItsLineCountWhenResized)
{
    ToolbarSettings settings;
    settings.buttonsPerLine = 4;
    const GridFit fit = GridFitToSize({}, settings, GridContext{}, 500, 60, WMSZ_RIGHT, kWorkArea, Metrics());
    EXPECT_FALSE(fit.changed);
    EXPECT_EQ(fit.perLine, 4);
}
