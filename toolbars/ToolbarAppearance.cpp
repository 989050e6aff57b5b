#include "ToolbarAppearance.h"

#include "../common/Dpi.h"
#include "../common/ScopedHandle.h"
#include "../resources/lintel/resource.h"

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

void DrawStyleSample(HDC dc, const RECT& area, const ToolbarSettings& settings, HICON icon, const char* text, int dpi)
{
    {
        CBrushHandle purple(CreateSolidBrush(kDeepPurple));
        FillRect(dc, &area, purple.Get());
    }
    auto px = [dpi](int size) { return Dpi::Scale(size, dpi); };
    const int size = settings.buttonSize < 0 ? 0 : (settings.buttonSize > 2 ? 2 : settings.buttonSize);
    const int side = px(16 * (size + 1));
    const int border = px(settings.border);
    int width = side + px(10);
    const int height = side + px(10);
    if (settings.showDescription)
        width = size == 0 ? px(16 + 80 + 10) : px(32 * (size + 1) + 10);

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
    face.lfHeight = -MulDiv(size == 2 ? 12 : 8, dpi, 72);
    face.lfWeight = FW_NORMAL;
    lstrcpynA(face.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    CFontHandle font(CreateFontIndirectA(&face));
    HGDIOBJ oldFont = SelectObject(dc, font.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);

    for (int i = 0; i < count; ++i) {
        const RECT button{first + i * width, band.top + border, first + (i + 1) * width, band.top + border + height};
        FillRect(dc, &button, GetSysColorBrush(COLOR_BTNFACE));
        const bool smallWithText = size == 0 && settings.showDescription;
        const int iconX = smallWithText ? button.left + px(5) : button.left + (width - side) / 2;
        if (icon)
            DrawIconEx(dc, iconX, button.top + px(4), icon, side, side, 0, nullptr, DI_NORMAL);
        if (settings.showDescription && text) {
            RECT textRect = button;
            UINT format = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
            if (smallWithText) {
                textRect.left = button.left + px(26);
                textRect.right = textRect.left + width - px(31);
                format |= DT_LEFT | DT_VCENTER;
            } else {
                textRect.left = button.left + px(5);
                textRect.right = button.right - px(5);
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

// ---------------------------------------------------------------- previews

namespace {

// Each preview keeps its values in 32-bit slots of its extra bytes.
LONG Slot(HWND window, int slot)
{
    return GetWindowLongA(window, slot * static_cast<int>(sizeof(LONG)));
}

void SetSlot(HWND window, int slot, LONG value)
{
    SetWindowLongA(window, slot * static_cast<int>(sizeof(LONG)), value);
    InvalidateRect(window, nullptr, FALSE);
}

bool InRange(WPARAM value, WPARAM low, WPARAM high)
{
    return value >= low && value <= high;
}

void PaintGradientPreview(HWND window, HDC dc)
{
    RECT client{};
    GetClientRect(window, &client);
    GradientFill(dc, static_cast<COLORREF>(Slot(window, 0)), static_cast<COLORREF>(Slot(window, 1)), client,
                 Slot(window, 2) == 0);
    DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
}

void PaintStylePreview(HWND window, HDC dc)
{
    RECT client{};
    GetClientRect(window, &client);
    ToolbarSettings settings;
    settings.border = static_cast<int>(Slot(window, 0));
    settings.buttonSize = static_cast<int>(Slot(window, 1));
    settings.showDescription = Slot(window, 2) != 0;
    settings.showButtonBackground = Slot(window, 3) != 0;
    const int dpi = Dpi::ForWindow(window);
    const int side = Dpi::Scale(16 * (settings.buttonSize + 1), dpi);
    auto* instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    CIconHandle icon(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_LINTEL), IMAGE_ICON, side, side, 0)));
    char text[64] = "Sample";
    LoadStringA(instance, IDS_TBP_SAMPLE_TEXT, text, sizeof text);
    DrawStyleSample(dc, client, settings, icon.Get(), text, dpi);
}

void FillArea(HDC dc, const RECT& rect, COLORREF colour)
{
    CBrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.Get());
}

void PaintPositionPreview(HWND window, HDC dc)
{
    RECT client{};
    GetClientRect(window, &client);
    FillArea(dc, client, kPreviewScreen);
    const int place = static_cast<int>(Slot(window, 2));
    // The page grows with the dialog font; the little screen's toolbar grows with it.
    const int dpi = Dpi::ForWindow(window);
    const RECT toolbar = PreviewToolbarRect(client, static_cast<int>(Slot(window, 0)), static_cast<int>(Slot(window, 1)),
                                            place, Slot(window, 3) != 0, dpi);
    FillArea(dc, toolbar, kPreviewToolbar);
    if (place == kPreviewFloating) {
        const RECT title{toolbar.left, toolbar.top - Dpi::Scale(3, dpi), toolbar.right, toolbar.top};
        FillArea(dc, title, RGB(0, 0, 0));
    }
    DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
}

using PreviewPainter = void (*)(HWND, HDC);

LRESULT PreviewMessage(HWND window, UINT message, WPARAM first, LPARAM second, PreviewPainter paint)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(window, &ps);
        paint(window, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(window, reinterpret_cast<HDC>(first));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProcA(window, message, first, second);
    }
}

LRESULT CALLBACK GradientPreviewProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_CREATE:
        SetSlot(window, 0, static_cast<LONG>(RGB(0, 0, 0)));
        SetSlot(window, 1, static_cast<LONG>(RGB(0xFF, 0xFF, 0xFF)));
        SetSlot(window, 2, 0);
        return 0;
    case kPreviewSet1:
    case kPreviewSet2:
        SetSlot(window, message == kPreviewSet1 ? 0 : 1, static_cast<LONG>(second & 0xFFFFFF));
        return 0;
    case kPreviewSet3:
        SetSlot(window, 2, first ? 1 : 0);
        return 0;
    default:
        return PreviewMessage(window, message, first, second, PaintGradientPreview);
    }
}

LRESULT CALLBACK StylePreviewProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_CREATE:
        SetSlot(window, 0, 5);
        SetSlot(window, 1, 1);
        SetSlot(window, 2, 1);
        SetSlot(window, 3, 1);
        return 0;
    case kPreviewSet1:
        if (InRange(first, 0, 5))
            SetSlot(window, 0, static_cast<LONG>(first));
        return 0;
    case kPreviewSet2:
        if (InRange(first, 0, 2))
            SetSlot(window, 1, static_cast<LONG>(first));
        return 0;
    case kPreviewSet3:
    case kPreviewSet4:
        if (InRange(first, 0, 1))
            SetSlot(window, message == kPreviewSet3 ? 2 : 3, static_cast<LONG>(first));
        return 0;
    default:
        return PreviewMessage(window, message, first, second, PaintStylePreview);
    }
}

LRESULT CALLBACK PositionPreviewProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_CREATE:
        SetSlot(window, 0, 0);
        SetSlot(window, 1, 1);
        SetSlot(window, 2, kPreviewFloating);
        SetSlot(window, 3, 0);
        return 0;
    case kPreviewSet1:
    case kPreviewSet4:
        if (InRange(first, 0, 1))
            SetSlot(window, message == kPreviewSet1 ? 0 : 3, static_cast<LONG>(first));
        return 0;
    case kPreviewSet2:
        if (InRange(first, 1, 6))
            SetSlot(window, 1, static_cast<LONG>(first));
        return 0;
    case kPreviewSet3:
        switch (first) {
        case kPreviewFloating:
        case kPreviewTopLeft:
        case kPreviewTopRight:
        case kPreviewBottomLeft:
        case kPreviewBottomRight:
        case kPreviewFixed:
            SetSlot(window, 2, static_cast<LONG>(first));
            break;
        default:
            break;
        }
        return 0;
    default:
        return PreviewMessage(window, message, first, second, PaintPositionPreview);
    }
}

} // namespace

int PreviewPlace(BOOL docked, int dockCorner)
{
    if (!docked)
        return kPreviewFloating;
    switch (dockCorner) {
    case kCornerTopLeft: return kPreviewTopLeft;
    case kCornerTopRight: return kPreviewTopRight;
    case kCornerBottomLeft: return kPreviewBottomLeft;
    case kCornerBottomRight: return kPreviewBottomRight;
    default: return kPreviewFixed;
    }
}

RECT PreviewToolbarRect(const RECT& client, int orientation, int perLine, int place, BOOL autohide, int dpi)
{
    if (perLine < 1)
        perLine = 1;
    if (perLine > 6)
        perLine = 6;
    auto px = [dpi](int size) { return Dpi::Scale(size, dpi); };
    const bool horizontal = orientation == 1;
    const int along = px(perLine * 8);
    const int across = px((6 / perLine) * 8);
    int width = horizontal ? across : along;
    int height = horizontal ? along : across;
    const bool docked = place != kPreviewFloating && place != kPreviewFixed;
    if (autohide) {
        if (!docked) {
            width = px(horizontal ? 4 : 8);
            height = px(horizontal ? 8 : 4);
        } else if (horizontal) {
            height = px(2);
        } else {
            width = px(2);
        }
    }
    const int inset = px(2);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    int left = client.left + (clientWidth - width) / 2;
    int top = client.top + (clientHeight - height) / 2;
    if (place == kPreviewTopLeft || place == kPreviewBottomLeft)
        left = client.left + inset;
    if (place == kPreviewTopRight || place == kPreviewBottomRight)
        left = client.right - inset - width;
    if (place == kPreviewTopLeft || place == kPreviewTopRight)
        top = client.top + inset;
    if (place == kPreviewBottomLeft || place == kPreviewBottomRight)
        top = client.bottom - inset - height;
    return RECT{left, top, left + width, top + height};
}

BOOL RegisterPreviewClasses(HINSTANCE instance)
{
    const struct {
        const char* name;
        WNDPROC procedure;
    } classes[] = {
        {"TBWGradientClass", GradientPreviewProc},
        {"TBWStyleClass", StylePreviewProc},
        {"TBWPositionClass", PositionPreviewProc},
    };
    for (const auto& entry : classes) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = entry.procedure;
        windowClass.cbWndExtra = 4 * sizeof(LONG);
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = entry.name;
        if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return FALSE;
    }
    return TRUE;
}
