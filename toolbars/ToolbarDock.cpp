#include "ToolbarDock.h"

#include "ToolbarSettings.h"
#include "../common/Dpi.h"

#include <map>
#include <utility>

namespace {

RECT PlaceOfSize(POINT topLeft, SIZE size)
{
    return RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy};
}

// The top-left point that brings a window of size into the work area,
// moving it as little as possible; a window larger than the area keeps its
// top-left edge inside.
POINT Inside(const RECT& work, POINT topLeft, SIZE size)
{
    POINT at = topLeft;
    if (at.x + size.cx > work.right)
        at.x = work.right - size.cx;
    if (at.y + size.cy > work.bottom)
        at.y = work.bottom - size.cy;
    if (at.x < work.left)
        at.x = work.left;
    if (at.y < work.top)
        at.y = work.top;
    return at;
}

POINT Centred(const RECT& work, SIZE size)
{
    return POINT{work.left + ((work.right - work.left) - size.cx) / 2,
                 work.top + ((work.bottom - work.top) - size.cy) / 2};
}

// The monitor holding a point, or -1.
int MonitorAt(const MonitorList& monitors, POINT point)
{
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (PtInRect(&monitors[i].monitor, point))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

RECT DockWorkArea(const MonitorList& monitors, const RECT& rect)
{
    const int index = NearestMonitor(monitors, rect);
    if (index < 0) {
        RECT work{};
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
            SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return work;
    }
    return monitors[static_cast<size_t>(index)].work;
}

int DragDockCorner(const RECT& rect, const RECT& work, int dpi)
{
    const int reach = Dpi::Scale(2, dpi);
    // A later match replaces an earlier one: the bottom corners win over
    // the top ones, the right over the left.
    int corner = 0;
    if (rect.left < work.left + reach && rect.top < work.top + reach)
        corner = kCornerTopLeft;
    if (rect.right > work.right - reach && rect.top < work.top + reach)
        corner = kCornerTopRight;
    if (rect.left < work.left + reach && rect.bottom > work.bottom - reach)
        corner = kCornerBottomLeft;
    if (rect.right > work.right - reach && rect.bottom > work.bottom - reach)
        corner = kCornerBottomRight;
    return corner;
}

bool DragUndocks(const RECT& rect, const RECT& work)
{
    return rect.left > work.left && rect.top >= work.top && rect.right < work.right && rect.bottom < work.bottom;
}

RECT CornerRect(int dockCorner, SIZE size, const RECT& work, POINT topLeft)
{
    switch (dockCorner) {
    case kCornerTopLeft:
        return RECT{work.left, work.top, work.left + size.cx, work.top + size.cy};
    case kCornerTopRight:
        return RECT{work.right - size.cx, work.top, work.right, work.top + size.cy};
    case kCornerBottomLeft:
        return RECT{work.left, work.bottom - size.cy, work.left + size.cx, work.bottom};
    case kCornerBottomRight:
        return RECT{work.right - size.cx, work.bottom - size.cy, work.right, work.bottom};
    default:
        return PlaceOfSize(topLeft, size);
    }
}

std::vector<DockPlacement> ArrangeDockedToolbars(const std::vector<DockEntry>& entries, const MonitorList& monitors)
{
    std::vector<DockPlacement> placements(entries.size());
    if (monitors.empty())
        return placements;
    // One running anchor per monitor and corner, started at the corner.
    std::map<std::pair<int, int>, POINT> anchors;
    for (size_t i = 0; i < entries.size(); ++i) {
        const DockEntry& entry = entries[i];
        DockPlacement& placement = placements[i];
        const POINT placeTopLeft{entry.place.left, entry.place.top};
        const RECT place = PlaceOfSize(placeTopLeft, entry.size);
        int onMonitor = MonitorOverlapping(monitors, place);
        if (entry.corner >= 0 && entry.corner < 4) {
            // A corner toolbar belongs to the monitor of its point nearest
            // the corner, so that a line of toolbars running past the
            // monitor's edge does not hop onto the neighbour.
            const bool right = entry.corner == 1 || entry.corner == 2;
            const bool bottom = entry.corner == 2 || entry.corner == 3;
            const int atCorner =
                MonitorAt(monitors, POINT{right ? place.right - 1 : place.left, bottom ? place.bottom - 1 : place.top});
            if (atCorner >= 0)
                onMonitor = atCorner;
        }
        const int monitor = onMonitor >= 0 ? onMonitor : NearestMonitor(monitors, place);
        const RECT& work = monitors[static_cast<size_t>(monitor)].work;

        if (entry.corner == -2) {
            if (InAnyWorkArea(monitors, placeTopLeft)) {
                placement.move = entry.displaced;
                placement.at = placeTopLeft;
            } else {
                placement.move = true;
                placement.at = Centred(work, entry.size);
                placement.displaced = true;
            }
            continue;
        }
        if (entry.corner < 0 || entry.corner > 4)
            continue;
        placement.displaced = onMonitor < 0;
        if (entry.corner == 4) {
            if (placement.displaced) {
                placement.move = true;
                placement.at = Inside(work, placeTopLeft, entry.size);
            } else {
                placement.move = entry.displaced;
                placement.at = placeTopLeft;
            }
            continue;
        }
        const bool right = entry.corner == 1 || entry.corner == 2;
        const bool bottom = entry.corner == 2 || entry.corner == 3;
        const auto key = std::make_pair(monitor, entry.corner);
        auto found = anchors.find(key);
        if (found == anchors.end())
            found = anchors.emplace(key, POINT{right ? work.right : work.left, bottom ? work.bottom : work.top}).first;
        POINT& anchor = found->second;
        placement.move = true;
        placement.at = POINT{right ? anchor.x - entry.size.cx : anchor.x, bottom ? anchor.y - entry.size.cy : anchor.y};
        // Toolbars sharing a corner line up away from it without overlapping.
        if (entry.orientation == kHorizontal)
            anchor.y += bottom ? -entry.size.cy : entry.size.cy;
        else
            anchor.x += right ? -entry.size.cx : entry.size.cx;
    }
    return placements;
}
