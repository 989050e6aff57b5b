#include "WindowBase.h"

#include "Application.h"
#include "Error.h"
#include "TraceLog.h"

#include <windowsx.h>

CWindowBase::CWindowBase(CApplication* application, CWindowBase* parent)
    : m_parent(parent), m_application(application)
{
}

CWindowBase::~CWindowBase()
{
    *m_alive = false;
    // A window that outlives its object must not reach it any more.
    if (m_handle && IsWindow(m_handle) && FromHandle(m_handle) == this)
        SetWindowLongPtrA(m_handle, 0, 0);
}

CWindowBase* CWindowBase::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    return reinterpret_cast<CWindowBase*>(GetWindowLongPtrA(window, 0));
}

LRESULT CALLBACK CWindowBase::StaticWindowProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_NCCREATE) {
        // The object is tied to its window at the first message that can
        // carry it, and learns its handle here, so no class can forget to.
        auto* create = reinterpret_cast<CREATESTRUCTA*>(second);
        auto* self = create ? static_cast<CWindowBase*>(create->lpCreateParams) : nullptr;
        if (self) {
            SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
            self->m_handle = window;
        }
        return DefWindowProcA(window, message, first, second);
    }

    CWindowBase* self = FromHandle(window);
    if (!self)
        return DefWindowProcA(window, message, first, second);

    if (message == WM_CREATE) {
        BOOL created = FALSE;
        RunWithoutEscape([&] { created = self->OnCreate(window); });
        if (created <= 0) {
            SetWindowLongPtrA(window, 0, 0);
            self->m_handle = nullptr;
            return -1;
        }
        return 0;
    }

    LRESULT result = 0;
    // No exception may cross into the system's code: the message fails instead.
    if (!RunWithoutEscape([&] { result = self->WindowProc(message, first, second); }))
        result = DefWindowProcA(window, message, first, second);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, 0, 0);
        self->m_handle = nullptr;
    }
    return result;
}

LRESULT CWindowBase::DefaultProc(UINT message, WPARAM first, LPARAM second)
{
    return DefWindowProcA(m_handle, message, first, second);
}

BOOL CWindowBase::OnLButtonDown(UINT, int, int) { return FALSE; }
BOOL CWindowBase::OnLButtonUp(UINT, int, int) { return FALSE; }
BOOL CWindowBase::OnLButtonDblClk(UINT, int, int) { return FALSE; }
BOOL CWindowBase::OnRButtonDown(UINT, int, int) { return FALSE; }
BOOL CWindowBase::OnRButtonUp(UINT, int, int) { return FALSE; }
BOOL CWindowBase::OnContextMenu(HWND, int, int) { return FALSE; }
BOOL CWindowBase::OnMouseMove(UINT, int, int) { return FALSE; }
BOOL CWindowBase::OnKeyDown(UINT, LPARAM) { return FALSE; }
BOOL CWindowBase::OnKeyUp(UINT, LPARAM) { return FALSE; }
BOOL CWindowBase::OnChar(UINT, LPARAM) { return FALSE; }
BOOL CWindowBase::OnTimer(UINT_PTR) { return FALSE; }
BOOL CWindowBase::OnPaint(PAINTSTRUCT&) { return FALSE; }
BOOL CWindowBase::OnInitMenu(HMENU) { return FALSE; }
BOOL CWindowBase::OnCommand(UINT, UINT, HWND) { return FALSE; }
BOOL CWindowBase::OnHelp(HELPINFO*) { return FALSE; }
BOOL CWindowBase::OnClose() { return FALSE; }
BOOL CWindowBase::OnDestroy() { return FALSE; }

BOOL CWindowBase::CreateChild(DWORD exStyle, const CText& className, const CText& title, DWORD style, int x, int y,
                              int width, int height, HWND parent, UINT_PTR id)
{
    HWND parentHandle = parent ? parent : (m_parent ? m_parent->Handle() : nullptr);
    return Create(exStyle, className, title, style | WS_CHILD, x, y, width, height, parentHandle,
                  reinterpret_cast<HMENU>(id));
}

BOOL CWindowBase::Create(DWORD exStyle, const CText& className, const CText& title, DWORD style, int x, int y,
                         int width, int height, HWND parent, HMENU menu)
{
    m_parentHandle = parent;
    HWND window = CreateWindowExA(exStyle, className.c_str(), title.c_str(), style, x, y, width, height, parent, menu,
                                  AppInstance(), this);
    return window != nullptr;
}

BOOL CWindowBase::OnCreate(HWND)
{
    return TRUE;
}

LRESULT CWindowBase::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    BOOL handled = FALSE;
    switch (message) {
    case WM_LBUTTONDOWN:
        handled = OnLButtonDown(static_cast<UINT>(first), GET_X_LPARAM(second), GET_Y_LPARAM(second));
        break;
    case WM_LBUTTONUP:
        handled = OnLButtonUp(static_cast<UINT>(first), GET_X_LPARAM(second), GET_Y_LPARAM(second));
        break;
    case WM_LBUTTONDBLCLK:
        handled = OnLButtonDblClk(static_cast<UINT>(first), GET_X_LPARAM(second), GET_Y_LPARAM(second));
        break;
    case WM_RBUTTONDOWN:
        handled = OnRButtonDown(static_cast<UINT>(first), GET_X_LPARAM(second), GET_Y_LPARAM(second));
        break;
    case WM_RBUTTONUP:
        handled = OnRButtonUp(static_cast<UINT>(first), GET_X_LPARAM(second), GET_Y_LPARAM(second));
        break;
    case WM_CONTEXTMENU:
        handled = OnContextMenu(reinterpret_cast<HWND>(first), GET_X_LPARAM(second), GET_Y_LPARAM(second));
        break;
    case WM_MOUSEMOVE:
        handled = OnMouseMove(static_cast<UINT>(first), GET_X_LPARAM(second), GET_Y_LPARAM(second));
        break;
    case WM_KEYDOWN:
        handled = OnKeyDown(static_cast<UINT>(first), second);
        break;
    case WM_KEYUP:
        handled = OnKeyUp(static_cast<UINT>(first), second);
        break;
    case WM_CHAR:
        handled = OnChar(static_cast<UINT>(first), second);
        break;
    case WM_TIMER:
        handled = OnTimer(first);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        if (BeginPaint(m_handle, &paint)) {
            OnPaint(paint);
            EndPaint(m_handle, &paint);
        }
        return 0;
    }
    case WM_INITMENU:
        handled = OnInitMenu(reinterpret_cast<HMENU>(first));
        break;
    case WM_COMMAND:
        handled = OnCommand(LOWORD(first), HIWORD(first), reinterpret_cast<HWND>(second));
        break;
    case WM_HELP:
        handled = OnHelp(reinterpret_cast<HELPINFO*>(second));
        break;
    case WM_CLOSE:
        handled = OnClose();
        break;
    case WM_DESTROY:
        handled = OnDestroy();
        break;
    default:
        break;
    }
    return handled ? 0 : DefaultProc(message, first, second);
}
