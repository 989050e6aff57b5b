#include "Monitors.h"

#include <algorithm>
#include <climits>

namespace {

std::function<MonitorList()>& Source()
{
    static std::function<MonitorList()> source;
    return source;
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, RECT*, LPARAM data)
{
    auto* monitors = reinterpret_cast<MonitorList*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(handle, &info))
        return TRUE;
    MonitorArea area;
    area.monitor = info.rcMonitor;
    area.work = info.rcWork;
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        monitors->insert(monitors->begin(), area);
    else
        monitors->push_back(area);
    return TRUE;
}

long long Overlap(const RECT& a, const RECT& b)
{
    const long long width = static_cast<long long>((std::min)(a.right, b.right)) - (std::max)(a.left, b.left);
    const long long height = static_cast<long long>((std::min)(a.bottom, b.bottom)) - (std::max)(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// How far apart two rectangles are along one axis; 0 when they overlap on it.
long long Gap(long first, long firstEnd, long second, long secondEnd)
{
    if (firstEnd <= second)
        return static_cast<long long>(second) - firstEnd;
    if (secondEnd <= first)
        return static_cast<long long>(first) - secondEnd;
    return 0;
}

} // namespace

MonitorList CurrentMonitors()
{
    if (Source())
        return Source()();
    MonitorList monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        MonitorArea area;
        SetRect(&area.monitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area.work, 0))
            area.work = area.monitor;
        monitors.push_back(area);
    }
    return monitors;
}

void SetMonitorSource(std::function<MonitorList()> source)
{
    Source() = std::move(source);
}

int MonitorOverlapping(const MonitorList& monitors, const RECT& rect)
{
    int best = -1;
    long long bestOverlap = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const long long overlap = Overlap(monitors[i].monitor, rect);
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int NearestMonitor(const MonitorList& monitors, const RECT& rect)
{
    const int overlapping = MonitorOverlapping(monitors, rect);
    if (overlapping >= 0)
        return overlapping;
    int best = -1;
    long long bestDistance = LLONG_MAX;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const RECT& area = monitors[i].monitor;
        const long long dx = Gap(rect.left, rect.right, area.left, area.right);
        const long long dy = Gap(rect.top, rect.bottom, area.top, area.bottom);
        const long long distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

bool InAnyWorkArea(const MonitorList& monitors, POINT point)
{
    for (const MonitorArea& area : monitors) {
        if (PtInRect(&area.work, point))
            return true;
    }
    return false;
}
