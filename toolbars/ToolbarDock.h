// Where docked and floating toolbars stand, as arithmetic on rectangles:
// which corner a drag docks into, when it undocks, and how the toolbar set
// lines up the docked toolbars in the corners of each monitor's work area.
// Every toolbar docks on the monitor it stands on; one whose place lies on
// no monitor any more stands on the nearest until its monitor comes back.
#pragma once

#include "../common/Monitors.h"

#include <windows.h>

#include <vector>

// The work area a toolbar at rect docks in: that of the monitor it stands
// on, else of the nearest one.
RECT DockWorkArea(const MonitorList& monitors, const RECT& rect);

// The corner (DockCorner) a floating toolbar dragged to rect docks into, or
// 0.  A rectangle within 2 pixels (at 96 dpi) of an edge counts as touching it.
int DragDockCorner(const RECT& rect, const RECT& work, int dpi = 96);
// Whether a docked toolbar dragged to rect leaves its corner.
bool DragUndocks(const RECT& rect, const RECT& work);
// The window rectangle of size for a toolbar in dockCorner; any other
// corner keeps the top-left point.
RECT CornerRect(int dockCorner, SIZE size, const RECT& work, POINT topLeft);

// One toolbar as the arrangement sees it.
struct DockEntry {
    int corner = -2;             // CToolbar::CornerIndex
    SIZE size{0, 0};             // CalcWindowSize
    int orientation = 1;         // kVertical or kHorizontal
    RECT place{0, 0, 0, 0};      // where it wants to stand: its window, or its stored place while displaced
    bool displaced = false;      // it stands elsewhere because its place lay on no monitor
};
struct DockPlacement {
    bool move = false;           // false: the window keeps its position
    POINT at{0, 0};
    bool displaced = false;
};
// Corner toolbars line up side by side from their corner of their monitor's
// work area, in the order given; a fixed toolbar keeps its place and a
// floating one its position while the place is on a monitor (for a floating
// one: its top-left point in a work area).  A place on no monitor moves the
// toolbar onto the nearest monitor; a displaced toolbar whose place is on a
// monitor again goes back there.
std::vector<DockPlacement> ArrangeDockedToolbars(const std::vector<DockEntry>& entries, const MonitorList& monitors);
