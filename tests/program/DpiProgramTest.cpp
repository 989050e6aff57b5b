// The real program on a screen of 96, 144 and 192 dpi (the prefix's
// LogPixels, which each new Wine process reads when it starts): the same
// toolbar file opens with every size its 96-dpi size scaled.
#include "LintelFixture.h"
#include "PopupWindows.h"
#include "driver/ToolbarDump.h"

#include <prsht.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char* const kDesktopKey = "Control Panel\\Desktop";
const char* const kFontsKey = "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";

// Wine reads the user's value first and the machine's after it; both are
// set, and both put back as they were.
class ScreenDpi
{
public:
    ScreenDpi()
    {
        m_hadUser = driver::ReadRegistryDword(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", m_user);
        m_hadMachine = driver::ReadRegistryDword(HKEY_LOCAL_MACHINE, kFontsKey, "LogPixels", m_machine);
    }
    ~ScreenDpi()
    {
        Restore(HKEY_CURRENT_USER, kDesktopKey, m_hadUser, m_user);
        Restore(HKEY_LOCAL_MACHINE, kFontsKey, m_hadMachine, m_machine);
    }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;

    bool Set(DWORD dpi)
    {
        const bool user = driver::SetRegistryDword(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", dpi);
        const bool machine = driver::SetRegistryDword(HKEY_LOCAL_MACHINE, kFontsKey, "LogPixels", dpi);
        return user && machine;
    }

private:
    static void Restore(HKEY root, const char* key, bool had, DWORD value)
    {
        if (had)
            driver::SetRegistryDword(root, key, "LogPixels", value);
        else
            driver::DeleteRegistryValue(root, key, "LogPixels");
    }
    bool m_hadUser = false;
    bool m_hadMachine = false;
    DWORD m_user = 0;
    DWORD m_machine = 0;
};

class ExeClass
{
public:
    ExeClass()
    {
        std::string value;
        m_had = driver::ReadRegistryString(HKEY_CLASSES_ROOT, ".exe", "", value);
        m_registered = m_had || driver::SetRegistryString(HKEY_CLASSES_ROOT, ".exe", "", "exefile");
    }
    ~ExeClass()
    {
        if (!m_had)
            driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, ".exe");
    }
    ExeClass(const ExeClass&) = delete;
    ExeClass& operator=(const ExeClass&) = delete;
    bool Registered() const { return m_registered; }

private:
    bool m_had = false;
    bool m_registered = false;
};

int Scale(int size, int dpi)
{
    return MulDiv(size, dpi, 96);
}

std::vector<HWND> ButtonWindows(HWND toolbar)
{
    std::vector<HWND> buttons;
    for (HWND child = FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr); child;
         child = FindWindowExA(toolbar, child, "CToolButtonWindow", nullptr))
        buttons.push_back(child);
    return buttons;
}

// The box of the pixels of one colour in a window, as the screen shows it
// (empty when there are none).
RECT ColourBox(HWND window, COLORREF colour)
{
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    RECT box{width, height, 0, 0};
    if (width <= 0 || height <= 0)
        return RECT{};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    DWORD* bits = nullptr;
    HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const DWORD want = RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour));
    for (int y = 0; bits && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((bits[y * width + x] & 0xFFFFFF) == want) {
                box.left = std::min(box.left, static_cast<LONG>(x));
                box.top = std::min(box.top, static_cast<LONG>(y));
                box.right = std::max(box.right, static_cast<LONG>(x + 1));
                box.bottom = std::max(box.bottom, static_cast<LONG>(y + 1));
            }
        }
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return box.right > box.left ? box : RECT{};
}

// The sample toolbar file (notepad, regedit, a space and drive C:), opened at start.
bool UseSampleToolbar(const std::string& folder)
{
    const std::string file = folder + "\\Sample.ltl";
    if (!driver::WriteSampleToolbar(file, folder))
        return false;
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", file.c_str());
    return true;
}

constexpr UINT kTrayCallback = WM_USER + 101;
constexpr UINT kPropertiesCommand = 109;
constexpr int kPositionPreview = 1089;
constexpr COLORREF kPreviewToolbar = RGB(0xC0, 0xC0, 0xC0);

} // namespace

class DpiProgramTest : public LintelProgramTest
{
};

TEST_F(DpiProgramTest, SampleToolbarTakesTheScreensDpi)
{
    // notepad, regedit, a space and drive C:, with descriptions, normal
    // size, border 3, menu buttons, one button a line.
    const std::string file = m_folder + "\\Sample.ltl";
    // Wine's registry has no ".exe" class: program buttons are made only for
    // registered types, and the shell gives an unregistered program the
    // generic icon.
    ExeClass exeClass;
    ASSERT_TRUE(exeClass.Registered());
    ASSERT_TRUE(driver::WriteSampleToolbar(file, m_folder));
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", file.c_str());

    ScreenDpi screen;
    for (int dpi : {96, 144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        ASSERT_TRUE(screen.Set(static_cast<DWORD>(dpi)));
        driver::Process& lintel = Start();
        HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Sample", driver::kDefaultTimeout, lintel.Id());
        ASSERT_NE(toolbar, nullptr);
        // Wait for the buttons, which are read after the window is made.
        ASSERT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar).size() == 3; }));
        RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);

        // A normal button with its description: a 32-pixel icon, its text
        // below, a 10-pixel margin.
        const int side = Scale(32, dpi) * 2 + Scale(10, dpi);
        RECT client{};
        GetClientRect(toolbar, &client);
        LONG right = 0;
        LONG bottom = 0;
        for (HWND button : ButtonWindows(toolbar)) {
            RECT rect{};
            GetWindowRect(button, &rect);
            MapWindowPoints(nullptr, toolbar, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(rect.right - rect.left, side);
            EXPECT_EQ(rect.bottom - rect.top, side);
            EXPECT_GE(rect.left, Scale(3, dpi));
            right = std::max(right, rect.right);
            bottom = std::max(bottom, rect.bottom);
        }
        // The buttons end one border before the client area's right edge:
        // the toolbar grew with them.  Below them Wine leaves a pixel or two
        // less than the border at every DPI, 96 as well, so there only
        // cutting off is checked.
        EXPECT_EQ(client.right - right, Scale(3, dpi));
        EXPECT_GE(client.bottom, bottom);
        // The menu buttons above the first button.
        HWND menuButton = FindWindowExA(toolbar, nullptr, "Button", nullptr);
        ASSERT_NE(menuButton, nullptr);
        RECT menu{};
        GetWindowRect(menuButton, &menu);
        EXPECT_EQ(menu.right - menu.left, Scale(13, dpi));

        char name[32];
        snprintf(name, sizeof name, "dpi-%03d-sample-toolbar", dpi);
        SetForegroundWindow(toolbar);
        Sleep(300);
        driver::Screenshot(name);
        ASSERT_TRUE(Close(lintel));
    }
}

TEST_F(DpiProgramTest, ProgramMenuAndPositionPreviewTakeTheScreensDpi)
{
    ExeClass exeClass;
    ASSERT_TRUE(exeClass.Registered());
    ASSERT_TRUE(UseSampleToolbar(m_folder));
    ScreenDpi screen;
    struct Seen {
        LONG menuHeight = 0;
        RECT previewToolbar{};
    };
    Seen at96;
    for (int dpi : {96, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        ASSERT_TRUE(screen.Set(static_cast<DWORD>(dpi)));
        driver::Process& lintel = Start();
        HWND main = WaitForMainWindow(lintel);
        ASSERT_NE(main, nullptr);
        HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Sample", driver::kDefaultTimeout, lintel.Id());
        ASSERT_NE(toolbar, nullptr);
        ASSERT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar).size() == 3; }));

        // The tray's menu: the toolbar's buttons and the program's commands,
        // every owner-drawn item taller by the DPI.
        SetCursorPos(700, 300);
        PostMessageA(main, kTrayCallback, 1, WM_RBUTTONUP);
        HWND menu = WaitForMenus(lintel.Id(), 1);
        ASSERT_NE(menu, nullptr);
        PostKey(menu, VK_DOWN);
        driver::WaitUntil([] { return false; }, 500);   // let the highlight be drawn
        RECT menuRect{};
        GetWindowRect(menu, &menuRect);
        char name[48];
        snprintf(name, sizeof name, "dpi-%03d-program-menu", dpi);
        driver::Screenshot(name);
        PostKey(menu, VK_ESCAPE);
        ASSERT_TRUE(driver::WaitUntil([&] { return VisibleMenus(lintel.Id()).empty(); }));

        // The Position page's little screen and the toolbar on it.
        PostMessageA(toolbar, WM_COMMAND, kPropertiesCommand, 0);
        HWND sheet = driver::WaitForWindow("#32770", "Toolbar properties", driver::kDefaultTimeout, lintel.Id());
        ASSERT_NE(sheet, nullptr);
        SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
        HWND preview = GetDlgItem(CurrentPage(sheet), kPositionPreview);
        ASSERT_NE(preview, nullptr);
        SetForegroundWindow(sheet);
        driver::WaitUntil([] { return false; }, 500);
        const RECT previewToolbar = ColourBox(preview, kPreviewToolbar);
        snprintf(name, sizeof name, "dpi-%03d-position-page", dpi);
        driver::Screenshot(name);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        EXPECT_TRUE(driver::WaitForWindowGone(sheet));

        const LONG toolbarWidth = previewToolbar.right - previewToolbar.left;
        const LONG toolbarHeight = previewToolbar.bottom - previewToolbar.top;
        EXPECT_GT(toolbarWidth, 0);
        if (dpi == 96) {
            at96 = Seen{menuRect.bottom - menuRect.top, previewToolbar};
        } else {
            // The items are twice as tall; the separators and the frame are
            // the system's, so only most of the menu grows.
            EXPECT_GE(menuRect.bottom - menuRect.top, at96.menuHeight * 17 / 10);
            EXPECT_EQ(toolbarWidth, 2 * (at96.previewToolbar.right - at96.previewToolbar.left));
            EXPECT_EQ(toolbarHeight, 2 * (at96.previewToolbar.bottom - at96.previewToolbar.top));
        }
        ASSERT_TRUE(Close(lintel));
    }
}
