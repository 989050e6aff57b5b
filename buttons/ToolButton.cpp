#include "ToolButton.h"

#include "../common/AccessibleWindow.h"
#include "IconListSnapshot.h"
#include "../common/Application.h"
#include "../common/BitmapStream.h"
#include "../common/Dpi.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <oleacc.h>
#include <windowsx.h>

#include <cstring>
#include <vector>

CToolButton::CToolButton(IButtonHost* host, CApplication* application, void* owner)
    : CWindowBase(application, nullptr), m_host(host), m_owner(owner), m_colour(GetSysColor(COLOR_BTNFACE))
{
}

CToolButton::~CToolButton()
{
    if (TraceOn())
        LogMethod(TR_CTOOLBUTTON, TR_CTOOLBUTTON_DTOR, TRUE);
    // The button owns its window: one left behind would stay on the toolbar,
    // unseen, and swallow clicks.  It is let go first, so that the messages
    // of its destruction reach no half-destroyed object.
    if (HWND window = Handle()) {
        SetWindowLongPtrA(window, 0, 0);
        DestroyWindow(window);
    }
    // A button that never joined its toolbar holds the last entries of the
    // lists; one that left it has given its entries back already.
    ReleaseImage();
}

void CToolButton::ApplyCreationData(const CreationData& data)
{
    m_tooltip = data.tooltip;
    SetIconSize(data.sizeIndex, FALSE);
    m_largeList = data.largeList;
    m_normalList = data.normalList;
    m_smallList = data.smallList;
    m_colour = data.colour;
}

void CToolButton::SetImageLists(HIMAGELIST large, HIMAGELIST normal, HIMAGELIST small, BOOL redraw)
{
    m_largeList = large;
    m_normalList = normal;
    m_smallList = small;
    if (redraw && Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

HIMAGELIST CToolButton::ListOf(int sizeIndex) const
{
    return sizeIndex == 0 ? m_smallList : (sizeIndex == 1 ? m_normalList : m_largeList);
}

void CToolButton::TakeWaitingLists(bool storedIcons)
{
    if (!m_host || (m_largeList && m_normalList && m_smallList))
        return;
    if (storedIcons && m_host->IsLoading())
        return;
    HIMAGELIST* lists[3] = {&m_smallList, &m_normalList, &m_largeList};
    for (int i = 0; i < 3; ++i) {
        if (!*lists[i])
            *lists[i] = m_host->FilledImageList(i);
    }
}

int CToolButton::Px(int size) const
{
    return Dpi::Scale(size, ScreenDpi());
}

int CToolButton::ListSide(int sizeIndex) const
{
    HIMAGELIST list = ListOf(sizeIndex);
    int side = 0;
    int height = 0;
    if (list && ImageList_GetIconSize(list, &side, &height) && side > 0)
        return side;
    return Px(sizeIndex == 0 ? 16 : (sizeIndex == 1 ? 32 : 48));
}

BOOL CToolButton::Create(const CreationData& data, int mode)
{
    if (mode == 2 || mode == 3)
        ApplyCreationData(data);
    if (mode != 3)
        return TRUE;
    const SIZE size = GetSize();
    return CreateChild(0, "CToolButtonWindow", "", WS_CHILD | WS_VISIBLE, data.x, data.y, size.cx, size.cy,
                       m_host ? m_host->Window() : nullptr, data.controlId);
}

BOOL CToolButton::Create(IShellLinkA*, const CreationData& data, int mode) { return Create(data, mode); }
BOOL CToolButton::Create(LPCITEMIDLIST, const CreationData& data, int mode) { return Create(data, mode); }
BOOL CToolButton::Create(const char*, const CreationData& data, int mode) { return Create(data, mode); }

BOOL CToolButton::Create(IStorage* storage, const CreationData& data, int mode)
{
    if (!Create(data, mode))
        return FALSE;
    // A record that cannot be read leaves the button on its toolbar, broken.
    if (!Read2(storage, data.version, mode))
        m_targetOk = 0;
    return TRUE;
}

BOOL CToolButton::Create(IStream* stream, const CreationData& data, int mode)
{
    if (!Create(data, mode))
        return FALSE;
    if (!Read(stream, data.version, mode))
        m_targetOk = 0;
    return TRUE;
}

void CToolButton::Activate(BOOL) {}
BOOL CToolButton::OnHold() { return FALSE; }
void CToolButton::OnRightClick(BOOL) {}
BOOL CToolButton::Read(IStream*, DWORD, int) { return TRUE; }
BOOL CToolButton::Read2(IStorage*, DWORD, int) { return TRUE; }

BOOL CToolButton::Write(IStream* stream, DWORD version)
{
    if (!stream)
        return FALSE;
    // Files before 0x20000 know no folder kind: a folder is stored as a program.
    DWORD kind = m_kind;
    if (version < kVersion20000 && kind == kKindFolder)
        kind = kKindProgram;
    ULONG written = 0;
    return SUCCEEDED(stream->Write(&kind, sizeof kind, &written)) && written == sizeof kind;
}

BOOL CToolButton::Write2(IStorage* storage, DWORD version)
{
    if (!storage)
        return FALSE;
    CComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(L"DATA", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put());
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    return CToolButton::Write(stream.Get(), version);
}

void CToolButton::ShowProperties() {}

void CToolButton::DragEnter(IDataObject* data, DWORD keys, POINTL point, int kind, DWORD, BOOL, DWORD* effect)
{
    if (m_host)
        m_host->OnDragEnter(data, keys, point, kind, effect);
}

void CToolButton::DragOver(DWORD keys, POINTL point, DWORD* effect)
{
    if (m_host)
        m_host->OnDragOver(keys, point, effect);
}

void CToolButton::DragLeave()
{
    if (m_host)
        m_host->OnDragLeave();
}

BOOL CToolButton::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
{
    // Dropped on this button: what the toolbar adds goes right behind it.
    return m_host && m_host->OnDrop(data, keys, point, effect, this);
}

void CToolButton::Move(int x, int y, int cx, int cy)
{
    if (Handle())
        SetWindowPos(Handle(), nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CToolButton::GetDescription(CText& text) const
{
    text = m_description;
}

int CToolButton::GetWidth() const
{
    const int side = IconSide();
    if (m_kind == kKindSpace)
        return side;
    const bool textBelow = m_host && m_host->ShowDescription() && SizeIndex() != 0;
    return textBelow ? 2 * side + Px(10) : side + Px(10);
}

SIZE CToolButton::GetSize() const
{
    const int side = IconSide();
    if (m_kind == kKindSpace)
        return SIZE{side, side};
    SIZE size{side + Px(10), side + Px(10)};
    if (m_host && m_host->ShowDescription()) {
        if (SizeIndex() == 0) {
            size.cx += 5 * side;   // the text stands to the right of a small icon
        } else {
            size.cx += side;       // and below a normal or large one
            size.cy += side;
        }
    }
    return size;
}

BOOL CToolButton::SetIconSize(int sizeIndex, BOOL)
{
    m_iconSize = sizeIndex == 0 ? 16 : (sizeIndex == 1 ? 32 : 48);
    return TRUE;
}

void CToolButton::SetDescription(const char* text)
{
    m_description = text;
    m_modified = 1;
}

void CToolButton::SetPressed(BOOL pressed)
{
    m_pressed = pressed ? 1 : 0;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void CToolButton::GetTooltipText(NMTTDISPINFOA* request)
{
    if (!request)
        return;
    if (!m_description.IsEmpty()) {
        lstrcpynA(request->szText, m_description.c_str(), sizeof request->szText);
        request->lpszText = const_cast<char*>(m_description.c_str());
        return;
    }
    CText none;
    if (!none.LoadString(AppInstance(), IDS_NO_DESCRIPTION))
        none = "No description";
    lstrcpynA(request->szText, none.c_str(), sizeof request->szText);
    request->lpszText = request->szText;
}

void CToolButton::SetDropHighlight(BOOL highlight)
{
    const int value = highlight ? 1 : 0;
    if (value == m_dropHighlight)
        return;
    m_dropHighlight = value;
    if (Handle()) {
        // Painted at once: a drag does not leave time for a WM_PAINT.
        HDC dc = GetDC(Handle());
        if (dc) {
            PAINTSTRUCT paint{};
            paint.hdc = dc;
            GetClientRect(Handle(), &paint.rcPaint);
            OnPaint(paint);
            ReleaseDC(Handle(), dc);
        }
    }
}

void CToolButton::SetColour(COLORREF colour)
{
    m_colour = colour;
}

void CToolButton::SetFocused(BOOL focused)
{
    const int value = focused ? 1 : 0;
    if (value == m_focused)
        return;
    m_focused = value;
    if (Handle())
        InvalidateRect(Handle(), nullptr, FALSE);
}

void CToolButton::SetRaised(BOOL raised)
{
    const int value = raised ? 1 : 0;
    if (value == m_raised)
        return;
    m_raised = value;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

HIMAGELIST CToolButton::CurrentList() const
{
    if (m_iconSize == 16)
        return m_smallList;
    if (m_iconSize == 32)
        return m_normalList;
    return m_largeList;
}

CIconHandle CToolButton::GetIcon(int sizeIndex) const
{
    if (m_imageIndex < 0)
        return CIconHandle();
    HIMAGELIST list = ListOf(sizeIndex);
    if (!list && m_host)
        list = m_host->FilledImageList(sizeIndex);
    if (!list)
        return CIconHandle();
    return CIconHandle(ImageList_GetIcon(list, m_imageIndex, ILD_NORMAL));
}

int CToolButton::ReleaseImage()
{
    const int index = m_imageIndex;
    m_imageIndex = -1;
    if (index < kOverlayImages)
        return -1;
    for (HIMAGELIST list : {m_smallList, m_normalList, m_largeList}) {
        if (list && index < ImageList_GetImageCount(list))
            ImageList_Remove(list, index);
    }
    return index;
}

void CToolButton::ImageRemoved(int index)
{
    if (index >= kOverlayImages && m_imageIndex > index)
        --m_imageIndex;
}

void CToolButton::Destroy()
{
    if (Handle())
        DestroyWindow(Handle());
}

BOOL CToolButton::PointInside(int x, int y) const
{
    RECT client{};
    GetClientRect(Handle(), &client);
    POINT point{x, y};
    return PtInRect(&client, point);
}

void CToolButton::StopHoldTimer()
{
    if (m_holdTimerRunning) {
        KillTimer(Handle(), kHoldTimer);
        m_holdTimerRunning = 0;
    }
}

void CToolButton::RelayToTooltip(UINT message, WPARAM first, LPARAM second)
{
    if (!m_tooltip)
        return;
    MSG record{};
    record.hwnd = Handle();
    record.message = message;
    record.wParam = first;
    record.lParam = second;
    SendMessageA(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&record));
}

BOOL CToolButton::OnLButtonDown(UINT, int, int)
{
    SetPressed(1);
    // The pressed look shows before the hold timer starts counting.
    UpdateWindow(Handle());
    GetCursorPos(&m_pressPoint);
    m_mouseDown = 1;
    m_holdDone = 0;
    SetTimer(Handle(), kHoldTimer, kHoldDelay, nullptr);
    m_holdTimerRunning = 1;
    SetCapture(Handle());
    return TRUE;
}

BOOL CToolButton::OnTimer(UINT_PTR timerId)
{
    if (timerId != kHoldTimer)
        return FALSE;
    StopHoldTimer();
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(Handle(), &cursor);
    if (PointInside(cursor.x, cursor.y)) {
        ReleaseCapture();
        const auto alive = AliveToken();
        const BOOL held = OnHold();
        if (!*alive)
            return TRUE;
        if (held) {
            m_holdDone = 1;
            SetPressed(0);
        } else {
            SetCapture(Handle());
        }
    }
    return TRUE;
}

BOOL CToolButton::OnMouseMove(UINT flags, int x, int y)
{
    if (m_host)
        m_host->HotTrack(this);
    if (m_holdDone || !m_mouseDown || !(flags & MK_LBUTTON))
        return TRUE;
    POINT cursor{};
    GetCursorPos(&cursor);
    const int distance = Px(kDragDistance);
    if (cursor.x >= m_pressPoint.x - distance && cursor.x < m_pressPoint.x + distance
        && cursor.y >= m_pressPoint.y - distance && cursor.y < m_pressPoint.y + distance)
        return TRUE;
    if (m_host && m_host->IsRestricted(kProtectDrag))
        return TRUE;
    StopHoldTimer();
    if (PointInside(x, y))
        return TRUE;
    m_mouseDown = 0;
    ReleaseCapture();
    SetPressed(0);
    if (m_host)
        m_host->DragStart(this);
    return TRUE;
}

BOOL CToolButton::OnLButtonUp(UINT flags, int x, int y)
{
    ReleaseCapture();
    StopHoldTimer();
    m_mouseDown = 0;
    if (PointInside(x, y) && m_pressed && !m_holdDone) {
        const auto alive = AliveToken();
        // Ctrl+click stands for press-and-hold.
        if (flags & MK_CONTROL)
            OnHold();
        else
            Activate(0);
        if (!*alive)
            return TRUE;
    }
    m_holdDone = 0;
    SetPressed(0);
    if (m_host)
        m_host->ButtonReleased(this);
    return TRUE;
}

BOOL CToolButton::OnRButtonDown(UINT, int, int)
{
    SetPressed(1);
    SetCapture(Handle());
    return TRUE;
}

BOOL CToolButton::OnRButtonUp(UINT, int x, int y)
{
    ReleaseCapture();
    if (PointInside(x, y) && m_pressed) {
        const auto alive = AliveToken();
        OnRightClick(1);   // the context menu runs a modal loop
        if (!*alive)
            return TRUE;
    }
    SetPressed(0);
    if (m_host)
        m_host->ButtonReleased(this);
    return TRUE;
}

BOOL CToolButton::OnCommand(UINT, UINT, HWND) { return FALSE; }

BOOL CToolButton::OnHelp(HELPINFO* helpInfo)
{
    if (helpInfo && helpInfo->iContextType == HELPINFO_MENUITEM && m_host) {
        m_host->Help(HELP_CONTEXTPOPUP, helpInfo->dwContextId);
        return TRUE;
    }
    return FALSE;
}

BOOL CToolButton::OnDestroy()
{
    StopHoldTimer();
    return FALSE;
}

LRESULT CToolButton::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        RelayToTooltip(message, first, second);
        break;
    case WM_ENTERMENULOOP:
        if (m_host)
            m_host->MenuLoop(TRUE);
        break;
    case WM_EXITMENULOOP:
        if (m_host)
            m_host->MenuLoop(FALSE);
        break;
    case WM_ERASEBKGND:
        return 1;   // painting fills the whole button
    case WM_GETOBJECT:
        // A space says so and has no name; every other button is a push
        // button named by its description.
        if (const LRESULT answer = AnswerAccessibleObject(Handle(), first, second,
                                                          m_kind == kKindSpace ? "" : m_description.c_str(),
                                                          m_kind == kKindSpace ? ROLE_SYSTEM_SEPARATOR
                                                                               : ROLE_SYSTEM_PUSHBUTTON))
            return answer;
        break;
    default:
        break;
    }
    return CWindowBase::WindowProc(message, first, second);
}

BOOL CToolButton::OnPaint(PAINTSTRUCT& paint)
{
    HDC dc = paint.hdc;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int sizeIndex = SizeIndex();
    const bool showText = m_host && m_host->ShowDescription();
    const bool backgrounds = !m_host || m_host->ShowButtonBackground();

    int iconX = (GetWidth() - IconSide()) / 2;
    int iconY = Px(5);
    if (sizeIndex == 0 && showText)
        iconX = Px(5);

    if (backgrounds) {
        CBrushHandle brush(CreateSolidBrush(m_colour));
        FillRect(dc, &client, brush.Get());
    } else if (m_host) {
        // The toolbar's own background shows through a flat button.
        RECT inToolbar = client;
        MapWindowPoints(Handle(), m_host->Window(), reinterpret_cast<POINT*>(&inToolbar), 2);
        m_host->PaintBackground(dc, client, POINT{inToolbar.left, inToolbar.top});
    }

    if (m_pressed && backgrounds) {
        iconX += Px(2);
        iconY = Px(7);
    } else if (!m_pressed && m_focused) {
        LOGBRUSH dots{};
        dots.lbStyle = BS_SOLID;
        dots.lbColor = GetSysColor(COLOR_BTNHIGHLIGHT);
        HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &dots, 0, nullptr);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const int oldMode = SetBkMode(dc, OPAQUE);
        const COLORREF oldBack = SetBkColor(dc, m_colour);
        const int inset = Px(3);
        Rectangle(dc, inset, inset, client.right - inset, client.bottom - inset);
        SetBkColor(dc, oldBack);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }

    if (backgrounds || m_raised) {
        RECT frame = client;
        DrawEdge(dc, &frame, m_pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }

    HIMAGELIST list = CurrentList();
    if (list) {
        ImageList_Draw(list, m_imageIndex < 0 ? 0 : m_imageIndex, dc, iconX, iconY, ILD_TRANSPARENT);
        if (!m_targetOk)
            ImageList_Draw(list, 0, dc, iconX, iconY, ILD_TRANSPARENT);
        if (m_dropHighlight)
            ImageList_Draw(list, 1, dc, iconX, iconY, ILD_TRANSPARENT);
    }
    if (showText)
        DrawDescription(dc, iconX);
    return TRUE;
}

void CToolButton::DrawDescription(HDC dc, int)
{
    if (m_description.IsEmpty())
        return;
    const int sizeIndex = SizeIndex();
    const int points = sizeIndex == 2 ? 12 : 8;
    // The monitor's DPI, not the device context's: a device context answers
    // the system's DPI, which another monitor need not have.
    CFontHandle font(CreateFontA(-MulDiv(points, ScreenDpi(), 72), 0, 0, 0,
                                 m_focused ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                 OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                 "MS Sans Serif"));
    HGDIOBJ oldFont = SelectObject(dc, font.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));

    const char* text = m_description.c_str();
    const int length = m_description.Length();
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int textHeight = metrics.tmHeight;
    auto fitCount = [dc](const char* begin, int count, int width) {
        int fit = 0;
        SIZE extent{};
        GetTextExtentExPointA(dc, begin, count, width < 0 ? 0 : width, &fit, nullptr, &extent);
        return fit;
    };
    // Text that does not fit keeps (fit - 4) characters and ends in "...".
    auto cut = [](const char* begin, int fit) {
        CText shortened(begin);
        shortened.Left(fit > 4 ? fit - 4 : 0);
        shortened += "...";
        return shortened;
    };

    const int width = GetWidth();
    if (sizeIndex != 0) {
        const int available = width - Px(10);
        const int centre = width / 2;
        const int baseline = 3 * width / 4;
        UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_TOP);
        const int fit = fitCount(text, length, available);
        if (fit >= length) {
            TextOutA(dc, centre, baseline - textHeight / 2, text, length);
        } else {
            // Break at the last blank that still fits; the blank starts line two.
            int breakAt = fit;
            for (int i = fit; i > 0; --i) {
                if (text[i] == ' ') {
                    breakAt = i;
                    break;
                }
            }
            if (breakAt <= 0)
                breakAt = fit;
            TextOutA(dc, centre, baseline - textHeight, text, breakAt);
            const char* rest = text + breakAt;
            const int restLength = length - breakAt;
            const int restFit = fitCount(rest, restLength, available);
            if (restFit >= restLength) {
                TextOutA(dc, centre, baseline, rest, restLength);
            } else {
                CText shortened = cut(rest, restFit);
                TextOutA(dc, centre, baseline, shortened.c_str(), shortened.Length());
            }
        }
        SetTextAlign(dc, oldAlign);
    } else {
        const bool shifted = m_pressed && m_host && m_host->ShowButtonBackground();
        const int left = IconSide() + Px(10) + (shifted ? Px(2) : 0);
        const int available = GetSize().cx - left - Px(5);
        const int top = width / 2 - textHeight / 2;
        const int fit = fitCount(text, length, available);
        if (fit >= length) {
            TextOutA(dc, left, top, text, length);
        } else {
            CText shortened = cut(text, fit);
            TextOutA(dc, left, top, shortened.c_str(), shortened.Length());
        }
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

namespace {

// The icon stream of each size index: 0 small, 1 normal, 2 large.
const wchar_t* IconStreamName(int sizeIndex)
{
    switch (sizeIndex) {
    case 0: return L"SMALL";
    case 1: return L"NORMAL";
    case 2: return L"LARGE";
    default: return nullptr;
    }
}

bool WriteLong(IStream* stream, LONG value)
{
    ULONG written = 0;
    const HRESULT hr = stream->Write(&value, sizeof value, &written);
    if (FAILED(hr) && TraceOn())
        LogHResult(hr);
    return SUCCEEDED(hr) && written == sizeof value;
}

bool ReadLong(IStream* stream, LONG& value)
{
    ULONG got = 0;
    const HRESULT hr = stream->Read(&value, sizeof value, &got);
    if (FAILED(hr) && TraceOn())
        LogHResult(hr);
    return SUCCEEDED(hr) && got == sizeof value;
}

// What the icon streams report to the trace, in the order of their checks.
enum ReadIconResult : unsigned long {
    kIconRead = 1,           // the icon may still be null when the system could not build it
    kIconReadNoSize = 2,
    kIconNoStream = 3,
    kIconStreamDamaged = 4,
};

enum WriteIconResult : unsigned long {
    kIconWritten = 1,
    kIconWriteNoSize = 2,
    kIconNoneOfSize = 3,     // the button has no icon of that size
    kIconNotWritten = 4,
};

} // namespace

BOOL CToolButton::ReadIconBitmapsFromFile(int sizeIndex, IStorage* storage, CBitmapHandle& colour,
                                          CBitmapHandle& mask)
{
    CTraceMethod trace(TR_CTOOLBUTTON, TR_READ_ICON);
    colour.Reset();
    mask.Reset();
    const wchar_t* name = IconStreamName(sizeIndex);
    if (!name || !storage) {
        trace.Result(TR_READ_ICON_RESULT, kIconReadNoSize);
        return FALSE;
    }
    CComPtr<IStream> stream;
    const HRESULT hr = storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put());
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        trace.Result(TR_READ_ICON_RESULT, kIconNoStream);
        return FALSE;
    }
    // The hotspot is kept in the stream for the icon format's sake; buttons
    // never use it.
    LONG hotspotX = 0;
    LONG hotspotY = 0;
    if (!ReadLong(stream.Get(), hotspotX) || !ReadLong(stream.Get(), hotspotY)
        || !ReadBitmapFromStream(stream.Get(), mask) || !ReadBitmapFromStream(stream.Get(), colour)) {
        colour.Reset();
        mask.Reset();
        trace.Result(TR_READ_ICON_RESULT, kIconStreamDamaged);
        return FALSE;
    }
    trace.Result(TR_READ_ICON_RESULT, kIconRead);
    return TRUE;
}

BOOL CToolButton::ReadIconFromFile(int sizeIndex, IStorage* storage, HICON& icon)
{
    icon = nullptr;
    CBitmapHandle mask;
    CBitmapHandle colour;
    if (!ReadIconBitmapsFromFile(sizeIndex, storage, colour, mask))
        return FALSE;
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask.Get();
    info.hbmColor = colour.Get();
    icon = CreateIconIndirect(&info);
    if (!icon && TraceOn())
        LogFormat("CreateIconIndirect failed %lu", GetLastError());
    return TRUE;
}

namespace {

bool BitmapIsSquare(HBITMAP bitmap, int side)
{
    BITMAP shape{};
    return bitmap && GetObjectA(bitmap, sizeof shape, &shape) == sizeof shape && shape.bmWidth == side
           && shape.bmHeight == side;
}

// One size's entry: bitmaps of the list's own size go in as they are, which
// costs a fraction of making an icon and adding that; any other size is
// scaled the way an icon is.  Answers the entry's index or -1.
int PutEntry(HIMAGELIST list, int index, HBITMAP colour, HBITMAP mask)
{
    int side = 0;
    int height = 0;
    if (!list || !ImageList_GetIconSize(list, &side, &height))
        return -1;
    if (BitmapIsSquare(colour, side) && BitmapIsSquare(mask, side)) {
        if (index < 0)
            return ImageList_Add(list, colour, mask);
        return ImageList_Replace(list, index, colour, mask) ? index : -1;
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    CIconHandle icon(CreateIconIndirect(&info));
    return icon ? ImageList_ReplaceIcon(list, index, icon.Get()) : -1;
}

} // namespace

int CToolButton::StoredSizeFor(int sizeIndex) const
{
    // On a monitor of more than 96 dpi the lists are larger than the stored
    // sizes: each takes the smallest stored icon that is not smaller than
    // its side, so that icons shrink rather than grow.
    const int side = ListSide(sizeIndex);
    int from = 2;
    while (from > 0 && kStoredIconSides[from - 1] >= side)
        --from;
    return from;
}

void CToolButton::StoredSizesFor(const bool (&lists)[3], bool (&sizes)[3]) const
{
    for (bool& size : sizes)
        size = false;
    for (int i = 0; i < 3; ++i) {
        if (lists[i])
            sizes[StoredSizeFor(i)] = true;
    }
}

BOOL CToolButton::ReadStoredBitmaps(IStorage* storage, const bool (&sizes)[3], CBitmapHandle (&colours)[3],
                                    CBitmapHandle (&masks)[3])
{
    for (int sizeIndex = 2; sizeIndex >= 0; --sizeIndex) {
        if (sizes[sizeIndex] && !ReadIconBitmapsFromFile(sizeIndex, storage, colours[sizeIndex], masks[sizeIndex]))
            return FALSE;
    }
    return TRUE;
}

BOOL CToolButton::PutIconBitmaps(CBitmapHandle (&colours)[3], CBitmapHandle (&masks)[3])
{
    HIMAGELIST lists[3] = {m_smallList, m_normalList, m_largeList};
    // All the lists or none, so that the entry stays the same in each.
    for (int i = 0; i < 3; ++i) {
        const int from = StoredSizeFor(i);
        if (lists[i] && (!colours[from] || !masks[from]))
            return FALSE;
    }
    m_iconsAsStored = false;
    int indices[3] = {-1, -1, -1};
    for (int i = 2; i >= 0; --i) {
        const int from = StoredSizeFor(i);
        indices[i] = PutEntry(lists[i], m_imageIndex, colours[from].Get(), masks[from].Get());
    }
    const int index = indices[1] >= 0 ? indices[1] : (indices[0] >= 0 ? indices[0] : indices[2]);
    if (index >= 0)
        m_imageIndex = index;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
    return index >= 0 || (!m_largeList && !m_normalList && !m_smallList);
}

BOOL CToolButton::PutStoredEntries(IStorage* storage, const bool (&lists)[3])
{
    if (m_imageIndex < kOverlayImages || !storage)
        return FALSE;
    bool sizes[3];
    StoredSizesFor(lists, sizes);
    CBitmapHandle colours[3];
    CBitmapHandle masks[3];
    if (!ReadStoredBitmaps(storage, sizes, colours, masks))
        return FALSE;
    for (int i = 0; i < 3; ++i) {
        const int from = StoredSizeFor(i);
        if (lists[i] && PutEntry(ListOf(i), m_imageIndex, colours[from].Get(), masks[from].Get()) != m_imageIndex)
            return FALSE;
    }
    return TRUE;
}

BOOL CToolButton::WriteIconToFile(int sizeIndex, IStorage* storage)
{
    CTraceMethod trace(TR_CTOOLBUTTON, TR_WRITE_ICON);
    const wchar_t* name = IconStreamName(sizeIndex);
    if (!name || !storage) {
        trace.Result(TR_WRITE_ICON_RESULT, kIconWriteNoSize);
        return FALSE;
    }
    TakeWaitingLists(false);
    HIMAGELIST list = ListOf(sizeIndex);
    // The file holds 16, 32 and 48 pixel icons whatever the monitor's DPI:
    // lists of another side give icons scaled back to the stored size.
    const int stored = kStoredIconSides[sizeIndex];
    const bool storedSide = ListSide(sizeIndex) == stored;
    std::vector<BYTE> copied;
    if (CIconListSnapshot* snapshot = storedSide ? CIconListSnapshot::Current() : nullptr) {
        if (list && m_imageIndex >= 0 && snapshot->EntryBytes(list, m_imageIndex, copied)) {
            CComPtr<IStream> stream;
            ULONG written = 0;
            const HRESULT hr =
                storage->CreateStream(name, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put());
            if (FAILED(hr) || FAILED(stream->Write(copied.data(), static_cast<ULONG>(copied.size()), &written))
                || written != copied.size()) {
                if (FAILED(hr) && TraceOn())
                    LogHResult(hr);
                trace.Result(TR_WRITE_ICON_RESULT, kIconNotWritten);
                return FALSE;
            }
            trace.Result(TR_WRITE_ICON_RESULT, kIconWritten);
            return TRUE;
        }
    }
    CIconHandle icon = GetIcon(sizeIndex);
    if (icon && !storedSide) {
        CIconHandle scaled(static_cast<HICON>(CopyImage(icon.Get(), IMAGE_ICON, stored, stored, 0)));
        if (scaled)
            icon.Reset(scaled.Release());
    }
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon.Get(), &info)) {
        trace.Result(TR_WRITE_ICON_RESULT, kIconNoneOfSize);
        return FALSE;
    }
    // GetIconInfo hands out copies of both bitmaps, which are ours to delete.
    CBitmapHandle mask(info.hbmMask);
    CBitmapHandle colour(info.hbmColor);
    CComPtr<IStream> stream;
    const HRESULT hr =
        storage->CreateStream(name, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put());
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        trace.Result(TR_WRITE_ICON_RESULT, kIconNotWritten);
        return FALSE;
    }
    if (!WriteLong(stream.Get(), static_cast<LONG>(info.xHotspot))
        || !WriteLong(stream.Get(), static_cast<LONG>(info.yHotspot))
        || !WriteBitmapToStream(mask.Get(), stream.Get())
        || !WriteBitmapToStream(colour.Get(), stream.Get())) {
        trace.Result(TR_WRITE_ICON_RESULT, kIconNotWritten);
        return FALSE;
    }
    trace.Result(TR_WRITE_ICON_RESULT, kIconWritten);
    return TRUE;
}

CSpaceButton::CSpaceButton(IButtonHost* host, CApplication* application, void* owner)
    : CToolButton(host, application, owner)
{
    m_kind = kKindSpace;
    SetIconSize(host ? host->ButtonSize() : 1, FALSE);
}

CSpaceButton::~CSpaceButton() = default;

BOOL CSpaceButton::SetIconSize(int sizeIndex, BOOL)
{
    m_iconSize = sizeIndex == 0 ? 4 : (sizeIndex == 1 ? 8 : 12);
    return TRUE;
}
