#include "ToolbarGrid.h"

#include "../common/Dpi.h"

namespace {

int ClampPerLine(int perLine)
{
    return perLine < 1 ? 1 : (perLine > 16 ? 16 : perLine);
}

int Distance(int a, int b)
{
    return a > b ? a - b : b - a;
}

} // namespace

FrameMetrics FrameMetrics::FromSystem(int dpi)
{
    FrameMetrics metrics;
    metrics.cxFrame = Dpi::SystemMetric(SM_CXFRAME, dpi);
    metrics.cyFrame = Dpi::SystemMetric(SM_CYFRAME, dpi);
    metrics.caption = Dpi::SystemMetric(SM_CYCAPTION, dpi);
    metrics.smallCaption = Dpi::SystemMetric(SM_CYSMCAPTION, dpi);
    metrics.cxSize = Dpi::SystemMetric(SM_CXSIZE, dpi);
    return metrics;
}

int EmptySlot(int buttonSize, int dpi)
{
    return Dpi::Scale(buttonSize == 0 ? 26 : (buttonSize == 1 ? 42 : 58), dpi);
}

bool TakesSlot(const GridCell& cell, int perLine)
{
    switch (cell.kind) {
    case GridCell::kButton:
        return true;
    case GridCell::kSpace:
        return perLine == 1;
    default:
        return false;
    }
}

POINT GridSlotPosition(const std::vector<GridCell>& cells, int index, const ToolbarSettings& settings, int dpi)
{
    const int perLine = ClampPerLine(settings.buttonsPerLine);
    const bool vertical = settings.orientation != kHorizontal;
    const bool menuButtons = settings.showMenuButtons != FALSE;
    const int border = Dpi::Scale(settings.border, dpi);
    const int menuStep = Dpi::Scale(kMenuButtonStep, dpi);
    const int startX = border + (menuButtons && !vertical ? menuStep : 0);
    const int startY = border + (menuButtons && vertical ? menuStep : 0);
    int x = startX;
    int y = startY;
    int placed = 0;
    int lineWidth = 0;
    int lineHeight = 0;
    for (int i = 0; i < index && i < static_cast<int>(cells.size()); ++i) {
        const GridCell& cell = cells[static_cast<size_t>(i)];
        if (!TakesSlot(cell, perLine))
            continue;
        ++placed;
        lineWidth = cell.size.cx > lineWidth ? cell.size.cx : lineWidth;
        lineHeight = cell.size.cy > lineHeight ? cell.size.cy : lineHeight;
        if (vertical)
            x += cell.size.cx;
        else
            y += cell.size.cy;
        if (placed % perLine == 0) {
            if (vertical) {
                x = startX;
                y += lineHeight;
            } else {
                y = startY;
                x += lineWidth;
            }
            lineWidth = lineHeight = 0;
        }
    }
    return POINT{x, y};
}

SIZE GridButtonArea(const std::vector<GridCell>& cells, int perLine, int orientation, int buttonSize, int dpi)
{
    perLine = ClampPerLine(perLine);
    const bool vertical = orientation != kHorizontal;
    // Along a line sizes add up; across lines the largest of each line adds up.
    int along = 0;
    int acrossMax = 0;
    int longestLine = 0;
    int acrossTotal = 0;
    int placed = 0;
    for (const GridCell& cell : cells) {
        if (!TakesSlot(cell, perLine))
            continue;
        const int alongSize = vertical ? cell.size.cx : cell.size.cy;
        const int acrossSize = vertical ? cell.size.cy : cell.size.cx;
        along += alongSize;
        acrossMax = acrossSize > acrossMax ? acrossSize : acrossMax;
        if (++placed % perLine == 0) {
            longestLine = along > longestLine ? along : longestLine;
            acrossTotal += acrossMax;
            along = acrossMax = 0;
        }
    }
    if (placed % perLine != 0) {
        longestLine = along > longestLine ? along : longestLine;
        acrossTotal += acrossMax;
    }
    SIZE area = vertical ? SIZE{longestLine, acrossTotal} : SIZE{acrossTotal, longestLine};
    if (area.cx == 0)
        area.cx = EmptySlot(buttonSize, dpi);
    if (area.cy == 0)
        area.cy = EmptySlot(buttonSize, dpi);
    return area;
}

SIZE GridFrameSize(const ToolbarSettings& settings, const GridContext& context, bool vertical,
                   const FrameMetrics& metrics)
{
    SIZE frame{0, 0};
    const int border = Dpi::Scale(settings.border, context.dpi);
    if (settings.showMenuButtons) {
        if (vertical)
            frame.cy += Dpi::Scale(kMenuButtonStrip, context.dpi);
        else
            frame.cx += Dpi::Scale(kMenuButtonStrip, context.dpi);
    }
    if (settings.docked) {
        frame.cx += 2 * (metrics.cxFrame + border) - 2;
        frame.cy += 2 * (metrics.cyFrame + border) - 2;
    } else {
        frame.cx += 2 * (metrics.cxFrame + border);
        frame.cy += 2 * (metrics.cyFrame + border) + (context.allowTab ? metrics.caption : metrics.smallCaption);
    }
    return frame;
}

GridWindow GridWindowSize(const std::vector<GridCell>& cells, const ToolbarSettings& settings,
                          const GridContext& context, SIZE workArea, const FrameMetrics& metrics)
{
    const bool vertical = settings.orientation != kHorizontal;
    GridWindow window;
    window.perLine = ClampPerLine(settings.buttonsPerLine);
    for (;;) {
        SIZE area = GridButtonArea(cells, window.perLine, settings.orientation, settings.buttonSize, context.dpi);
        const SIZE frame = GridFrameSize(settings, context, vertical, metrics);
        int width = area.cx + frame.cx;
        int height = area.cy + frame.cy;
        if (context.collapsed) {
            // A collapsed toolbar keeps its caption, or a sliver of its frame when docked.
            if (!settings.docked) {
                width = metrics.cxSize + 2 * metrics.cxFrame + Dpi::Scale(25, context.dpi);
                height = (context.allowTab ? metrics.caption : metrics.smallCaption) + 2 * metrics.cyFrame;
            } else if (vertical) {
                width = 2 * metrics.cxFrame - 1;
            } else {
                height = 2 * metrics.cyFrame - 1;
            }
        }
        window.size = SIZE{width, height};
        if ((width <= workArea.cx && height <= workArea.cy) || window.perLine >= 16)
            break;
        ++window.perLine;
    }
    return window;
}

GridFit GridFitToSize(const std::vector<GridCell>& cells, const ToolbarSettings& settings, const GridContext& context,
                      int width, int height, UINT edge, SIZE workArea, const FrameMetrics& metrics)
{
    const int count = static_cast<int>(cells.size());
    const int orientation = settings.orientation;
    const int buttonSize = settings.buttonSize;
    const bool vertical = orientation != kHorizontal;
    const SIZE frame = GridFrameSize(settings, context, vertical, metrics);
    const int targetWidth = width - frame.cx;
    const int targetHeight = height - frame.cy;
    const bool horizontalEdge = edge == WMSZ_LEFT || edge == WMSZ_RIGHT;
    const bool verticalEdge = edge == WMSZ_TOP || edge == WMSZ_BOTTOM;

    const int candidates = count < 16 ? count : 16;
    int best = 999999;
    int winner = settings.buttonsPerLine;
    SIZE winnerArea = GridButtonArea(cells, settings.buttonsPerLine, orientation, buttonSize, context.dpi);
    for (int perLine = 1; perLine <= candidates && best != 0; ++perLine) {
        const SIZE area = GridButtonArea(cells, perLine, orientation, buttonSize, context.dpi);
        // A shape wider or taller than the work area is never chosen.
        int dw = area.cx > workArea.cx ? 10000 : Distance(area.cx, targetWidth);
        int dh = area.cy > workArea.cy ? 10000 : Distance(area.cy, targetHeight);
        if (horizontalEdge)
            dh = 0;
        if (verticalEdge)
            dw = 0;
        if (dw + dh < best) {
            best = dw + dh;
            winner = perLine;
            winnerArea = area;
        }
    }

    GridFit fit;
    fit.changed = winner != settings.buttonsPerLine;
    fit.orientation = orientation;
    const bool endOfRange = winner == 1 || winner == count;
    if (winnerArea.cy > winnerArea.cx && fit.orientation == kHorizontal && endOfRange)
        fit.orientation = kVertical;
    else if (winnerArea.cx > winnerArea.cy && fit.orientation == kVertical && endOfRange)
        fit.orientation = kHorizontal;
    if (fit.orientation != orientation)
        fit.changed = true;

    // A flip happens only for a single line (one button per line, or all of
    // them).  The same line in the other orientation has the other count, so
    // the toolbar keeps the shape the user dragged it to instead of folding
    // back across the drag.
    if (fit.orientation != orientation && count > 1)
        winner = winner == count ? 1 : count;
    SIZE area = winnerArea;
    if (fit.changed)
        area = GridButtonArea(cells, winner, fit.orientation, buttonSize, context.dpi);
    const SIZE finalFrame = GridFrameSize(settings, context, fit.orientation != kHorizontal, metrics);
    fit.perLine = winner;
    fit.size = SIZE{area.cx + finalFrame.cx, area.cy + finalFrame.cy};
    return fit;
}
