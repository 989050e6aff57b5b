// The monitors of the desktop as plain rectangles: each monitor's whole
// area and its work area (the monitor without the taskbar and the strips
// other programs keep for themselves).  Which monitor a window stands on is
// arithmetic on these, so tests hand in monitors of their own.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

struct MonitorArea {
    RECT monitor{0, 0, 0, 0};
    RECT work{0, 0, 0, 0};
};
using MonitorList = std::vector<MonitorArea>;

// The monitors now attached, the primary one first; never empty.
MonitorList CurrentMonitors();
// Tests lay toolbars out on monitors that do not exist; an empty source
// returns to the real ones.
void SetMonitorSource(std::function<MonitorList()> source);

// The monitor a rectangle overlaps most, or -1 when it overlaps none.
int MonitorOverlapping(const MonitorList& monitors, const RECT& rect);
// The monitor whose area lies closest to a rectangle (0 apart when they
// overlap); -1 only for an empty list.
int NearestMonitor(const MonitorList& monitors, const RECT& rect);
// Whether a point lies in the work area of some monitor.
bool InAnyWorkArea(const MonitorList& monitors, POINT point);
