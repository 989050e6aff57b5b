// CWindowBase: the object behind every window of the programs.  One static
// procedure serves every window class: it finds the object in the window's
// extra bytes and calls its virtual handlers.  The object is made before its
// window and learns the handle in OnCreate.
#pragma once

#include "Text.h"

#include <memory>

class CApplication;

class CWindowBase
{
public:
    CWindowBase(CApplication* application, CWindowBase* parent);
    virtual ~CWindowBase();
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    // The window extra bytes every class of ours reserves for the object.
    static constexpr int kExtraBytes = sizeof(LONG_PTR);
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM first, LPARAM second);

    // Message handlers: non-zero when handled (the message then yields 0).
    virtual BOOL OnLButtonDown(UINT flags, int x, int y);
    virtual BOOL OnLButtonUp(UINT flags, int x, int y);
    virtual BOOL OnLButtonDblClk(UINT flags, int x, int y);
    virtual BOOL OnRButtonDown(UINT flags, int x, int y);
    virtual BOOL OnRButtonUp(UINT flags, int x, int y);
    virtual BOOL OnContextMenu(HWND window, int x, int y);
    virtual BOOL OnMouseMove(UINT flags, int x, int y);
    virtual BOOL OnKeyDown(UINT key, LPARAM data);
    virtual BOOL OnKeyUp(UINT key, LPARAM data);
    virtual BOOL OnChar(UINT character, LPARAM data);
    virtual BOOL OnTimer(UINT_PTR timerId);
    virtual BOOL OnPaint(PAINTSTRUCT& paint);
    virtual BOOL OnInitMenu(HMENU menu);
    virtual BOOL OnCommand(UINT id, UINT code, HWND control);
    virtual BOOL OnHelp(HELPINFO* helpInfo);
    virtual BOOL OnClose();
    virtual BOOL OnDestroy();

    virtual BOOL CreateChild(DWORD exStyle, const CText& className, const CText& title, DWORD style, int x, int y,
                             int width, int height, HWND parent, UINT_PTR id);
    virtual BOOL Create(DWORD exStyle, const CText& className, const CText& title, DWORD style, int x, int y,
                        int width, int height, HWND parent, HMENU menu);
    virtual BOOL OnCreate(HWND handle);
    virtual LRESULT WindowProc(UINT message, WPARAM first, LPARAM second);

    HWND Handle() const { return m_handle; }
    HWND ParentHandle() const { return m_parentHandle; }
    CWindowBase* Parent() const { return m_parent; }
    CApplication* Application() const { return m_application; }

    // The object behind a window of ours, or null.
    static CWindowBase* FromHandle(HWND window);

    // Turns false when the object is destroyed.  A handler that runs a modal
    // loop (a menu, a dialog, a message box) may see its object deleted by a
    // message served inside that loop - the program closing, say - and checks
    // the token before it touches the object again.
    std::shared_ptr<const bool> AliveToken() const { return m_alive; }

protected:
    LRESULT DefaultProc(UINT message, WPARAM first, LPARAM second);

private:
    HWND m_handle = nullptr;
    HWND m_parentHandle = nullptr;
    CWindowBase* m_parent;
    CApplication* m_application;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
