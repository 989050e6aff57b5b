// The grid, window size, docking and sizing arithmetic of toolbars.
#include "ToolbarFixture.h"
#include "driver/Driver.h"

namespace {

RECT WorkArea()
{
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

SIZE FloatingFrame(const CToolbar& toolbar)
{
    return toolbar.CalcFrameSize(toolbar.Settings().orientation != kHorizontal, FALSE);
}

} // namespace

TEST_F(ToolbarTest, EmptyToolbarAreaIsOneEmptySlot)
{
    CToolbar* toolbar = MakeToolbar();
    struct Case {
        int buttonSize;
        int slot;
    };
    const Case cases[] = {{0, 26}, {1, 42}, {2, 58}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.buttonSize);
        toolbar->SetButtonSize(entry.buttonSize);
        const SIZE area = toolbar->CalcButtonArea(1);
        EXPECT_EQ(area.cx, entry.slot);
        EXPECT_EQ(area.cy, entry.slot);
    }
}

TEST_F(ToolbarTest, SpaceTakesASlotOnlyInSingleFileToolbars)
{
    CToolbar* toolbar = MakeToolbar();
    AddTestButton(toolbar);
    AddSpace(toolbar);
    AddTestButton(toolbar);
    struct Case {
        int perLine;
        SIZE area;
        POINT third;   // slot of the button after the space
    };
    const int top = 3 + 15;   // border, then room for the menu buttons
    const Case cases[] = {
        {1, {42, 42 + 8 + 42}, {3, top + 42 + 8}},
        {2, {84, 42}, {3 + 42, top}},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.perLine);
        toolbar->ChangeSettings([&](ToolbarSettings& settings) { settings.buttonsPerLine = entry.perLine; });
        const SIZE area = toolbar->CalcButtonArea(entry.perLine);
        EXPECT_EQ(area.cx, entry.area.cx);
        EXPECT_EQ(area.cy, entry.area.cy);
        const POINT slot = toolbar->GetSlotPosition(2);
        EXPECT_EQ(slot.x, entry.third.x);
        EXPECT_EQ(slot.y, entry.third.y);
    }
}

TEST_F(ToolbarTest, ButtonsPerLineGrowsUntilTheWorkAreaFits)
{
    const RECT work = WorkArea();
    const int workHeight = work.bottom - work.top;
    CToolbar* toolbar = MakeToolbar();
    for (int i = 0; i < 60; ++i)
        AddTestButton(toolbar);
    toolbar->ChangeSettings([](ToolbarSettings& settings) { settings.buttonsPerLine = 1; });
    const SIZE size = toolbar->CalcWindowSize();

    // The smallest count whose rows fit the work area's height.
    const int frameHeight = FloatingFrame(*toolbar).cy;
    int want = 1;
    while (want < 16 && ((60 + want - 1) / want) * 42 + frameHeight > workHeight)
        ++want;
    EXPECT_EQ(toolbar->Settings().buttonsPerLine, want);
    EXPECT_LE(size.cy, workHeight);
}

TEST_F(ToolbarTest, ButtonsPerLineStopsAtSixteen)
{
    CToolbar* toolbar = MakeToolbar();
    toolbar->SetButtonSize(2);
    for (int i = 0; i < 256; ++i)
        AddTestButton(toolbar);
    toolbar->ChangeSettings([](ToolbarSettings& settings) { settings.buttonsPerLine = 1; });
    const SIZE size = toolbar->CalcWindowSize();
    EXPECT_EQ(toolbar->Settings().buttonsPerLine, 16);
    EXPECT_GT(size.cy, WorkArea().bottom - WorkArea().top);   // still too large, and that is accepted
}

TEST_F(ToolbarTest, FitToSizePicksTheClosestLineCount)
{
    CToolbar* toolbar = MakeToolbar();
    for (int i = 0; i < 6; ++i)
        AddTestButton(toolbar);
    const SIZE frame = FloatingFrame(*toolbar);

    // Dragging the right edge out to about three buttons' width.
    SIZE size = toolbar->FitToSize(3 * 42 + 10 + frame.cx, 200, WMSZ_RIGHT);
    EXPECT_EQ(toolbar->Settings().buttonsPerLine, 3);
    EXPECT_EQ(toolbar->Settings().orientation, kVertical);
    EXPECT_EQ(size.cx, 3 * 42 + frame.cx);
    EXPECT_EQ(size.cy, 2 * 42 + frame.cy);

    // Wider than tall with all six in one line: the toolbar turns horizontal
    // and keeps the single row the user dragged out.
    size = toolbar->FitToSize(6 * 42 + frame.cx, 42 + frame.cy, WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(toolbar->Settings().orientation, kHorizontal);
    EXPECT_GT(size.cx, size.cy);
    const SIZE horizontalFrame = FloatingFrame(*toolbar);
    EXPECT_EQ(size.cx, 6 * 42 + horizontalFrame.cx);
    EXPECT_EQ(size.cy, 42 + horizontalFrame.cy);
}

TEST_F(ToolbarTest, ResizingAnEmptyToolbarKeepsItsLineCount)
{
    CToolbar* toolbar = MakeToolbar();
    toolbar->ChangeSettings([](ToolbarSettings& settings) { settings.buttonsPerLine = 4; });
    toolbar->FitToSize(500, 60, WMSZ_RIGHT);
    EXPECT_EQ(toolbar->Settings().buttonsPerLine, 4);
}

TEST_F(ToolbarTest, SizingKeepsTheEdgeOppositeTheDraggedOne)
{
    CToolbar* toolbar = MakeToolbar();
    AddTestButton(toolbar);
    struct Case {
        UINT edge;
        bool keepLeft, keepTop, keepRight, keepBottom;
    };
    const Case cases[] = {
        {WMSZ_LEFT, false, true, true, false},     {WMSZ_BOTTOMLEFT, false, true, true, false},
        {WMSZ_RIGHT, true, true, false, false},    {WMSZ_BOTTOM, true, true, false, false},
        {WMSZ_BOTTOMRIGHT, true, true, false, false}, {WMSZ_TOP, true, false, false, true},
        {WMSZ_TOPRIGHT, true, false, false, true}, {WMSZ_TOPLEFT, false, false, true, true},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.edge);
        const RECT before{100, 100, 400, 400};
        RECT rect = before;
        toolbar->OnSizing(entry.edge, rect);
        const SIZE want = toolbar->CalcWindowSize();
        EXPECT_EQ(rect.right - rect.left, want.cx);
        EXPECT_EQ(rect.bottom - rect.top, want.cy);
        if (entry.keepLeft) {
            EXPECT_EQ(rect.left, before.left);
        }
        if (entry.keepTop) {
            EXPECT_EQ(rect.top, before.top);
        }
        if (entry.keepRight) {
            EXPECT_EQ(rect.right, before.right);
        }
        if (entry.keepBottom) {
            EXPECT_EQ(rect.bottom, before.bottom);
        }
    }
}

TEST_F(ToolbarTest, DraggingIntoCornersDocksAndOutUndocks)
{
    const RECT work = WorkArea();
    CToolbar* toolbar = MakeToolbar();
    AddTestButton(toolbar);
    struct Case {
        RECT proposed;
        int corner;   // 0: stays floating
    };
    const Case dockCases[] = {
        {{work.left - 2, work.top - 2, work.left + 60, work.top + 80}, kCornerTopLeft},
        {{work.right - 60, work.top - 5, work.right + 3, work.top + 80}, kCornerTopRight},
        {{work.left - 3, work.bottom - 80, work.left + 60, work.bottom + 3}, kCornerBottomLeft},
        {{work.right - 60, work.bottom - 80, work.right + 2, work.bottom + 2}, kCornerBottomRight},
        {{work.left + 1, work.top + 1, work.left + 60, work.top + 80}, kCornerTopLeft},   // within 2 pixels
        {{work.left + 2, work.top + 2, work.left + 60, work.top + 80}, 0},
        {{300, 300, 360, 380}, 0},
    };
    for (size_t i = 0; i < std::size(dockCases); ++i) {
        SCOPED_TRACE(i);
        toolbar->ChangeSettings([](ToolbarSettings& settings) { settings.docked = FALSE; });
        RECT rect = dockCases[i].proposed;
        const BOOL handled = toolbar->OnMoving(WMSZ_TOPLEFT, rect);
        EXPECT_EQ(handled != FALSE, dockCases[i].corner != 0);
        EXPECT_EQ(toolbar->Settings().docked != FALSE, dockCases[i].corner != 0);
        if (dockCases[i].corner) {
            EXPECT_EQ(toolbar->Settings().dockCorner, dockCases[i].corner);
        }
    }

    // A docked toolbar undocks once it is inside the work area; touching the
    // top edge still counts as inside, touching the left edge does not.
    const struct {
        RECT proposed;
        bool undocks;
    } undockCases[] = {
        {{200, work.top, 260, work.top + 80}, true},
        {{work.left, 200, work.left + 60, 280}, false},
        {{200, 200, 260, 280}, true},
    };
    for (size_t i = 0; i < std::size(undockCases); ++i) {
        SCOPED_TRACE(i);
        toolbar->ChangeSettings([](ToolbarSettings& settings) {
            settings.docked = TRUE;
            settings.dockCorner = kCornerTopLeft;
        });
        RECT rect = undockCases[i].proposed;
        toolbar->OnMoving(WMSZ_TOPLEFT, rect);
        EXPECT_EQ(toolbar->Settings().docked == FALSE, undockCases[i].undocks);
    }
}

TEST_F(ToolbarTest, CtrlOrProtectionNeverDocks)
{
    const RECT work = WorkArea();
    CToolbar* toolbar = MakeToolbar();
    RECT corner{work.left - 5, work.top - 5, work.left + 60, work.top + 60};

    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    RECT rect = corner;
    EXPECT_TRUE(toolbar->OnMoving(WMSZ_TOPLEFT, rect));
    EXPECT_FALSE(toolbar->Settings().docked);
    EXPECT_EQ(rect.left, corner.left);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);

    toolbar->ChangeSettings([](ToolbarSettings& settings) {
        settings.protection.enabled = TRUE;
        settings.protection.level = kProtectToolbarProperties;
    });
    rect = corner;
    EXPECT_TRUE(toolbar->OnMoving(WMSZ_TOPLEFT, rect));
    EXPECT_FALSE(toolbar->Settings().docked);
    // Nor does resizing change the line count.
    AddTestButton(toolbar);
    AddTestButton(toolbar);
    toolbar->ChangeSettings([](ToolbarSettings& settings) { settings.buttonsPerLine = 1; });
    RECT wide{100, 100, 600, 160};
    toolbar->OnSizing(WMSZ_RIGHT, wide);
    EXPECT_EQ(toolbar->Settings().buttonsPerLine, 1);
}

TEST_F(ToolbarTest, ToolbarsSharingACornerStandSideBySide)
{
    const RECT work = WorkArea();
    CToolbar* first = MakeToolbar("First");
    CToolbar* second = MakeToolbar("Second");
    for (CToolbar* toolbar : {first, second}) {
        AddTestButton(toolbar);
        AddTestButton(toolbar);
        toolbar->ChangeSettings([](ToolbarSettings& settings) {
            settings.orientation = kHorizontal;
            settings.dockCorner = kCornerBottomRight;
            settings.docked = TRUE;
        });
        toolbar->Relayout(FALSE);
    }
    m_set->ArrangeDocked(nullptr);
    RECT a{}, b{};
    GetWindowRect(first->Handle(), &a);
    GetWindowRect(second->Handle(), &b);
    EXPECT_EQ(a.right, work.right);
    EXPECT_EQ(a.bottom, work.bottom);
    EXPECT_EQ(b.right, work.right);
    EXPECT_EQ(b.bottom, a.top);   // the second stands on the first
    EXPECT_GE(b.top, work.top);
    driver::Screenshot("toolbars-docked-bottom-right");
}
