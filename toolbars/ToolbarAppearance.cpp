#include "ToolbarAppearance.h"

#include "../common/ScopedHandle.h"

#include <cmath>

namespace {

const NamedColour kNamedColours[kColourCount] = {
    {"Default", 0},
    {"Black", RGB(0x00, 0x00, 0x00)},
    {"White", RGB(0xFF, 0xFF, 0xFF)},
    {"Red", RGB(0xFF, 0x00, 0x00)},
    {"Green", RGB(0x00, 0xFF, 0x00)},
    {"Yellow", RGB(0xFF, 0xFF, 0x00)},
    {"Blue", RGB(0x00, 0x00, 0xFF)},
    {"Magenta", RGB(0xFF, 0x00, 0xFF)},
    {"Cyan", RGB(0x00, 0xFF, 0xFF)},
    {"Light Gray", RGB(0xC0, 0xC0, 0xC0)},
    {"Dark Gray", RGB(0x80, 0x80, 0x80)},
    {"Dark Red", RGB(0x80, 0x00, 0x00)},
    {"Dark Green", RGB(0x00, 0x80, 0x00)},
    {"Dark Yellow", RGB(0x80, 0x80, 0x00)},
    {"Dark Blue", RGB(0x00, 0x00, 0x80)},
    {"Deep Purple", RGB(0x80, 0x00, 0x80)},
    {"Turquoise", RGB(0x00, 0x80, 0x80)},
    {"Custom", 0},
};

constexpr COLORREF kDeepPurple = RGB(0x80, 0x00, 0x80);

void FillSolid(HDC dc, COLORREF colour, int left, int top, int right, int bottom)
{
    CBrushHandle brush(CreateSolidBrush(colour));
    HGDIOBJ oldBrush = SelectObject(dc, brush.Get());
    Rectangle(dc, left, top, right, bottom);
    SelectObject(dc, oldBrush);
}

} // namespace

void GradientFill(HDC dc, COLORREF start, COLORREF end, const RECT& rect, BOOL acrossWidth)
{
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const double from[3] = {double(GetRValue(start)), double(GetGValue(start)), double(GetBValue(start))};
    const double to[3] = {double(GetRValue(end)), double(GetGValue(end)), double(GetBValue(end))};
    double step[3];
    double current[3];
    for (int c = 0; c < 3; ++c) {
        step[c] = (to[c] - from[c]) * 0.05;
        current[c] = from[c];
    }
    const int extent = acrossWidth ? rect.right - rect.left : rect.bottom - rect.top;
    int band = extent / 20;
    if (band < 1)
        band = 1;
    for (int pos = 0; pos < extent; pos += band) {
        const COLORREF colour = RGB(static_cast<int>(current[0]) & 0xFF, static_cast<int>(current[1]) & 0xFF,
                                    static_cast<int>(current[2]) & 0xFF);
        // With the null pen Rectangle leaves out its right and bottom
        // edges; the extra pixel makes each band exactly band wide.
        // The last band stops at the rectangle's edge when the extent is no
        // multiple of the band, so the preview's frame is left alone.
        const int stop = pos + band < extent ? pos + band : extent;
        if (acrossWidth)
            FillSolid(dc, colour, rect.left + pos, rect.top, rect.left + stop + 1, rect.bottom + 1);
        else
            FillSolid(dc, colour, rect.left, rect.top + pos, rect.right + 1, rect.top + stop + 1);
        for (int c = 0; c < 3; ++c) {
            current[c] += step[c];
            if ((step[c] < 0 && current[c] < to[c]) || (step[c] > 0 && current[c] > to[c])) {
                current[c] = to[c];
                step[c] = 0;
            }
        }
    }
    SelectObject(dc, oldPen);
}

void PaintToolbarBackground(HDC dc, const ToolbarSettings& settings, const RECT& client)
{
    if (settings.useGradient) {
        GradientFill(dc, settings.startColour, settings.endColour, client, settings.orientation == kHorizontal);
        return;
    }
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    FillSolid(dc, settings.startColour, 0, 0, client.right + 1, client.bottom + 1);
    SelectObject(dc, oldPen);
}

COLORREF ButtonBackground(const ToolbarSettings& settings)
{
    const COLORREF a = settings.startColour;
    const COLORREF b = settings.endColour;
    if (!settings.useGradient || a == 0 || b == 0)
        return settings.ButtonColour();
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2, (GetBValue(a) + GetBValue(b)) / 2);
}

NamedColour ColourEntry(int index, COLORREF custom)
{
    if (index < 0 || index >= kColourCount)
        index = kColourCustom;
    NamedColour entry = kNamedColours[index];
    if (index == kColourDefault)
        entry.value = GetSysColor(COLOR_BTNFACE);
    else if (index == kColourCustom)
        entry.value = custom;
    return entry;
}

int ColourIndexFor(COLORREF colour, BOOL isSystem)
{
    if (isSystem)
        return kColourDefault;
    for (int i = kColourDefault + 1; i < kColourCustom; ++i) {
        if (kNamedColours[i].value == colour)
            return i;
    }
    return kColourCustom;
}

void DrawStyleSample(HDC dc, const RECT& area, const ToolbarSettings& settings, HICON icon, const char* text)
{
    {
        CBrushHandle purple(CreateSolidBrush(kDeepPurple));
        FillRect(dc, &area, purple.Get());
    }
    const int size = settings.buttonSize < 0 ? 0 : (settings.buttonSize > 2 ? 2 : settings.buttonSize);
    const int side = 16 * (size + 1);
    const int border = settings.border;
    int width = side + 10;
    const int height = side + 10;
    if (settings.showDescription)
        width = size == 0 ? 16 + 80 + 10 : 32 * (size + 1) + 10;

    const int areaHeight = area.bottom - area.top;
    RECT band{area.left, area.top + (areaHeight - (height + 2 * border)) / 2, area.right, 0};
    band.bottom = band.top + height + 2 * border;
    FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
    if (border >= 2)
        DrawEdge(dc, &band, EDGE_RAISED, BF_RECT);

    const int areaWidth = area.right - area.left;
    const int count = width > 0 ? (areaWidth - 2 * border) / width : 0;
    const int first = area.left + (areaWidth - count * width) / 2;

    LOGFONTA face{};
    face.lfHeight = -MulDiv(size == 2 ? 12 : 8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    face.lfWeight = FW_NORMAL;
    lstrcpynA(face.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    CFontHandle font(CreateFontIndirectA(&face));
    HGDIOBJ oldFont = SelectObject(dc, font.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);

    for (int i = 0; i < count; ++i) {
        const RECT button{first + i * width, band.top + border, first + (i + 1) * width, band.top + border + height};
        FillRect(dc, &button, GetSysColorBrush(COLOR_BTNFACE));
        const bool smallWithText = size == 0 && settings.showDescription;
        const int iconX = smallWithText ? button.left + 5 : button.left + (width - side) / 2;
        if (icon)
            DrawIconEx(dc, iconX, button.top + 4, icon, side, side, 0, nullptr, DI_NORMAL);
        if (settings.showDescription && text) {
            RECT textRect = button;
            UINT format = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
            if (smallWithText) {
                textRect.left = button.left + 26;
                textRect.right = textRect.left + width - 31;
                format |= DT_LEFT | DT_VCENTER;
            } else {
                textRect.left = button.left + 5;
                textRect.right = button.right - 5;
                textRect.bottom = button.top + height * 3 / 4;
                format |= DT_CENTER | DT_BOTTOM;
            }
            DrawTextA(dc, text, -1, &textRect, format);
        }
        if (settings.showButtonBackground) {
            RECT edge = button;
            DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
        }
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    RECT frame = area;
    DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
}
