// The "CTextControl" window class: line-by-line drawing, its look messages,
// the cursor over it and the click it reports to its parent.
#include "app/TextControl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char* const kParentClass = "LintelTextControlTestParent";

std::vector<MSG> g_parentCommands;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_COMMAND)
        g_parentCommands.push_back(MSG{window, message, first, second, 0, {}});
    return DefWindowProcA(window, message, first, second);
}

// The program registers the class at start-up; a test without the program
// object registers the same procedure and extra bytes itself.
void RegisterClasses()
{
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(GetModuleHandleA(nullptr), "CTextControl", &existing)) {
        WNDCLASSEXA text{};
        text.cbSize = sizeof text;
        text.lpfnWndProc = TextControlProc;
        text.cbWndExtra = kTextControlExtraBytes;
        text.hInstance = GetModuleHandleA(nullptr);
        text.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        text.lpszClassName = "CTextControl";
        RegisterClassExA(&text);
    }
    if (!GetClassInfoExA(GetModuleHandleA(nullptr), kParentClass, &existing)) {
        WNDCLASSEXA parent{};
        parent.cbSize = sizeof parent;
        parent.lpfnWndProc = ParentProc;
        parent.hInstance = GetModuleHandleA(nullptr);
        parent.lpszClassName = kParentClass;
        RegisterClassExA(&parent);
    }
}

class TextControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterClasses();
        g_parentCommands.clear();
        m_parent = CreateWindowExA(0, kParentClass, "parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
        m_control = CreateWindowExA(0, "CTextControl", "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, m_parent,
                                    reinterpret_cast<HMENU>(kControlId), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_control, nullptr);
    }
    void TearDown() override { DestroyWindow(m_parent); }

    static constexpr int kWidth = 120;
    static constexpr int kHeight = 80;
    static constexpr int kControlId = 1190;
    HWND m_parent = nullptr;
    HWND m_control = nullptr;
};

// The control's picture over a background of a known colour.
class Picture
{
public:
    Picture(HWND control, COLORREF underneath) : m_pixels(kWidth * kHeight)
    {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, kWidth, kHeight};
        HBRUSH brush = CreateSolidBrush(underneath);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x)
                m_pixels[y * kWidth + x] = GetPixel(dc, x, y);
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }

    COLORREF At(int x, int y) const { return m_pixels[y * kWidth + x]; }
    // Runs of rows with something other than the background in them.
    int InkBands(COLORREF background) const
    {
        int bands = 0;
        bool inBand = false;
        for (int y = 0; y < kHeight; ++y) {
            bool ink = false;
            for (int x = 0; x < kWidth && !ink; ++x)
                ink = At(x, y) != background;
            if (ink && !inBand)
                ++bands;
            inBand = ink;
        }
        return bands;
    }

private:
    static constexpr int kWidth = 120;
    static constexpr int kHeight = 80;
    std::vector<COLORREF> m_pixels;
};

} // namespace

TEST_F(TextControlTest, DrawsEachLineBelowThePrevious)
{
    const COLORREF underneath = RGB(0, 255, 0);
    const COLORREF background = RGB(255, 0, 0);
    struct Case {
        const char* text;
        BOOL transparent;
        int wantLines;
    };
    const Case cases[] = {
        {"One", FALSE, 1},
        {"One\nTwo", FALSE, 2},
        {"One\r\nTwo\nSix", FALSE, 3},
        {"One\nTwo", TRUE, 2},
        {"", FALSE, 0},
    };
    SendMessageA(m_control, TXM_SETBKCOLOR, 0, background);
    SendMessageA(m_control, TXM_SETTEXTCOLOR, 0, RGB(0, 0, 255));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        SetWindowTextA(m_control, cases[i].text);
        SendMessageA(m_control, TXM_SETBKMODE, cases[i].transparent ? TRANSPARENT : OPAQUE, 0);
        Picture picture(m_control, underneath);
        // Opaque fills the control with its colour; transparent leaves what was there.
        const COLORREF wantCorner = cases[i].transparent ? underneath : background;
        EXPECT_EQ(picture.At(kWidth - 1, kHeight - 1), wantCorner);
        EXPECT_EQ(picture.InkBands(wantCorner), cases[i].wantLines);
    }
}

TEST_F(TextControlTest, StartsOpaqueInTheButtonFaceColour)
{
    SetWindowTextA(m_control, "");
    Picture picture(m_control, RGB(0, 255, 0));
    EXPECT_EQ(picture.At(0, 0), GetSysColor(COLOR_BTNFACE));
}

TEST_F(TextControlTest, ReleasingTheLeftButtonTellsTheParent)
{
    SendMessageA(m_control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(g_parentCommands.empty());
    SendMessageA(m_control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(g_parentCommands.size(), 1u);
    EXPECT_EQ(LOWORD(g_parentCommands[0].wParam), kControlId);
    EXPECT_EQ(g_parentCommands[0].lParam, reinterpret_cast<LPARAM>(m_control));
}

TEST_F(TextControlTest, ShowsItsCursorOverItself)
{
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(SendMessageA(m_control, TXM_SETCURSOR, 0, reinterpret_cast<LPARAM>(hand)), 0);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_TRUE(SendMessageA(m_control, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_control),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), hand);
}
