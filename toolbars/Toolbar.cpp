#include "Toolbar.h"

#include "OpenProgressDialog.h"
#include "ToolbarAppearance.h"
#include "ToolbarDock.h"
#include "ToolbarPropertySheet.h"
#include "ToolbarSet.h"
#include "../common/AccessibleWindow.h"
#include "../common/Application.h"
#include "../common/Companions.h"
#include "../common/Dpi.h"
#include "../common/OwnerDrawMenu.h"
#include "ToolbarHost.h"
#include "../buttons/ButtonFactory.h"
#include "../buttons/FileButton.h"
#include "../common/ControlMessages.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <algorithm>
#include <oleacc.h>
#include <windowsx.h>

#include <utility>

namespace {

constexpr DWORD kFloatingStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
// A docked toolbar has no caption to drag it by.
constexpr DWORD kDockedStyle = WS_POPUP | WS_SYSMENU | WS_THICKFRAME;

// A toolbar docks, fits and sizes itself in the work area of the monitor
// it stands on.
RECT WorkAreaAt(const RECT& rect)
{
    return DockWorkArea(CurrentMonitors(), rect);
}

RECT WorkAreaOf(HWND window)
{
    RECT rect{};
    if (window)
        GetWindowRect(window, &rect);
    return WorkAreaAt(rect);
}

SIZE WorkAreaSize(HWND window)
{
    const RECT work = WorkAreaOf(window);
    return SIZE{work.right - work.left, work.bottom - work.top};
}

// Entries 0 and 1 of every image list are the broken-target and drop
// overlays.  Adding an icon to a list is slow, so the lists holding just the
// overlays are made once and every toolbar starts from a copy.
constexpr int kImageListGrowth = 32;

int ListSideAt(int sizeIndex, int dpi)
{
    return Dpi::Scale(sizeIndex == 0 ? 16 : (sizeIndex == 1 ? 32 : 48), dpi);
}

// One list per side: at 96 dpi the three sizes, and the sides of each
// other DPI a toolbar has stood at.
HIMAGELIST OverlayList(int sizeIndex, int dpi = Dpi::kDefault)
{
    struct Cached {
        int side;
        HIMAGELIST list;
    };
    static std::vector<Cached> lists;
    const int size = ListSideAt(sizeIndex, dpi);
    for (const Cached& cached : lists) {
        if (cached.side == size)
            return cached.list;
    }
    // Copies keep the growth step: each step copies the whole list, so a
    // small one makes filling a full toolbar quadratic.
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, kImageListGrowth);
    for (UINT id : {IDI_OVERLAY_BROKEN, IDI_OVERLAY_DROP}) {
        CIconHandle icon(static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
        // A missing overlay still takes its entry, so the numbers stay fixed.
        ImageList_AddIcon(list, icon ? icon.Get() : LoadIconA(nullptr, IDI_APPLICATION));
    }
    lists.push_back(Cached{size, list});
    return list;
}

// What InsertNewButton reports to the trace.
enum InsertResult : unsigned long { kInserted = 1, kInsertNoButton = 2, kInsertToolbarFull = 3 };

} // namespace

CToolbar::CToolbar(CApplication* application, CToolbarSet* set, IToolbarHost* host)
    : CWindowBase(application, nullptr), m_set(set), m_host(host)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_CTOOLBAR);
    m_settings.FollowSystemColours(GetSysColor(COLOR_BTNFACE));
    for (int i = 0; i < 3; ++i)
        m_imageLists[i].Reset(ImageList_Duplicate(OverlayList(i)));
}

CToolbar::~CToolbar()
{
    CTraceMethod trace(TR_CTOOLBAR, TR_CTOOLBAR_DTOR);
    if (Handle() && IsWindow(Handle()))
        DestroyWindow(Handle());
    DestroyButtons();
    for (CImageListHandle& list : m_imageLists)
        list.Reset();
}

void CToolbar::DestroyButtons()
{
    // With every button going only the overlays stay: one call, as removing
    // the entries one by one copies the list each time.  It comes first, so
    // that the buttons find no entries left to give back.
    for (int i = 0; i < 3; ++i) {
        if (m_imageLists[i])
            ImageList_SetImageCount(m_imageLists[i].Get(), static_cast<UINT>(ImageList_GetImageCount(OverlayList(i, m_dpi))));
        m_listFilled[i] = true;
    }
    m_iconSource = StoredIconSource{};
    // Each button takes its window with it.
    m_buttons.clear();
}

CApplication* CToolbar::App() const
{
    return Application();
}

HIMAGELIST CToolbar::ImageList(int sizeIndex)
{
    const int index = sizeIndex < 0 ? 0 : (sizeIndex > 2 ? 2 : sizeIndex);
    if (!m_listFilled[index])
        FillImageLists();
    return m_imageLists[index].Get();
}

void CToolbar::RescaleImageLists()
{
    // The entries are copied across: a waiting list has none to copy.
    FillImageLists();
    for (int i = 0; i < 3; ++i) {
        CImageListHandle list(ImageList_Duplicate(OverlayList(i, m_dpi)));
        if (!list)
            continue;
        HIMAGELIST old = m_imageLists[i].Get();
        const int count = old ? ImageList_GetImageCount(old) : 0;
        for (int entry = CToolButton::kOverlayImages; entry < count; ++entry) {
            CIconHandle icon(ImageList_GetIcon(old, entry, ILD_NORMAL));
            // An entry that cannot be had still takes its place, so that
            // every button keeps its index.
            if (ImageList_ReplaceIcon(list.Get(), -1, icon ? icon.Get() : LoadIconA(nullptr, IDI_APPLICATION)) < 0)
                break;
        }
        m_imageLists[i] = std::move(list);
    }
    for (const auto& button : m_buttons) {
        if (!button)
            continue;
        button->SetImageLists(m_imageLists[2].Get(), m_imageLists[1].Get(), m_imageLists[0].Get());
        if (button->Kind() != kKindSpace && button->ImageIndex() >= CToolButton::kOverlayImages)
            button->ReloadIcons();
    }
}

void CToolbar::ChangeDpi(int dpi, const RECT* suggested)
{
    if (dpi <= 0 || dpi == m_dpi)
        return;
    m_dpi = dpi;
    RescaleImageLists();
    LoadMenuGlyphs();
    if (suggested && Handle() && !m_settings.docked)
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    Relayout(TRUE);
}

BOOL CToolbar::Create(const char* fileName, COpenProgressDialog* progress)
{
    if (fileName && *fileName)
        m_fileName = fileName;
    m_progress = progress;
    m_loading = 1;
    const BOOL allowTab = m_set ? m_set->Options().allowTab : TRUE;
    const BOOL created = CWindowBase::Create(allowTab ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW, LINTEL_TOOLBAR_CLASS,
                                             m_settings.name, kFloatingStyle, CW_USEDEFAULT, CW_USEDEFAULT, 200, 50, nullptr,
                                             nullptr);
    if (created && Handle() && m_fileName.IsEmpty()) {
        Show(TRUE);
        m_dirty = 0;
        UpdateWindow(Handle());
    }
    m_loading = 0;
    m_progress = nullptr;
    return created && Handle() != nullptr;
}

BOOL CToolbar::OnCreate(HWND handle)
{
    // Before any button is read, so that buttons take their icons at the
    // monitor's size from the start.
    m_dpi = Dpi::ForWindow(handle);
    if (m_dpi != Dpi::kDefault)
        RescaleImageLists();
    SetAllowTab(m_set ? m_set->Options().allowTab : TRUE);

    m_tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "Lintel", WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle, nullptr, AppInstance(), nullptr);
    if (!m_tooltip)
        return FALSE;

    const struct {
        HWND* window;
        UINT id;
        int x;
        UINT tipId;
    } menuButtons[] = {
        {&m_toolbarMenuButton, kToolbarMenuButtonId, 2, IDS_TOOLBAR_MENU_TIP},
        {&m_programMenuButton, kProgramMenuButtonId, kMenuButtonStep, IDS_PROGRAM_MENU_TIP},
    };
    const int menuButtonSide = Dpi::Scale(kMenuButtonSize, m_dpi);
    for (size_t i = 0; i < 2; ++i) {
        const auto& entry = menuButtons[i];
        *entry.window = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_BITMAP, Dpi::Scale(entry.x, m_dpi),
                                        Dpi::Scale(2, m_dpi), menuButtonSide, menuButtonSide, handle,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(entry.id)), AppInstance(),
                                        nullptr);
        if (!*entry.window)
            return FALSE;
        // Through the common controls' chain, not by swapping the window
        // procedure: the tooltip below subclasses the button the same way,
        // and a procedure put back by hand would cut its link out, so that
        // its records were never freed.
        SetWindowSubclass(*entry.window, MenuButtonProc, kMenuButtonSubclassId, reinterpret_cast<DWORD_PTR>(this));

        CText tip;
        tip.LoadString(AppInstance(), entry.tipId);
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = handle;
        tool.uId = reinterpret_cast<UINT_PTR>(*entry.window);
        tool.lpszText = const_cast<char*>(tip.c_str());
        SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));

    }
    LoadMenuGlyphs();

    if (!m_fileName.IsEmpty()) {
        CText fileName(m_fileName);
        if (!Open(fileName.c_str(), kReadAndShow))
            return FALSE;
        // An old file stays in its format unless the user agrees to convert;
        // the conversion happens at the next save.
        if (m_version < kVersionCurrent && m_set && m_set->AskConvert())
            m_version = kVersionCurrent;
    }
    return TRUE;
}

void CToolbar::SetAllowTab(BOOL allowTab)
{
    if (!Handle())
        return;
    LONG_PTR exStyle = GetWindowLongPtrA(Handle(), GWL_EXSTYLE);
    exStyle &= ~static_cast<LONG_PTR>(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW);
    exStyle |= allowTab ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, exStyle);
    Reposition();
}

void CToolbar::SetToolTips(BOOL enabled)
{
    if (m_tooltip)
        SendMessageA(m_tooltip, TTM_ACTIVATE, enabled, 0);
}

// ---------------------------------------------------------------- buttons

int CToolbar::IndexOf(const CToolButton* button) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_buttons[i].get() == button)
            return i;
    }
    return -1;
}

void CToolbar::StoreCreationData(CreationData& data) const
{
    data = CreationData{};
    data.tooltip = m_tooltip;
    data.controlId = 0;
    const POINT slot = GetSlotPosition(Count());
    data.x = slot.x;
    data.y = slot.y;
    data.sizeIndex = m_settings.buttonSize;
    data.largeList = m_listFilled[2] ? m_imageLists[2].Get() : nullptr;
    data.normalList = m_listFilled[1] ? m_imageLists[1].Get() : nullptr;
    data.smallList = m_listFilled[0] ? m_imageLists[0].Get() : nullptr;
    data.version = m_version;
    data.colour = m_settings.ButtonColour();
}

BOOL CToolbar::RefuseWhenFull()
{
    if (Count() < kMaxButtons)
        return FALSE;
    if (CApplication* app = App()) {
        m_fullNotice.Refused([&] {
            app->DisplayMessage(Handle(), IDS_MSG_MAX_BUTTONS, m_settings.name.c_str(), MB_OK | MB_ICONEXCLAMATION,
                                kCaptionText);
        });
    }
    return TRUE;
}

CToolButton* CToolbar::InsertNewButton(std::unique_ptr<CToolButton> owned, CToolButton* after)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_INSERT_AFTER);
    // A button that is not taken goes, with its window, when owned lets go.
    CToolButton* button = owned.get();
    if (!button) {
        trace.Result(TR_INSERT_AFTER_RESULT, kInsertNoButton);
        return nullptr;
    }
    if (RefuseWhenFull()) {
        // Its icon went into the lists when it was made.
        ReleaseImage(button);
        trace.Result(TR_INSERT_AFTER_RESULT, kInsertToolbarFull);
        return nullptr;
    }
    int index = Count();
    if (after) {
        const int afterIndex = IndexOf(after);
        if (afterIndex >= 0)
            index = afterIndex + 1;
    }
    m_buttons.insert(m_buttons.begin() + index, std::move(owned));
    m_fullNotice.Taken();
    // The focus stays on the button it was on.
    if (m_focusIndex >= 0 && index <= m_focusIndex)
        ++m_focusIndex;

    if (button->Kind() != kKindSpace && button->Handle() && m_tooltip) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(button->Handle());
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (!m_loading) {
        Relayout(TRUE);
        CToolbarPropertySheet::ButtonsChanged(*this);
    }
    trace.Result(TR_INSERT_AFTER_RESULT, kInserted);
    return button;
}

BOOL CToolbar::Remove(int index)
{
    if (index < 0 || index >= Count())
        return FALSE;
    CToolButton* button = m_buttons[static_cast<size_t>(index)].get();
    // The open button sheet's pages hold the button they edit; a command
    // posted to the button or its toolbar meanwhile must not delete it.
    if (button == CFileButton::PropertiesButton())
        return FALSE;
    if (m_tooltip && button->Handle()) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(button->Handle());
        SendMessageA(m_tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (m_hotIndex == index)
        m_hotIndex = -1;
    else if (m_hotIndex > index)
        --m_hotIndex;
    ReleaseImage(button);
    m_buttons.erase(m_buttons.begin() + index);
    if (m_focusIndex >= Count())
        m_focusIndex = Count() > 0 ? 0 : (m_settings.showMenuButtons ? kFocusToolbarMenuButton : 0);
    m_dirty = 1;
    Relayout(TRUE);
    CToolbarPropertySheet::ButtonsChanged(*this);
    return TRUE;
}

BOOL CToolbar::SwapButtons(int first, int second)
{
    if (first < 0 || second < 0 || first >= Count() || second >= Count() || first == second)
        return FALSE;
    std::swap(m_buttons[static_cast<size_t>(first)], m_buttons[static_cast<size_t>(second)]);
    if (m_focusIndex == first)
        m_focusIndex = second;
    else if (m_focusIndex == second)
        m_focusIndex = first;
    m_dirty = 1;
    Relayout(FALSE);
    CToolbarPropertySheet::ButtonsChanged(*this);
    return TRUE;
}

BOOL CToolbar::Remove(CToolButton* button)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_REMOVE_PTR);
    return Remove(IndexOf(button));
}

void CToolbar::ReleaseImage(CToolButton* button)
{
    const int released = button ? button->ReleaseImage() : -1;
    if (released < 0)
        return;
    for (const auto& other : m_buttons) {
        if (other.get() != button)
            other->ImageRemoved(released);
    }
}

CToolButton* CToolbar::AddButton(int kind, CToolButton* after)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_ADD_BUTTON_RESULT);
    if (kind == kKindSpace) {
        CToolButton* space = InsertNewButton(NewButtonOfKind(kKindSpace, this, App()), after);
        if (space)
            m_dirty = 1;
        return space;
    }
    // Buttons with a target come with the button kinds that hold one.
    if (TraceOn())
        LogText("CToolbar::AddButton: buttons with a target are not available");
    return nullptr;
}

void CToolbar::RunButton(int index)
{
    CToolButton* button = Button(index);
    if (button && button->Kind() != kKindSpace)
        button->Activate(0);
}

// ---------------------------------------------------------------- grid

std::vector<GridCell> CToolbar::GridCells() const
{
    std::vector<GridCell> cells;
    cells.reserve(m_buttons.size());
    for (const auto& button : m_buttons) {
        GridCell cell;
        switch (button->Kind()) {
        case kKindProgram:
        case kKindFolder:
        case kKindGroup:
        case kKindUrl:
            cell.kind = GridCell::kButton;
            cell.size = button->GetSize();
            break;
        case kKindSpace:
            cell.kind = GridCell::kSpace;
            cell.size = button->GetSize();
            break;
        default:
            cell.kind = GridCell::kNone;
            break;
        }
        cells.push_back(cell);
    }
    return cells;
}

GridContext CToolbar::Context() const
{
    GridContext context;
    context.collapsed = m_collapsed != 0;
    context.allowTab = m_set ? m_set->Options().allowTab != FALSE : true;
    context.dpi = m_dpi;
    return context;
}

POINT CToolbar::GetSlotPosition(int index) const
{
    return GridSlotPosition(GridCells(), index, m_settings, m_dpi);
}

SIZE CToolbar::CalcButtonArea(int perLine) const
{
    return CalcButtonArea(perLine, m_settings.orientation);
}

SIZE CToolbar::CalcButtonArea(int perLine, int orientation) const
{
    return GridButtonArea(GridCells(), perLine, orientation, m_settings.buttonSize, m_dpi);
}

SIZE CToolbar::CalcFrameSize(BOOL vertical, BOOL docked) const
{
    ToolbarSettings settings(m_settings);
    settings.docked = docked ? TRUE : FALSE;
    return GridFrameSize(settings, Context(), vertical != FALSE, FrameMetrics::FromSystem(m_dpi));
}

SIZE CToolbar::CalcWindowSize()
{
    const GridWindow window = GridWindowSize(GridCells(), m_settings, Context(), WorkAreaSize(Handle()), FrameMetrics::FromSystem(m_dpi));
    if (window.perLine != m_settings.buttonsPerLine) {
        m_settings.buttonsPerLine = window.perLine;
        Relayout(TRUE);
    }
    return SIZE{static_cast<WORD>(window.size.cx), static_cast<WORD>(window.size.cy)};
}

void CToolbar::LayoutMenuButtons()
{
    const bool show = m_settings.showMenuButtons && !m_collapsed;
    for (HWND button : {m_toolbarMenuButton, m_programMenuButton}) {
        if (button)
            ShowWindow(button, show ? SW_SHOWNA : SW_HIDE);
    }
    if (!show)
        return;
    const int b = Dpi::Scale((m_settings.docked && m_settings.border > 1) ? 4 : 2, m_dpi);
    const int side = Dpi::Scale(kMenuButtonSize, m_dpi);
    const bool vertical = m_settings.orientation != kHorizontal;
    if (m_toolbarMenuButton)
        SetWindowPos(m_toolbarMenuButton, nullptr, b, b, side, side, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_programMenuButton)
        SetWindowPos(m_programMenuButton, nullptr, vertical ? b + side : b, vertical ? b : b + side, side, side,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void CToolbar::SetPlacement(int x, int y, int width, int height)
{
    if (!Handle())
        return;
    LayoutMenuButtons();
    LONG_PTR style = m_settings.docked ? kDockedStyle : kFloatingStyle;
    int index = -1;
    const bool hidden = m_set && m_set->FindToolbar(this, index) && m_set->IsHidden(index);
    // A toolbar being read is shown or hidden by the reader, not here.
    if (!hidden && (IsWindowVisible(Handle()) || !m_loading))
        style |= WS_VISIBLE;
    const LONG_PTR oldStyle = GetWindowLongPtrA(Handle(), GWL_STYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE, style);
    UINT flags = SWP_NOACTIVATE | SWP_FRAMECHANGED;
    if (x == -1 && y == -1)
        flags |= SWP_NOMOVE;
    SetWindowPos(Handle(), m_settings.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, x, y, width, height, flags);
    // Losing or gaining the caption leaves the old frame on the screen
    // unless the whole window is drawn again.
    if ((oldStyle ^ style) & WS_CAPTION)
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CToolbar::Relayout(BOOL resize)
{
    for (int i = 0; i < Count(); ++i) {
        CToolButton* button = m_buttons[i].get();
        if (!button || button->Kind() == kKindSpace || !button->Handle())
            continue;
        const SIZE size = button->GetSize();
        if (size.cx == 0 || size.cy == 0)
            continue;
        const POINT slot = GetSlotPosition(i);
        button->Move(slot.x, slot.y, size.cx, size.cy);
        ShowWindow(button->Handle(), m_collapsed ? SW_HIDE : SW_SHOWNA);
    }
    if (!Handle())
        return;
    if (resize) {
        Reposition();
        InvalidateRect(Handle(), nullptr, TRUE);
    } else {
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void CToolbar::Reposition()
{
    if (!Handle())
        return;
    if (m_settings.docked && m_set) {
        m_set->ArrangeDocked(this);
        return;
    }
    const SIZE size = CalcWindowSize();
    SetPlacement(-1, -1, size.cx, size.cy);
}

// ---------------------------------------------------------------- docking

int CToolbar::CornerIndex() const
{
    if (!m_settings.docked)
        return -2;
    switch (m_settings.dockCorner) {
    case kCornerTopLeft: return 0;
    case kCornerTopRight: return 1;
    case kCornerBottomRight: return 2;
    case kCornerBottomLeft: return 3;
    case kCornerFixed: return 4;
    default: return -2;
    }
}

void CToolbar::CalcDockedRect(RECT& rect)
{
    const SIZE area = CalcButtonArea(m_settings.buttonsPerLine);
    const SIZE frame = CalcFrameSize(m_settings.orientation != kHorizontal, m_settings.docked);
    const int width = area.cx + frame.cx;
    const int height = area.cy + frame.cy;
    if (!m_settings.docked) {
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
        return;
    }
    rect = CornerRect(m_settings.dockCorner, SIZE{width, height}, WorkAreaAt(rect), POINT{rect.left, rect.top});
}

BOOL CToolbar::OnMoving(UINT, RECT& rect)
{
    if (IsRestricted(kProtectToolbarProperties) || (GetKeyState(VK_CONTROL) & 0x8000))
        return TRUE;
    const RECT work = WorkAreaAt(rect);
    BOOL fullDrag = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);

    auto settle = [&] {
        m_dirty = 1;
        m_displaced = FALSE;
        if (fullDrag) {
            Relayout(TRUE);
            if (Handle())
                GetWindowRect(Handle(), &rect);
        } else {
            CalcDockedRect(rect);
        }
    };

    if (!m_settings.docked) {
        const int corner = DragDockCorner(rect, work, m_dpi);
        if (!corner)
            return FALSE;
        m_settings.docked = 1;
        m_settings.dockCorner = corner;
        settle();
        return TRUE;
    }
    if (DragUndocks(rect, work)) {
        m_settings.docked = 0;
        settle();
        return TRUE;
    }
    return FALSE;
}

SIZE CToolbar::FitToSize(int width, int height, UINT edge)
{
    const GridFit fit =
        GridFitToSize(GridCells(), m_settings, Context(), width, height, edge, WorkAreaSize(Handle()), FrameMetrics::FromSystem(m_dpi));
    if (fit.changed) {
        m_dirty = 1;
        m_settings.buttonsPerLine = fit.perLine;
        m_settings.orientation = fit.orientation;
        BOOL fullDrag = FALSE;
        SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
        if (fullDrag)
            Relayout(FALSE);
    }
    return fit.size;
}

BOOL CToolbar::OnSizing(UINT edge, RECT& rect)
{
    const SIZE size = IsRestricted(kProtectToolbarProperties)
                          ? CalcWindowSize()
                          : FitToSize(rect.right - rect.left, rect.bottom - rect.top, edge);
    switch (edge) {
    case WMSZ_LEFT:
    case WMSZ_BOTTOMLEFT:
        rect.left = rect.right - size.cx;
        rect.bottom = rect.top + size.cy;
        break;
    case WMSZ_RIGHT:
    case WMSZ_BOTTOM:
    case WMSZ_BOTTOMRIGHT:
        rect.right = rect.left + size.cx;
        rect.bottom = rect.top + size.cy;
        break;
    case WMSZ_TOP:
    case WMSZ_TOPRIGHT:
        rect.right = rect.left + size.cx;
        rect.top = rect.bottom - size.cy;
        break;
    case WMSZ_TOPLEFT:
        rect.left = rect.right - size.cx;
        rect.top = rect.bottom - size.cy;
        break;
    default:
        rect.right = rect.left + size.cx;
        rect.bottom = rect.top + size.cy;
        break;
    }
    return TRUE;
}

void CToolbar::SetCollapsed(BOOL collapse)
{
    if (collapse && m_settings.autohide && (m_inMenuLoop || m_inSizeMove))
        return;
    m_collapsed = collapse ? 1 : 0;
    Relayout(TRUE);
}

void CToolbar::OnHoverTimer()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT window{};
    GetWindowRect(Handle(), &window);
    if (PtInRect(&window, cursor)) {
        if (m_settings.autohide && m_collapsed)
            SetCollapsed(FALSE);
        return;
    }
    HotTrack(-1, FALSE);
    KillTimer(Handle(), kHoverTimer);
    m_hoverTimerOn = 0;
    if (m_settings.autohide && !m_collapsed)
        SetCollapsed(TRUE);
}

void CToolbar::MenuLoop(BOOL entering)
{
    if (entering) {
        m_inMenuLoop = 1;
        return;
    }
    m_inMenuLoop = 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT window{};
    GetWindowRect(Handle(), &window);
    if (m_settings.autohide && !PtInRect(&window, cursor))
        SetCollapsed(TRUE);
}

BOOL CToolbar::ScreenStripOption()
{
    if (!m_stripOptionRead || !(m_stripOptionFile == m_fileName)) {
        CText programKey;
        programKey.LoadString(AppInstance(), IDS_REG_KEY);
        m_stripOption = ReadScreenStripOption(programKey.c_str(), m_fileName.c_str());
        m_stripOptionFile = m_fileName;
        m_stripOptionRead = true;
    }
    return m_stripOption;
}

void CToolbar::SetScreenStripOption(BOOL on)
{
    CText programKey;
    programKey.LoadString(AppInstance(), IDS_REG_KEY);
    WriteScreenStripOption(programKey.c_str(), m_fileName.c_str(), on);
    m_stripOption = on ? TRUE : FALSE;
    m_stripOptionFile = m_fileName;
    m_stripOptionRead = true;
    if (!on)
        ReleaseScreenStrip();
    ArrangeAllDocked();
}

BOOL CToolbar::WantsScreenStrip()
{
    return Handle() && m_settings.docked && !m_settings.autohide && CornerIndex() >= 0 && CornerIndex() < 4
           && ScreenStripOption();
}

void CToolbar::StoreScreenStripOption()
{
    if (m_fileName.IsEmpty())
        return;
    CText programKey;
    programKey.LoadString(AppInstance(), IDS_REG_KEY);
    WriteScreenStripOption(programKey.c_str(), m_fileName.c_str(), ScreenStripOption());
}

void CToolbar::SetFileName(const char* fileName)
{
    const BOOL strip = ScreenStripOption();
    m_fileName = fileName ? fileName : "";
    m_stripOption = strip;
    m_stripOptionFile = m_fileName;
    m_stripOptionRead = true;
}

bool CToolbar::PlaceInScreenStrip(const RECT& monitor, SIZE size, POINT& at)
{
    const UINT edge = StripEdge(m_settings.dockCorner, m_settings.orientation);
    if (edge == kNoStripEdge || !Handle())
        return false;
    if (!m_strip)
        m_strip = std::make_unique<CScreenStrip>(Handle());
    RECT granted{};
    if (!m_strip->Claim(edge, monitor, size, granted))
        return false;
    at = StripPosition(edge, m_settings.dockCorner, granted, size);
    return true;
}

void CToolbar::ReleaseScreenStrip()
{
    if (m_strip)
        m_strip->Release();
}

// ---------------------------------------------------------------- showing and focus

void CToolbar::Show(BOOL fromHidden)
{
    if (!Handle())
        return;
    if (!fromHidden) {
        SetForegroundWindow(Handle());
        return;
    }
    ShowWindow(Handle(), SW_SHOWNA);
    RegisterDropTarget();
    m_dirty = 1;
    if (WantsScreenStrip())
        Reposition();
}

void CToolbar::Hide(BOOL markInSet)
{
    int index = -1;
    // Hidden at the user's request: the set records it and calls back here.
    if (markInSet && m_set && m_set->FindToolbar(this, index)) {
        m_set->Hide(index);
        return;
    }
    ReleaseScreenStrip();
    if (Handle())
        ShowWindow(Handle(), SW_HIDE);
    m_dirty = 1;
    RevokeDropTarget();
}

void CToolbar::HotTrack(int index, BOOL restartTimer)
{
    if (!m_settings.showButtonBackground && index != m_hotIndex) {
        if (CToolButton* old = Button(m_hotIndex))
            old->SetRaised(FALSE);
        if (CToolButton* hot = Button(index))
            hot->SetRaised(TRUE);
        m_hotIndex = index;
    }
    if (restartTimer && Handle()) {
        SetTimer(Handle(), kHoverTimer, kHoverPeriod, nullptr);
        m_hoverTimerOn = 1;
    }
}

void CToolbar::UpdateMenuButtonFocus(int index, BOOL focused)
{
    HWND button = index == kFocusToolbarMenuButton ? m_toolbarMenuButton
                  : (index == kFocusProgramMenuButton ? m_programMenuButton : nullptr);
    if (!button)
        return;
    SendMessageA(button, focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
    InvalidateRect(button, nullptr, TRUE);
}

void CToolbar::SetFocusIndex(int index)
{
    if (m_focusIndex >= 0) {
        if (CToolButton* old = Button(m_focusIndex))
            old->SetFocused(FALSE);
    } else {
        UpdateMenuButtonFocus(m_focusIndex, FALSE);
    }
    m_focusIndex = index;
    HWND focused = nullptr;
    if (index >= 0) {
        if (CToolButton* button = Button(index)) {
            button->SetFocused(TRUE);
            focused = button->Handle();
        }
    } else {
        UpdateMenuButtonFocus(index, TRUE);
        focused = index == kFocusToolbarMenuButton ? m_toolbarMenuButton : m_programMenuButton;
    }
    // The toolbar keeps the keyboard focus and draws it on a button; screen
    // readers follow it only when told.
    if (Handle() && GetFocus() == Handle())
        NotifyAccessibleFocus(focused);
}

void CToolbar::MoveFocus(int dx, int dy)
{
    const int perLine = m_settings.buttonsPerLine < 1 ? 1 : m_settings.buttonsPerLine;
    const int step = m_settings.orientation == kHorizontal ? perLine * dx + dy : perLine * dy + dx;
    if (step == 0)
        return;
    const int direction = step > 0 ? 1 : -1;
    int remaining = step > 0 ? step : -step;
    int index = m_focusIndex;
    while (remaining > 0) {
        const int next = index + direction;
        if (next < kFocusToolbarMenuButton || next > Count() - 1)
            break;
        index = next;
        // Spaces and empty entries are stepped over without counting.
        if (index >= 0 && (!m_buttons[index] || m_buttons[index]->Kind() == kKindSpace))
            continue;
        --remaining;
    }
    // Landing on a space at the end: go back to the last real stop.
    while (index >= 0 && (!m_buttons[index] || m_buttons[index]->Kind() == kKindSpace))
        index -= direction;
    if (index < 0 && !m_settings.showMenuButtons)
        index = Count() > 0 ? 0 : index;
    if (index < kFocusToolbarMenuButton)
        index = kFocusToolbarMenuButton;
    SetFocusIndex(index);
}

int CToolbar::NextNonSpace(int from, int step) const
{
    for (int i = from; i >= 0 && i < Count(); i += step) {
        if (m_buttons[i] && m_buttons[i]->Kind() != kKindSpace)
            return i;
    }
    return -1;
}

void CToolbar::ButtonReleased(CToolButton*) {}

BOOL CToolbar::Help(UINT command, ULONG_PTR data)
{
    return m_host ? m_host->Help(command, data, Handle()) : FALSE;
}

// ---------------------------------------------------------------- protection and title

BOOL CToolbar::IsRestricted(DWORD flags) const
{
    if (!m_settings.protection.enabled || m_quickUnlocked)
        return FALSE;
    if (flags == 0)
        return TRUE;
    return (m_settings.protection.level & flags) == flags;
}

void CToolbar::SetTitle(const char* newName)
{
    if (newName) {
        m_settings.name = newName;
        m_dirty = 1;
    }
    CText caption(m_settings.name);
    if (IsRestricted(0))
        caption += " (P)";
    if (Handle())
        SetWindowTextA(Handle(), caption.c_str());
}

void CToolbar::SetButtonSize(int size)
{
    m_settings.buttonSize = size < 0 ? 0 : (size > 2 ? 2 : size);
    if (!m_listFilled[m_settings.buttonSize])
        FillImageLists();
    for (int i = 0; i < Count(); ++i) {
        if (m_buttons[i])
            m_buttons[i]->SetIconSize(m_settings.buttonSize, m_version < kVersion20000);
    }
}

void CToolbar::ApplySettings(const ToolbarSettings& settings)
{
    const ToolbarSettings before(m_settings);
    m_settings = settings.Validated();
    m_settings.FollowSystemColours(GetSysColor(COLOR_BTNFACE));
    if (m_settings.buttonSize != before.buttonSize)
        SetButtonSize(m_settings.buttonSize);
    if (ButtonBackground(m_settings) != ButtonBackground(before) || m_settings.useGradient != before.useGradient
        || m_settings.startColour != before.startColour || m_settings.endColour != before.endColour)
        SetButtonBackground(m_settings.ButtonColour());
    // The caption carries the name and the protection mark.
    SetTitle(nullptr);
    m_dirty = 1;
    Relayout(TRUE);
}

// ---------------------------------------------------------------- closing

BOOL CToolbar::IsModified()
{
    if (m_dirty || !m_settings.docked)
        return TRUE;
    for (int i = 0; i < Count(); ++i) {
        if (m_buttons[i] && m_buttons[i]->IsModified()) {
            m_dirty = 1;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CToolbar::QueryClose()
{
    if (!IsModified() || Count() == 0)
        return TRUE;
    CApplication* app = App();
    if (m_set && m_set->Options().saveOnClose) {
        if (Save(FALSE))
            return TRUE;
    } else {
        const int answer = app ? app->DisplayMessage(Handle(), IDS_MSG_SAVE_NOW, m_settings.name.c_str(),
                                                     MB_YESNOCANCEL | MB_ICONQUESTION, kCaptionText)
                               : IDNO;
        if (answer == IDCANCEL)
            return FALSE;
        if (answer == IDNO)
            return TRUE;
        if (Save(FALSE))
            return TRUE;
    }
    const int answer = app ? app->DisplayMessage(Handle(), IDS_MSG_CLOSE_ANYWAY, m_settings.name.c_str(),
                                                 MB_YESNOCANCEL | MB_ICONQUESTION, kCaptionText)
                           : IDYES;
    return answer == IDYES;
}

BOOL CToolbar::OnClose()
{
    // An open property sheet works on this object, or a button sheet on one
    // of its buttons: the toolbar goes when the sheet has, and the user is
    // shown the sheet that keeps it.  Both sheets have the toolbar window
    // as their owner (a button's window is a child of it).
    const CToolbarPropertySheet* sheet = CToolbarPropertySheet::Current();
    const CFileButton* buttonSheet = CFileButton::PropertiesButton();
    if ((sheet && &sheet->Toolbar() == this) || (buttonSheet && buttonSheet->Host() == this)) {
        HWND popup = GetLastActivePopup(Handle());
        if (popup && popup != Handle())
            SetForegroundWindow(popup);
        return TRUE;
    }
    if (!QueryClose())
        return TRUE;
    CToolbarSet* set = m_set;
    DestroyWindow(Handle());
    // The set deletes this object: nothing of it may be touched afterwards.
    if (set)
        set->RemoveToolbar(this);
    return TRUE;
}

BOOL CToolbar::OnDestroy()
{
    // The buttons are destroyed after this window's own message; from here
    // on they reach this object no more.
    for (HWND button : {m_toolbarMenuButton, m_programMenuButton}) {
        if (button)
            RemoveWindowSubclass(button, MenuButtonProc, kMenuButtonSubclassId);
    }
    RevokeDropTarget();
    ReleaseScreenStrip();
    if (m_clipboardObject) {
        if (OleIsCurrentClipboard(m_clipboardObject.Get()) == S_OK)
            OleSetClipboard(nullptr);
        m_clipboardObject.Reset();
    }
    if (m_hoverTimerOn) {
        KillTimer(Handle(), kHoverTimer);
        m_hoverTimerOn = 0;
    }
    return FALSE;
}

// ---------------------------------------------------------------- painting

void CToolbar::PaintBackground(HDC dc, const RECT& area, POINT origin) const
{
    // A flat button shows the part of the toolbar's background behind it:
    // the toolbar is drawn whole, shifted and clipped to the button.
    RECT client{};
    if (Handle())
        GetClientRect(Handle(), &client);
    else
        client = area;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    PaintToolbarBackground(dc, m_settings, client);
    RestoreDC(dc, saved);
}

BOOL CToolbar::OnPaint(PAINTSTRUCT& paint)
{
    RECT client{};
    GetClientRect(Handle(), &client);
    PaintToolbarBackground(paint.hdc, m_settings, client);
    return TRUE;
}

void CToolbar::SetButtonBackground(COLORREF colour)
{
    ToolbarSettings drawn(m_settings);
    if (drawn.useGradient)
        drawn.endColour = colour;
    else
        drawn.startColour = colour;
    const COLORREF background = ButtonBackground(drawn);
    for (const auto& button : m_buttons) {
        if (button)
            button->SetColour(background);
    }
    if (Handle())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CToolbar::RefreshSystemColours()
{
    m_settings.FollowSystemColours(GetSysColor(COLOR_BTNFACE));
    SetButtonBackground(m_settings.ButtonColour());
    LoadMenuGlyphs();
}

void CToolbar::LoadMenuGlyphs()
{
    // The glyphs are 13-pixel pixel art drawn in the 3-D colours: they grow
    // by whole pixels only, so they stay sharp, and the button centres them
    // in its scaled side.
    const int side = kMenuButtonSize * std::max(1, m_dpi / Dpi::kDefault);
    const UINT bitmapIds[2] = {IDB_TOOLBAR_MENU_BUTTON, IDB_PROGRAM_MENU_BUTTON};
    const HWND buttons[2] = {m_toolbarMenuButton, m_programMenuButton};
    for (int i = 0; i < 2; ++i) {
        m_menuBitmaps[i].Reset(static_cast<HBITMAP>(
            LoadImageA(AppInstance(), MAKEINTRESOURCEA(bitmapIds[i]), IMAGE_BITMAP, side, side, LR_LOADMAP3DCOLORS)));
        if (buttons[i])
            SendMessageA(buttons[i], BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_menuBitmaps[i].Get()));
    }
}

// ---------------------------------------------------------------- docking

void CToolbar::ArrangeAllDocked()
{
    if (m_set)
        m_set->ArrangeDocked(nullptr);
}

BOOL CToolbar::OnHelp(HELPINFO* helpInfo)
{
    if (helpInfo && helpInfo->iContextType == HELPINFO_MENUITEM)
        Help(HELP_CONTEXTPOPUP, helpInfo->dwContextId);
    else
        Help(HELP_CONTEXT, HELP_TOOLBAR);
    return TRUE;
}

// ---------------------------------------------------------------- mouse and keyboard

BOOL CToolbar::OnLButtonDown(UINT, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(Handle(), &point);
    // Any free spot of a toolbar moves it like its caption does.
    if (DragDetect(Handle(), point))
        SendMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return TRUE;
}

BOOL CToolbar::OnLButtonDblClk(UINT, int, int)
{
    if (!IsRestricted(kProtectAdd))
        ShowAddMenu();
    return TRUE;
}

BOOL CToolbar::OnContextMenu(HWND, int x, int y)
{
    // The menu key or Shift+F10 on a focused button opens that button's
    // menu, as a right click on it does.
    if (x == -1 && y == -1 && m_focusIndex >= 0) {
        if (CToolButton* button = Button(m_focusIndex)) {
            if (button->Kind() != kKindSpace) {
                button->OnRightClick(1);
                return TRUE;
            }
        }
    }
    ShowToolbarMenu(Handle(), FALSE);
    return TRUE;
}

BOOL CToolbar::OnMouseMove(UINT, int, int)
{
    HotTrack(-1);
    return TRUE;
}

BOOL CToolbar::OnKeyDown(UINT key, LPARAM data)
{
    switch (key) {
    case VK_LEFT: MoveFocus(-1, 0); return TRUE;
    case VK_RIGHT: MoveFocus(1, 0); return TRUE;
    case VK_UP: MoveFocus(0, -1); return TRUE;
    case VK_DOWN: MoveFocus(0, 1); return TRUE;
    case VK_RETURN:
    case VK_SPACE:
        if (m_focusIndex >= 0) {
            RunButton(m_focusIndex);
        } else if (!(data & (1 << 30))) {
            // A held key repeats; a menu button answers only the first press.
            const UINT id = m_focusIndex == kFocusToolbarMenuButton ? kToolbarMenuButtonId : kProgramMenuButtonId;
            SendMessageA(Handle(), WM_COMMAND, id, reinterpret_cast<LPARAM>(
                                                   m_focusIndex == kFocusToolbarMenuButton ? m_toolbarMenuButton : m_programMenuButton));
        }
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CToolbar::OnKeyUp(UINT key, LPARAM)
{
    if (key == VK_END) {
        MoveFocus(0, 100);
        return TRUE;
    }
    if (key == VK_HOME) {
        MoveFocus(0, -100);
        return TRUE;
    }
    return FALSE;
}

BOOL CToolbar::OnChar(UINT character, LPARAM)
{
    if (character < '1' || character > '9')
        return FALSE;
    int wanted = static_cast<int>(character - '1');
    for (int i = 0; i < Count(); ++i) {
        if (!m_buttons[i] || m_buttons[i]->Kind() == kKindSpace)
            continue;
        if (wanted-- == 0) {
            RunButton(i);
            break;
        }
    }
    return TRUE;
}

BOOL CToolbar::OnTimer(UINT_PTR timerId)
{
    if (timerId != kHoverTimer)
        return FALSE;
    OnHoverTimer();
    return TRUE;
}

LRESULT CALLBACK CToolbar::MenuButtonProc(HWND window, UINT message, WPARAM first, LPARAM second, UINT_PTR,
                                          DWORD_PTR data)
{
    auto* self = reinterpret_cast<CToolbar*>(data);
    switch (message) {
    case WM_KEYDOWN:
        // The toolbar's keyboard rules apply while a menu button has the focus.
        if (first == VK_RETURN || first == VK_SPACE) {
            if (!(second & (1 << 30)))
                SendMessageA(self->Handle(), WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(window)),
                             reinterpret_cast<LPARAM>(window));
            return 0;
        }
        if (self->OnKeyDown(static_cast<UINT>(first), second))
            return 0;
        break;
    case WM_KEYUP:
        if (first == VK_SPACE)
            return 0;   // the button's own click on space-up would run the menu twice
        if (self->OnKeyUp(static_cast<UINT>(first), second))
            return 0;
        break;
    case WM_CHAR:
        if (self->OnChar(static_cast<UINT>(first), second))
            return 0;
        break;
    case WM_MOUSEMOVE:
        self->HotTrack(-1);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, first, second);
}

LRESULT CToolbar::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_SETFOCUS:
        if (m_set)
            m_set->SetCurrent(this);
        SetFocusIndex(m_focusIndex);
        return 0;
    case WM_KILLFOCUS:
        if (m_focusIndex >= 0) {
            if (CToolButton* button = Button(m_focusIndex))
                button->SetFocused(FALSE);
        }
        return 0;
    case WM_SYSCOLORCHANGE:
        RefreshSystemColours();
        InvalidateRect(Handle(), nullptr, TRUE);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(second);
        info->ptMinTrackSize.x = 5;
        info->ptMinTrackSize.y = 5;
        return 0;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(second);
        if (header->code == TTN_NEEDTEXTA) {
            auto* request = reinterpret_cast<NMTTDISPINFOA*>(second);
            if (request->uFlags & TTF_IDISHWND) {
                CWindowBase* object = CWindowBase::FromHandle(reinterpret_cast<HWND>(header->idFrom));
                for (int i = 0; i < Count(); ++i) {
                    if (m_buttons[i].get() == object) {
                        m_buttons[i]->GetTooltipText(request);
                        break;
                    }
                }
            }
            return 0;
        }
        if (header->code == TTN_SHOW) {
            SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return 0;
        }
        break;
    }
    case WM_NCMOUSEMOVE:
        HotTrack(-1);
        break;
    case WM_ENTERMENULOOP:
        MenuLoop(TRUE);
        return 0;
    case WM_EXITMENULOOP:
        MenuLoop(FALSE);
        return 0;
    case WM_MOVING:
        if (OnMoving(static_cast<UINT>(first), *reinterpret_cast<RECT*>(second)))
            return TRUE;
        break;
    case WM_SIZING:
        OnSizing(static_cast<UINT>(first), *reinterpret_cast<RECT*>(second));
        return TRUE;
    case WM_ENTERSIZEMOVE:
        if (m_settings.autohide && m_collapsed)
            SetCollapsed(FALSE);
        m_inSizeMove = 1;
        GetWindowRect(Handle(), &m_sizeMoveStart);
        break;
    case WM_EXITSIZEMOVE: {
        m_inSizeMove = 0;
        // A toolbar the user moves stands where it is put from now on.
        RECT window{};
        GetWindowRect(Handle(), &window);
        if (window.left != m_sizeMoveStart.left || window.top != m_sizeMoveStart.top)
            m_displaced = FALSE;
        Relayout(TRUE);
        break;
    }
    case WM_DPICHANGED:
        ChangeDpi(LOWORD(first), reinterpret_cast<const RECT*>(second));
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT answer = AnswerAccessibleObject(Handle(), first, second, Name().c_str(), ROLE_SYSTEM_TOOLBAR))
            return answer;
        break;
    case kScreenStripMessage:
        // Another desktop toolbar or the taskbar moved: take the strip again.
        if (first == ABN_POSCHANGED && HasScreenStrip())
            Reposition();
        return 0;
    case WM_ACTIVATE:
        if (m_strip)
            m_strip->Activated();
        break;
    case WM_WINDOWPOSCHANGED:
        if (m_strip)
            m_strip->WindowPosChanged();
        break;
    case WM_ERASEBKGND:
        return 1;   // the paint handler fills the whole client area
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(Handle(), &client);
        PaintToolbarBackground(reinterpret_cast<HDC>(first), m_settings, client);
        return 0;
    }
    default:
        break;
    }
    return CWindowBase::WindowProc(message, first, second);
}
