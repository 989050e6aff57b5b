// The program menu as BuildMenu makes it and the look of an owner-drawn item.
// Menus with toolbars in them are the toolbar set's part and are tested with
// the toolbars.
#include "app/MainApp.h"
#include "app/OptionsSheet.h"
#include "app/ProgramMenu.h"
#include "resources/lintel/resource.h"
#include "toolbars/ToolbarSet.h"

#include "ModalLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// One item as the user sees it; id 0 is a separator.
struct Item {
    UINT id;
    const char* text;
    UINT iconId;
    bool grayed;
    std::vector<Item> submenu;
};

HICON MenuIcon(UINT id)
{
    // Shared icons of one resource and size are one handle, so the handle
    // names the resource.
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_SHARED));
}

void ExpectMenu(HMENU menu, const std::vector<Item>& want, const std::string& path = "")
{
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(want.size())) << path;
    for (size_t position = 0; position < want.size(); ++position) {
        const Item& item = want[position];
        SCOPED_TRACE(path + "/" + std::to_string(position));
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info));
        if (item.id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
        EXPECT_EQ(info.wID, item.id);
        EXPECT_EQ((info.fState & MFS_GRAYED) != 0, item.grayed);
        const CMenuItemData* data = MenuItemData(menu, static_cast<int>(position));
        ASSERT_NE(data, nullptr);
        EXPECT_STREQ(data->text.c_str(), item.text);
        EXPECT_EQ(data->icon, MenuIcon(item.iconId));
        EXPECT_NE(data->icon, nullptr);
        ASSERT_EQ(info.hSubMenu != nullptr, !item.submenu.empty());
        if (info.hSubMenu)
            ExpectMenu(info.hSubMenu, item.submenu, path + "/" + item.text);
    }
}

const Item kSeparator{0, "", 0, false, {}};

std::vector<Item> MenuWithoutToolbars(std::vector<Item> openPart, bool optionsGrayed)
{
    std::vector<Item> menu{{5, "New toolbar...", 171, false, {}}};
    menu.insert(menu.end(), openPart.begin(), openPart.end());
    const std::vector<Item> rest{
        kSeparator,
        {8, "Launch Lintel Explorer", 162, false, {}},
        {9, "Options...", 168, optionsGrayed, {}},
        {10, "Help", 173, false,
         {{11, "Help Topics", 173, false, {}},
          {12, "Tip of the Day", 180, false, {}},
          kSeparator,
          {14, "About...", 161, false, {}}}},
        kSeparator,
        {16, "Exit Lintel", 142, false, {}},
    };
    menu.insert(menu.end(), rest.begin(), rest.end());
    return menu;
}

class ProgramMenuTest : public ::testing::Test
{
protected:
    CMainApp m_app{GetModuleHandleA(nullptr), "", SW_SHOWNORMAL};
    CToolbarSet m_set{&m_app, nullptr};
};


} // namespace

TEST_F(ProgramMenuTest, WithoutToolbarsTheMenuStartsWithNewToolbar)
{
    struct Case {
        BOOL openDialogUp;
        std::vector<CText> recentFiles;
        std::vector<Item> openPart;
    };
    const Case cases[] = {
        {FALSE, {}, {{6, "Open toolbar", 172, false, {}}}},
        {TRUE, {}, {{6, "Open toolbar", 172, true, {}}}},
        {TRUE,
         {"Work.ltl", "Games.ltl"},
         {{6, "Open toolbar", 172, false,
           {{100, "Work.ltl", IDI_LINTEL, false, {}},
            {101, "Games.ltl", IDI_LINTEL, false, {}},
            kSeparator,
            {7, "Other toolbar", 172, true, {}}}}}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        m_set.SetOpenDialogUp(cases[i].openDialogUp);
        CProgramMenu menu;
        ASSERT_NE(menu.Handle(), nullptr);
        const int count = BuildMenu(menu.Handle(), m_set, cases[i].recentFiles);
        EXPECT_EQ(count, GetMenuItemCount(menu.Handle()));
        ExpectMenu(menu.Handle(), MenuWithoutToolbars(cases[i].openPart, false));
    }
}

TEST_F(ProgramMenuTest, OptionsItemIsGreyedAndOptionsRefusedWhileOptionsAreUp)
{
    COptionsSheet sheet(&m_set, nullptr);
    BOOL secondShown = TRUE;
    DuringModalLoop step([&] {
        EXPECT_TRUE(COptionsSheet::IsOpen());
        CProgramMenu menu;
        BuildMenu(menu.Handle(), m_set);
        ExpectMenu(menu.Handle(), MenuWithoutToolbars({{6, "Open toolbar", 172, false, {}}}, true));
        COptionsSheet second(&m_set, nullptr);
        secondShown = second.Run();
        HWND window = FindWindowA(nullptr, "Lintel Options");
        PropSheet_PressButton(window, PSBTN_CANCEL);
    });
    EXPECT_TRUE(sheet.Run());
    EXPECT_TRUE(step.Ran());
    EXPECT_FALSE(secondShown);
    EXPECT_FALSE(COptionsSheet::IsOpen());

    CProgramMenu after;
    BuildMenu(after.Handle(), m_set);
    ExpectMenu(after.Handle(), MenuWithoutToolbars({{6, "Open toolbar", 172, false, {}}}, false));
}

namespace {

// An item drawn into a bitmap of its own, as the menu would draw it.
class DrawnItem
{
public:
    DrawnItem(const CMenuItemData* data, UINT state)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hDC = m_dc;
        item.rcItem = {0, 0, kWidth, kHeight};
        item.itemData = reinterpret_cast<ULONG_PTR>(data);
        m_drawn = DrawProgramMenuItem(item) != FALSE;
        GdiFlush();
    }
    ~DrawnItem()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }

    bool Drawn() const { return m_drawn; }
    COLORREF Pixel(int x, int y) const
    {
        const DWORD bgr = m_bits[y * kWidth + x];
        return RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));
    }
    // Pixels of a system colour right of the icon, where the text is.
    int TextAreaCount(int colourIndex) const
    {
        const COLORREF colour = GetSysColor(colourIndex);
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 24; x < kWidth; ++x)
                count += Pixel(x, y) == colour;
        }
        return count;
    }

    static constexpr int kWidth = 160;
    static constexpr int kHeight = 22;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
    bool m_drawn = false;
};

} // namespace

TEST_F(ProgramMenuTest, ItemsAreDrawnPlainHighlightedOrEmbossed)
{
    CProgramMenu menu;
    ASSERT_TRUE(AddMenuItem(menu.Handle(), 5, "New toolbar...", IDI_MENU_NEW_TOOLBAR));
    const CMenuItemData* data = MenuItemData(menu.Handle(), 0);
    ASSERT_NE(data, nullptr);

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = reinterpret_cast<ULONG_PTR>(data);
    ASSERT_TRUE(MeasureProgramMenuItem(measure));
    EXPECT_GE(measure.itemHeight, 20u);
    EXPECT_GT(measure.itemWidth, 22u);

    struct Case {
        const char* name;
        UINT state;
        int wantPresent[2];   // system colours found in the text area (0: none)
        int wantAbsent[2];
    };
    const Case cases[] = {
        {"plain", 0, {COLOR_MENUTEXT, 0}, {COLOR_HIGHLIGHT, 0}},
        {"selected", ODS_SELECTED, {COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT}, {COLOR_MENUTEXT, 0}},
        {"disabled", ODS_GRAYED, {COLOR_3DHILIGHT, COLOR_3DSHADOW}, {COLOR_MENUTEXT, COLOR_HIGHLIGHT}},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        DrawnItem item(data, entry.state);
        ASSERT_TRUE(item.Drawn());
        for (int colour : entry.wantPresent) {
            if (colour) {
                EXPECT_GT(item.TextAreaCount(colour), 0) << "colour " << colour;
            }
        }
        for (int colour : entry.wantAbsent) {
            if (colour) {
                EXPECT_EQ(item.TextAreaCount(colour), 0) << "colour " << colour;
            }
        }
    }
    // A selected item's icon stands in a raised frame.
    DrawnItem selected(data, ODS_SELECTED);
    EXPECT_EQ(selected.Pixel(2, 0), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(selected.Pixel(22, DrawnItem::kHeight - 1), GetSysColor(COLOR_3DSHADOW));
}

namespace {

// A 32-bit picture of the menu's colour to draw an item into.
class MenuPicture
{
public:
    MenuPicture(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        RECT all{0, 0, width, height};
        FillRect(m_dc, &all, GetSysColorBrush(COLOR_MENU));
    }
    ~MenuPicture()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    MenuPicture(const MenuPicture&) = delete;
    MenuPicture& operator=(const MenuPicture&) = delete;

    HDC Dc() const { return m_dc; }
    DWORD Pixel(int x, int y) const
    {
        GdiFlush();
        return m_bits[y * m_width + x] & 0xFFFFFF;
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

bool DrawAt(const CMenuItemData* data, UINT state, int dpi, const MenuPicture& picture)
{
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hDC = picture.Dc();
    item.rcItem = {0, 0, picture.Width(), picture.Height()};
    item.itemData = reinterpret_cast<ULONG_PTR>(data);
    return DrawProgramMenuItem(item, dpi) != FALSE;
}

} // namespace

TEST_F(ProgramMenuTest, ItemsAndTheirIconsScaleWithTheOwnersDpi)
{
    // At 96 dpi an item is 20 pixels high with a 16-pixel icon 4 pixels in.
    // Above that every size grows, and the icon drawn is the resource's own
    // image at that side (as LoadImage gives it), not the 16-pixel one
    // stretched.
    CProgramMenu menu;
    ASSERT_TRUE(AddMenuItem(menu.Handle(), 5, "New toolbar...", IDI_MENU_NEW_TOOLBAR));
    const CMenuItemData* data = MenuItemData(menu.Handle(), 0);
    ASSERT_NE(data, nullptr);
    const struct {
        int dpi;
        UINT height;
        int side;
        int left;
    } cases[] = {{96, 20, 16, 4}, {144, 30, 24, 6}, {192, 40, 32, 8}};
    UINT width96 = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.dpi) + " dpi");
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemData = reinterpret_cast<ULONG_PTR>(data);
        ASSERT_TRUE(MeasureProgramMenuItem(measure, c.dpi));
        EXPECT_EQ(measure.itemHeight, c.height);
        EXPECT_EQ(MenuIconSide(c.dpi), c.side);
        if (c.dpi == 96) {
            width96 = measure.itemWidth;
        } else {
            // The text is measured in a font of the DPI too.
            EXPECT_GE(measure.itemWidth, static_cast<UINT>(MulDiv(static_cast<int>(width96), c.dpi, 96) * 85 / 100));
        }

        const int height = static_cast<int>(c.height);
        const int top = (height - c.side) / 2;
        MenuPicture drawn(200, height);
        ASSERT_TRUE(DrawAt(data, 0, c.dpi, drawn));
        MenuPicture expected(200, height);
        CIconHandle icon(static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MENU_NEW_TOOLBAR), IMAGE_ICON, c.side, c.side, 0)));
        ASSERT_TRUE(icon);
        DrawIconEx(expected.Dc(), c.left, top, icon.Get(), c.side, c.side, 0, nullptr, DI_NORMAL);
        int different = 0;
        for (int y = top; y < top + c.side; ++y) {
            for (int x = c.left; x < c.left + c.side; ++x)
                different += drawn.Pixel(x, y) != expected.Pixel(x, y);
        }
        EXPECT_EQ(different, 0) << "of " << c.side * c.side << " icon pixels";

        // A disabled item's embossed icon covers the whole side too.
        MenuPicture disabled(200, height);
        ASSERT_TRUE(DrawAt(data, ODS_GRAYED, c.dpi, disabled));
        const DWORD shadow = GetSysColor(COLOR_3DSHADOW);
        const DWORD shadowPixel = RGB(GetBValue(shadow), GetGValue(shadow), GetRValue(shadow));
        int lowerRight = 0;
        for (int y = top + c.side / 2; y < top + c.side; ++y) {
            for (int x = c.left + c.side / 2; x < c.left + c.side; ++x)
                lowerRight += disabled.Pixel(x, y) == shadowPixel;
        }
        EXPECT_GT(lowerRight, 0) << "nothing embossed in the icon's lower right quarter";
    }
}
