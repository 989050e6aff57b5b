// How a toolbar is drawn: the gradient by pixel on a memory bitmap, the
// colour the buttons get, the colour list's choice of entry, and real
// toolbar windows following the settings and the system colours.
#include "ToolbarFixture.h"
#include "driver/Driver.h"
#include "toolbars/ToolbarAppearance.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kPoison = RGB(0x12, 0x34, 0x56);

// A 32-bit top-down DIB section selected into a memory DC.
class PixelCanvas
{
public:
    PixelCanvas(int width, int height) : m_width(width)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<uint32_t*>(bits);
        m_old = SelectObject(m_dc, m_bitmap);
        for (int i = 0; i < width * height; ++i)
            m_bits[i] = 0x123456;   // kPoison as a DIB pixel (blue in the low byte)
    }
    ~PixelCanvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const uint32_t pixel = m_bits[y * m_width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

private:
    int m_width;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

struct Sample {
    int pos;
    COLORREF colour;
};

std::string Hex(COLORREF colour)
{
    char text[16];
    wsprintfA(text, "%06lx", static_cast<unsigned long>(colour));
    return text;
}

} // namespace

TEST(ToolbarGradient, BandsRunFromStartTowardsEndByPixel)
{
    // step per band = 0.05 of the difference, truncated per channel: red to
    // blue moves 12.75 a band, so band 19 is (12, 0, 242) and band 20 is blue.
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), grey = RGB(0x80, 0x80, 0x80);
    struct Case {
        const char* name;
        COLORREF start, end;
        int extent;
        BOOL acrossWidth;
        std::vector<Sample> samples;
    };
    const Case cases[] = {
        {"red to blue across 200", red, blue, 200, TRUE,
         {{0, red}, {9, red}, {10, RGB(242, 0, 12)}, {199, RGB(12, 0, 242)}}},
        {"20 pixels: one band each", red, blue, 20, FALSE,
         {{0, red}, {1, RGB(242, 0, 12)}, {10, RGB(127, 0, 127)}, {19, RGB(12, 0, 242)}}},
        {"10 pixels: the end is never reached", red, blue, 10, FALSE,
         {{0, red}, {9, RGB(140, 0, 114)}}},
        {"59 pixels: two-pixel bands, the end held", red, blue, 59, TRUE,
         {{0, red}, {1, red}, {2, RGB(242, 0, 12)}, {38, RGB(12, 0, 242)}, {40, blue}, {58, blue}}},
        {"equal ends", grey, grey, 37, FALSE, {{0, grey}, {18, grey}, {36, grey}}},
        {"black start", RGB(0, 0, 0), RGB(200, 100, 50), 40, TRUE,
         {{0, RGB(0, 0, 0)}, {2, RGB(10, 5, 2)}, {39, RGB(190, 95, 47)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Placed off the canvas origin, with a poisoned margin round it.
        const int margin = 3, across = 6;
        const int width = c.acrossWidth ? c.extent : across;
        const int height = c.acrossWidth ? across : c.extent;
        PixelCanvas canvas(width + 2 * margin, height + 2 * margin);
        const RECT rect{margin, margin, margin + width, margin + height};
        GradientFill(canvas.Dc(), c.start, c.end, rect, c.acrossWidth);
        for (const Sample& sample : c.samples) {
            SCOPED_TRACE(sample.pos);
            const int x = c.acrossWidth ? margin + sample.pos : margin + across / 2;
            const int y = c.acrossWidth ? margin + across / 2 : margin + sample.pos;
            EXPECT_EQ(Hex(canvas.At(x, y)), Hex(sample.colour));
            // Every band covers the full breadth of the rectangle.
            EXPECT_EQ(Hex(canvas.At(c.acrossWidth ? x : margin, c.acrossWidth ? margin : y)), Hex(sample.colour));
            EXPECT_EQ(Hex(canvas.At(c.acrossWidth ? x : rect.right - 1, c.acrossWidth ? rect.bottom - 1 : y)),
                      Hex(sample.colour));
        }
        // Nothing is drawn outside the rectangle.
        EXPECT_EQ(Hex(canvas.At(rect.right, rect.bottom - 1)), Hex(kPoison));
        EXPECT_EQ(Hex(canvas.At(rect.right - 1, rect.bottom)), Hex(kPoison));
        EXPECT_EQ(Hex(canvas.At(margin - 1, margin)), Hex(kPoison));
        EXPECT_EQ(Hex(canvas.At(margin, margin - 1)), Hex(kPoison));
    }
}

TEST(ToolbarGradient, ButtonsGetTheAverageUnlessAnEndIsBlack)
{
    struct Case {
        const char* name;
        BOOL gradient;
        COLORREF start, end, want;
    };
    const Case cases[] = {
        {"solid", FALSE, RGB(10, 20, 30), RGB(200, 200, 200), RGB(10, 20, 30)},
        {"gradient", TRUE, RGB(10, 21, 255), RGB(201, 100, 0x40), RGB(105, 60, 159)},
        {"black start", TRUE, RGB(0, 0, 0), RGB(200, 100, 50), RGB(200, 100, 50)},
        {"black end", TRUE, RGB(200, 100, 50), RGB(0, 0, 0), RGB(0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ToolbarSettings settings;
        settings.useGradient = c.gradient;
        settings.startColour = c.start;
        settings.endColour = c.end;
        EXPECT_EQ(Hex(ButtonBackground(settings)), Hex(c.want));
    }
}

TEST(ToolbarColourList, DefaultComesFromTheSystemFlagNotFromTheColour)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Case {
        const char* name;
        COLORREF colour;
        BOOL isSystem;
        int want;
    };
    const Case cases[] = {
        {"system flag", RGB(1, 2, 3), TRUE, kColourDefault},
        {"Light Gray", RGB(0xC0, 0xC0, 0xC0), FALSE, 9},
        {"Black", RGB(0, 0, 0), FALSE, 1},
        {"Turquoise", RGB(0, 0x80, 0x80), FALSE, 16},
        {"no name fits", RGB(0x12, 0x34, 0x56), FALSE, kColourCustom},
        {"the first custom colour", kInitialCustomColour, FALSE, kColourCustom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ColourIndexFor(c.colour, c.isSystem), c.want);
    }
    // Today's button face stored as a colour of its own stays that colour.
    EXPECT_NE(ColourIndexFor(face, FALSE), kColourDefault);
    EXPECT_EQ(ColourEntry(kColourDefault, 0).value, face);
    EXPECT_EQ(ColourEntry(kColourCustom, RGB(7, 8, 9)).value, RGB(7, 8, 9));
    EXPECT_STREQ(ColourEntry(9, 0).name, "Light Gray");
}

namespace {

class ColourButton : public TestButton
{
public:
    using TestButton::TestButton;
    COLORREF Colour() const { return m_colour; }
};

COLORREF WindowPixel(HWND window, int x, int y)
{
    // Drawn into a memory bitmap, so another window on top cannot spoil it.
    RECT client{};
    GetClientRect(window, &client);
    PixelCanvas canvas(client.right, client.bottom);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    return canvas.At(x, y);
}

} // namespace

class ToolbarAppearanceTest : public ToolbarTest
{
protected:
    ColourButton* AddColourButton(CToolbar* toolbar)
    {
        auto* button = new ColourButton(toolbar);
        CreationData data;
        toolbar->StoreCreationData(data);
        EXPECT_TRUE(button->Create(data, 3));
        return InsertButton(toolbar, button);
    }
};

TEST_F(ToolbarAppearanceTest, ButtonsFollowTheToolbarColours)
{
    CToolbar* toolbar = MakeToolbar();
    ColourButton* button = AddColourButton(toolbar);
    toolbar->ChangeSettings([](ToolbarSettings& s) {
        s.startIsSystem = s.endIsSystem = FALSE;
        s.useGradient = TRUE;
        s.startColour = RGB(100, 0, 200);
        s.endColour = RGB(0, 100, 100);
    });
    EXPECT_EQ(Hex(button->Colour()), Hex(RGB(50, 50, 150)));
    // A new button is made with the gradient's end, unaveraged.
    CreationData data;
    toolbar->StoreCreationData(data);
    EXPECT_EQ(Hex(data.colour), Hex(RGB(0, 100, 100)));
    toolbar->ChangeSettings([](ToolbarSettings& s) { s.useGradient = FALSE; });
    EXPECT_EQ(Hex(button->Colour()), Hex(RGB(100, 0, 200)));
}

TEST_F(ToolbarAppearanceTest, SystemColourChangeRepaintsADefaultToolbar)
{
    CToolbar* followsSystem = MakeToolbar("Default");
    CToolbar* ownColour = MakeToolbar("Light Gray");
    ownColour->ChangeSettings([](ToolbarSettings& s) {
        s.startIsSystem = FALSE;
        s.startColour = RGB(0xC0, 0xC0, 0xC0);
    });
    ColourButton* button = AddColourButton(followsSystem);
    const COLORREF before = GetSysColor(COLOR_BTNFACE);
    const COLORREF changed = RGB(0x20, 0x90, 0x40);
    const INT element = COLOR_BTNFACE;
    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    for (CToolbar* toolbar : {followsSystem, ownColour})
        SendMessageA(toolbar->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    const COLORREF followed = followsSystem->Settings().startColour;
    const COLORREF kept = ownColour->Settings().startColour;
    const COLORREF painted = WindowPixel(followsSystem->Handle(), 1, 1);
    const COLORREF buttonColour = button->Colour();
    SetSysColors(1, &element, &before);
    for (CToolbar* toolbar : {followsSystem, ownColour})
        SendMessageA(toolbar->Handle(), WM_SYSCOLORCHANGE, 0, 0);

    EXPECT_EQ(Hex(followed), Hex(changed));
    EXPECT_EQ(Hex(painted), Hex(changed));
    EXPECT_EQ(Hex(buttonColour), Hex(changed));
    EXPECT_EQ(Hex(kept), Hex(RGB(0xC0, 0xC0, 0xC0)));
    EXPECT_FALSE(ownColour->Settings().startIsSystem);
}

TEST_F(ToolbarAppearanceTest, SolidAndGradientToolbarsInEverySize)
{
    // Gradient toolbars without descriptions on the left, solid ones with
    // descriptions on the right, a row for each size.
    int y = 10;
    for (int size = 0; size < 3; ++size) {
        for (BOOL description : {FALSE, TRUE}) {
            const bool gradient = !description;
            char name[32];
            wsprintfA(name, "%s %d", gradient ? "Gradient" : "Solid", size);
            CToolbar* toolbar = MakeToolbar(name);
            for (int i = 0; i < 3; ++i) {
                TestButton* button = AddTestButton(toolbar);
                button->SetDescription(i == 1 ? "A long description" : "Text");
            }
            toolbar->ChangeSettings([&](ToolbarSettings& s) {
                s.docked = FALSE;
                s.startIsSystem = s.endIsSystem = FALSE;
                s.useGradient = gradient;
                s.startColour = RGB(255, 0, 0);
                s.endColour = RGB(0, 0, 255);
                s.orientation = kHorizontal;
                s.buttonsPerLine = 1;
                s.buttonSize = size;
                s.showDescription = description;
                s.showButtonBackground = size != 1;
            });
            RECT rect{};
            GetWindowRect(toolbar->Handle(), &rect);
            const int x = description ? 400 : 10;
            SetWindowPos(toolbar->Handle(), HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            UpdateWindow(toolbar->Handle());
            const COLORREF left = WindowPixel(toolbar->Handle(), 1, 1);
            EXPECT_EQ(Hex(left), Hex(RGB(255, 0, 0))) << name;
            if (gradient) {
                RECT client{};
                GetClientRect(toolbar->Handle(), &client);
                const COLORREF right = WindowPixel(toolbar->Handle(), client.right - 1, 1);
                EXPECT_GT(GetBValue(right), 200) << name;
                EXPECT_LT(GetRValue(right), 40) << name;
            }
            if (description)
                y += rect.bottom - rect.top + 10;
        }
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    driver::Screenshot("toolbar-backgrounds");
}

namespace {

// A preview control of the property sheet, on its own.
class Preview
{
public:
    explicit Preview(const char* className, int width = 100, int height = 80)
    {
        RegisterPreviewClasses(GetModuleHandleA(nullptr));
        m_window = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    ~Preview() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }
    LONG Slot(int index) const { return GetWindowLongA(m_window, index * static_cast<int>(sizeof(LONG))); }
    void Send(UINT message, WPARAM first, LPARAM second = 0) const { SendMessageA(m_window, message, first, second); }

private:
    HWND m_window = nullptr;
};

} // namespace

TEST(ToolbarPreviews, MessagesSetTheirStateAndValuesOutOfRangeAreIgnored)
{
    struct Step {
        UINT message;
        WPARAM first;
        LPARAM second;
        int slot;
        LONG want;
    };
    struct Case {
        const char* className;
        std::vector<LONG> initial;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"TBWGradientClass",
         {0x000000, 0xFFFFFF, 0},
         {{kPreviewSet1, 0, RGB(1, 2, 3), 0, RGB(1, 2, 3)},
          {kPreviewSet2, 0, RGB(4, 5, 6), 1, RGB(4, 5, 6)},
          {kPreviewSet3, 1, 0, 2, 1},
          {kPreviewSet3, 0, 0, 2, 0}}},
        {"TBWStyleClass",
         {5, 1, 1, 1},
         {{kPreviewSet1, 0, 0, 0, 0},
          {kPreviewSet1, 6, 0, 0, 0},
          {kPreviewSet1, static_cast<WPARAM>(-1), 0, 0, 0},
          {kPreviewSet2, 2, 0, 1, 2},
          {kPreviewSet2, 3, 0, 1, 2},
          {kPreviewSet3, 0, 0, 2, 0},
          {kPreviewSet3, 2, 0, 2, 0},
          {kPreviewSet4, 0, 0, 3, 0},
          {kPreviewSet4, 5, 0, 3, 0}}},
        {"TBWPositionClass",
         {0, 1, kPreviewFloating, 0},
         {{kPreviewSet1, 1, 0, 0, 1},
          {kPreviewSet1, 2, 0, 0, 1},
          {kPreviewSet2, 6, 0, 1, 6},
          {kPreviewSet2, 0, 0, 1, 6},
          {kPreviewSet2, 7, 0, 1, 6},
          {kPreviewSet3, kPreviewTopRight, 0, 2, kPreviewTopRight},
          // The toolbar's own corner codes are not places of the preview.
          {kPreviewSet3, 128, 0, 2, kPreviewTopRight},
          {kPreviewSet3, 7, 0, 2, kPreviewTopRight},
          {kPreviewSet3, kPreviewFixed, 0, 2, kPreviewFixed},
          {kPreviewSet4, 1, 0, 3, 1},
          {kPreviewSet4, 3, 0, 3, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        Preview preview(c.className);
        ASSERT_NE(preview.Window(), nullptr);
        for (size_t i = 0; i < c.initial.size(); ++i)
            EXPECT_EQ(preview.Slot(static_cast<int>(i)), c.initial[i]) << "slot " << i;
        for (const Step& step : c.steps) {
            preview.Send(step.message, step.first, step.second);
            EXPECT_EQ(preview.Slot(step.slot), step.want)
                << "message " << step.message << " with " << static_cast<long long>(step.first);
        }
    }
}

TEST(ToolbarPreviews, GradientPreviewRunsAcrossOrDownByItsFlag)
{
    // 110 x 66: bands of 5 and 3 pixels, so the last two reach the end colour.
    Preview preview("TBWGradientClass", 110, 66);
    preview.Send(kPreviewSet1, 0, RGB(255, 0, 0));
    preview.Send(kPreviewSet2, 0, RGB(0, 0, 255));
    HWND window = preview.Window();
    // Inside the sunken edge: red at the start, blue at the end.
    EXPECT_EQ(Hex(WindowPixel(window, 3, 30)), Hex(RGB(255, 0, 0)));
    EXPECT_EQ(Hex(WindowPixel(window, 105, 30)), Hex(RGB(0, 0, 255)));
    EXPECT_EQ(Hex(WindowPixel(window, 105, 3)), Hex(RGB(0, 0, 255)));
    preview.Send(kPreviewSet3, 1);
    EXPECT_EQ(Hex(WindowPixel(window, 105, 2)), Hex(RGB(255, 0, 0)));
    EXPECT_EQ(Hex(WindowPixel(window, 3, 62)), Hex(RGB(0, 0, 255)));
}

TEST(ToolbarPreviews, PositionPreviewPlacesTheToolbarOnItsScreen)
{
    // Client 100 x 80.  Six 8-pixel buttons: per line x 8 along the
    // toolbar, (6 / per line) x 8 across it.
    struct Case {
        const char* name;
        int orientation, perLine, place, autohide;
        RECT want;
    };
    const Case cases[] = {
        {"floating vertical, centred", 0, 1, kPreviewFloating, 0, {46, 16, 54, 64}},
        {"fixed horizontal, two a line", 1, 2, kPreviewFixed, 0, {38, 32, 62, 48}},
        {"top left", 0, 3, kPreviewTopLeft, 0, {2, 2, 26, 18}},
        {"top right is 9", 1, 2, kPreviewTopRight, 0, {74, 2, 98, 18}},
        {"bottom left is 6", 0, 1, kPreviewBottomLeft, 0, {2, 30, 10, 78}},
        {"bottom right", 1, 6, kPreviewBottomRight, 0, {90, 30, 98, 78}},
        {"floating autohide", 0, 1, kPreviewFloating, 1, {46, 38, 54, 42}},
        {"fixed horizontal autohide", 1, 1, kPreviewFixed, 1, {48, 36, 52, 44}},
        {"docked vertical autohide: 2 across", 0, 3, kPreviewBottomLeft, 1, {2, 62, 4, 78}},
        {"docked horizontal autohide: 2 across", 1, 2, kPreviewTopRight, 1, {74, 2, 98, 4}},
    };
    const COLORREF screen = RGB(0x00, 0x80, 0x80), toolbar = RGB(0xC0, 0xC0, 0xC0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RECT client{0, 0, 100, 80};
        const RECT got = PreviewToolbarRect(client, c.orientation, c.perLine, c.place, c.autohide);
        EXPECT_EQ(got.left, c.want.left);
        EXPECT_EQ(got.top, c.want.top);
        EXPECT_EQ(got.right, c.want.right);
        EXPECT_EQ(got.bottom, c.want.bottom);

        Preview preview("TBWPositionClass", 100, 80);
        preview.Send(kPreviewSet1, static_cast<WPARAM>(c.orientation));
        preview.Send(kPreviewSet2, static_cast<WPARAM>(c.perLine));
        preview.Send(kPreviewSet3, static_cast<WPARAM>(c.place));
        preview.Send(kPreviewSet4, static_cast<WPARAM>(c.autohide));
        HWND window = preview.Window();
        EXPECT_EQ(Hex(WindowPixel(window, c.want.left, c.want.top)), Hex(toolbar));
        EXPECT_EQ(Hex(WindowPixel(window, c.want.right - 1, c.want.bottom - 1)), Hex(toolbar));
        if (c.want.right < 97) {
            EXPECT_EQ(Hex(WindowPixel(window, c.want.right, c.want.bottom - 1)), Hex(screen));
        }
        if (c.place == kPreviewFloating) {
            EXPECT_EQ(Hex(WindowPixel(window, c.want.left, c.want.top - 1)), Hex(RGB(0, 0, 0)));
            EXPECT_EQ(Hex(WindowPixel(window, c.want.left, c.want.top - 4)), Hex(screen));
        }
    }
}

TEST(ToolbarPreviews, PositionPreviewScalesWithTheDialogsDpi)
{
    // The dialog's preview grows with its DPI, and so does everything drawn
    // in it: the same picture at 1.5 and 2 times, buttons, the inset from
    // the corner and the strip an autohide toolbar leaves alike.
    struct Case {
        const char* name;
        int orientation, perLine, place, autohide;
        RECT at96;   // in a 100 x 80 client
    };
    const Case cases[] = {
        {"floating vertical", 0, 1, kPreviewFloating, 0, {46, 16, 54, 64}},
        {"top right", 1, 2, kPreviewTopRight, 0, {74, 2, 98, 18}},
        {"bottom left", 0, 1, kPreviewBottomLeft, 0, {2, 30, 10, 78}},
        {"floating autohide", 0, 1, kPreviewFloating, 1, {46, 38, 54, 42}},
        {"docked vertical autohide", 0, 3, kPreviewBottomLeft, 1, {2, 62, 4, 78}},
    };
    for (int dpi : {96, 144, 192}) {
        const RECT client{0, 0, MulDiv(100, dpi, 96), MulDiv(80, dpi, 96)};
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(dpi));
            const RECT got = PreviewToolbarRect(client, c.orientation, c.perLine, c.place, c.autohide, dpi);
            EXPECT_EQ(got.left, MulDiv(c.at96.left, dpi, 96));
            EXPECT_EQ(got.top, MulDiv(c.at96.top, dpi, 96));
            EXPECT_EQ(got.right, MulDiv(c.at96.right, dpi, 96));
            EXPECT_EQ(got.bottom, MulDiv(c.at96.bottom, dpi, 96));
        }
    }
}

TEST(ToolbarPreviews, PlacesFollowTheToolbarsCornerCodes)
{
    EXPECT_EQ(PreviewPlace(FALSE, kCornerTopRight), kPreviewFloating);
    EXPECT_EQ(PreviewPlace(TRUE, kCornerTopLeft), kPreviewTopLeft);
    EXPECT_EQ(PreviewPlace(TRUE, kCornerTopRight), kPreviewTopRight);
    EXPECT_EQ(PreviewPlace(TRUE, kCornerBottomLeft), kPreviewBottomLeft);
    EXPECT_EQ(PreviewPlace(TRUE, kCornerBottomRight), kPreviewBottomRight);
    EXPECT_EQ(PreviewPlace(TRUE, kCornerFixed), kPreviewFixed);
}
