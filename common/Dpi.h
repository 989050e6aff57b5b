// Dots per inch of the screen a window stands on, and sizes scaled to it.
//
// Every size the toolbars and buttons are designed with is a size at 96 dpi;
// the files store those.  Where a size is worked out it goes through Scale
// with the DPI of the monitor the window is on.  The per-monitor functions
// came with later versions of Windows, so they are looked up at run time and
// the screen's LOGPIXELSX stands in where they are missing.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace Dpi {

constexpr int kDefault = 96;

// A 96-dpi size at dpi, rounded to the nearest pixel.
inline int Scale(int size, int dpi)
{
    return dpi == kDefault || dpi <= 0 ? size : MulDiv(size, dpi, kDefault);
}
inline SIZE Scale(SIZE size, int dpi) { return SIZE{Scale(static_cast<int>(size.cx), dpi), Scale(static_cast<int>(size.cy), dpi)}; }
// Back from dpi to 96 dpi.
inline int Unscale(int size, int dpi)
{
    return dpi == kDefault || dpi <= 0 ? size : MulDiv(size, kDefault, dpi);
}

// The DPI of the screen as a whole (the system's setting).
int System();
// The DPI of the monitor the window stands on; the system's for a null window.
int ForWindow(HWND window);
// The DPI of a monitor; the system's when it cannot be had.
int ForMonitor(HMONITOR monitor);
// The DPI of the monitor a rectangle stands on most.
int ForRect(const RECT& rect);
// GetSystemMetrics as it answers at dpi.
int SystemMetric(int index, int dpi);

} // namespace Dpi
