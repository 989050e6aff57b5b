// The grid a toolbar lays its buttons out in, as arithmetic on sizes and
// settings alone: where each button stands, how big the button area and the
// frame around it are, and what a window size or a drag of the frame makes
// of the toolbar.  No window is needed, so tests call these directly.
#pragma once

#include "ToolbarSettings.h"

#include <windows.h>

#include <vector>

// One button of the toolbar as the grid sees it, in display order.
struct GridCell {
    enum Kind { kButton, kSpace, kNone };
    SIZE size{0, 0};
    Kind kind = kButton;
};

// What shapes the grid besides the toolbar's stored settings (of which it
// reads the orientation, buttons per line, border, menu buttons, button size
// and docking; vertical toolbars run their buttons along rows).
struct GridContext {
    bool collapsed = false;
    bool allowTab = true;   // toolbars on the taskbar have a full caption rather than a small one
    int dpi = 96;           // of the monitor the toolbar stands on; the settings hold 96-dpi sizes
};

// The system's frame and caption sizes the window sizes depend on.
struct FrameMetrics {
    int cxFrame = 4;
    int cyFrame = 4;
    int caption = 19;
    int smallCaption = 15;
    int cxSize = 18;
    // The system's sizes as they are at dpi.
    static FrameMetrics FromSystem(int dpi = 96);
};

// The side of the strip the two menu buttons take, and the step from one
// menu button to the next, at 96 dpi.
constexpr int kMenuButtonStrip = 13;
constexpr int kMenuButtonStep = 15;
// The empty slot of each button size: the icon plus its margin.
int EmptySlot(int buttonSize, int dpi = 96);
// Whether a button takes a slot: a space leaves a gap only in single-file toolbars.
bool TakesSlot(const GridCell& cell, int perLine);

// Where the button at index stands in the toolbar's client area.
POINT GridSlotPosition(const std::vector<GridCell>& cells, int index, const ToolbarSettings& settings, int dpi = 96);
// The area the buttons fill with perLine to a line in an orientation; an
// empty toolbar keeps one empty slot.
SIZE GridButtonArea(const std::vector<GridCell>& cells, int perLine, int orientation, int buttonSize, int dpi = 96);
// What the window adds around the button area: the menu strip and the
// border at the context's DPI, and the frame the metrics give.
SIZE GridFrameSize(const ToolbarSettings& settings, const GridContext& context, bool vertical,
                   const FrameMetrics& metrics);

// The window size for the settings, and the buttons per line it took: a
// toolbar too big for the work area gets more buttons per line until it fits.
struct GridWindow {
    SIZE size{0, 0};
    int perLine = 1;
};
GridWindow GridWindowSize(const std::vector<GridCell>& cells, const ToolbarSettings& settings,
                          const GridContext& context, SIZE workArea, const FrameMetrics& metrics);

// What dragging an edge of the frame to width x height makes of the toolbar:
// the buttons per line nearest that shape, and a flip of orientation when a
// single line is dragged across.
struct GridFit {
    SIZE size{0, 0};
    int perLine = 1;
    int orientation = kVertical;
    bool changed = false;
};
GridFit GridFitToSize(const std::vector<GridCell>& cells, const ToolbarSettings& settings, const GridContext& context,
                      int width, int height, UINT edge, SIZE workArea, const FrameMetrics& metrics);
