// How a toolbar looks: the background drawing shared by the toolbar window
// and the gradient preview, the named colours the colour boxes offer, and
// the colour a toolbar hands its buttons.
#pragma once

#include "ToolbarSettings.h"

#include <windows.h>

// Fills rect with 20 bands from start to end: left to right when
// acrossWidth, else top to bottom.  A short extent gets one-pixel bands and
// stops short of the end colour; a long one reaches it before the end.
void GradientFill(HDC dc, COLORREF start, COLORREF end, const RECT& rect, BOOL acrossWidth);

// The whole background of a toolbar's client area.
void PaintToolbarBackground(HDC dc, const ToolbarSettings& settings, const RECT& client);

// The colour the buttons are drawn on: the average of a gradient's colours,
// unless one of them is black, then the gradient's end or the one colour.
COLORREF ButtonBackground(const ToolbarSettings& settings);

// The entries of both colour boxes, in their order.
struct NamedColour {
    const char* name;
    COLORREF value;
};
enum : int { kColourDefault = 0, kColourCustom = 17, kColourCount = 18 };
constexpr COLORREF kInitialCustomColour = RGB(0x9E, 0x31, 0xFF);
// Entry 0 is the button face, entry 17 the custom colour given.
NamedColour ColourEntry(int index, COLORREF custom);

// The entry a stored colour opens with.  "Default" comes only from the
// system flag: a colour that equals today's button face by chance keeps its
// own name and stays the colour it was stored as.  A colour no name fits is
// the custom one.
int ColourIndexFor(COLORREF colour, BOOL isSystem);

// The style preview: the sample buttons a toolbar with these settings would
// show, repeated across a band on a Deep Purple background, at the sizes
// of a monitor of dpi.
void DrawStyleSample(HDC dc, const RECT& area, const ToolbarSettings& settings, HICON icon, const char* text,
                     int dpi = 96);

// The three preview controls of the toolbar property sheet.  Each keeps its
// state in its window's extra bytes, takes it by the messages below and
// paints it inside a sunken edge.
//  "TBWGradientClass": start colour (lParam), end colour (lParam) and a flag
//      (wParam) that turns the gradient from across to down.
//  "TBWStyleClass": border 0 to 5, size 0 to 2, description and background
//      flags, each in wParam; values out of range are ignored.
//  "TBWPositionClass": orientation (0 vertical, 1 horizontal), buttons per
//      line (1 to 6), place (kPreviewPlace...) and autohide, each in wParam.
enum : UINT {
    kPreviewSet1 = WM_USER + 101,   // 1125
    kPreviewSet2 = WM_USER + 102,
    kPreviewSet3 = WM_USER + 103,
    kPreviewSet4 = WM_USER + 104,
};
// The position preview's places; top right and bottom left are not the
// toolbar's corner codes.
enum : int {
    kPreviewFloating = 0,
    kPreviewTopLeft = 5,
    kPreviewTopRight = 9,
    kPreviewBottomLeft = 6,
    kPreviewBottomRight = 10,
    kPreviewFixed = 16,
};
constexpr COLORREF kPreviewScreen = RGB(0x00, 0x80, 0x80);
constexpr COLORREF kPreviewToolbar = RGB(0xC0, 0xC0, 0xC0);
// The toolbar's place as the position preview shows it.
int PreviewPlace(BOOL docked, int dockCorner);
// The toolbar a position preview of that client size draws, in client
// coordinates (without its title bar), at the sizes of a monitor of dpi.
RECT PreviewToolbarRect(const RECT& client, int orientation, int perLine, int place, BOOL autohide, int dpi = 96);
BOOL RegisterPreviewClasses(HINSTANCE instance);
