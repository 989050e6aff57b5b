// The desktop chooser control driven by its messages, keys and clicks, in a
// window of the test that counts the control's change notifications.
#include "buttons/DesktopChooser.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

constexpr int kChooserId = 1179;
// 60 x 40 pixels: a 3 x 2 grid has cells of 20 x 20.
constexpr int kWidth = 60;
constexpr int kHeight = 40;

int g_notes = 0;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == kChooserId && HIWORD(wParam) == BN_CLICKED)
        ++g_notes;
    return DefWindowProcA(window, message, wParam, lParam);
}

class DesktopChooserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterDesktopChooserClass(instance));
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = instance;
        parentClass.lpszClassName = "DesktopChooserTestParent";
        RegisterClassA(&parentClass);
        m_parent = CreateWindowExA(0, parentClass.lpszClassName, "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                   instance, nullptr);
        ASSERT_NE(m_parent, nullptr);
    }
    void TearDown() override
    {
        if (m_parent)
            DestroyWindow(m_parent);
    }

    HWND NewChooser(int width = kWidth, int height = kHeight)
    {
        return CreateWindowExA(0, kDesktopChooserClass, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, m_parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChooserId)), GetModuleHandleA(nullptr),
                               nullptr);
    }

    HWND m_parent = nullptr;
};

DWORD Cell(int column, int row)
{
    return static_cast<DWORD>(MAKELONG(column, row));
}

} // namespace

TEST_F(DesktopChooserTest, MessagesStoreAndAnswerTheCell)
{
    HWND chooser = NewChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(SendMessageA(chooser, kChooserGetCell, 0, 0), 0);
    EXPECT_EQ(SendMessageA(chooser, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_BUTTON);
    EXPECT_EQ(SendMessageA(chooser, kChooserSetGrid, 0, MAKELPARAM(3, 2)), 1);
    EXPECT_EQ(SendMessageA(chooser, kChooserSetState, FALSE, MAKELPARAM(2, 1)), 1);
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(chooser, kChooserGetCell, 0, 0)), Cell(2, 1));
    // -1 changes the flag only.
    EXPECT_EQ(SendMessageA(chooser, kChooserSetState, TRUE, -1), 1);
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(chooser, kChooserGetCell, 0, 0)), Cell(2, 1));
    // Setting the state is the program's doing, not the user's: no notification.
    EXPECT_EQ(g_notes, 0);
    DestroyWindow(chooser);
}

TEST_F(DesktopChooserTest, KeysAndClicksMoveTheSelectionInsideTheGrid)
{
    struct Case {
        DWORD grid;   // columns low word, rows high word
        BOOL disabled;
        DWORD start;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        DWORD want;
        int wantNotes;
    };
    const Case cases[] = {
        // Arrow keys act when released, one cell at a time.
        {MAKELONG(3, 2), FALSE, Cell(1, 0), WM_KEYUP, VK_RIGHT, 0, Cell(2, 0), 1},
        {MAKELONG(3, 2), FALSE, Cell(1, 1), WM_KEYUP, VK_LEFT, 0, Cell(0, 1), 1},
        {MAKELONG(3, 2), FALSE, Cell(1, 0), WM_KEYUP, VK_DOWN, 0, Cell(1, 1), 1},
        {MAKELONG(3, 2), FALSE, Cell(1, 1), WM_KEYUP, VK_UP, 0, Cell(1, 0), 1},
        {MAKELONG(3, 2), FALSE, Cell(1, 0), WM_KEYDOWN, VK_RIGHT, 0, Cell(1, 0), 0},
        {MAKELONG(3, 2), FALSE, Cell(1, 0), WM_KEYUP, 'A', 0, Cell(1, 0), 0},
        // At the edges the selection stays.
        {MAKELONG(3, 2), FALSE, Cell(2, 1), WM_KEYUP, VK_RIGHT, 0, Cell(2, 1), 0},
        {MAKELONG(3, 2), FALSE, Cell(2, 1), WM_KEYUP, VK_DOWN, 0, Cell(2, 1), 0},
        {MAKELONG(3, 2), FALSE, Cell(0, 0), WM_KEYUP, VK_LEFT, 0, Cell(0, 0), 0},
        {MAKELONG(3, 2), FALSE, Cell(0, 0), WM_KEYUP, VK_UP, 0, Cell(0, 0), 0},
        // A release of the left button picks the cell under the pointer.
        {MAKELONG(3, 2), FALSE, Cell(0, 0), WM_LBUTTONUP, 0, MAKELPARAM(45, 25), Cell(2, 1), 1},
        {MAKELONG(3, 2), FALSE, Cell(2, 1), WM_LBUTTONUP, 0, MAKELPARAM(19, 19), Cell(0, 0), 1},
        {MAKELONG(4, 4), FALSE, Cell(0, 0), WM_LBUTTONUP, 0, MAKELPARAM(16, 31), Cell(1, 3), 1},
        // The same cell again is no change.
        {MAKELONG(3, 2), FALSE, Cell(1, 1), WM_LBUTTONUP, 0, MAKELPARAM(30, 30), Cell(1, 1), 0},
        // The last pixels that do not make a whole cell belong to the last one.
        {MAKELONG(7, 1), FALSE, Cell(0, 0), WM_LBUTTONUP, 0, MAKELPARAM(59, 5), Cell(6, 0), 1},
        // Disabled ("use current desktop"): clicks and keys are ignored.
        {MAKELONG(3, 2), TRUE, Cell(1, 0), WM_KEYUP, VK_RIGHT, 0, Cell(1, 0), 0},
        {MAKELONG(3, 2), TRUE, Cell(1, 0), WM_LBUTTONUP, 0, MAKELPARAM(45, 25), Cell(1, 0), 0},
        // No columns, no rows, or more of them than there are pixels: inert,
        // and nothing is divided by a cell size of 0.
        {MAKELONG(0, 2), FALSE, Cell(0, 0), WM_LBUTTONUP, 0, MAKELPARAM(10, 10), Cell(0, 0), 0},
        {MAKELONG(3, 0), FALSE, Cell(0, 0), WM_KEYUP, VK_RIGHT, 0, Cell(0, 0), 0},
        {MAKELONG(0, 0), FALSE, Cell(0, 0), WM_KEYUP, VK_DOWN, 0, Cell(0, 0), 0},
        {MAKELONG(200, 2), FALSE, Cell(0, 0), WM_LBUTTONUP, 0, MAKELPARAM(59, 10), Cell(0, 0), 0},
        {MAKELONG(2, 90), FALSE, Cell(0, 0), WM_LBUTTONUP, 0, MAKELPARAM(40, 39), Cell(0, 0), 0},
        {MAKELONG(200, 2), FALSE, Cell(0, 0), WM_KEYUP, VK_RIGHT, 0, Cell(0, 0), 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& entry = cases[i];
        HWND chooser = NewChooser();
        ASSERT_NE(chooser, nullptr);
        SendMessageA(chooser, kChooserSetGrid, 0, static_cast<LPARAM>(entry.grid));
        SendMessageA(chooser, kChooserSetState, entry.disabled, static_cast<LPARAM>(entry.start));
        g_notes = 0;
        SendMessageA(chooser, entry.message, entry.wParam, entry.lParam);
        // Painting whatever state came of it must not fail either.
        InvalidateRect(chooser, nullptr, TRUE);
        UpdateWindow(chooser);
        EXPECT_EQ(static_cast<DWORD>(SendMessageA(chooser, kChooserGetCell, 0, 0)), entry.want);
        EXPECT_EQ(g_notes, entry.wantNotes);
        DestroyWindow(chooser);
    }
}
