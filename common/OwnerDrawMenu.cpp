#include "OwnerDrawMenu.h"

#include "Application.h"
#include "Dpi.h"

#include <memory>
#include <new>

namespace {

// The icon shown for an item without one of its own, from the program's resources.
UINT g_noIconId = 0;

// Item geometry at 96 dpi, in pixels from the item's left edge.
constexpr int kIconLeft = 4;
constexpr int kIconSize = 16;
constexpr int kFrameLeft = 2;
constexpr int kFrameRight = 23;
constexpr int kTextLeft = 24;
constexpr int kExtraWidth = 22;
constexpr int kMinimumHeight = 20;

// usedId: the resource the icon came from (0 when none could be had).
HICON LoadMenuIcon(UINT iconId, UINT& usedId)
{
    // Shared icons belong to the system, which frees them with the program.
    auto load = [](UINT id) {
        return static_cast<HICON>(
            LoadImageA(AppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, kIconSize, kIconSize, LR_SHARED));
    };
    usedId = iconId;
    HICON icon = iconId ? load(iconId) : nullptr;
    if (icon || !g_noIconId) {
        if (!icon)
            usedId = 0;
        return icon;
    }
    usedId = g_noIconId;
    icon = load(g_noIconId);
    if (!icon)
        usedId = 0;
    return icon;
}

// The icon an item shows at side pixels.  A resource's icon is loaded at
// that side, so that its own larger image is drawn rather than the 16-pixel
// one stretched; an icon handed in is drawn scaled from whatever it is.
HICON IconAtSide(CMenuItemData& data, int side)
{
    if (side == kIconSize || !data.iconId || data.ownedIcon)
        return data.icon;
    if (data.sizedSide != side) {
        // Not shared: a shared icon of another size would be the 16-pixel one.
        data.sizedIcon.Reset(static_cast<HICON>(
            LoadImageA(AppInstance(), MAKEINTRESOURCEA(data.iconId), IMAGE_ICON, side, side, 0)));
        data.sizedSide = side;
    }
    return data.sizedIcon ? data.sizedIcon.Get() : data.icon;
}


void FreeItemRecords(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info))
            continue;
        if (info.hSubMenu)
            FreeItemRecords(info.hSubMenu);
        if ((info.fType & MFT_OWNERDRAW) && info.dwItemData) {
            delete reinterpret_cast<CMenuItemData*>(info.dwItemData);
            info.fMask = MIIM_DATA;
            info.dwItemData = 0;
            SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
        }
    }
}

void DestroyMenuAndRecords(HMENU menu)
{
    if (!menu)
        return;
    FreeItemRecords(menu);
    DestroyMenu(menu);
}

// The one place an item is made: the record goes onto the item, or is freed
// (with the submenu, which the caller handed over) when the item cannot be made.
BOOL InsertItem(HMENU menu, UINT id, const char* text, HICON icon, UINT iconId, CIconHandle ownedIcon,
                HMENU submenu, UINT flags)
{
    std::unique_ptr<CMenuItemData> data(new (std::nothrow) CMenuItemData);
    if (!menu || !data) {
        DestroyMenuAndRecords(submenu);
        return FALSE;
    }
    data->text = text ? text : "";
    data->icon = icon;
    data->iconId = iconId;
    data->ownedIcon = std::move(ownedIcon);

    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA | (submenu ? MIIM_SUBMENU : 0);
    info.fType = MFT_OWNERDRAW | (flags & (MF_MENUBREAK | MF_MENUBARBREAK));
    info.fState = (flags & (MF_GRAYED | MF_DISABLED)) ? MFS_GRAYED : MFS_ENABLED;
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(data.get());
    if (!InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info)) {
        DestroyMenuAndRecords(submenu);
        return FALSE;
    }
    data.release();   // the menu has it now
    return TRUE;
}

struct CMemoryDCTraits
{
    using Handle = HDC;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DeleteDC(h); }
};
using CMemoryDC = CScopedHandle<CMemoryDCTraits>;

// Releases a DC taken from the screen.
class CScreenDC
{
public:
    CScreenDC() : m_dc(GetDC(nullptr)) {}
    ~CScreenDC()
    {
        if (m_dc)
            ReleaseDC(nullptr, m_dc);
    }
    CScreenDC(const CScreenDC&) = delete;
    CScreenDC& operator=(const CScreenDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// Gives a DC back its font, colours and modes, however the drawing ends.
class CSavedDCState
{
public:
    explicit CSavedDCState(HDC dc) : m_dc(dc), m_state(SaveDC(dc)) {}
    ~CSavedDCState()
    {
        if (m_state)
            RestoreDC(m_dc, m_state);
    }
    CSavedDCState(const CSavedDCState&) = delete;
    CSavedDCState& operator=(const CSavedDCState&) = delete;

private:
    HDC m_dc;
    int m_state;
};

// The menu font at dpi: the stock font is made at the system's DPI.
class CMenuFont
{
public:
    explicit CMenuFont(int dpi) : m_font(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))
    {
        const int system = Dpi::System();
        LOGFONTA face{};
        if (dpi == system || !m_font || GetObjectA(m_font, sizeof face, &face) != static_cast<int>(sizeof face))
            return;
        face.lfHeight = MulDiv(face.lfHeight, dpi, system);
        face.lfWidth = MulDiv(face.lfWidth, dpi, system);
        m_scaled.Reset(CreateFontIndirectA(&face));
        if (m_scaled)
            m_font = m_scaled.Get();
    }
    HFONT Get() const { return m_font; }

private:
    HFONT m_font;
    CFontHandle m_scaled;
};

// A disabled item's icon, embossed like its text: the icon's dark pixels, as
// it shows on white, once in the 3D highlight colour one pixel right and down,
// then in the shadow colour.
void DrawEmbossedIcon(HDC dc, HICON icon, int left, int top, int side)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    CMemoryDC memoryDC(CreateCompatibleDC(dc));
    HDC memory = memoryDC.Get();
    if (!memory)
        return;
    DWORD* bits = nullptr;
    CBitmapHandle picture(
        CreateDIBSection(memory, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    if (picture && bits) {
        HGDIOBJ old = SelectObject(memory, picture.Get());
        RECT all{0, 0, side, side};
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(memory, 0, 0, icon, side, side, 0, nullptr, DI_NORMAL);
        GdiFlush();
        SelectObject(memory, old);
        auto dark = [bits, side](int x, int y) {
            const DWORD pixel = bits[y * side + x];
            const int luminance =
                (299 * ((pixel >> 16) & 0xff) + 587 * ((pixel >> 8) & 0xff) + 114 * (pixel & 0xff)) / 1000;
            return luminance < 192;
        };
        const struct {
            int colourIndex;
            int offset;
        } passes[] = {{COLOR_3DHILIGHT, 1}, {COLOR_3DSHADOW, 0}};
        for (const auto& pass : passes) {
            const COLORREF colour = GetSysColor(pass.colourIndex);
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    if (dark(x, y))
                        SetPixelV(dc, left + x + pass.offset, top + y + pass.offset, colour);
                }
            }
        }
    }
}

void DrawItemText(HDC dc, const CText& text, RECT area, COLORREF colour)
{
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

} // namespace

void SetMenuNoIcon(UINT iconId)
{
    g_noIconId = iconId;
}

BOOL AddMenuItem(HMENU menu, UINT id, const char* text, UINT iconId, UINT flags)
{
    UINT usedId = 0;
    HICON icon = LoadMenuIcon(iconId, usedId);
    return InsertItem(menu, id, text, icon, usedId, CIconHandle(), nullptr, flags);
}

BOOL AddMenuItem(HMENU menu, UINT id, const char* text, HICON ownedIcon, UINT flags)
{
    CIconHandle owned(ownedIcon);
    UINT usedId = 0;
    HICON icon = ownedIcon ? ownedIcon : LoadMenuIcon(0, usedId);
    return InsertItem(menu, id, text, icon, usedId, std::move(owned), nullptr, flags);
}

BOOL AddSubmenu(HMENU menu, UINT id, const char* text, UINT iconId, HMENU submenu, UINT flags)
{
    UINT usedId = 0;
    HICON icon = LoadMenuIcon(iconId, usedId);
    return InsertItem(menu, id, text, icon, usedId, CIconHandle(), submenu, flags);
}

BOOL AddSubmenu(HMENU menu, UINT id, const char* text, HICON ownedIcon, HMENU submenu, UINT flags)
{
    CIconHandle owned(ownedIcon);
    UINT usedId = 0;
    HICON icon = ownedIcon ? ownedIcon : LoadMenuIcon(0, usedId);
    return InsertItem(menu, id, text, icon, usedId, std::move(owned), submenu, flags);
}

BOOL AddSeparator(HMENU menu, UINT flags)
{
    return AppendMenuA(menu, MF_SEPARATOR | (flags & (MF_MENUBREAK | MF_MENUBARBREAK)), 0, nullptr);
}

const CMenuItemData* MenuItemData(HMENU menu, int position)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) || !(info.fType & MFT_OWNERDRAW))
        return nullptr;
    return reinterpret_cast<const CMenuItemData*>(info.dwItemData);
}

CProgramMenu::~CProgramMenu()
{
    // The records first; the holder then destroys the menu and its submenus.
    if (m_menu)
        FreeItemRecords(m_menu.Get());
}

int MenuIconSide(int dpi)
{
    return Dpi::Scale(kIconSize, dpi);
}

BOOL MeasureProgramMenuItem(MEASUREITEMSTRUCT& item, int dpi)
{
    if (item.CtlType != ODT_MENU || !item.itemData)
        return FALSE;
    const auto* data = reinterpret_cast<const CMenuItemData*>(item.itemData);
    CScreenDC screen;
    SIZE extent{};
    if (screen.Get()) {
        CSavedDCState saved(screen.Get());
        const CMenuFont font(dpi);
        SelectObject(screen.Get(), font.Get());
        GetTextExtentPoint32A(screen.Get(), data->text.c_str(), data->text.Length(), &extent);
    }
    const int minimum = Dpi::Scale(kMinimumHeight, dpi);
    int height = extent.cy > minimum ? extent.cy : minimum;
    const int checkHeight = Dpi::SystemMetric(SM_CYMENUCHECK, dpi);
    if (checkHeight > height)
        height = checkHeight;
    item.itemWidth = static_cast<UINT>(extent.cx + Dpi::Scale(kExtraWidth, dpi));
    item.itemHeight = static_cast<UINT>(height);
    return TRUE;
}

BOOL DrawProgramMenuItem(const DRAWITEMSTRUCT& item, int dpi)
{
    if (item.CtlType != ODT_MENU || !item.itemData)
        return FALSE;
    // The record is the menu's own, made by InsertItem; drawing may add the
    // icon of this side to it.
    auto* data = reinterpret_cast<CMenuItemData*>(item.itemData);
    auto px = [dpi](int size) { return Dpi::Scale(size, dpi); };
    const int side = MenuIconSide(dpi);
    HDC dc = item.hDC;
    CSavedDCState saved(dc);
    const RECT& bounds = item.rcItem;
    const BOOL selected = (item.itemState & ODS_SELECTED) != 0;
    const BOOL disabled = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;

    FillRect(dc, &bounds, GetSysColorBrush(COLOR_MENU));
    RECT textArea = bounds;
    textArea.left += px(kTextLeft);
    if (selected) {
        RECT bar = bounds;
        bar.left += px(kFrameRight);
        FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
        if (!disabled) {
            // The icon stands out of the menu, like a pressed-up button.
            RECT frame{bounds.left + px(kFrameLeft), bounds.top, bounds.left + px(kFrameRight), bounds.bottom};
            DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
        }
    }

    HICON icon = IconAtSide(*data, side);
    const int iconLeft = bounds.left + px(kIconLeft);
    const int iconTop = bounds.top + (bounds.bottom - bounds.top - side) / 2;
    if (disabled)
        DrawEmbossedIcon(dc, icon, iconLeft, iconTop, side);
    else
        DrawIconEx(dc, iconLeft, iconTop, icon, side, side, 0, nullptr, DI_NORMAL);

    const CMenuFont font(dpi);
    SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    if (disabled && selected) {
        // Embossing is lost on the highlight; grey text reads better there.
        DrawItemText(dc, data->text, textArea, GetSysColor(COLOR_GRAYTEXT));
    } else if (disabled) {
        RECT raised = textArea;
        OffsetRect(&raised, 1, 1);
        DrawItemText(dc, data->text, raised, GetSysColor(COLOR_3DHILIGHT));
        DrawItemText(dc, data->text, textArea, GetSysColor(COLOR_3DSHADOW));
    } else {
        DrawItemText(dc, data->text, textArea, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    return TRUE;
}
