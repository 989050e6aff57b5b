// COpenProgressDialog: the modeless progress box shown while toolbars are
// opened or created.  While it exists it is the program's modeless dialog, so
// the message loop gives it keyboard navigation; its owner destroys it.
#pragma once

#include <windows.h>

class CApplication;

class COpenProgressDialog
{
public:
    explicit COpenProgressDialog(CApplication* application);
    ~COpenProgressDialog();
    COpenProgressDialog(const COpenProgressDialog&) = delete;
    COpenProgressDialog& operator=(const COpenProgressDialog&) = delete;

    // Creates the dialog centred on the screen and shows it.
    BOOL Create(HWND owner);
    void Destroy();

    void SetCaption(const char* text);
    void SetItem(const char* text);
    void SetRange(int count);
    void SetPosition(int position);
    void Step();

    HWND Handle() const { return m_handle; }

private:
    static INT_PTR CALLBACK DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second);

    CApplication* m_application;
    HWND m_handle = nullptr;
    HWND m_previousModeless = nullptr;
    // Tick counts between two positions drawn.
    static constexpr DWORD kRedrawInterval = 50;
    int m_range = 0;
    DWORD m_drawnAt = 0;
    bool m_drawn = false;
};
