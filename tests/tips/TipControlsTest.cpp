// The tip program's own controls, made as a dialog template makes them (by
// class name), drawn into a memory bitmap and clicked by messages.
#include "tips/BitmapControl.h"
#include "tips/TextControl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kControlId = 31;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

std::vector<UINT> g_commands;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_COMMAND)
        g_commands.push_back(LOWORD(first));
    return DefWindowProcA(window, message, first, second);
}

// A control's client area drawn as WM_PRINTCLIENT draws it.
class CPicture
{
public:
    CPicture(HWND control, int width, int height) : m_width(width), m_height(height)
    {
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        m_bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc), PRF_CLIENT);
    }
    ~CPicture()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }
    // Whether every pixel of the rectangle has the colour.
    bool All(const RECT& area, COLORREF colour) const
    {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (At(x, y) != colour)
                    return false;
        return true;
    }
    bool Any(const RECT& area, COLORREF colour) const
    {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (At(x, y) == colour)
                    return true;
        return false;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

} // namespace

class TipControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(CTextControl::RegisterClass(instance));
        ASSERT_TRUE(CBitmapControl::RegisterClass(instance));
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = instance;
        parentClass.lpszClassName = "TipControlsTestParent";
        RegisterClassA(&parentClass);
        m_parent = CreateWindowExA(0, "TipControlsTestParent", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                   instance, nullptr);
        ASSERT_NE(m_parent, nullptr);
        g_commands.clear();
    }
    void TearDown() override { DestroyWindow(m_parent); }

    HWND Make(const char* className, const char* text, DWORD style, int width, int height)
    {
        return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, width, height, m_parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), GetModuleHandleA(nullptr),
                               nullptr);
    }

    HWND m_parent = nullptr;
};

TEST_F(TipControlsTest, TextIsDrawnInItsColoursAndNeverInTheMargins)
{
    HWND control = Make(TIPS_TEXT_CONTROL_CLASS, "MMMM MMMM MMMM MMMM MMMM MMMM MMMM MMMM MMMM MMMM", 0, 120, 60);
    ASSERT_NE(control, nullptr);
    CTextControl* text = CTextControl::FromHandle(control);
    ASSERT_NE(text, nullptr);
    text->SetBackColor(kRed);
    text->SetTextColor(kBlue);
    text->SetMargins(10, 5);
    CPicture picture(control, 120, 60);
    // The text wraps over several lines, and is clipped to the inside.
    EXPECT_TRUE(picture.Any({10, 5, 110, 55}, kBlue));
    EXPECT_TRUE(picture.All({0, 0, 120, 5}, kRed));
    EXPECT_TRUE(picture.All({0, 55, 120, 60}, kRed));
    EXPECT_TRUE(picture.All({0, 0, 10, 60}, kRed));
    EXPECT_TRUE(picture.All({110, 0, 120, 60}, kRed));
    // An "&" is drawn, not taken as a mnemonic prefix that hides itself.
    SetWindowTextA(control, "&");
    CPicture ampersand(control, 120, 60);
    EXPECT_TRUE(ampersand.Any({10, 5, 110, 55}, kBlue));
}

TEST_F(TipControlsTest, OnlyAHotControlSendsItsIdWhenClickedAndShowsTheHotCursor)
{
    HCURSOR hot = LoadCursor(nullptr, IDC_HAND);
    struct Case {
        const char* className;
        DWORD style;
        POINT release;
        bool command;
    };
    const Case cases[] = {
        {TIPS_TEXT_CONTROL_CLASS, SS_NOTIFY, {5, 5}, true},
        {TIPS_TEXT_CONTROL_CLASS, SS_NOTIFY, {500, 5}, false},   // released outside
        {TIPS_TEXT_CONTROL_CLASS, 0, {5, 5}, false},
        {TIPS_BITMAP_CONTROL_CLASS, SS_NOTIFY, {5, 5}, true},
        {TIPS_BITMAP_CONTROL_CLASS, 0, {5, 5}, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        HWND control = Make(c.className, "Lesson", c.style, 80, 20);
        ASSERT_NE(control, nullptr);
        if (CTextControl* text = CTextControl::FromHandle(control))
            text->SetHotCursor(hot);
        if (CBitmapControl* bitmap = CBitmapControl::FromHandle(control))
            bitmap->SetHotCursor(hot);
        g_commands.clear();
        SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(c.release.x, c.release.y));
        EXPECT_EQ(g_commands, c.command ? std::vector<UINT>{kControlId} : std::vector<UINT>{});
        EXPECT_EQ(GetCapture(), nullptr);
        const bool hotCursor = SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) != 0
                               && GetCursor() == hot;
        EXPECT_EQ(hotCursor, (c.style & SS_NOTIFY) != 0);
        DestroyWindow(control);
    }
}

TEST_F(TipControlsTest, TheBitmapLandsWhereItsAlignmentPutsIt)
{
    struct Case { DWORD style; POINT at; };
    const Case cases[] = {
        {BCS_LEFT | BCS_TOP, {0, 0}},          {BCS_HCENTER | BCS_TOP, {15, 0}},
        {BCS_RIGHT | BCS_TOP, {30, 0}},        {BCS_LEFT | BCS_VCENTER, {0, 10}},
        {BCS_HCENTER | BCS_VCENTER, {15, 10}}, {BCS_RIGHT | BCS_BOTTOM, {30, 20}},
    };
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 10, 10);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, 10, 10};
    HBRUSH blue = CreateSolidBrush(kBlue);
    FillRect(memory, &all, blue);
    DeleteObject(blue);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        const POINT placed = CBitmapControl::Place(c.style, SIZE{40, 30}, SIZE{10, 10});
        EXPECT_EQ(placed.x, c.at.x);
        EXPECT_EQ(placed.y, c.at.y);
        HWND control = Make(TIPS_BITMAP_CONTROL_CLASS, "", c.style, 40, 30);
        ASSERT_NE(control, nullptr);
        CBitmapControl* picture = CBitmapControl::FromHandle(control);
        ASSERT_NE(picture, nullptr);
        picture->SetBackColor(kWhite);
        picture->SetBitmap(bitmap);
        CPicture drawn(control, 40, 30);
        EXPECT_TRUE(drawn.All({c.at.x, c.at.y, c.at.x + 10, c.at.y + 10}, kBlue));
        EXPECT_EQ(drawn.At(c.at.x == 0 ? 39 : 0, c.at.y == 0 ? 29 : 0), kWhite);
        DestroyWindow(control);
    }
    DeleteObject(bitmap);
}
